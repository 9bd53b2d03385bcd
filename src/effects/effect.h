// The form of an effect with its own state: an object made fresh whenever its entry becomes current, told so
// by start, then stepped once per frame. Everything it keeps between frames is its own members; what it may
// touch of the program it is given through the context.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "field/field.h"
#include "field/picture.h"
#include "sound/sound_frame.h"

namespace glowfield {

// What an effect sees of the program during one call. The grid side is at least minimumEffectGrid and at most
// planeStride; the mouse cell is inside the grid.
struct EffectContext {
    FieldPlanes& planes;
    int n;          // side of the live grid
    uint32_t frame; // the effects' clock: frames since start-up, as the switch period counts them
    int mouseX;     // the cell under the mouse
    int mouseY;     //
    PictureStore& picture;
    uint32_t framesSinceStart = 0;          // frames stepped since start: 0 on the first step
    float scale = 1.0f;                     // n / 200, the live grid against the full one
    uint32_t framesSinceMouseMoved = never; // frames since the mouse cell last changed while this entry ran
    SoundFrame sound{};                     // what the program hears this frame (read-only for effects)

    static constexpr uint32_t never = 0xffffffffu;

    // The program's one random sequence, 0..32767.
    int random() const;
    // A draw in lo..hi (inclusive); hi < lo gives lo.
    int random(int lo, int hi) const;
    // A draw in [0, 1) with 15 bits.
    float randomUnit() const;
    // Picks and unpacks a random picture of the pictures folder; false when none could be loaded, in which
    // case the picture planes and sizes keep what they held.
    bool loadPicture() const;
};

inline constexpr int minimumEffectGrid = 16;

class Effect {
  public:
    virtual ~Effect() = default;
    // Called once when the entry becomes current (start-up, an automatic switch, a key, --effect), before its
    // first step.
    virtual void start(EffectContext&) {}
    // One frame, after the wave step.
    virtual void step(EffectContext& context) = 0;
};

using EffectFactory = std::unique_ptr<Effect> (*)();

// Registers an effect: the factory its catalogue line names (GLOWFIELD_EFFECT(..., Class) calls make##Class).
// Written once, at the end of the effect's file, inside namespace glowfield.
#define GLOWFIELD_REGISTER_EFFECT(Class)                                                                     \
    std::unique_ptr<Effect> make##Class() {                                                                  \
        return std::make_unique<Class>();                                                                    \
    }                                                                                                        \
    static_assert(std::is_base_of_v<Effect, Class>, #Class " must be an Effect")

} // namespace glowfield
