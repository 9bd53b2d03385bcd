#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/option_table.h"
#include "app/recorder.h"
#include "app/small_file.h"
#include "app/sound_options.h"
#include "effects/catalogue.h"
#include "effects/effect_state.h"

namespace glowfield {

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

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult parsed;
    Options& options = parsed.options;
    std::string& error = parsed.error;
    OptionParse parse{options};
    for (size_t at = 0; at < args.size() && error.empty(); ++at) {
        std::string name = args[at];
        // Screen saver hosts and their settings dialogs write a few options with a single dash.
        if (const OptionRow* alias = findAlias(name)) {
            name = alias->name + name.substr(std::strlen(alias->alias));
        }
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0) {
            const size_t equals = name.find('=');
            if (equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
        }
        const OptionRow* row = findOption(name);
        ValueReader reader{args, at, error};
        std::string value;
        if (!row) {
            error = name.rfind("-", 0) == 0 && name.size() > 1
                        ? "unknown option " + quoted(name) + " (see --help)"
                        : "unexpected argument " + quoted(name) + " (see --help)";
        } else if (!row->value && inlineValue) {
            error = name + " takes no value";
        } else if (row->value && row->value[0] == '[') {
            // An optional value: written as --name=VALUE, or the next word when that is not an option.
            if (inlineValue) {
                value = *inlineValue;
                if (value.empty()) {
                    error = name + "= needs a " + std::string(row->value + 1, std::strlen(row->value) - 2) +
                            " (see --help)";
                }
            } else if (at + 1 < args.size() && !args[at + 1].empty() && args[at + 1][0] != '-') {
                value = args[++at];
            }
            if (error.empty()) {
                row->apply(value, parse, error);
            }
        } else if (!row->value || reader.read(name, inlineValue, value)) {
            row->apply(value, parse, error);
            if (row->endsParsing && error.empty()) {
                return parsed;
            }
        }
    }
    const bool window = parse.window, exclusive = parse.exclusive, hosted = parse.hosted;
    if (error.empty()) {
        if (!options.galleryDirectory.empty() &&
            (hosted || window || exclusive || options.headless || !options.screenshotPath.empty() ||
             !options.dumpFieldPath.empty() || options.effect || options.chosen.names ||
             options.chosen.locked || options.chosen.switchSeconds || options.chosen.monitors ||
             options.chosen.fps || options.startEffect || !options.recordPath.empty() || options.listen)) {
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
        } else if (options.listen && !options.audioPath.empty()) {
            error = "--listen and --audio cannot be used together: the effects hear one sound";
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
    if (error.empty()) {
        error = checkSoundOptions(options);
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
    return "Usage: glowfield [options]\nA full-screen player of " + std::to_string(effectCount) +
           " visual effects on a 200 x 200 field of coloured light.\n\nOptions:\n" + optionsHelp() +
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
        if (catalogue[index].marks & listensMark) {
            text += " (listens)";
        }
        text += "\n";
    }
    return text;
}

} // namespace glowfield
