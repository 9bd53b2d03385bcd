#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/recorder.h"
#include "app/small_file.h"
#include "app/viewer_options.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"

namespace glowfield {

namespace {

// Whole decimal numbers only: no sign unless allowed, no spaces, no trailing characters.
template <typename Number> bool parseWhole(const std::string& text, Number& value) {
    if (text.empty()) {
        return false;
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

} // namespace

namespace {

// Takes the value of an option given as "--name value" or "--name=value".
struct ValueReader {
    const std::vector<std::string>& args;
    size_t& at;
    std::string& error;

    bool read(const std::string& name, const std::optional<std::string>& inlineValue, std::string& value) {
        if (inlineValue) {
            value = *inlineValue;
        } else if (at + 1 < args.size()) {
            value = args[++at];
        } else {
            error = name + " needs a value";
            return false;
        }
        if (value.empty()) {
            error = name + " needs a value";
            return false;
        }
        // "--screenshot --dump-field" is a forgotten value, not a file named "--dump-field"; such a name can
        // still be given as "--screenshot=./--dump-field".
        if (!inlineValue && value.rfind("--", 0) == 0) {
            error = name + " needs a value, not the option " + quoted(value);
            return false;
        }
        return true;
    }
};

bool parseSeed(const std::string& text, int32_t& seed, std::string& error) {
    // Any value the 32-bit seed can hold, written signed or unsigned.
    int64_t value = 0;
    if (!parseWhole(text, value)) {
        error = "--seed must be a whole number, not " + quoted(text);
        return false;
    }
    if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)) {
        error = "--seed must be between -2147483648 and 4294967295, not " + text;
        return false;
    }
    seed = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

bool parseEffect(const std::string& text, int& effect, std::string& error) {
    int value = 0;
    if (!parseWhole(text, value) || value < 0 || value >= effectCount) {
        error = "--effect must be a number from 0 to " + std::to_string(effectCount - 1) + ", not " +
                quoted(text);
        return false;
    }
    effect = value;
    return true;
}

// An X11 window id as screen saver hosts write it: decimal or 0x hexadecimal, not 0.
bool parseWindowId(const std::string& text, uint32_t& id) {
    uint64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc() || end != last || value == 0 || value > UINT32_MAX) {
        return false;
    }
    id = static_cast<uint32_t>(value);
    return true;
}

bool parseFrames(const std::string& text, uint64_t& frames, std::string& error) {
    if (!parseWhole(text, frames)) {
        error = "--frames must be a whole number of frames, not " + quoted(text);
        return false;
    }
    return true;
}

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult parsed;
    Options& options = parsed.options;
    std::string& error = parsed.error;
    bool window = false;
    bool exclusive = false;
    bool hosted = false;
    for (size_t at = 0; at < args.size() && error.empty(); ++at) {
        std::string name = args[at];
        // Screen saver hosts and their settings dialogs write these two with a single dash.
        if (name == "-window-id" || name == "-root" || name.rfind("-window-id=", 0) == 0) {
            name = "-" + name;
        }
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0) {
            const size_t equals = name.find('=');
            if (equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
        }
        ValueReader reader{args, at, error};
        std::string value;
        const bool takesNoValue = name == "--help" || name == "--version" || name == "--list" ||
                                  name == "--window" || name == "--exclusive" || name == "--headless" ||
                                  name == "--root";
        if (takesNoValue && inlineValue) {
            error = name + " takes no value";
        } else if (name == "--help") {
            options.action = Action::help;
            return parsed;
        } else if (name == "--version") {
            options.action = Action::version;
            return parsed;
        } else if (name == "--list") {
            options.action = Action::list;
            return parsed;
        } else if (name == "--window") {
            window = true;
        } else if (name == "--exclusive") {
            exclusive = true;
        } else if (name == "--headless") {
            options.headless = true;
        } else if (name == "--root") {
            // A window named by --window-id wins, wherever it stands: a settings dialog's preview adds its
            // own window to the daemon's -root.
            hosted = true;
            options.hostRoot = options.hostWindow == 0;
        } else if (name == "--window-id") {
            if (reader.read(name, inlineValue, value)) {
                if (parseWindowId(value, options.hostWindow)) {
                    hosted = true;
                    options.hostRoot = false;
                } else {
                    error = "--window-id must be an X11 window id (decimal or 0x hexadecimal), not " +
                            quoted(value);
                }
            }
        } else if (name == "--seed") {
            int32_t seed = 0;
            if (reader.read(name, inlineValue, value) && parseSeed(value, seed, error)) {
                options.seed = seed;
            }
        } else if (name == "--effect") {
            int effect = 0;
            if (reader.read(name, inlineValue, value) && parseEffect(value, effect, error)) {
                options.effect = effect;
            }
        } else if (name == "--frames") {
            uint64_t frames = 0;
            if (reader.read(name, inlineValue, value) && parseFrames(value, frames, error)) {
                options.frames = frames;
            }
        } else if (name == "--screenshot") {
            if (reader.read(name, inlineValue, value)) {
                options.screenshotPath = value;
            }
        } else if (name == "--dump-field") {
            if (reader.read(name, inlineValue, value)) {
                options.dumpFieldPath = value;
            }
        } else if (name == "--gallery") {
            if (reader.read(name, inlineValue, value)) {
                options.galleryDirectory = value;
            }
        } else if (name == "--record") {
            if (reader.read(name, inlineValue, value)) {
                options.recordPath = value;
                if (!videoFormatOf(value)) {
                    error = "--record makes a .y4m, .mp4, .webm or .gif file, not " + quoted(value);
                }
            }
        } else if (name == "--record-size") {
            if (reader.read(name, inlineValue, value) &&
                !parseVideoSize(value, options.recordWidth, options.recordHeight)) {
                error = "--record-size must be WIDTHxHEIGHT in even numbers from 16x16 to 7680x4320, not " +
                        quoted(value);
            }
        } else if (name == "--pictures") {
            if (reader.read(name, inlineValue, value)) {
                options.picturesDirectory = value;
            }
        } else if (parseViewerOption(
                       name, inlineValue.has_value(),
                       [&](std::string& text) { return reader.read(name, inlineValue, text); }, options,
                       error)) {
            if (options.action == Action::listMonitors) {
                return parsed;
            }
        } else if (name.rfind("-", 0) == 0 && name.size() > 1) {
            error = "unknown option " + quoted(name) + " (see --help)";
        } else {
            error = "unexpected argument " + quoted(name) + " (see --help)";
        }
    }
    if (error.empty()) {
        if (!options.galleryDirectory.empty() &&
            (hosted || window || exclusive || options.headless || !options.screenshotPath.empty() ||
             !options.dumpFieldPath.empty() || options.effect || options.chosen.names ||
             options.chosen.locked || options.chosen.switchSeconds || options.chosen.monitors ||
             options.chosen.fps || options.startEffect || !options.recordPath.empty())) {
            error = "--gallery renders every entry headless into its folder; it takes only --seed, --frames, "
                    "--pictures, --only, --skip and --config";
        } else if (hosted && (window || exclusive || options.headless)) {
            error = std::string(options.hostRoot ? "--root" : "--window-id") +
                    " draws into a window of another program, so it cannot be used with " +
                    (window      ? "--window"
                     : exclusive ? "--exclusive"
                                 : "--headless");
        } else if (!options.recordPath.empty() && options.frames && *options.frames == 0) {
            error = "--record with --frames 0 would make a video of no frames; give at least one frame";
        } else if (options.recordWidth != 0 && options.recordPath.empty()) {
            error = "--record-size is the size of the --record video, which is not given";
        } else if (window && exclusive) {
            error = "--window and --exclusive cannot be used together";
        } else if (options.headless && (window || exclusive)) {
            error = std::string("--headless opens no display, so it cannot be used with ") +
                    (window ? "--window" : "--exclusive");
        }
    }
    if (error.empty()) {
        options.displayMode = hosted      ? DisplayMode::hosted
                              : window    ? DisplayMode::window
                              : exclusive ? DisplayMode::exclusive
                                          : DisplayMode::desktop;
        error = finishViewerOptions(options);
    }
    return parsed;
}

} // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args) {
    // --help anywhere asks for the help text, whatever else the line holds: someone who asks for help
    // while getting the rest wrong needs it most. A word "--help" is never a value (a file of that name is
    // written "--screenshot=--help"), so "--screenshot --help" asks for help too.
    if (std::find(args.begin(), args.end(), std::string("--help")) == args.end()) {
        return parseOptions(args);
    }
    ParseResult parsed;
    parsed.options.action = Action::help;
    return parsed;
}

