#include "app/gallery.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/effect_list.h"
#include "app/frame_loop.h"
#include "app/gallery_folder.h"
#include "app/progress.h"
#include "app/sdl_events.h"
#include "app/stop_guard.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/picture.h"
#include "platform/atomic_file.h"
#include "platform/memory_surface.h"
#include "platform/png_writer.h"
#include "platform/text_renderer.h"

namespace glowfield {

namespace {

constexpr int thumbWidth = 200;
constexpr int thumbHeight = 150;
constexpr int labelHeight = 34;
constexpr int gap = 4;
constexpr int sheetColumns = 11;

// What the workers hand back to the parent, in memory shared across fork.
struct SharedResults {
    std::atomic<int> done;
    std::atomic<int> failed; // the first failure is reported; one cause usually fails every file
    std::atomic<bool> reported;
    bool primed[effectCount];
    uint8_t thumbs[effectCount][thumbHeight * thumbWidth * 3];
};

// The entries --only and --skip leave, or every one.
std::vector<int> galleryEntries(const Options& options) {
    return options.playable.empty() ? playableEntries(std::nullopt, std::nullopt) : options.playable;
}

// The picture of the current field as 800 x 600 RGB, drawn by the player's renderer.
std::vector<uint8_t> renderPicture() {
    auto surface = std::make_shared<MemorySurface>(displayWidth, displayHeight, PixelFormat{});
    SurfaceWriter writer;
    if (writer.initialise(surface, std::make_shared<MemoryDevice>()) != result::ok) {
        return {};
    }
    SurfaceWriter* const previous = renderer.writer;
    setRenderTarget(&writer);
    renderField();
    setRenderTarget(previous);
    return surfaceToRgb(*surface);
}

// Spread of the levels: a flat grey picture has almost none.
double contrastOf(const std::vector<uint8_t>& rgb) {
    double sum = 0, squares = 0;
    for (size_t i = 0; i < rgb.size(); i += 3 * 7) {
        const double level = (rgb[i] + rgb[i + 1] + rgb[i + 2]) / 3.0;
        sum += level;
        squares += level * level;
    }
    const double n = static_cast<double>(rgb.size() / (3 * 7));
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

void runFrames(const Session& session, uint64_t frames) {
    for (uint64_t i = 0; i < frames; ++i) {
        timerTick(session);
    }
}

std::vector<uint8_t> renderEntry(int entry, int32_t seed, uint64_t frames, bool primed) {
    resetWorld();
    prepareField(seed);
    Session session;
    if (primed) {
        startWithEffect(session, primerEntry);
        runFrames(session, primerFrames);
    }
    startWithEffect(session, entry);
    runFrames(session, frames);
    return renderPicture();
}

void shrinkInto(const std::vector<uint8_t>& rgb, uint8_t* thumb) {
    const int sx = displayWidth / thumbWidth, sy = displayHeight / thumbHeight;
    for (int y = 0; y < thumbHeight; ++y) {
        for (int x = 0; x < thumbWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < sy; ++dy) {
                    for (int dx = 0; dx < sx; ++dx) {
                        sum += rgb[((static_cast<size_t>(y) * sy + dy) * displayWidth + x * sx + dx) * 3 + c];
                    }
                }
                thumb[(y * thumbWidth + x) * 3 + c] = static_cast<uint8_t>(sum / (sx * sy));
            }
        }
    }
}

std::string entryFile(int entry, const char* suffix) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d%s", entry, suffix);
    return name;
}

