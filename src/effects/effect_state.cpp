#include "effects/effect_state.h"

#include <cstring>

namespace glowfield {

EffectState shared;
ParticleStore particles;

void resetEffectState() {
    shared = EffectState{};
    std::memset(&particles, 0, sizeof particles);
}

} // namespace glowfield
