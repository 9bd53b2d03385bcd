#include "app/switching.h"

#include "effects/catalogue.h"
#include "field/random.h"

namespace glowfield {

void checkAutomaticSwitch() {
    if (shared.frameCounter % shared.switchPeriod == 0) {
        ++shared.frameCounter;
        selectEffect(nextRandom() % effectCount);
    }
}

void forceEffectChange() {
    shared.frameCounter = shared.frameCounter - 1 - shared.frameCounter % shared.switchPeriod;
}

bool isFirstFrame() {
    return shared.frameCounter % shared.switchPeriod == 1;
}

} // namespace glowfield
