// Lists of entries for --only, --skip and the config file: indices, ranges, names, and what is left to play.
#include <algorithm>

#include "app/effect_list.h"
#include "effects/catalogue.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

TEST(EffectList, ReadsIndicesRangesAndNamesInAnyCaseWithTheirSpaces) {
    std::vector<int> entries;
    EXPECT_EQ(parseEffectList("0, 3 - 5,flower , MAGNESIUM fire,Joe-90,241", entries), "");
    EXPECT_EQ(entries, (std::vector<int>{0, 3, 4, 5, 1, 4, 37, 241}));
    // Digits alone are an index even where an entry is named with digits (entry 76 is named "3").
    entries.clear();
    EXPECT_EQ(parseEffectList("3,007", entries), "");
    EXPECT_EQ(entries, (std::vector<int>{3, 7}));
    entries.clear();
    EXPECT_EQ(parseEffectList("  ", entries), "");
    EXPECT_TRUE(entries.empty());
}

TEST(EffectList, ABadItemIsNamedInOneLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1,Flwer", "'Flwer'"},
        {"242", "242"},
        {"0-300", "300"},
        {"99999999999999999999999", "99999999999999999999999"},
        {"9-2", "'9-2' runs backwards"},
        {"1,,2", "empty item"},
        {"1,", "empty item"},
        {"-1", "'-1'"},
        {"Flower\n", "\\x0a"},
    };
    for (const auto& [text, named] : cases) {
        std::vector<int> entries;
        const std::string error = parseEffectList(text, entries);
        EXPECT_NE(error.find(named), std::string::npos) << text << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(EffectList, PlayableIsOnlyWithoutSkipAscendingAndEachOnce) {
    EXPECT_EQ(playableEntries(std::vector<int>{9, 2, 9, 5}, std::vector<int>{5, 100}),
              (std::vector<int>{2, 9}));
    EXPECT_EQ(playableEntries(std::nullopt, std::nullopt).size(), 242u);
    const std::vector<int> rest = playableEntries(std::nullopt, std::vector<int>{0, 241});
    EXPECT_EQ(rest.front(), 1);
    EXPECT_EQ(rest.back(), 240);
    EXPECT_TRUE(playableEntries(std::vector<int>{4}, std::vector<int>{4}).empty());
}

// Entries marked as flashing are left out of the automatic choice unless allowed, or unless nothing else is
// left; a name as --list prints it, with its mark, still names the entry.
TEST(EffectList, SwitchingLeavesOutFlashingEntriesUnlessAllowed) {
    for (const int index : flashingEntries()) {
        EXPECT_TRUE(catalogue[index].marks & flashesMark) << index;
    }
    EXPECT_EQ(switchingEntries({}, false).size(),
              static_cast<size_t>(effectCount) - flashingEntries().size());
    const std::vector<int> flashing = {19, 132};
    const std::vector<int> calm = switchingEntries({}, false, flashing);
    EXPECT_EQ(calm.size(), static_cast<size_t>(effectCount) - 2);
    EXPECT_EQ(std::find(calm.begin(), calm.end(), 19), calm.end());
    EXPECT_EQ(switchingEntries({}, true, flashing).size(), static_cast<size_t>(effectCount));
    EXPECT_EQ(switchingEntries({1, 19, 132}, false, flashing), (std::vector<int>{1}));
    EXPECT_EQ(switchingEntries({1, 19}, true, flashing), (std::vector<int>{1, 19}));
    EXPECT_EQ(switchingEntries({19, 132}, false, flashing), (std::vector<int>{19, 132}));

    std::vector<int> entries;
    EXPECT_EQ(parseEffectList("Lightning (flashes), Flower", entries), "");
    EXPECT_EQ(entries, (std::vector<int>{19, 1}));
    entries.clear();
    EXPECT_EQ(parseEffectList("Fireworks (listens),Boom", entries), "");
    EXPECT_EQ(entries, (std::vector<int>{27, 39}));
}

TEST(EffectList, CompactListsReadBackToTheSameEntries) {
    for (const std::vector<int>& entries : {std::vector<int>{0, 1, 2, 3, 7, 9, 10, 241}, std::vector<int>{5},
                                            playableEntries(std::nullopt, {})}) {
        const std::string text = compactEffectList(entries);
        std::vector<int> back;
        EXPECT_EQ(parseEffectList(text, back), "") << text;
        EXPECT_EQ(back, entries) << text;
    }
    EXPECT_EQ(compactEffectList({0, 1, 2, 3, 7, 9, 10, 241}), "0-3,7,9-10,241");
}

} // namespace
} // namespace glowfield::test
