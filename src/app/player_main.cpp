// The player's entry, called by the launcher once this library is loaded: parses the command line and the
// config file, refuses bad input with one line and exit code 2, answers --help, --version, --list and
// --print-config, and otherwise runs the player.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/gallery.h"
#include "app/listening.h"
#include "app/live_sound.h"
#include "app/monitors.h"
#include "app/player.h"
#include "app/saver_host.h"
#include "app/settings.h"
#include "app/stop_guard.h"
#include "effects/catalogue.h"
#include "field/picture.h"

namespace {

// Text for standard output; a full disk, /dev/full or a closed output is an error, not a silent success.
int printed(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno ? errno : EIO;
        std::fprintf(stderr, "glowfield: cannot write to standard output: %s\n", std::strerror(error));
        return 1;
    }
    return 0;
}

} // namespace

// stopFlag is set by the launcher's handlers of the stop signals, which were installed before this library
// and its many dependencies were loaded; null installs the player's own.
extern "C" __attribute__((visibility("default"))) int glowfieldMain(int argc, char** argv,
                                                                    volatile std::sig_atomic_t* stopFlag) {
    using namespace glowfield;
    if (stopFlag) {
        adoptStopFlag(stopFlag);
    } else {
        installStopSignals();
    }
    const EnvironmentLookup environment = [](const char* name) { return std::getenv(name); };
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A screen saver shows nothing of a refusal but a blank screen: an option that a settings dialog got
    // wrong is reported and left out.
    std::string leftOut;
    const ParseResult parsed =
        startedBySaver(args, environment) ? parseSaverCommandLine(args, leftOut) : parseCommandLine(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", parsed.error.c_str());
        return 2;
    }
    if (!leftOut.empty()) {
        std::fprintf(stderr, "glowfield: %s (left out: the saver plays with the default)\n", leftOut.c_str());
    }
    Options options = parsed.options;
    switch (options.action) {
    case Action::help:
        return printed(usageText());
    case Action::version:
        return printed(std::string("glowfield ") + GLOWFIELD_VERSION + "\n");
    case Action::list:
        return printed(effectListText());
    case Action::listMonitors:
        return listMonitors();
    case Action::listAudioSources:
        return listAudioSources();
    case Action::printConfig:
    case Action::run:
        break;
    }
    if (std::string error = applySaverEnvironment(options, environment); !error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    // The config file fills in what the command line left open; hosted and headless runs keep their display.
    // A screen saver's host shows nothing of a refusal but a blank screen: hosted, a mistake is reported and
    // the player goes on with the default of what it could not use.
    const bool hosted = options.displayMode == DisplayMode::hosted;
    std::vector<std::string> problems;
    if (const std::string error = applyConfigFile(options, environment, hosted ? &problems : nullptr);
        !error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "glowfield: %s (left out: the saver plays with the default)\n", problem.c_str());
    }
    if (options.action == Action::printConfig) {
        if (const std::string error = checkPrintable(options); !error.empty()) {
            std::fprintf(stderr, "glowfield: %s\n", error.c_str());
            return 2;
        }
        return printed(settingsText(options, defaultPicturesDirectory(environment)));
    }
    if (struct stat info{};
        hosted && options.picturesDirectory &&
        (stat(options.picturesDirectory->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
        std::fprintf(
            stderr, "glowfield: --pictures %s is not a folder (left out: the saver plays with the default)\n",
            quoted(*options.picturesDirectory).c_str());
        options.picturesDirectory.reset();
    }
    // The folder the daemon's own settings name for its savers' pictures, when nothing else names one.
    if (hosted && !options.picturesDirectory && !environment("GLOWFIELD_PICTURES") &&
        environment("XSCREENSAVER_WINDOW")) {
        if (std::string folder = saverImageDirectory(environment); !folder.empty()) {
            options.picturesDirectory = std::move(folder);
        }
    }
    if (const std::string error = checkPaths(options); !error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    if (!options.galleryDirectory.empty()) {
        setPictureDirectory(options.picturesDirectory.value_or(defaultPicturesDirectory(environment)));
        return runGallery(options);
    }
    // The sound file is opened before any output is made: one that cannot be read leaves none behind.
    // Hosted, the saver plays without sound instead of leaving the screen blank.
    if (const std::string error = startListening(options); !error.empty()) {
        std::fprintf(stderr,
                     hosted ? "glowfield: %s (left out: the saver plays without sound)\n" : "glowfield: %s\n",
                     error.c_str());
        if (!hosted) {
            return 2;
        }
    }
    return runPlayer(options);
}