namespace {

// XDG_PICTURES_DIR as the user-dirs.dirs file writes it: XDG_PICTURES_DIR="$HOME/Pictures".
std::string picturesFromUserDirs(const std::string& path, const std::string& home) {
    // Only a regular file of a sane size is read: a FIFO or a device at that name would hold up every start.
    std::string text, reason;
    if (readSmallFile(path, 1 << 20, false, text, reason) != SmallFileRead::read) {
        return {};
    }
    std::istringstream in(text);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) {
            continue;
        }
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        return value;
    }
    return {};
}

} // namespace

std::string defaultPicturesDirectory(const EnvironmentLookup& environment) {
    auto lookup = [&](const char* name) -> std::string {
        const char* value = environment(name);
        return value ? value : "";
    };
    if (std::string pictures = lookup("GLOWFIELD_PICTURES"); !pictures.empty()) {
        return pictures;
    }
    if (std::string pictures = lookup("XDG_PICTURES_DIR"); !pictures.empty()) {
        return pictures;
    }
    const std::string home = lookup("HOME");
    std::string config = lookup("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) {
        config = home + "/.config";
    }
    if (!config.empty()) {
        if (std::string pictures = picturesFromUserDirs(config + "/user-dirs.dirs", home);
            !pictures.empty()) {
            return pictures;
        }
    }
    return home.empty() ? "" : home + "/Pictures";
}

