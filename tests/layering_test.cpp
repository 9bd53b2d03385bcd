// The layers of src: field < sound < display < effects < app, with platform serving display and app. A file
// includes its own layer and the ones below it, never one above.
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace glowfield::test {
namespace {

TEST(Layering, NoSourceFileIncludesAHigherLayer) {
    const std::map<std::string, std::set<std::string>> allowed = {
        {"field", {"field"}},
        {"sound", {"sound", "field"}},
        {"platform", {"platform"}},
        {"display", {"display", "field", "platform"}},
        {"effects", {"effects", "sound", "field"}},
        {"app", {"app", "effects", "sound", "display", "field", "platform"}},
    };
    const std::filesystem::path src = std::filesystem::path(GLOWFIELD_SOURCE_DIR) / "src";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string layer = std::filesystem::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(allowed.count(layer)) << "a folder outside the layers: " << layer;
        std::ifstream in(entry.path());
        std::string line;
        const std::string include = "#include \"";
        while (std::getline(in, line)) {
            // The layer of a project include: the folder before the first slash of its quoted path.
            if (line.rfind(include, 0) != 0 || line.find('/') == std::string::npos) {
                continue;
            }
            const std::string included = line.substr(include.size(), line.find('/') - include.size());
            EXPECT_TRUE(allowed.at(layer).count(included))
                << entry.path().lexically_relative(src) << " includes " << included << "/";
        }
        ++files;
    }
    EXPECT_GT(files, 100);
}

} // namespace
} // namespace glowfield::test
