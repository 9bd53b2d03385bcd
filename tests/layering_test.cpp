// The layers of src: field < sound < display < effects < app, with platform serving display and app. A file
// includes its own layer and the ones below it, never one above. Inside effects, the families (automata,
// geometry, ...) share helpers only through kit/ and shared/, never through each other.
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

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

// The project includes of a file, as quoted paths.
std::vector<std::string> projectIncludes(const std::filesystem::path& file) {
    std::vector<std::string> found;
    std::ifstream in(file);
    std::string line;
    const std::string include = "#include \"";
    while (std::getline(in, line)) {
        if (line.rfind(include, 0) == 0 && line.find('"', include.size()) != std::string::npos) {
            found.push_back(line.substr(include.size(), line.find('"', include.size()) - include.size()));
        }
    }
    return found;
}

TEST(Layering, EffectFamiliesShareOnlyThroughTheKit) {
    const std::filesystem::path effects = std::filesystem::path(GLOWFIELD_SOURCE_DIR) / "src" / "effects";
    // Helper folders every effect may use; the rest of the subfolders are families.
    const std::set<std::string> helpers = {"kit", "shared"};
    // The top-level effect headers below the catalogue: the effect interface, and for the routines of the
    // older effects their declarations and the state they share.
    const std::set<std::string> topLevel = {"effect.h", "effect_state.h", "effect_routines.h"};
    int families = 0;
    for (const auto& folder : std::filesystem::directory_iterator(effects)) {
        if (!folder.is_directory()) {
            continue;
        }
        const std::string own = folder.path().filename().string();
        families += helpers.count(own) ? 0 : 1;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
            if (!entry.is_regular_file()) {
                continue;
            }
            for (const std::string& path : projectIncludes(entry.path())) {
                if (path.rfind("effects/", 0) != 0) {
                    continue; // other layers: the layer test above
                }
                const std::string rest = path.substr(std::string("effects/").size());
                const size_t slash = rest.find('/');
                const std::string where = slash == std::string::npos ? "" : rest.substr(0, slash);
                const bool allowed = slash == std::string::npos ? topLevel.count(rest) > 0
                                                                : where == own || helpers.count(where) > 0;
                EXPECT_TRUE(allowed) << entry.path().lexically_relative(effects) << " includes " << path;
            }
        }
    }
    EXPECT_GE(families, 8);
}

} // namespace
} // namespace glowfield::test
