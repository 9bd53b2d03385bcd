// The README and the manual page against the program: every option of the option table and every config key
// is described in both, and the counts of effects that their prose must spell out are the catalogue's.
// GCC 12 under the sanitizers takes std::regex's own state for uninitialised (a false alarm in the library).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "app/option_table.h"
#include "effects/effect_state.h"

namespace glowfield::test {
namespace {

// A file of the source tree, with the manual's escaped dashes written plainly.
std::string sourceText(const std::string& name) {
    std::ifstream in(std::string(GLOWFIELD_SOURCE_DIR) + "/" + name);
    EXPECT_TRUE(in) << name;
    std::stringstream text;
    text << in.rdbuf();
    return std::regex_replace(text.str(), std::regex(R"(\\-)"), "-");
}

// Whether text names word on its own, not as the start of a longer option or key.
bool names(const std::string& text, const std::string& word) {
    return std::regex_search(text, std::regex("(^|[^a-z_-])" + word + "($|[^a-z_-])"));
}

TEST(Documentation, NamesEveryOptionAndConfigKey) {
    for (const char* file : {"README.md", "data/glowfield.6.in"}) {
        const std::string text = sourceText(file);
        for (const OptionRow& row : optionTable()) {
            EXPECT_TRUE(names(text, row.name)) << file << " does not describe " << row.name;
            if (row.alias) {
                EXPECT_TRUE(names(text, row.alias)) << file << " does not describe " << row.alias;
            }
            if (row.configKey) {
                EXPECT_TRUE(names(text, row.configKey))
                    << file << " does not describe the key " << row.configKey;
            }
        }
    }
    for (const OptionRow& row : optionTable()) {
        EXPECT_TRUE(names(usageText(), row.name)) << row.name;
    }
}

// The manual and the package description take the count from the build; the README and the screen saver
// settings are written by hand, so their numbers are checked.
TEST(Documentation, CountsOfEffectsAreTheCatalogues) {
    const std::regex count(R"((\d+) named\s+effects|modulo (\d+))");
    const std::regex last(R"(\((\d+) has no name|\(0 to (\d+)\))");
    for (const char* file : {"README.md", "data/glowfield.xml"}) {
        const std::string text = sourceText(file);
        int found = 0;
        for (const auto& [pattern, expected] :
             {std::pair{&count, effectCount}, std::pair{&last, effectCount - 1}}) {
            for (std::sregex_iterator at(text.begin(), text.end(), *pattern), end; at != end; ++at) {
                const std::string number = (*at)[1].matched ? (*at)[1].str() : (*at)[2].str();
                EXPECT_EQ(std::stoi(number), expected) << file << ": " << at->str();
                ++found;
            }
        }
        EXPECT_GT(found, 0) << file;
    }
}

} // namespace
} // namespace glowfield::test
