// The player's command line: options parsed into a plain struct, the default picture folder, and the checks
// made before anything starts, so that bad input is refused with one clear line and nothing else happens.
#pragma once

#include <cstdint>
#include <functional>
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

struct ParseResult {
    Options options;
    std::string error; // one line naming the problem; empty when the command line is sound
};

// args are the arguments after the program name. --version and --list end the parsing where they stand;
// --help anywhere wins unless an option before it is refused. An option's value may not start with "--"
// unless given as --name=value.
ParseResult parseCommandLine(const std::vector<std::string>& args);

// Looks up an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// GLOWFIELD_PICTURES if set, else the user's pictures folder: XDG_PICTURES_DIR from the environment or from
// the user-dirs.dirs file of the configuration folder, else ~/Pictures. Empty when nothing can be found.
std::string defaultPicturesDirectory(const EnvironmentLookup& environment);

// A screen saver's host names its window in XSCREENSAVER_WINDOW: with --root, or without an explicit choice
// of display (--window-id, --window, --exclusive, --headless), the player draws into that window. Returns
// the error line when the variable is set but names no window.
std::string applySaverEnvironment(Options& options, const EnvironmentLookup& environment);

// The checks that need the file system: output files must be writable and an explicit picture folder must
// exist. Nothing is created. Returns the error line, or an empty string.
std::string checkPaths(const Options& options);

// True when an output could be written at path: a name of ordinary length in a writable folder, and no file
// there or a regular one (a symbolic link is followed; a FIFO or device is never opened). Otherwise the
// reason.
bool canWriteFile(const std::string& path, std::string& reason);

// True when the two paths name one file: the same file under two names, or one name written two ways.
bool nameSameFile(const std::string& first, const std::string& second);

// Input echoed in a message: quoted, with control characters escaped, so that a message stays one line, and
// cut after limit characters with "..." so that a huge value does not fill the screen. Paths get more room.
inline constexpr size_t shownValueCharacters = 60;
inline constexpr size_t shownPathCharacters = 240;
std::string quoted(const std::string& text, size_t limit = shownValueCharacters);

// The same without the quotes.
std::string escaped(const std::string& text, size_t limit = shownValueCharacters);

std::string usageText();

// The answer to --list: one line per entry, "index name", or the index alone for the entry without a name.
std::string effectListText();

} // namespace glowfield
