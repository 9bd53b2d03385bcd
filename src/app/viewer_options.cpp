// The checks of the viewer's choices once the command line is read: monitors only for full screen, one first
// effect, and --only and --skip leaving something to play.
#include "app/viewer_options.h"

#include <cmath>

#include "app/effect_list.h"

namespace glowfield {

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
