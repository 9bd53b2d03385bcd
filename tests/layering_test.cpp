// The layers of src: field < sound < display < effects < app, with platform serving display and app. A file
// includes its own layer and the ones below it, never one above; no app files include each other in a loop;
// inside effects, the families (automata, geometry, ...) share helpers only through kit/ and shared/, never
// through each other.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
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

// The app files as modules (name.h and name.cpp are one) and the modules each one's includes name.
std::map<std::string, std::set<std::string>> appIncludes() {
    std::map<std::string, std::set<std::string>> graph;
    const std::string include = "#include \"app/";
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(GLOWFIELD_SOURCE_DIR) / "src" / "app")) {
        const std::string module = entry.path().stem().string();
        graph[module];
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind(include, 0) == 0 && line.find(".h\"") != std::string::npos) {
                const std::string included = line.substr(include.size(), line.find(".h\"") - include.size());
                if (included != module) {
                    graph[module].insert(included);
                }
            }
        }
    }
    return graph;
}

// A chain of includes from a module back to itself, found depth first; empty when there is none.
std::vector<std::string> findLoop(const std::map<std::string, std::set<std::string>>& graph) {
    std::map<std::string, int> state; // 1: on the current path, 2: done
    std::vector<std::string> path;
    std::vector<std::string> loop;
    const std::function<bool(const std::string&)> visit = [&](const std::string& module) {
        state[module] = 1;
        path.push_back(module);
        const auto found = graph.find(module);
        for (const std::string& next : found == graph.end() ? std::set<std::string>{} : found->second) {
            if (state[next] == 1) {
                loop.assign(std::find(path.begin(), path.end(), next), path.end());
                loop.push_back(next);
                return true;
            }
            if (state[next] == 0 && visit(next)) {
                return true;
            }
        }
        path.pop_back();
        state[module] = 2;
        return false;
    };
    for (const auto& [module, includes] : graph) {
        if (state[module] == 0 && visit(module)) {
            break;
        }
    }
    return loop;
}

TEST(Layering, NoAppFilesIncludeEachOtherInALoop) {
    // The finder itself: a loop through three modules is found, a diamond is none.
    EXPECT_EQ(findLoop({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}),
              (std::vector<std::string>{"a", "b", "c", "a"}));
    EXPECT_TRUE(findLoop({{"a", {"b", "c"}}, {"b", {"d"}}, {"c", {"d"}}, {"d", {}}}).empty());

    const auto graph = appIncludes();
    EXPECT_GT(graph.size(), 20u);
    std::string chain;
    for (const std::string& module : findLoop(graph)) {
        chain += (chain.empty() ? "" : " -> ") + module;
    }
    EXPECT_TRUE(chain.empty()) << "app files include each other: " << chain;
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
