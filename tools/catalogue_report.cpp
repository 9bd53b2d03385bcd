// Prints, for every catalogue entry (or the ones named), what its quality tests measure: the most flashes in
// any second (from a fresh start and after another entry), the share of cells that move between frames 600
// and 605, the near-black share and the checkerboard share at frame 600. A value past the tests' limit is
// marked with '!' (for a night sky, a lit share under a tenth). With --timeline, the frames of one entry's
// fresh start (or, with --after, of its run after 100 frames of the entry after it) at which windows of a
// third of the screen made a transition, and how many each way: where its flashes come from; --shots writes
// each of those frames as DIR/FRAME.png (200 x 200, a pixel a cell), and --at F,G,... writes the frames named
// there as well. With --music, the entries hear the tests' synthetic music at 180 beats a minute in every
// frame they run.
//
//   glowfield_catalogue_report [--pictures DIR] [--music] [index ...]
//   glowfield_catalogue_report [--pictures DIR] [--music] [--after] [--shots DIR [--at F,G,...]]
//                              --timeline index [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/picture.h"
#include "picture_measures.h"
#include "platform/png_writer.h"

namespace {

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() < 7 && text.find_first_not_of("0123456789") == std::string::npos;
}

void writeShot(const std::string& folder, int frame, const glowfield::measure::Picture& picture) {
    using glowfield::measure::side;
    std::vector<uint8_t> rgb(static_cast<size_t>(side) * side * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t packed = picture[static_cast<size_t>(x * side + y)];
            for (int channel = 0; channel < 3; ++channel) {
                rgb[static_cast<size_t>((y * side + x) * 3 + channel)] =
                    static_cast<uint8_t>(packed >> (8 * channel) & 0xffu);
            }
        }
    }
    std::string error;
    if (!glowfield::writeRgbPng(folder + "/" + std::to_string(frame) + ".png", side, side, rgb, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
}

// The frame numbers of a comma-separated list.
std::vector<int> frameList(const std::string& text) {
    std::vector<int> frames;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(',', start);
        const std::string item =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (isNumber(item)) {
            frames.push_back(std::atoi(item.c_str()));
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return frames;
}

void printTimeline(int entry, int frames, bool after, bool music, const std::string& shots,
                   const std::vector<int>& at) {
    using namespace glowfield;
    resetWorld();
    prepareField(1);
    Session session;
    startWithEffect(session, after ? (entry + 1) % effectCount : entry);
    if (after) {
        for (int frame = 0; frame < 100; ++frame) {
            timerTick(session);
        }
        selectEffect(entry);
    }
    measure::FlashCounter counter;
    for (int frame = 1; frame <= frames; ++frame) {
        if (music) {
            measure::tickWithSound(measure::syntheticMusic(frame - 1), session);
        } else {
            timerTick(session);
        }
        const measure::Picture picture = measure::capture();
        counter.add(picture);
        const bool asked = std::find(at.begin(), at.end(), frame) != at.end();
        if (counter.lastBrighter() + counter.lastDarker() > 0) {
            std::printf("frame %4d: %4d windows brighter, %4d darker\n", frame, counter.lastBrighter(),
                        counter.lastDarker());
        }
        if (!shots.empty() && (asked || (at.empty() && counter.lastBrighter() + counter.lastDarker() > 0))) {
            writeShot(shots, frame, picture);
        }
    }
    std::printf("most flashes in a second: %.1f\n", counter.maxFlashesPerSecond());
}

} // namespace

int main(int argc, char** argv) {
    using namespace glowfield;
    std::vector<int> entries;
    bool after = false;
    bool music = false;
    std::string shots;
    std::vector<int> at;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pictures" && i + 1 < argc) {
            setPictureDirectory(argv[++i]);
        } else if (arg == "--after") {
            after = true;
        } else if (arg == "--music") {
            music = true;
        } else if (arg == "--at" && i + 1 < argc) {
            at = frameList(argv[++i]);
        } else if (arg == "--shots" && i + 1 < argc) {
            shots = argv[++i];
        } else if (arg == "--timeline" && i + 1 < argc && isNumber(argv[i + 1]) &&
                   std::atoi(argv[i + 1]) < effectCount) {
            const int entry = std::atoi(argv[i + 1]);
            const bool counted = i + 2 < argc && isNumber(argv[i + 2]);
            printTimeline(entry, counted ? std::atoi(argv[i + 2]) : 200, after, music, shots, at);
            return 0;
        } else if (isNumber(arg) && std::atoi(arg.c_str()) < effectCount) {
            entries.push_back(std::atoi(arg.c_str()));
        } else {
            std::fprintf(stderr,
                         "usage: %s [--pictures DIR] [--music] [index ...]\n"
                         "       %s [--pictures DIR] [--music] [--after] [--shots DIR [--at F,G,...]] "
                         "--timeline index [frames]\n",
                         argv[0], argv[0]);
            return 2;
        }
    }
    if (entries.empty()) {
        for (int i = 0; i < effectCount; ++i) {
            entries.push_back(i);
        }
    }
    std::printf("%-5s %-22s %-8s %7s %7s %7s %7s %7s\n", "entry", "name", "kind", "flashes", "after",
                "motion%", "black%", "check%");
    for (const int entry : entries) {
        measure::Schedule schedule;
        schedule.music = music;
        const measure::EntryMeasures m = measure::measureEntry(entry, schedule);
        const CatalogueEntry& row = catalogue[entry];
        const bool own = row.make != nullptr;
        const bool night = (row.marks & nightSkyMark) != 0u;
        const auto mark = [](bool over) { return over ? '!' : ' '; };
        std::printf("%-5d %-22s %-8s %6.1f%c %6.1f%c %6.2f%c %6.1f%c %6.1f%c\n", entry,
                    row.name ? row.name : "", own ? "own" : "given", m.freshFlashes,
                    mark(m.freshFlashes > measure::flashLimit), m.afterFlashes,
                    mark(m.afterFlashes > measure::flashLimit), 100.0 * m.motion,
                    mark(own && m.motion < measure::motionFloor), 100.0 * m.nearBlack,
                    mark(own && (night ? 1.0 - m.nearBlack < measure::nightSubjectFloor
                                       : m.nearBlack > measure::nearBlackCeiling)),
                    100.0 * m.checker, mark(own && m.checker > measure::checkerCeiling));
        std::fflush(stdout);
    }
    return 0;
}