bool canWriteFile(const std::string& path, std::string& reason) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) {
        reason = "it names a folder";
        return false;
    }
    // A name the file system cannot hold; the temporary file beside it shortens its own copy of the name.
    if (base.size() > NAME_MAX || path.size() >= PATH_MAX) {
        reason = "the name is too long";
        return false;
    }
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode) && stat(path.c_str(), &info) != 0) {
            reason = "it is a symbolic link to nothing";
            return false;
        }
        if (S_ISDIR(info.st_mode)) {
            reason = "it is a folder";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            reason = "it is not a regular file";
            return false;
        }
        if (access(path.c_str(), W_OK) != 0) {
            reason = std::strerror(errno);
            return false;
        }
    }
    if (stat(folder.c_str(), &info) != 0) {
        reason = "folder " + quoted(folder) + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        reason = quoted(folder) + " is not a folder";
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        reason = "folder " + quoted(folder) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool nameSameFile(const std::string& first, const std::string& second) {
    struct stat a {
    }, b{};
    if (stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    // Not both there yet: the same name in the same folder, however the folders are written.
    const auto canonical = [](const std::string& path) {
        const size_t slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
        char resolved[PATH_MAX];
        const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        return std::string(realpath(folder.c_str(), resolved) ? resolved : folder) + "/" + base;
    };
    return canonical(first) == canonical(second);
}

std::string applySaverEnvironment(Options& options, const EnvironmentLookup& environment) {
    const char* value = environment("XSCREENSAVER_WINDOW");
    // The daemon starts its savers with --root and names the window it made for them here: --root then
    // means that window, not the real root underneath it. --window-id still names its own window. Only a
    // run that would draw into the host's window looks at it: not the gallery or --print-config.
    const bool root = options.displayMode == DisplayMode::hosted && options.hostRoot;
    const bool drawsOnScreen = options.action == Action::run && options.galleryDirectory.empty();
    if (!value || !*value || !drawsOnScreen || options.headless ||
        (options.displayMode != DisplayMode::desktop && !root)) {
        return {};
    }
    if (!parseWindowId(value, options.hostWindow)) {
        return "XSCREENSAVER_WINDOW must be an X11 window id (decimal or 0x hexadecimal), not " +
               quoted(value);
    }
    options.displayMode = DisplayMode::hosted;
    options.hostRoot = false;
    return {};
}

std::string checkPaths(const Options& options) {
    std::string reason;
    if (!options.screenshotPath.empty() && !canWriteFile(options.screenshotPath, reason)) {
        return "cannot write --screenshot file " + quoted(options.screenshotPath, shownPathCharacters) +
               ": " + reason;
    }
    if (!options.dumpFieldPath.empty() && !canWriteFile(options.dumpFieldPath, reason)) {
        return "cannot write --dump-field file " + quoted(options.dumpFieldPath, shownPathCharacters) + ": " +
               reason;
    }
    if (!options.screenshotPath.empty() && !options.dumpFieldPath.empty() &&
        nameSameFile(options.screenshotPath, options.dumpFieldPath)) {
        return "--screenshot and --dump-field name the same file " + quoted(options.dumpFieldPath);
    }
    if (!options.recordPath.empty()) {
        if (!canWriteFile(options.recordPath, reason)) {
            return "cannot write --record file " + quoted(options.recordPath, shownPathCharacters) + ": " +
                   reason;
        }
        for (const auto& [other, name] : {std::pair{&options.screenshotPath, "--screenshot"},
                                          std::pair{&options.dumpFieldPath, "--dump-field"}}) {
            if (!other->empty() && nameSameFile(options.recordPath, *other)) {
                return std::string("--record and ") + name + " name the same file " + quoted(*other);
            }
        }
        if (const std::string program = missingRecordingProgram(options.recordPath); !program.empty()) {
            return "--record " + quoted(options.recordPath) + " needs the program " + program +
                   ", which is not on PATH";
        }
    }
    if (options.picturesDirectory) {
        struct stat info {};
        if (stat(options.picturesDirectory->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return "--pictures " + quoted(*options.picturesDirectory) + " is not a folder";
        }
    }
    return {};
}

std::string usageText() {
    return "Usage: glowfield [options]\n"
           "A full-screen player of 242 visual effects on a 200 x 200 field of coloured light.\n"
           "\n"
           "Options:\n"
           "  --help             show this text and exit\n"
           "  --version          show the version and exit\n"
           "  --list             list the effects as 'index name' and exit; '(flashes)' follows\n"
           "                     the effects that flash often\n"
           "  --window           play in an ordinary 800 x 600 window\n"
           "  --exclusive        switch the display to 800 x 600 while playing\n"
           "  --seed S           start the random sequence from S instead of the clock\n"
           "  --effect N         start with effect N (0..241) and no automatic changes, as key z does\n"
           "  --start-effect N   start with effect N (0..241); the automatic changes go on from it\n"
           "  --frames K         stop after K frames\n"
           "  --headless         no display: render the frames into memory at full speed\n"
           "  --screenshot FILE  at the end, write the picture as an 800 x 600 PNG\n"
           "  --dump-field FILE  at the end, write the field's live cells as little-endian float32\n"
           "  --pictures DIR     folder of .bmp, .png and .jpg pictures (default: $GLOWFIELD_PICTURES, else\n"
           "                     the user's pictures folder)\n"
           "  --window-id ID     draw into the X11 window ID (decimal or 0x hex), as a screen saver's host\n"
           "                     asks; also -window-id, or XSCREENSAVER_WINDOW in the environment\n"
           "  --root             draw into the screen saver's window that XSCREENSAVER_WINDOW names, else\n"
           "                     into the (virtual) root window (also -root)\n"
           "  --gallery DIR      render every effect headless (--frames, default 200, --seed, default 1)\n"
           "                     into DIR: NNN.png, thumbs/, contact-sheet.png and index.html\n"
           "  --names            show the effect's index and name for a while after each change\n"
           "  --lock             start with the automatic changes off\n"
           "  --only LIST        play only these effects: comma-separated indices, ranges such as 1-24\n"
           "                     and names as --list prints them\n"
           "  --skip LIST        never play these effects (a LIST as for --only)\n"
           "  --allow-flashing   let the automatic changes choose the effects that flash often too\n"
           "  --switch-seconds S change the effect every S seconds (default 15, decimals allowed)\n"
           "  --fps              show the frames per second and the frame time in the upper left corner\n"
           "  --monitor N        play full screen on display N (0, 1, ...)\n"
           "  --all-monitors     play full screen on every display\n"
           "  --list-monitors    list the displays and exit\n"
           "  --config FILE      read the settings from FILE instead of\n"
           "                     $XDG_CONFIG_HOME/glowfield/config.toml (~/.config/glowfield/...)\n"
           "  --print-config     print the settings in effect as a config file and exit\n"
           "  --record FILE      write every frame as a 50 fps video: .y4m (written by glowfield), .mp4,\n"
           "                     .webm or .gif (encoded by the ffmpeg program)\n"
           "  --record-size WxH  the video's size (default 800x600), scaled with hard pixel edges\n"
           "\n"
           "Keys: 0-9 choose an effect by three-digit number, space a random one, '.' the next of a fixed\n"
           "tour, z restarts with effect 0 and no automatic changes; k locks the current effect, n shows\n"
           "or hides its name; Enter halves the colours and stops the motion, i inverts, m doubles, l "
           "shifts\n"
           "the field left. Esc or a left click ends.\n";
}

std::string effectListText() {
    std::string text;
    for (int index = 0; index < effectCount; ++index) {
        text += std::to_string(index);
        if (const char* name = effectName(index)) {
            text += std::string(" ") + name;
        }
        if (catalogue[index].marks & flashesMark) {
            text += " (flashes)";
        }
        text += "\n";
    }
    return text;
}

} // namespace glowfield
