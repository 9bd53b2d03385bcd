// The world the effects draw on: the field, everything the older routines share, the picture planes and the
// running effect object, in one object. A reset builds it anew in place, so no part of it can be missed.
#pragma once

#include <memory>

#include "effects/effect.h"
#include "effects/effect_counts.h"
#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

// The entry whose effect runs, and what its context counts between frames.
struct RunningEffect {
    std::unique_ptr<Effect> effect; // the running effect of its own, if any
    int index = -1;                 // its entry
    bool restart = true;            // an entry was selected since the last frame
    EffectCounts counts;            // its counts since start and since the mouse moved
};

// The familiar names (planes, field, shared, particles, ...) are references into these members.
struct World {
    FieldPlanes planes;
    FieldState field;
    DrawingState drawing;
    RandomState random;
    float sineTable[sineTableSize]; // zero until start-up builds it
    PictureStore picture;
    EffectState shared;
    ParticleStore particles;
    RunningEffect running;
};

// Several megabytes: never a copy or a temporary of it on a stack.
extern World world;

// Every member back to its start value (arrays zero, the stated defaults elsewhere), the running effect
// dropped, and picture reads in flight discarded. The picture folder and the render target are
// configuration and are kept.
void resetWorld();

} // namespace glowfield
