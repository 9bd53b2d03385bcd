// The table of the player's options, each row with its help, its config key and what it does to Options.
#include "app/option_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>

#include "app/effect_list.h"
#include "app/recorder.h"
#include "effects/effect_state.h"

namespace glowfield {

namespace {

// Whole decimal numbers only: no sign unless the type has one, no spaces, no trailing characters.
template <typename Number> bool parseWhole(const std::string& text, Number& value) {
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    return !text.empty() && error == std::errc() && end == last;
}

void seed(const std::string& text, OptionParse& parse, std::string& error) {
    // Any value the 32-bit seed can hold, written signed or unsigned.
    int64_t value = 0;
    if (!parseWhole(text, value)) {
        error = "--seed must be a whole number, not " + quoted(text);
    } else if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)) {
        error = "--seed must be between -2147483648 and 4294967295, not " + text;
    } else {
        parse.options.seed = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
}

// An entry's index for name, or the error naming the range.
bool entryIndex(const char* name, const std::string& text, int& entry, std::string& error) {
    if (parseWhole(text, entry) && entry >= 0 && entry < effectCount) {
        return true;
    }
    error = std::string(name) + " must be a number from 0 to " + std::to_string(effectCount - 1) + ", not " +
            quoted(text);
    return false;
}

void entries(const char* name, const std::string& text, std::optional<std::vector<int>>& chosen,
             std::string& error) {
    std::vector<int> parsed;
    if (const std::string problem = parseEffectList(text, parsed); !problem.empty()) {
        error = std::string(name) + ": " + problem;
    } else {
        chosen = std::move(parsed);
    }
}

using Parse = OptionParse;
using Text = const std::string&;

constexpr std::array rows{
    OptionRow{"--help", nullptr, nullptr, "show this text and exit", nullptr, true,
              [](Text, Parse& p, std::string&) { p.options.action = Action::help; }},
    OptionRow{"--version", nullptr, nullptr, "show the version and exit", nullptr, true,
              [](Text, Parse& p, std::string&) { p.options.action = Action::version; }},
    OptionRow{"--list", nullptr, nullptr,
              "list the effects as 'index name' and exit; '(flashes)' follows\nthe effects that flash often, "
              "'(listens)' those that react to sound",
              nullptr, true, [](Text, Parse& p, std::string&) { p.options.action = Action::list; }},
    OptionRow{"--window", nullptr, nullptr, "play in an ordinary 800 x 600 window", "display", false,
              [](Text, Parse& p, std::string&) { p.window = true; }},
    OptionRow{"--exclusive", nullptr, nullptr, "switch the display to 800 x 600 while playing", "display",
              false, [](Text, Parse& p, std::string&) { p.exclusive = true; }},
    OptionRow{"--seed", nullptr, "S", "start the random sequence from S instead of the clock", nullptr, false,
              seed},
    OptionRow{"--effect", nullptr, "N",
              "start with effect N (0..{last}) and no automatic changes, as key z does", nullptr, false,
              [](Text v, Parse& p, std::string& error) {
                  if (int entry = 0; entryIndex("--effect", v, entry, error)) {
                      p.options.effect = entry;
                  }
              }},
    OptionRow{"--start-effect", nullptr, "N",
              "start with effect N (0..{last}); the automatic changes go on from it", "start_effect", false,
              [](Text v, Parse& p, std::string& error) {
                  if (int entry = 0; entryIndex("--start-effect", v, entry, error)) {
                      p.options.startEffect = entry;
                      p.options.chosen.startEffect = true;
                  }
              }},
    OptionRow{"--frames", nullptr, "K", "stop after K frames", nullptr, false,
              [](Text v, Parse& p, std::string& error) {
                  if (uint64_t frames = 0; parseWhole(v, frames)) {
                      p.options.frames = frames;
                  } else {
                      error = "--frames must be a whole number of frames, not " + quoted(v);
                  }
              }},
    OptionRow{"--headless", nullptr, nullptr, "no display: render the frames into memory at full speed",
              nullptr, false, [](Text, Parse& p, std::string&) { p.options.headless = true; }},
    OptionRow{"--screenshot", nullptr, "FILE", "at the end, write the picture as an 800 x 600 PNG", nullptr,
              false, [](Text v, Parse& p, std::string&) { p.options.screenshotPath = v; }},
    OptionRow{"--dump-field", nullptr, "FILE",
              "at the end, write the field's live cells as little-endian float32", nullptr, false,
              [](Text v, Parse& p, std::string&) { p.options.dumpFieldPath = v; }},
    OptionRow{
        "--pictures", nullptr, "DIR",
        "folder of .bmp, .png and .jpg pictures (default: $GLOWFIELD_PICTURES, else\nthe user's pictures "
        "folder)",
        "pictures", false, [](Text v, Parse& p, std::string&) { p.options.picturesDirectory = v; }},
    OptionRow{
        "--window-id", "-window-id", "ID",
        "draw into the X11 window ID (decimal or 0x hex), as a screen saver's host\nasks; also -window-id, "
        "or XSCREENSAVER_WINDOW in the environment",
        nullptr, false,
        [](Text v, Parse& p, std::string& error) {
            if (parseWindowId(v, p.options.hostWindow)) {
                p.hosted = true;
                p.options.hostRoot = false;
            } else {
                error = "--window-id must be an X11 window id (decimal or 0x hexadecimal), not " + quoted(v);
            }
        }},
    OptionRow{
        "--root", "-root", nullptr,
        "draw into the screen saver's window that XSCREENSAVER_WINDOW names, else\ninto the (virtual) root "
        "window (also -root)",
        nullptr, false,
        [](Text, Parse& p, std::string&) {
            // A window named by --window-id wins, wherever it stands: a settings dialog's preview adds
            // its own window to the daemon's -root.
            p.hosted = true;
            p.options.hostRoot = p.options.hostWindow == 0;
        }},
    OptionRow{"--gallery", nullptr, "DIR",
              "render every effect headless (--frames, default 200, --seed, default 1)\ninto DIR: NNN.png, "
              "thumbs/, contact-sheet.png and index.html",
              nullptr, false, [](Text v, Parse& p, std::string&) { p.options.galleryDirectory = v; }},
    OptionRow{"--names", nullptr, nullptr, "show the effect's index and name for a while after each change",
              "names", false,
              [](Text, Parse& p, std::string&) { p.options.names = p.options.chosen.names = true; }},
    OptionRow{"--lock", nullptr, nullptr, "start with the automatic changes off", "lock", false,
              [](Text, Parse& p, std::string&) { p.options.locked = p.options.chosen.locked = true; }},
    OptionRow{
        "--only", nullptr, "LIST",
        "play only these effects: comma-separated indices, ranges such as 1-24\nand names as --list prints "
        "them",
        "only", false,
        [](Text v, Parse& p, std::string& error) { entries("--only", v, p.options.chosen.only, error); }},
    OptionRow{
        "--skip", nullptr, "LIST", "never play these effects (a LIST as for --only)", "skip", false,
        [](Text v, Parse& p, std::string& error) { entries("--skip", v, p.options.chosen.skip, error); }},
    OptionRow{"--allow-flashing", nullptr, nullptr,
              "let the automatic changes choose the effects that flash often too", "allow_flashing", false,
              [](Text, Parse& p, std::string&) {
                  p.options.allowFlashing = p.options.chosen.allowFlashing = true;
              }},
    OptionRow{"--switch-seconds", nullptr, "S",
              "change the effect every S seconds (default 15, decimals allowed)", "switch_seconds", false,
              [](Text v, Parse& p, std::string& error) {
                  const char* last = v.data() + v.size();
                  const auto [end, problem] = std::from_chars(v.data(), last, p.options.switchSeconds);
                  if (problem == std::errc() && end == last && validSwitchSeconds(p.options.switchSeconds)) {
                      p.options.chosen.switchSeconds = true;
                  } else {
                      error = "--switch-seconds must be a number of seconds above 0 and up to 86400, not " +
                              quoted(v);
                  }
              }},
    OptionRow{"--fps", nullptr, nullptr,
              "show the frames per second and the frame time in the upper left corner", "fps", false,
              [](Text, Parse& p, std::string&) { p.options.fps = p.options.chosen.fps = true; }},
    OptionRow{"--monitor", nullptr, "N", "play full screen on display N (0, 1, ...)", "monitor", false,
              [](Text v, Parse& p, std::string& error) {
                  if (int monitor = 0; parseWhole(v, monitor) && monitor >= 0) {
                      p.options.monitor = monitor;
                      p.options.chosen.monitors = true;
                  } else {
                      error = "--monitor must be a display's number from 0 (see --list-monitors), not " +
                              quoted(v);
                  }
              }},
    OptionRow{"--all-monitors", nullptr, nullptr, "play full screen on every display", "all_monitors", false,
              [](Text, Parse& p, std::string&) { p.options.allMonitors = p.options.chosen.monitors = true; }},
    OptionRow{"--list-monitors", nullptr, nullptr, "list the displays and exit", nullptr, true,
              [](Text, Parse& p, std::string&) { p.options.action = Action::listMonitors; }},
    OptionRow{"--config", nullptr, "FILE",
              "read the settings from FILE instead of\n$XDG_CONFIG_HOME/glowfield/config.toml "
              "(~/.config/glowfield/...)",
              nullptr, false, [](Text v, Parse& p, std::string&) { p.options.configPath = v; }},
    OptionRow{"--print-config", nullptr, nullptr, "print the settings in effect as a config file and exit",
              nullptr, false, [](Text, Parse& p, std::string&) { p.options.action = Action::printConfig; }},
    OptionRow{
        "--record", nullptr, "FILE",
        "write every frame as a 50 fps video: .y4m (written by glowfield), .mp4,\n.webm or .gif (encoded by "
        "the ffmpeg program)",
        nullptr, false,
        [](Text v, Parse& p, std::string& error) {
            p.options.recordPath = v;
            if (!videoFormatOf(v)) {
                error = "--record makes a .y4m, .mp4, .webm or .gif file, not " + quoted(v);
            }
        }},
    OptionRow{"--record-size", nullptr, "WxH",
              "the video's size (default 800x600), scaled with hard pixel edges", nullptr, false,
              [](Text v, Parse& p, std::string& error) {
                  if (!parseVideoSize(v, p.options.recordWidth, p.options.recordHeight)) {
                      error =
                          "--record-size must be WIDTHxHEIGHT in even numbers from 16x16 to 7680x4320, not " +
                          quoted(v);
                  }
              }},
    OptionRow{
        "--audio", nullptr, "FILE",
        "react to the sound of FILE (WAV, FLAC, Ogg or MP3), read in step with the\nframes; the run ends "
        "with the file unless --frames says otherwise",
        "audio", false,
        [](Text v, Parse& p, std::string&) {
            p.options.audioPath = v;
            p.options.chosen.audio = true;
        }},
    OptionRow{
        "--switch-on-beat", nullptr, nullptr,
        "a due automatic change waits for the next strong beat (at most 5 s)", "switch_on_beat", false,
        [](Text, Parse& p, std::string&) { p.options.switchOnBeat = p.options.chosen.switchOnBeat = true; }},
    OptionRow{"--listen", nullptr, "[SOURCE]",
              "react to what the desktop plays (the monitor of the default output)\nor to the sound server's "
              "source SOURCE",
              "listen", false,
              [](Text v, Parse& p, std::string&) {
                  p.options.listen = p.options.chosen.listen = true;
                  p.options.listenSource = v;
              }},
    OptionRow{"--list-audio-sources", nullptr, nullptr, "list the sound server's sources and exit", nullptr,
              true, [](Text, Parse& p, std::string&) { p.options.action = Action::listAudioSources; }},
};

} // namespace

