// The command line's options of the viewer's choices: --names, --lock, --only, --skip, --switch-seconds,
// --start-effect, --fps, --monitor, --all-monitors, --allow-flashing, --config, and the answers
// --list-monitors and --print-config.
#include "app/viewer_options.h"

#include <charconv>
#include <cmath>

#include "app/effect_list.h"
#include "effects/effect_state.h"

namespace glowfield {

namespace {

bool parseSwitchSeconds(const std::string& text, double& seconds) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, seconds);
    return error == std::errc() && end == last && validSwitchSeconds(seconds);
}

bool parseMonitor(const std::string& text, int& monitor) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, monitor);
    return error == std::errc() && end == last && monitor >= 0;
}

bool parseEntryIndex(const std::string& text, int& entry) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, entry);
    return error == std::errc() && end == last && entry >= 0 && entry < effectCount;
}

bool parseEntries(const std::string& name, const std::string& text, std::optional<std::vector<int>>& entries,
                  std::string& error) {
    std::vector<int> parsed;
    if (const std::string problem = parseEffectList(text, parsed); !problem.empty()) {
        error = name + ": " + problem;
        return false;
    }
    entries = std::move(parsed);
    return true;
}

} // namespace

bool validSwitchSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 && seconds <= maxSwitchSeconds;
}

bool parseViewerOption(const std::string& name, bool hasInlineValue, const ReadValue& readValue,
                       Options& options, std::string& error) {
    const bool flag = name == "--names" || name == "--lock" || name == "--all-monitors" ||
                      name == "--list-monitors" || name == "--print-config" || name == "--fps" ||
                      name == "--allow-flashing";
    const bool valued = name == "--only" || name == "--skip" || name == "--switch-seconds" ||
                        name == "--monitor" || name == "--config" || name == "--start-effect";
    if (!flag && !valued) {
        return false;
    }
    if (flag && hasInlineValue) {
        error = name + " takes no value";
        return true;
    }
    Options::CommandLineChoices& chosen = options.chosen;
    std::string value;
    if (valued && !readValue(value)) {
        return true;
    }
    if (name == "--names") {
        options.names = chosen.names = true;
    } else if (name == "--lock") {
        options.locked = chosen.locked = true;
    } else if (name == "--fps") {
        options.fps = chosen.fps = true;
    } else if (name == "--start-effect") {
        int entry = 0;
        if (parseEntryIndex(value, entry)) {
            options.startEffect = entry;
            chosen.startEffect = true;
        } else {
            error = "--start-effect must be a number from 0 to " + std::to_string(effectCount - 1) +
                    ", not " + quoted(value);
        }
    } else if (name == "--allow-flashing") {
        options.allowFlashing = chosen.allowFlashing = true;
    } else if (name == "--all-monitors") {
        options.allMonitors = chosen.monitors = true;
    } else if (name == "--list-monitors") {
        options.action = Action::listMonitors;
    } else if (name == "--print-config") {
        options.action = Action::printConfig;
    } else if (name == "--only") {
        parseEntries(name, value, chosen.only, error);
    } else if (name == "--skip") {
        parseEntries(name, value, chosen.skip, error);
    } else if (name == "--switch-seconds") {
        if (parseSwitchSeconds(value, options.switchSeconds)) {
            chosen.switchSeconds = true;
        } else {
            error =
                "--switch-seconds must be a number of seconds above 0 and up to 86400, not " + quoted(value);
        }
    } else if (name == "--monitor") {
        int monitor = 0;
        if (parseMonitor(value, monitor)) {
            options.monitor = monitor;
            chosen.monitors = true;
        } else {
            error = "--monitor must be a display's number from 0 (see --list-monitors), not " + quoted(value);
        }
    } else if (name == "--config") {
        options.configPath = value;
    }
    return true;
}

std::string finishViewerOptions(Options& options) {
    const bool fullScreen = !options.headless && (options.displayMode == DisplayMode::desktop ||
                                                  options.displayMode == DisplayMode::exclusive);
    if (options.chosen.monitors && !fullScreen) {
        const std::string display = options.headless                             ? "--headless"
                                    : options.displayMode == DisplayMode::window ? "--window"
                                    : options.hostRoot                           ? "--root"
                                                                                 : "--window-id";
        return std::string(options.monitor ? "--monitor" : "--all-monitors") +
               " chooses where to play full screen, so it cannot be used with " + display;
    }
    if (options.effect && options.startEffect) {
        return "--effect and --start-effect both choose the first effect; --effect also stops the changes";
    }
    if (options.monitor && options.allMonitors) {
        return "--monitor and --all-monitors cannot be used together";
    }
    if (options.chosen.only || options.chosen.skip) {
        options.playable = playableEntries(options.chosen.only, options.chosen.skip);
        if (options.playable.empty()) {
            return options.chosen.only && options.chosen.skip ? "--only and --skip leave no effect to play"
                   : options.chosen.only                      ? "--only leaves no effect to play"
                                                              : "--skip leaves no effect to play";
        }
    }
    return {};
}

} // namespace glowfield
