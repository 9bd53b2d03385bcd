#include "app/monitors.h"

#include <algorithm>
#include <cstdio>

namespace glowfield {

namespace {

std::vector<MonitorInfo> currentMonitors() {
    std::vector<MonitorInfo> monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int index = 0; index < count; ++index) {
        MonitorInfo info;
        info.index = index;
        const char* name = SDL_GetDisplayName(index);
        info.name = name ? name : "";
        SDL_GetDisplayBounds(index, &info.bounds);
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(index, &mode) == 0) {
            info.refreshRate = mode.refresh_rate;
        }
        monitors.push_back(info);
    }
    return monitors;
}

bool sameArea(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

} // namespace

std::string monitorListText(const std::vector<MonitorInfo>& monitors) {
    std::string text;
    for (const MonitorInfo& monitor : monitors) {
        char line[256];
        std::snprintf(line, sizeof line, "%d: %dx%d at %d,%d", monitor.index, monitor.bounds.w,
                      monitor.bounds.h, monitor.bounds.x, monitor.bounds.y);
        text += line;
        if (monitor.refreshRate > 0) {
            text += ", " + std::to_string(monitor.refreshRate) + " Hz";
        }
        if (!monitor.name.empty()) {
            std::string name = monitor.name;
            std::replace_if(
                name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
            text += " (" + name + ")";
        }
        text += "\n";
    }
    return text;
}

std::vector<int> mirrorMonitors(const std::vector<MonitorInfo>& monitors, int main) {
    std::vector<SDL_Rect> covered;
    for (const MonitorInfo& monitor : monitors) {
        if (monitor.index == main) {
            covered.push_back(monitor.bounds);
        }
    }
    std::vector<int> mirrors;
    for (const MonitorInfo& monitor : monitors) {
        const bool repeats = std::any_of(covered.begin(), covered.end(), [&](const SDL_Rect& area) {
            return sameArea(area, monitor.bounds);
        });
        if (monitor.index != main && !repeats && monitor.bounds.w > 0 && monitor.bounds.h > 0) {
            mirrors.push_back(monitor.index);
            covered.push_back(monitor.bounds);
        }
    }
    return mirrors;
}

int listMonitors() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const bool started = initialiseVideoQuietly();
    if (!started || reachesNoDisplay()) {
        std::fprintf(stderr, "glowfield: no display to list the monitors of (%s)\n",
                     missingDisplayReason().c_str());
        if (started) {
            SDL_Quit();
        }
        return 1;
    }
    const std::string text = monitorListText(currentMonitors());
    SDL_Quit();
    std::fputs(text.c_str(), stdout);
    return 0;
}

void openMirrors(PlayerDisplay& display, int main) {
    for (const int index : mirrorMonitors(currentMonitors(), main)) {
        SDL_Rect area{};
        SDL_GetDisplayBounds(index, &area);
        MirrorOutput mirror;
        mirror.window = SDL_CreateWindow("glowfield", area.x, area.y, area.w, area.h,
                                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
        mirror.renderer = mirror.window ? createRenderer(mirror.window) : nullptr;
        const bool ready = mirror.renderer &&
                           SDL_RenderSetLogicalSize(mirror.renderer, displayWidth, displayHeight) == 0 &&
                           display.surface->addMirror(mirror.renderer);
        if (!ready) {
            std::fprintf(stderr, "glowfield: monitor %d shows nothing: %s\n", index, SDL_GetError());
            if (mirror.renderer) {
                SDL_DestroyRenderer(mirror.renderer);
            }
            if (mirror.window) {
                SDL_DestroyWindow(mirror.window);
            }
            continue;
        }
        display.mirrors.push_back(mirror);
    }
}

} // namespace glowfield
