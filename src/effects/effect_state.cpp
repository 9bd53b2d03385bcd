#include "effects/effect_state.h"

#include <cstring>

#include "effects/catalogue.h"
#include "effects/shared/particle_helpers.h"

namespace glowfield {

EffectState shared;
ParticleStore particles;

void resetEffectState() {
    shared = EffectState{};
    std::memset(&particles, 0, sizeof particles);
    resetFleshEatingState();
    resetCurrentEffect();
}

} // namespace glowfield
