// The effect registry: 242 rows, every one drawing, names as catalogued.
#include <set>
#include <string>

#include "app/field_dump.h"
#include "app/global_state.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

TEST(Catalogue, DrawsEveryEntryOneWayAndANameForAllButTheLast) {
    std::set<std::string> names;
    for (int i = 0; i < effectCount; ++i) {
        EXPECT_EQ(catalogue[i].index, i);
        ASSERT_TRUE((catalogue[i].routine != nullptr) != (catalogue[i].make != nullptr)) << i;
        if (i < effectCount - 1) {
            ASSERT_NE(effectName(i), nullptr) << i;
            names.insert(effectName(i));
        }
    }
    EXPECT_EQ(names.size(), 241u); // no name twice
    EXPECT_EQ(effectName(241), nullptr);
    EXPECT_EQ(effectName(242), nullptr);
    EXPECT_EQ(effectName(-1), nullptr);
}

TEST(Catalogue, NamesAreSpelledAsCatalogued) {
    const std::pair<int, const char*> spellings[] = {
        {0, "Sphere"},       {1, "Flower"},    {24, "Stare-O-Gran"}, {68, "69"},        {76, "3"},
        {98, "99"},          {112, "4"},       {123, "lava"},        {132, "M-Pourer"}, {184, "OranGeena"},
        {186, "Bo Selecta"}, {193, "Scatter"}, {200, "I Dont Know"}, {239, "Swirly"},   {240, "new"},
    };
    for (const auto& [index, name] : spellings) {
        EXPECT_STREQ(effectName(index), name) << index;
    }
}

class EveryEntryDraws : public StateTest, public ::testing::WithParamInterface<int> {};

// Compared with the same frames of the wave step alone, every entry leaves a mark of its own within 40 frames
// of a seeded start.
TEST_P(EveryEntryDraws, WithinFortyFrames) {
    const int entry = GetParam();
    startEffect(entry, 3);
    runFrames(40);
    const uint64_t drawn = fieldHash();
    resetAllState();
    startEffect(entry, 3);
    for (int frame = 0; frame < 40; ++frame) {
        waveStep();
        ++shared.frameCounter;
    }
    EXPECT_NE(drawn, fieldHash()) << "entry " << entry << " " << (effectName(entry) ? effectName(entry) : "");
}

INSTANTIATE_TEST_SUITE_P(Table, EveryEntryDraws,
                         ::testing::Values(0, 25, 60, 108, 135, 160, 183, 194, 220, 241));

} // namespace
} // namespace glowfield::test
