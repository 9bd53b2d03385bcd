// The viewer's settings in a TOML config file, read with toml++: where the file is, its keys refused with
// the line they stand on, the command line's choices over them, and the settings in effect written back.
#include "app/settings.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <toml++/toml.h>

#include "app/effect_list.h"
#include "app/viewer_options.h"
#include "effects/effect_state.h"

namespace glowfield {

namespace {

// A config file is a few lines; anything this large is the wrong file, and a device would never end.
constexpr size_t maxFileBytes = 1 << 20;

// A key's value that the player cannot use, and the line it stands on.
struct Refusal {
    int64_t line;
    std::string problem;
};

// Text of the input in a message without the quotes: control characters escaped, one line.
std::string shown(const std::string& text) {
    const std::string inQuotes = quoted(text);
    return inQuotes.substr(1, inQuotes.size() - 2);
}

std::string located(const std::string& path, int64_t line, const std::string& problem) {
    return shown(path) + ":" + std::to_string(std::max<int64_t>(line, 1)) + ": " + problem;
}

int64_t lineOf(const toml::node& node) {
    return static_cast<int64_t>(node.source().begin.line);
}

bool readBoolean(const toml::node& node, const std::string& key) {
    if (const auto* value = node.as_boolean()) {
        return value->get();
    }
    throw Refusal{lineOf(node), key + " must be true or false"};
}

void readListText(const toml::node& node, const std::string& key, const std::string& text,
                  std::vector<int>& entries) {
    if (const std::string problem = parseEffectList(text, entries); !problem.empty()) {
        throw Refusal{lineOf(node), key + ": " + problem};
    }
}

// A list of effects as --only writes it, or an array of indices and such lists.
std::vector<int> readEntries(const toml::node& node, const std::string& key) {
    const std::string wrongType =
        key + " must be a list of effects as a string, or an array of indices and strings";
    std::vector<int> entries;
    if (const auto* text = node.as_string()) {
        readListText(node, key, text->get(), entries);
        return entries;
    }
    const auto* array = node.as_array();
    if (!array) {
        throw Refusal{lineOf(node), wrongType};
    }
    for (const toml::node& item : *array) {
        if (const auto* index = item.as_integer()) {
            if (index->get() < 0 || index->get() >= effectCount) {
                throw Refusal{lineOf(item), key + ": no effect " + std::to_string(index->get()) + " (0 to " +
                                                std::to_string(effectCount - 1) + ")"};
            }
            entries.push_back(static_cast<int>(index->get()));
        } else if (const auto* text = item.as_string()) {
            readListText(item, key, text->get(), entries);
        } else {
            throw Refusal{lineOf(item), wrongType};
        }
    }
    return entries;
}

double readSwitchSeconds(const toml::node& node) {
    std::optional<double> seconds;
    if (const auto* value = node.as_floating_point()) {
        seconds = value->get();
    } else if (const auto* whole = node.as_integer()) {
        seconds = static_cast<double>(whole->get());
    }
    if (!seconds || !validSwitchSeconds(*seconds)) {
        throw Refusal{lineOf(node), "switch_seconds must be a number of seconds above 0 and up to 86400"};
    }
    return *seconds;
}

int readMonitor(const toml::node& node) {
    const auto* value = node.as_integer();
    if (!value || value->get() < 0 || value->get() > INT_MAX) {
        throw Refusal{lineOf(node), "monitor must be a display's number from 0"};
    }
    return static_cast<int>(value->get());
}

DisplayMode readDisplay(const toml::node& node) {
    if (const auto* value = node.as_string()) {
        if (value->get() == "desktop") {
            return DisplayMode::desktop;
        }
        if (value->get() == "window") {
            return DisplayMode::window;
        }
        if (value->get() == "exclusive") {
            return DisplayMode::exclusive;
        }
    }
    throw Refusal{lineOf(node), "display must be \"desktop\", \"window\" or \"exclusive\""};
}

// ~ and ~/ start from HOME; any other relative folder from the config file's own folder.
std::string readPictures(const toml::node& node, const std::string& path, const std::string& home) {
    const auto* value = node.as_string();
    if (!value || value->get().empty()) {
        throw Refusal{lineOf(node), "pictures must be the name of a folder"};
    }
    const std::string& folder = value->get();
    if (folder == "~" || folder.rfind("~/", 0) == 0) {
        if (home.empty()) {
            throw Refusal{lineOf(node), "pictures starts with ~, but HOME is not set"};
        }
        return home + folder.substr(1);
    }
    if (folder.front() == '/') {
        return folder;
    }
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? folder : path.substr(0, slash + 1) + folder;
}

void readKey(const std::string& key, const toml::node& node, const std::string& path, const std::string& home,
             FileSettings& settings) {
    if (key == "names") {
        settings.names = readBoolean(node, key);
    } else if (key == "lock") {
        settings.lock = readBoolean(node, key);
    } else if (key == "only") {
        settings.only = readEntries(node, key);
    } else if (key == "skip") {
        settings.skip = readEntries(node, key);
    } else if (key == "switch_seconds") {
        settings.switchSeconds = readSwitchSeconds(node);
    } else if (key == "pictures") {
        settings.pictures = readPictures(node, path, home);
    } else if (key == "monitor") {
        settings.monitor = readMonitor(node);
    } else if (key == "all_monitors") {
        settings.allMonitors = readBoolean(node, key);
    } else if (key == "allow_flashing") {
        settings.allowFlashing = readBoolean(node, key);
    } else if (key == "display") {
        settings.display = readDisplay(node);
    } else {
        throw Refusal{settings.lines[key], "unknown key " + quoted(key)};
    }
}

// The choices a file cannot make together, as the command line cannot either.
void checkTogether(const FileSettings& settings) {
    const bool allMonitors = settings.allMonitors.value_or(false);
    if (settings.monitor && allMonitors) {
        throw Refusal{std::max(settings.lines.at("monitor"), settings.lines.at("all_monitors")),
                      "monitor and all_monitors = true cannot both be set"};
    }
    if ((settings.monitor || allMonitors) && settings.display == DisplayMode::window) {
        throw Refusal{settings.lines.at(settings.monitor ? "monitor" : "all_monitors"),
                      std::string(settings.monitor ? "monitor" : "all_monitors") +
                          " chooses where to play full screen, not with display = \"window\""};
    }
}

std::string noEffectLeft(const FileSettings& file, const Options& options, bool only, bool skip) {
    std::string names = only ? (options.chosen.only ? "--only" : "only") : "";
    if (skip) {
        names += std::string(only ? " and " : "") + (options.chosen.skip ? "--skip" : "skip");
    }
    const std::string problem = names + (only && skip ? " leave" : " leaves") + " no effect to play";
    const bool skipFromFile = skip && !options.chosen.skip;
    if (skipFromFile || (only && !options.chosen.only)) {
        return located(file.path, file.lines.at(skipFromFile ? "skip" : "only"), problem);
    }
    return problem;
}

// A TOML basic string: quotes, backslashes and control characters escaped.
std::string tomlString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The shortest text that reads back as the same double, always a TOML float.
std::string tomlFloat(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

} // namespace

std::string configFilePath(const Options& options, const EnvironmentLookup& environment) {
    if (!options.configPath.empty()) {
        return options.configPath;
    }
    if (const char* config = environment("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return std::string(config) + "/glowfield/config.toml";
    }
    if (const char* home = environment("HOME"); home && *home) {
        return std::string(home) + "/.config/glowfield/config.toml";
    }
    return {};
}

std::string parseSettings(const std::string& text, const std::string& path, const std::string& home,
                          FileSettings& settings) {
    settings.path = path;
    try {
        const toml::table table = toml::parse(text, std::string_view(path));
        // The table keeps its keys sorted; a refusal names the first problem as the file reads.
        std::vector<std::pair<std::string, const toml::node*>> keys;
        for (auto&& [key, node] : table) {
            keys.emplace_back(std::string(key.str()), &node);
            settings.lines[keys.back().first] = static_cast<int64_t>(key.source().begin.line);
        }
        std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
            return settings.lines[a.first] < settings.lines[b.first];
        });
        for (const auto& [key, node] : keys) {
            readKey(key, *node, path, home, settings);
        }
        checkTogether(settings);
    } catch (const toml::parse_error& error) {
        return located(path, static_cast<int64_t>(error.source().begin.line),
                       shown(std::string(error.description())));
    } catch (const Refusal& refusal) {
        return located(path, refusal.line, refusal.problem);
    }
    return {};
}

std::string readSettingsFile(const std::string& path, bool required, const std::string& home,
                             FileSettings& settings) {
    const auto cannotRead = [&](const std::string& reason) {
        return std::string(required ? "cannot read --config file " : "cannot read the config file ") +
               quoted(path) + ": " + reason;
    };
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return errno == ENOENT && !required ? std::string() : cannotRead(std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return cannotRead("it is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return cannotRead(std::strerror(errno));
    }
    std::string text(maxFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        return cannotRead("a read error");
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > maxFileBytes) {
        return cannotRead("it is over 1 MiB, too large for a config file");
    }
    return parseSettings(text, path, home, settings);
}

std::string applySettings(const FileSettings& file, Options& options) {
    const Options::CommandLineChoices& chosen = options.chosen;
    if (!chosen.names && file.names) {
        options.names = *file.names;
    }
    if (!chosen.locked && file.lock) {
        options.locked = *file.lock;
    }
    if (!chosen.allowFlashing && file.allowFlashing) {
        options.allowFlashing = *file.allowFlashing;
    }
    if (!chosen.switchSeconds && file.switchSeconds) {
        options.switchSeconds = *file.switchSeconds;
    }
    if (!options.picturesDirectory && file.pictures) {
        struct stat info {};
        if (stat(file.pictures->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return located(file.path, file.lines.at("pictures"),
                           "pictures " + quoted(*file.pictures) + " is not a folder");
        }
        options.picturesDirectory = file.pictures;
    }
    // A host's window, a run without a display and the gallery keep their display. --monitor and
    // --all-monitors play full screen, also where the file chooses a window.
    const bool ownDisplay =
        options.displayMode == DisplayMode::desktop && !options.headless && options.galleryDirectory.empty();
    if (ownDisplay && file.display && !(chosen.monitors && file.display == DisplayMode::window)) {
        options.displayMode = *file.display;
    }
    if (!chosen.monitors) {
        options.monitor = file.monitor;
        options.allMonitors = file.allMonitors.value_or(false);
    }
    const bool fullScreen =
        !options.headless && options.galleryDirectory.empty() &&
        (options.displayMode == DisplayMode::desktop || options.displayMode == DisplayMode::exclusive);
    if (!fullScreen) {
        options.monitor.reset();
        options.allMonitors = false;
    }
    const std::optional<std::vector<int>>& only = chosen.only ? chosen.only : file.only;
    const std::optional<std::vector<int>>& skip = chosen.skip ? chosen.skip : file.skip;
    if (only || skip) {
        options.playable = playableEntries(only, skip);
        if (options.playable.empty()) {
            return noEffectLeft(file, options, only.has_value(), skip.has_value());
        }
    }
    return {};
}

std::string applyConfigFile(Options& options, const EnvironmentLookup& environment) {
    const char* home = environment("HOME");
    FileSettings settings;
    if (const std::string path = configFilePath(options, environment); !path.empty()) {
        const std::string error =
            readSettingsFile(path, !options.configPath.empty(), home ? home : "", settings);
        if (!error.empty()) {
            return error;
        }
    }
    return applySettings(settings, options);
}

std::string settingsText(const Options& options, const std::string& defaultPictures) {
    std::string text =
        "# glowfield's settings in effect: the config file's, and the command line's over them\n";
    text += std::string("names = ") + (options.names ? "true" : "false") + "\n";
    text += std::string("lock = ") + (options.locked ? "true" : "false") + "\n";
    std::vector<int> playable =
        options.playable.empty() ? playableEntries(std::nullopt, std::nullopt) : options.playable;
    text += "only = " + tomlString(compactEffectList(playable)) + "\n";
    text += "switch_seconds = " + tomlFloat(options.switchSeconds) + "\n";
    text += std::string("allow_flashing = ") + (options.allowFlashing ? "true" : "false") + "\n";
    if (options.picturesDirectory) {
        // A relative folder in a file would start from the file's folder.
        const std::filesystem::path folder = std::filesystem::absolute(*options.picturesDirectory);
        text += "pictures = " + tomlString(folder.lexically_normal().string()) + "\n";
    } else if (!defaultPictures.empty()) {
        // Left out, so that the file follows the user's pictures folder wherever it moves.
        text += "# pictures = " + tomlString(defaultPictures) + " (the user's pictures folder)\n";
    }
    if (options.headless || !options.galleryDirectory.empty()) {
        text += "# display: none, the frames are rendered in memory\n";
    } else if (options.displayMode == DisplayMode::hosted) {
        text += "# display: a window of another program\n";
    } else {
        text += std::string("display = ") +
                (options.displayMode == DisplayMode::window      ? "\"window\""
                 : options.displayMode == DisplayMode::exclusive ? "\"exclusive\""
                                                                 : "\"desktop\"") +
                "\n";
    }
    if (options.monitor) {
        text += "monitor = " + std::to_string(*options.monitor) + "\n";
    } else {
        text += std::string("all_monitors = ") + (options.allMonitors ? "true" : "false") + "\n";
    }
    return text;
}

} // namespace glowfield