void renderShare(const Options& options, const std::string& folder, const std::vector<int>& entries,
                 int worker, int workers, SharedResults& results) {
    const int32_t seed = options.seed.value_or(1);
    const uint64_t frames = options.frames.value_or(200);
    for (size_t i = static_cast<size_t>(worker); i < entries.size(); i += static_cast<size_t>(workers)) {
        const int entry = entries[i];
        // An entry that transforms what is there is primed; so is any other whose fresh picture is flat.
        bool primed = (catalogue[entry].marks & transformsMark) != 0u;
        std::vector<uint8_t> rgb = renderEntry(entry, seed, frames, primed);
        if (!primed && contrastOf(rgb) < 4.0) {
            primed = true;
            rgb = renderEntry(entry, seed, frames, true);
        }
        std::string error;
        const bool written =
            writeRgbPng(folder + "/" + entryFile(entry, ".png"), displayWidth, displayHeight, rgb, error);
        shrinkInto(rgb, results.thumbs[entry]);
        std::vector<uint8_t> thumb(results.thumbs[entry],
                                   results.thumbs[entry] + sizeof results.thumbs[entry]);
        const bool thumbWritten = writeRgbPng(folder + "/thumbs/" + entryFile(entry, ".png"), thumbWidth,
                                              thumbHeight, thumb, error);
        results.primed[entry] = primed;
        if ((!written || !thumbWritten) && results.failed.fetch_add(1) == 0) {
            std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        }
        results.done.fetch_add(1);
    }
}

std::string label(int entry) {
    const char* name = effectName(entry);
    return std::to_string(entry) + (name ? std::string(" ") + name : std::string());
}

std::string primerNote() {
    return "after " + std::to_string(primerFrames) + " frames of " + label(primerEntry);
}

bool writeContactSheet(const std::string& path, const std::vector<int>& entries, const SharedResults& results,
                       std::string& error) {
    const int columns = std::min<int>(sheetColumns, static_cast<int>(entries.size()));
    const int rows = (static_cast<int>(entries.size()) + columns - 1) / columns;
    const int cellWidth = thumbWidth + gap, cellHeight = thumbHeight + labelHeight + gap;
    const int width = columns * cellWidth + gap, height = rows * cellHeight + gap;
    std::vector<uint8_t> sheet(static_cast<size_t>(width) * height * 3, 24);
    TextRenderer nameText(13);
    TextRenderer noteText(11);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int entry = entries[i];
        const int left = gap + static_cast<int>(i % columns) * cellWidth;
        const int top = gap + static_cast<int>(i / columns) * cellHeight;
        for (int y = 0; y < thumbHeight; ++y) {
            std::memcpy(&sheet[(static_cast<size_t>(top + y) * width + left) * 3],
                        &results.thumbs[entry][y * thumbWidth * 3], thumbWidth * 3);
        }
        nameText.draw(sheet, width, height, left + 2, top + thumbHeight + 1, label(entry), 0xffffff,
                      thumbWidth - 4);
        if (results.primed[entry]) {
            noteText.draw(sheet, width, height, left + 2, top + thumbHeight + 18, primerNote(), 0xb0b0b0,
                          thumbWidth - 4);
        }
    }
    return writeRgbPng(path, width, height, sheet, error);
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool writeIndex(const std::string& path, const std::vector<int>& entries, const SharedResults& results,
                const Options& options, std::string& error) {
    std::ostringstream page;
    page
        << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>glowfield "
           "gallery</title>\n"
        << "<style>body{background:#181818;color:#ddd;font-family:sans-serif;margin:16px}"
        << "main{display:flex;flex-wrap:wrap;gap:8px}figure{margin:0;width:200px}"
        << "img{display:block;width:200px;height:150px;image-rendering:pixelated}"
        << "figcaption{font-size:13px;padding:2px 0}small{color:#999;display:block}a{color:inherit}</style>\n"
        << "</head>\n<body>\n<h1>glowfield gallery</h1>\n<p>Every entry after "
        << options.frames.value_or(200) << " frames from a fresh start, seed " << options.seed.value_or(1)
        << ". Entries that only transform what is on the screen are shown " << escapeHtml(primerNote())
        << ", as a viewer meets them in play. Entries marked as listening react to music in a way of their "
           "own when "
           "the program hears it; the pictures here are drawn in silence. <a "
           "href=\"contact-sheet.png\">Contact "
           "sheet</a>.</p>\n<main>\n";
    for (const int entry : entries) {
        const std::string file = entryFile(entry, ".png");
        page << "<figure id=\"e" << entry << "\"><a href=\"" << file << "\"><img src=\"thumbs/" << file
             << "\" alt=\"" << escapeHtml(label(entry)) << "\"></a><figcaption>" << escapeHtml(label(entry));
        if (results.primed[entry]) {
            page << "<small>" << escapeHtml(primerNote()) << "</small>";
        }
        if (catalogue[entry].marks & listensMark) {
            page << "<small>listens: reacts to music in its own way</small>";
        }
        page << "</figcaption></figure>\n";
    }
    page << "</main>\n</body>\n</html>\n";
    const std::string text = page.str();
    return writeFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

// A worker ends with the parent, also when the parent is killed: it would otherwise go on writing files that
// nobody moves into place.
void dieWithParent(pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(1);
    }
}

