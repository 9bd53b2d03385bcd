// The table of all 242 entries made from catalogue.def, and the running of the current one.
#pragma once

#include "effects/effect.h"
#include "effects/effect_state.h"

namespace glowfield {

enum class Family { waves, geometry, models, particles, automata, warps, pictures, lettering };

using Routine = void (*)();

// Marks of an entry, as catalogue.def lists them (a bit each).
enum EntryMark : unsigned {
    flashesMark = 1u,        // flashes more than three times a second: played only when chosen or allowed
    nightSkyMark = 2u,       // a night sky or space: mostly dark by design
    transformsMark = 4u,     // reshapes what is on the screen and draws nothing of its own on a blank field
    usesPicturesMark = 8u,   // shows pictures from the pictures folder
    followsMouseMark = 16u,  // draws where the mouse is, or answers its movement
    laysParticlesMark = 32u, // writes the particle store that the routines share
    listensMark = 64u,       // reacts to what the program hears in a way of its own
};

struct CatalogueEntry {
    int index;
    const char* name; // nullptr for the last entry, which has no name
    Family family;
    Routine routine;    // an effect drawn on the shared state, or nullptr
    EffectFactory make; // an effect of its own, or nullptr
    unsigned marks;     // EntryMark bits
};

extern const CatalogueEntry catalogue[effectCount];

// The catalogued name, or nullptr for an index without one.
const char* effectName(int index);

const char* familyName(Family family);

// Runs the entry selected by the low byte of currentEffect. An effect of its own is made and started first
// when its entry has become current since the last frame. Effects of their own hear sound through their
// context; every entry, the older routines too, gets the beat's kick after it ran (see beat_kick.h).
void runCurrentEffect(const SoundFrame& sound = SoundFrame{});

// Stores the low byte of index into currentEffect; the change shows at the next frame step, where the entry
// starts afresh (also when it was already current).
void selectEffect(int index);

} // namespace glowfield
