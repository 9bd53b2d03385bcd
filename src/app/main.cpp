// glowfield: parses the command line, refuses bad input with one line and exit code 2, answers --help,
// --version and --list, and otherwise runs the player.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/player.h"

int main(int argc, char** argv) {
    using namespace glowfield;
    // Installed first, so that a signal during start-up also ends the run cleanly.
    installStopSignals();
    const ParseResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", parsed.error.c_str());
        return 2;
    }
    const Options& options = parsed.options;
    switch (options.action) {
    case Action::help:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case Action::version:
        std::printf("glowfield %s\n", GLOWFIELD_VERSION);
        return 0;
    case Action::list:
        std::fputs(effectListText().c_str(), stdout);
        return 0;
    case Action::run:
        break;
    }
    if (const std::string error = checkPaths(options); !error.empty()) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    return runPlayer(options);
}
