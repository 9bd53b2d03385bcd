// How many random numbers effects 1 to 24 draw on their acting and idle frames. Later effects and the
// automatic switch share the one generator, so a count that is off by one shifts everything after it.
#include "effect_checks.h"
#include "effects/effect_routines.h"

namespace glowfield::test {
namespace {

using EffectDraws = EffectTest;

TEST_F(EffectDraws, PeriodicEffectsDrawOnlyOnTheirActingFrames) {
    const struct {
        const char* name;
        void (*routine)();
        uint32_t idleFrame;
        uint32_t actingFrame;
        int64_t draws;
    } cases[] = {
        {"magnesiumFire", magnesiumFire, 11, 20, 2},
        {"pond", pond, 19, 30, 3},
        {"ripple", ripple, 15, 40, 2},
        {"smear", smear, 30, 40, 3},
        {"tartan", tartan, 11, 30, 2},
        {"ten", ten, 12, 35, 3},
        {"theVapours", theVapours, 30, 40, 5 * 198},
        {"twitch", twitch, 120, 241, 1 + 4 * 198 * 198},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shared.frameCounter = c.idleFrame;
        DrawCounter idle;
        const uint64_t unchanged = fieldHash();
        c.routine();
        EXPECT_EQ(idle.count(), 0);
        EXPECT_EQ(fieldHash(), unchanged);

        shared.frameCounter = c.actingFrame;
        DrawCounter acting;
        c.routine();
        EXPECT_EQ(acting.count(), c.draws);
        EXPECT_NE(fieldHash(), unchanged);
    }
}

TEST_F(EffectDraws, EveryFrameEffectsDrawAFixedCount) {
    const struct {
        const char* name;
        void (*routine)();
        int64_t draws;
    } cases[] = {{"flower", flower, 3 * 100 * 24},
                 {"kaleidisco", kaleidisco, 1},
                 {"lace", lace, 12 * 198},
                 {"sunburn", sunburn, 400},
                 {"bright", bright, 2 * 100},
                 {"speckle", speckle, 2 * 500},
                 {"lightning off its bolt frames", lightning, 0}};
    for (const auto& c : cases) {
        shared.frameCounter = 99;
        DrawCounter draws;
        c.routine();
        EXPECT_EQ(draws.count(), c.draws) << c.name;
    }
    for (auto routine : {primaryBoats, wheel, wiggle, mirror, fishnet, snowflake, stareOGran}) {
        DrawCounter draws;
        routine();
        EXPECT_EQ(draws.count(), 0);
    }
}

} // namespace
} // namespace glowfield::test
