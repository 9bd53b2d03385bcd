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
#include "app/option_table.h"
#include "app/small_file.h"
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
std::string shown(const std::string& text, size_t limit = shownValueCharacters) {
    return escaped(text, limit);
}

std::string located(const std::string& path, int64_t line, const std::string& problem) {
    return shown(path, shownPathCharacters) + ":" + std::to_string(std::max<int64_t>(line, 1)) + ": " +
           problem;
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

// An index, or a name as --list prints it.
int readStartEffect(const toml::node& node) {
    std::vector<int> entries;
    if (const auto* index = node.as_integer(); index && index->get() >= 0 && index->get() < effectCount) {
        return static_cast<int>(index->get());
    }
    if (const auto* text = node.as_string();
        text && parseEffectList(text->get(), entries).empty() && entries.size() == 1) {
        return entries.front();
    }
    throw Refusal{lineOf(node), "start_effect must be one effect: its index (0 to " +
                                    std::to_string(effectCount - 1) + ") or its name"};
}

// listen = true or false, or the name of the sound server's source to listen to.
void readListen(const toml::node& node, FileSettings& settings) {
    if (const auto* value = node.as_boolean()) {
        settings.listen = value->get();
        settings.listenSource.clear();
        return;
    }
    const auto* name = node.as_string();
    if (!name || name->get().empty()) {
        throw Refusal{lineOf(node), "listen must be true, false or the name of a sound source"};
    }
    settings.listen = true;
    settings.listenSource = name->get();
}

// ~ and ~/ start from HOME; any other relative name from the config file's own folder.
std::string readFileName(const toml::node& node, const std::string& key, const std::string& path,
                         const std::string& home) {
    const auto* value = node.as_string();
    if (!value || value->get().empty()) {
        throw Refusal{lineOf(node), key == "pictures" ? "pictures must be the name of a folder"
                                                      : key + " must be the name of a file"};
    }
    const std::string& folder = value->get();
    if (folder == "~" || folder.rfind("~/", 0) == 0) {
        if (home.empty()) {
            throw Refusal{lineOf(node), key + " starts with ~, but HOME is not set"};
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
    if (!isConfigKey(key)) {
        throw Refusal{settings.lines[key], "unknown key " + quoted(key)};
    }
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
        settings.pictures = readFileName(node, key, path, home);
    } else if (key == "monitor") {
        settings.monitor = readMonitor(node);
    } else if (key == "all_monitors") {
        settings.allMonitors = readBoolean(node, key);
    } else if (key == "allow_flashing") {
        settings.allowFlashing = readBoolean(node, key);
    } else if (key == "display") {
        settings.display = readDisplay(node);
    } else if (key == "fps") {
        settings.fps = readBoolean(node, key);
    } else if (key == "start_effect") {
        settings.startEffect = readStartEffect(node);
    } else if (key == "listen") {
        readListen(node, settings);
    } else if (key == "audio") {
        settings.audio = readFileName(node, key, path, home);
    } else if (key == "switch_on_beat") {
        settings.switchOnBeat = readBoolean(node, key);
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

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF), which is all a
// TOML file may hold.
bool isUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        uint32_t code = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3f);
        }
        static const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
            return false;
        }
        i += static_cast<size_t>(length);
    }
    return true;
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
            try {
                readKey(key, *node, path, home, settings);
            } catch (const Refusal& refusal) {
                if (!settings.keepGoing) {
                    throw;
                }
                settings.problems.push_back(located(path, refusal.line, refusal.problem));
            }
        }
        try {
            checkTogether(settings);
        } catch (const Refusal& refusal) {
            if (!settings.keepGoing) {
                throw;
            }
            // Only full screen uses them, which a hosted run never is.
            settings.problems.push_back(located(path, refusal.line, refusal.problem));
            settings.monitor.reset();
            settings.allMonitors.reset();
        }
    } catch (const toml::parse_error& error) {
        return located(path, static_cast<int64_t>(error.source().begin.line),
                       shown(std::string(error.description()), shownPathCharacters));
    } catch (const Refusal& refusal) {
        return located(path, refusal.line, refusal.problem);
    }
    return {};
}

std::string readSettingsFile(const std::string& path, bool required, const std::string& home,
                             FileSettings& settings) {
    const auto cannotRead = [&](const std::string& reason) {
        return std::string(required ? "cannot read --config file " : "cannot read the config file ") +
               quoted(path, shownPathCharacters) + ": " + reason;
    };
    // The default path and any name but a pipe given on the command line must be a regular file: a FIFO or a
    // device there would hold up every start.
    std::string text, reason;
    switch (readSmallFile(path, maxFileBytes, required, text, reason)) {
    case SmallFileRead::missing:
        return required ? cannotRead(std::strerror(ENOENT)) : std::string();
    case SmallFileRead::refused:
        return cannotRead(reason == "it is over 1 MiB, too large"
                              ? "it is over 1 MiB, too large for a config file"
                              : reason);
    case SmallFileRead::read:
        break;
    }
    return parseSettings(text, path, home, settings);
}

