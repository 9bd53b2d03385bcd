// The monitors SDL reports: listed for --list-monitors, and with --all-monitors a further window on each one
// besides the player's own, all showing the same picture of the one field.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "app/display_setup.h"

namespace glowfield {

struct MonitorInfo {
    int index = 0;
    std::string name;
    SDL_Rect bounds{};
    int refreshRate = 0; // 0 when unknown
};

// One line per monitor: "0: 1920x1080 at 0,0, 60 Hz (HDMI-1)".
std::string monitorListText(const std::vector<MonitorInfo>& monitors);

// The monitors that get a mirror window when the player itself plays on main: every other one whose area
// does not repeat one already covered (a cloned output shows the picture already).
std::vector<int> mirrorMonitors(const std::vector<MonitorInfo>& monitors, int main);

// Starts SDL's video, prints the list on standard output and returns 0; 1 with one line when no display can
// be reached.
int listMonitors();

// Opens a borderless full-screen window with its own renderer on each mirror monitor and hands its renderer
// to the display surface. A monitor that refuses is left out with one line on standard error.
void openMirrors(PlayerDisplay& display, int main);

} // namespace glowfield
