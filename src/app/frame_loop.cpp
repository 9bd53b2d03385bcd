#include "app/frame_loop.h"

#include "app/commands.h"
#include "app/listening.h"
#include "app/switching.h"
#include "display/renderer.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void prepareField(int32_t seed) {
    field.cellWidth = 4;
    field.cellHeight = 3;
    field.gridSize = 200;
    seedRandom(seed);
    seedFieldNoise();
    buildSineTable();
}

void frameStep() {
    waveStep();
    runCurrentEffect(currentSound());
    ++shared.frameCounter;
    renderField();
}

void timerTick(const Session& session) {
    listenToNextFrame();
    checkAutomaticSwitch(session);
    frameStep();
}

void startWithEffect(Session& session, int index) {
    pressKey(session, 'z');
    selectEffect(index);
}

void startSwitchingFrom(int index) {
    selectEffect(index);
    // As after an automatic change: the next tick runs the effect's first frame.
    shared.frameCounter = 1;
}

} // namespace glowfield
