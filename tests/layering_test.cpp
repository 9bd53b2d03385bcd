// The layers of src: field < display < effects < app, with platform serving display and app. A file includes
// its own layer and the ones below it, never one above.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace glowfield::test {
namespace {

TEST(Layering, NoSourceFileIncludesAHigherLayer) {
    const std::map<std::string, std::set<std::string>> allowed = {
        {"field", {"field"}},
        {"platform", {"platform"}},
        {"display", {"display", "field", "platform"}},
        {"effects", {"effects", "field"}},
        {"app", {"app", "effects", "display", "field", "platform"}},
    };
    const std::filesystem::path src = std::filesystem::path(GLOWFIELD_SOURCE_DIR) / "src";
    const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+)/)");
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string layer = std::filesystem::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(allowed.count(layer)) << "a folder outside the layers: " << layer;
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (std::regex_search(line, match, include)) {
                EXPECT_TRUE(allowed.at(layer).count(match[1].str()))
                    << entry.path().lexically_relative(src) << " includes " << match[1] << "/";
            }
        }
        ++files;
    }
    EXPECT_GT(files, 100);
}

} // namespace
} // namespace glowfield::test
