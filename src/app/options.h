// The options the player runs with, as the command line and the config file set them, and the way input is
// echoed in their messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glowfield {

enum class Action { run, help, version, list, listMonitors, printConfig, listAudioSources };

enum class DisplayMode {
    desktop,   // full screen on the desktop's own mode, the picture scaled with its aspect
    exclusive, // full screen with the display switched to 800 x 600
    window,    // an ordinary 800 x 600 window
    hosted,    // drawing into a window another program made (a screen saver's host), or the root window
};

struct Options {
    Action action = Action::run;
    DisplayMode displayMode = DisplayMode::desktop;
    bool headless = false;          // no window, no pacing: frames rendered at full speed into memory
    std::optional<int32_t> seed;    // none: seeded from the clock
    std::optional<int> effect;      // start as key z leaves it, with this effect current
    std::optional<uint64_t> frames; // stop after this many frame steps
    std::string screenshotPath;     // empty: none
    std::string dumpFieldPath;      // empty: none
    std::optional<std::string> picturesDirectory; // none: the default folder
    uint32_t hostWindow = 0;                      // the X11 window drawn into when hosted; 0 with hostRoot
    bool hostRoot = false;                        // hosted in the root window
    std::string galleryDirectory;                 // not empty: render the gallery into this folder
    std::string recordPath;                       // not empty: every frame step as a frame of this video
    int recordWidth = 0;                          // the video's size; 0: the picture's own 800 x 600
    int recordHeight = 0;                         //

    // The viewer's choices. The config file may set them too; an option given on the command line wins.
    bool names = false;          // show "index name" on the picture for a while after each switch
    bool locked = false;         // start with automatic switching off (key k toggles it)
    std::vector<int> playable;   // entries that automatic switching, space and '.' may choose, ascending;
                                 // empty: every entry
    double switchSeconds = 15.0; // the automatic switching period
    std::optional<int> monitor;  // full screen on this display (SDL's index); none: the primary one
    bool allMonitors = false;    // the same picture full screen on every display
    bool allowFlashing = false;  // entries marked as flashing may be chosen automatically too

    bool fps = false;               // the frame rate and the frame time in a corner of the presented picture
    std::optional<int> startEffect; // the first effect, automatic switching going on from it

    // Live listening: what a sound server plays, or one of its sources, drives the effects.
    bool listen = false;      // --listen
    std::string listenSource; // the source listened to; empty: the monitor of the default output
    // Listening: a sound file read in step with the frames, and changes of effect that wait for the music.
    std::string audioPath;     // empty: not listening
    bool switchOnBeat = false; // a due automatic change waits for the next strong onset (at most 5 s)

    std::string configPath; // --config: the settings file; empty: the default location
    // The viewer's choices the command line made itself; the config file sets only the others.
    struct CommandLineChoices {
        bool names = false;
        bool locked = false;
        bool switchSeconds = false;
        bool monitors = false; // --monitor or --all-monitors
        bool allowFlashing = false;
        std::optional<std::vector<int>> only; // --only as entries
        std::optional<std::vector<int>> skip; // --skip as entries

        bool fps = false;
        bool startEffect = false;
        bool listen = false;
        bool audio = false;
        bool switchOnBeat = false;
    } chosen;
};

// Input echoed in a message: quoted, with control characters escaped, so that a message stays one line, and
// cut after limit characters with "..." so that a huge value does not fill the screen. Paths get more room.
inline constexpr size_t shownValueCharacters = 60;
inline constexpr size_t shownPathCharacters = 240;
std::string quoted(const std::string& text, size_t limit = shownValueCharacters);

// The same without the quotes.
std::string escaped(const std::string& text, size_t limit = shownValueCharacters);

} // namespace glowfield