std::span<const OptionRow> optionTable() {
    return rows;
}

template <typename Wanted> const OptionRow* rowWhere(Wanted wanted) {
    const auto row = std::find_if(rows.begin(), rows.end(), wanted);
    return row == rows.end() ? nullptr : &*row;
}

const OptionRow* findOption(const std::string& name) {
    return rowWhere([&](const OptionRow& row) { return name == row.name; });
}

const OptionRow* findAlias(const std::string& argument) {
    return rowWhere([&](const OptionRow& row) {
        return row.alias &&
               (argument == row.alias || (row.value && argument.rfind(std::string(row.alias) + "=", 0) == 0));
    });
}

bool isConfigKey(const std::string& key) {
    return rowWhere([&](const OptionRow& row) { return row.configKey && key == row.configKey; }) != nullptr;
}

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

std::string optionsHelp() {
    constexpr size_t column = 21; // where the help starts: two spaces, the option and its value, a space
    std::string text;
    for (const OptionRow& row : rows) {
        std::string head = std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "");
        head.resize(std::max(head.size() + 1, column), ' ');
        std::string help = row.help;
        if (const size_t at = help.find("{last}"); at != std::string::npos) {
            help.replace(at, 6, std::to_string(effectCount - 1));
        }
        for (size_t start = 0, end; start < help.size(); start = end + 1) {
            end = std::min(help.find('\n', start), help.size());
            text += (start == 0 ? head : std::string(column, ' ')) + help.substr(start, end - start) + "\n";
        }
    }
    return text;
}

bool validSwitchSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 && seconds <= maxSwitchSeconds;
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
