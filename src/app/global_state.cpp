#include "app/global_state.h"

#include <cstring>

#include "app/commands.h"
#include "app/listening.h"
#include "app/switching.h"
#include "display/renderer.h"
#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

void resetAllState() {
    resetFieldState();
    randomState = RandomState{};
    std::memset(sineTable, 0, sizeof sineTable);
    resetDrawingState();
    resetPictureState();
    resetEffectState();
    resetCommandState();
    setPlayableEntries({});
    stopListening();
    renderer.lastColour = 0;
}

} // namespace glowfield