// Every file of the gallery, relative to its folder: pictures, thumbnails, then the sheet and the page.
std::vector<std::string> galleryFiles(const std::vector<int>& entries) {
    std::vector<std::string> files;
    for (const int entry : entries) {
        files.push_back(entryFile(entry, ".png"));
        files.push_back("thumbs/" + entryFile(entry, ".png"));
    }
    files.push_back("contact-sheet.png");
    files.push_back("index.html");
    return files;
}

} // namespace

int runGallery(const Options& options) {
    const std::string& folder = options.galleryDirectory;
    GalleryWork gallery;
    if (const std::string error = openGalleryWork(folder, gallery); !error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    const std::string& work = gallery.path;
    const std::vector<int> entries = galleryEntries(options);
    void* memory =
        mmap(nullptr, sizeof(SharedResults), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        std::fprintf(stderr, "glowfield: out of memory for the gallery\n");
        closeGalleryWork(gallery);
        return 1;
    }
    auto* results = new (memory) SharedResults{};
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    const int workers =
        static_cast<int>(std::max(1L, std::min<long>(cores, static_cast<long>(entries.size()))));
    const pid_t parent = getpid();
    std::vector<pid_t> children;
    for (int worker = 0; worker < workers; ++worker) {
        const pid_t child = fork();
        if (child == 0) {
            dieWithParent(parent);
            renderShare(options, work, entries, worker, workers, *results);
            std::fflush(nullptr);
            _exit(0);
        }
        if (child < 0) {
            results->failed.fetch_add(1);
            break;
        }
        children.push_back(child);
    }
    ProgressLine progress = ProgressLine::onTerminal("gallery", "entries", entries.size());
    // The wait polls, so that a stop request is seen within a moment: it ends the workers at once.
    size_t running = children.size();
    bool crashed = false;
    bool stopped = false;
    while (running > 0) {
        if (!stopped && stopSignalled()) {
            // Only workers not yet collected: the id of one that was may belong to another process by now.
            stopped = true;
            for (const pid_t child : children) {
                kill(child, SIGKILL);
            }
        }
        int status = 0;
        const pid_t ended = waitpid(-1, &status, stopped ? 0 : WNOHANG);
        if (ended > 0) {
            --running;
            children.erase(std::remove(children.begin(), children.end(), ended), children.end());
            crashed = crashed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        } else if (ended < 0 && errno != EINTR) {
            break;
        } else if (ended == 0) {
            progress.update(static_cast<uint64_t>(results->done.load()));
            usleep(20000);
        }
    }
    progress.update(static_cast<uint64_t>(results->done.load()));
    progress.finish();
    std::string error;
    bool ok = !stopped && !crashed && results->failed.load() == 0 &&
              results->done.load() == static_cast<int>(entries.size());
    if (ok && (!writeContactSheet(work + "/contact-sheet.png", entries, *results, error) ||
               !writeIndex(work + "/index.html", entries, *results, options, error))) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        ok = false;
    }
    stopped = stopped || stopSignalled();
    if (ok && !stopped && !moveGalleryIntoPlace(gallery, galleryFiles(entries), error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        ok = false;
    }
    closeGalleryWork(gallery);
    results->~SharedResults();
    munmap(memory, sizeof(SharedResults));
    if (stopped) {
        std::fprintf(stderr, "glowfield: the gallery was stopped, so %s is left as it was\n", folder.c_str());
        return 1;
    }
    if (!ok) {
        std::fprintf(stderr, "glowfield: the gallery is incomplete, so %s is left as it was\n",
                     folder.c_str());
        return 2;
    }
    return 0;
}

} // namespace glowfield