std::string applySettings(const FileSettings& file, Options& options, std::vector<std::string>* problems) {
    const Options::CommandLineChoices& chosen = options.chosen;
    // A refusal, or with problems given a note of it, the setting left at its default.
    const auto refuse = [problems](const std::string& problem) {
        if (problems) {
            problems->push_back(problem);
        }
        return problems == nullptr;
    };
    if (!chosen.fps && file.fps) {
        options.fps = *file.fps;
    }
    if (!chosen.listen && !chosen.audio && file.listen) {
        options.listen = *file.listen;
        options.listenSource = file.listenSource;
    }
    // --effect chooses the first effect as well, and stops the changes.
    if (!chosen.startEffect && !options.effect && file.startEffect) {
        options.startEffect = file.startEffect;
    }
    if (!chosen.audio && !chosen.listen && file.audio) {
        options.audioPath = *file.audio;
    }
    if (!chosen.switchOnBeat && file.switchOnBeat) {
        options.switchOnBeat = *file.switchOnBeat;
    }
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
        if (stat(file.pictures->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            options.picturesDirectory = file.pictures;
        } else if (const std::string problem =
                       located(file.path, file.lines.at("pictures"),
                               "pictures " + quoted(*file.pictures) + " is not a folder");
                   refuse(problem)) {
            return problem;
        }
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
            const std::string problem = noEffectLeft(file, options, only.has_value(), skip.has_value());
            if (refuse(problem)) {
                return problem;
            }
            // The command line's own choice, which was checked to leave effects.
            options.playable =
                chosen.only || chosen.skip ? playableEntries(chosen.only, chosen.skip) : std::vector<int>{};
        }
    }
    return {};
}

std::string applyConfigFile(Options& options, const EnvironmentLookup& environment,
                            std::vector<std::string>* problems) {
    const char* home = environment("HOME");
    FileSettings settings;
    settings.keepGoing = problems != nullptr;
    if (const std::string path = configFilePath(options, environment); !path.empty()) {
        const std::string error =
            readSettingsFile(path, !options.configPath.empty(), home ? home : "", settings);
        if (!error.empty() && !problems) {
            return error;
        }
        if (!error.empty()) {
            // Nothing of a file that cannot be read or parsed is used.
            problems->push_back(error);
            settings = FileSettings{};
        }
        if (problems) {
            problems->insert(problems->end(), settings.problems.begin(), settings.problems.end());
        }
    }
    return applySettings(settings, options, problems);
}

std::string checkPrintable(const Options& options) {
    if (!options.picturesDirectory) {
        return {};
    }
    const std::string& folder = *options.picturesDirectory;
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return "--pictures " + quoted(folder, shownPathCharacters) + " is not a folder";
    }
    if (!isUtf8(std::filesystem::absolute(folder).string())) {
        return "--print-config cannot write the pictures folder " + quoted(folder, shownPathCharacters) +
               ": a config file holds only UTF-8 text";
    }
    return {};
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
        // A comment is UTF-8 too: a name that is not is shown with its bytes escaped.
        std::string name = tomlString(defaultPictures);
        if (!isUtf8(defaultPictures)) {
            name.clear();
            for (const char c : defaultPictures) {
                const auto byte = static_cast<unsigned char>(c);
                static const char hex[] = "0123456789abcdef";
                name += byte >= 0x20 && byte < 0x7f ? std::string(1, c)
                                                    : std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
            }
        }
        text += "# pictures = " + name + " (the user's pictures folder)\n";
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
    text += std::string("fps = ") + (options.fps ? "true" : "false") + "\n";
    if (!options.audioPath.empty() && isUtf8(options.audioPath)) {
        text += "audio = " +
                tomlString(std::filesystem::absolute(options.audioPath).lexically_normal().string()) + "\n";
    }
    text += std::string("switch_on_beat = ") + (options.switchOnBeat ? "true" : "false") + "\n";
    if (options.startEffect) {
        text += "start_effect = " + std::to_string(*options.startEffect) + "\n";
    }
    if (options.listen) {
        text +=
            "listen = " + (options.listenSource.empty() ? "true" : tomlString(options.listenSource)) + "\n";
    }
    if (options.monitor) {
        text += "monitor = " + std::to_string(*options.monitor) + "\n";
    } else {
        text += std::string("all_monitors = ") + (options.allMonitors ? "true" : "false") + "\n";
    }
    return text;
}

} // namespace glowfield
