// A fixture for calling effect routines directly: the program after start-up with seed 1, then every stored
// cell of the six planes cleared, so that a test sees exactly what one call of an effect writes.
#pragma once

#include "app/frame_loop.h"
#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {

class EffectGroupTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        prepareField(1);
        fillField({0.0f});
    }

    static float& at(float* plane, int x, int y) { return plane[cellAt(x, y)]; }

    static void clearParticles() { fillParticles({0.0f}, {0}); }
};

} // namespace glowfield::test
