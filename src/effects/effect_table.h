// The effect table: 242 rows of routine and name, in selection order. The player, the tests and the
// benchmarks all read this one registry.
#pragma once

#include "effects/effect_state.h"

namespace glowfield {

using Effect = void (*)();

struct EffectEntry {
    Effect routine;   // called once per frame while the effect is current
    const char* name; // as catalogued; nullptr for the last entry, which has no name
};

extern const EffectEntry EffectTable[effectCount];

// The catalogued name, or nullptr for an index without one.
const char* effectName(int index);

// Calls the entry selected by the low byte of currentEffect.
void runCurrentEffect();

// Stores the low byte of index into currentEffect; the change shows at the next frame step.
void selectEffect(int index);

// The test made by every timer tick before the frame step: on a multiple of switchPeriod, skip a count and
// choose a random effect.
void checkAutomaticSwitch();

// Moves frameCounter so that the next tick chooses a new random effect.
void forceEffectChange();

// True on the first frame of an automatically chosen effect.
bool isFirstFrame();

} // namespace glowfield
