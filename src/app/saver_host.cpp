// What screen saver daemons hand to their savers: the daemon's pictures folder from its settings file, and
// the saver's command line with a dialog's slip left out.
#include "app/saver_host.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

namespace glowfield {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

} // namespace

std::string imageDirectoryFromSettings(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    std::string line;
    const std::string key = "imageDirectory:";
    std::string folder;
    while (std::getline(lines, line)) {
        if (line.rfind(key, 0) == 0) {
            folder = trimmed(line.substr(key.size()));
        }
    }
    if (folder == "~" || folder.rfind("~/", 0) == 0) {
        folder = home.empty() ? std::string() : home + folder.substr(1);
    }
    // The daemon also takes the address of a feed here; only a folder is of use to the player.
    return folder.find("://") == std::string::npos ? folder : std::string();
}

std::string saverImageDirectory(const EnvironmentLookup& environment) {
    const char* home = environment("HOME");
    if (!home || !*home) {
        return {};
    }
    const std::string path = std::string(home) + "/.xscreensaver";
    struct stat info {};
    // Only a regular file is read: a FIFO or a device there would never end.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > (1 << 20)) {
        return {};
    }
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string folder = imageDirectoryFromSettings(text.str(), home);
    return !folder.empty() && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? folder
                                                                                        : std::string();
}

bool startedBySaver(const std::vector<std::string>& args, const EnvironmentLookup& environment) {
    const char* window = environment("XSCREENSAVER_WINDOW");
    if (window && *window) {
        return true;
    }
    for (const std::string& arg : args) {
        if (arg == "-root" || arg == "--root" || arg.rfind("-window-id", 0) == 0 ||
            arg.rfind("--window-id", 0) == 0) {
            return true;
        }
    }
    return false;
}

ParseResult parseSaverCommandLine(const std::vector<std::string>& args, std::string& leftOut) {
    ParseResult whole = parseCommandLine(args);
    if (whole.error.empty()) {
        return whole;
    }
    for (size_t at = 0; at < args.size(); ++at) {
        // Only the choices a settings dialog writes from what the user typed or picked; a clash of display
        // options is the command line's own mistake and stays refused.
        const std::string name = args[at].substr(0, args[at].find('='));
        static const char* const dialogChoices[] = {
            "--only", "--skip", "--switch-seconds", "--start-effect", "--effect", "--seed", "--pictures"};
        if (std::find(std::begin(dialogChoices), std::end(dialogChoices), name) == std::end(dialogChoices)) {
            continue;
        }
        // The option alone, then with the value after it.
        for (size_t count = 1; count <= 2 && at + count <= args.size(); ++count) {
            std::vector<std::string> rest(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(at));
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(at + count), args.end());
            ParseResult parsed = parseCommandLine(rest);
            if (parsed.error.empty()) {
                leftOut = whole.error;
                return parsed;
            }
        }
    }
    return whole;
}

} // namespace glowfield
