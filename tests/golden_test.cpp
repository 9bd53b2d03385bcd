// Golden regression: for seed 1, each listed effect runs a number of frames from the state that key z leaves,
// and the hashes of the field dump and of the rendered 32-bit frame must match the stored ones. Any change of
// behaviour, however small, shows here.
//
// The lists live in tests/golden/*.txt, one line per case: "effect frames fieldHash frameHash". Every entry
// that draws with its own code needs at least one case; stand-ins, drawn by another entry's routine, need
// none. When a hash differs, the rendered frame is written as a PNG into the test output folder and named in
// the failure. To accept a deliberate change, or to add cases for new entries (20 frames, into entries.txt),
// regenerate the hashes and review the diff:
//   GLOWFIELD_UPDATE_GOLDENS=1 build/glowfield_tests --gtest_filter='Golden*'
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/field_dump.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/picture.h"
#include "platform/png_writer.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

struct GoldenCase {
    int effect = 0;
    int frames = 0;
    uint64_t fieldHash = 0;
    uint64_t frameHash = 0;
};

std::string goldenFolder() {
    return std::string(GLOWFIELD_SOURCE_DIR) + "/tests/golden";
}

// A picture for the picture effects: smooth gradients with a few hard edges, 256 x 200 pixels.
void writeGoldenPicture(const std::string& folder) {
    BmpLayout layout;
    layout.width = 256;
    layout.height = 200;
    layout.colour = [](int l, int k) {
        const uint32_t r = static_cast<uint32_t>(l);
        const uint32_t g = static_cast<uint32_t>(k * 255 / 199);
        const uint32_t b = ((l / 32 + k / 25) % 2) ? 220u : 30u;
        return r << 16 | g << 8 | b;
    };
    writeBmp(folder + "/golden.bmp", layout);
}

constexpr const char* updateCommand =
    "GLOWFIELD_UPDATE_GOLDENS=1 build/glowfield_tests --gtest_filter='Golden*'";

// Where the frames of failed cases go: GLOWFIELD_TEST_OUTPUT, or a folder under the system's temporary one.
std::filesystem::path outputFolder() {
    const char* chosen = std::getenv("GLOWFIELD_TEST_OUTPUT");
    const std::filesystem::path folder =
        chosen ? std::filesystem::path(chosen) : std::filesystem::temp_directory_path() / "glowfield-golden";
    std::filesystem::create_directories(folder);
    return folder;
}

class Golden : public StateTest {
  protected:
    // Each case starts from the program's start values, whatever the case before it left behind. With a
    // picture path, the last rendered frame is also written there.
    GoldenCase run(int effect, int frames, const std::string& picturePath = "") {
        resetWorld();
        TempDir pictures;
        writeGoldenPicture(pictures.path());
        setPictureDirectory(pictures.path());
        HeadlessDisplay display(32);
        startEffect(effect, 1);
        runFrames(frames);
        GoldenCase result{effect, frames, fieldHash(), fnv1a64(display.surface().bytes())};
        if (!picturePath.empty()) {
            std::string error;
            EXPECT_TRUE(writeSurfacePng(picturePath, display.surface(), error)) << error;
        }
        setPictureDirectory("");
        return result;
    }

    // Runs the case again to write its frame, and says where it went.
    std::string writeActualFrame(int effect, int frames) {
        const std::string path = (outputFolder() / ("effect" + std::to_string(effect) + "_" +
                                                    std::to_string(frames) + "_actual.png"))
                                     .string();
        run(effect, frames, path);
        return path;
    }
};

std::vector<std::filesystem::path> goldenFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(goldenFolder())) {
        if (entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string hashText(const GoldenCase& c) {
    char hashes[64];
    std::snprintf(hashes, sizeof hashes, "%016" PRIx64 " %016" PRIx64, c.fieldHash, c.frameHash);
    return hashes;
}

TEST_F(Golden, EveryListedEffectMatchesItsStoredHashes) {
    const bool update = std::getenv("GLOWFIELD_UPDATE_GOLDENS") != nullptr;
    std::set<int> covered;
    for (const auto& path : goldenFiles()) {
        std::ifstream in(path);
        std::ostringstream rewritten;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            GoldenCase stored;
            std::string fieldText, frameText;
            if (line.empty() || line[0] == '#' || !(fields >> stored.effect >> stored.frames)) {
                rewritten << line << "\n";
                continue;
            }
            fields >> fieldText >> frameText;
            const GoldenCase got = run(stored.effect, stored.frames);
            const std::string hashes = hashText(got);
            rewritten << stored.effect << " " << stored.frames << " " << hashes << "\n";
            if (!update && fieldText + " " + frameText != hashes) {
                ADD_FAILURE() << path.filename() << ": effect " << stored.effect << " after " << stored.frames
                              << " frames: expected " << fieldText << " " << frameText << ", got " << hashes
                              << "; its frame is in " << writeActualFrame(stored.effect, stored.frames);
            }
            covered.insert(stored.effect);
        }
        if (update) {
            in.close();
            std::ofstream(path) << rewritten.str();
        }
    }
    // Entries that draw with their own code and have no case yet.
    std::ostringstream added;
    for (const CatalogueEntry& entry : catalogue) {
        if (covered.count(entry.index)) {
            continue;
        }
        if (update) {
            added << entry.index << " 20 " << hashText(run(entry.index, 20)) << "\n";
        } else {
            ADD_FAILURE() << "entry " << entry.index << " (" << (entry.name ? entry.name : "no name")
                          << ") has no golden hashes; add them with " << updateCommand;
        }
    }
    if (update && !added.str().empty()) {
        const std::filesystem::path entries = std::filesystem::path(goldenFolder()) / "entries.txt";
        const bool fresh = !std::filesystem::exists(entries);
        std::ofstream out(entries, std::ios::app);
        if (fresh) {
            out << "# Entries added by the regeneration command: 20 frames each from the state key z "
                   "leaves.\n";
        }
        out << added.str();
    }
    EXPECT_FALSE(covered.empty());
}

// The same inputs give the same frames: two runs in one process agree bit for bit.
TEST_F(Golden, RunsAreRepeatable) {
    const GoldenCase first = run(13, 40);
    const GoldenCase second = run(13, 40);
    EXPECT_EQ(first.fieldHash, second.fieldHash);
    EXPECT_EQ(first.frameHash, second.frameHash);
}

} // namespace
} // namespace glowfield::test
