// glowfield: takes the stop signals first, then loads the player. The player's libraries (SDL and the many
// it depends on) take tens of milliseconds to load; a SIGINT, SIGTERM or SIGHUP in that time must end the run
// the way Esc does, not kill it before it could write its outputs. So this program needs nothing but the C
// library: it installs the handlers, loads the player library from beside it (or from the private library
// folder of an installation) and calls it.
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

#include "app/stop_signals.h"

namespace {

volatile std::sig_atomic_t stopSignalled = 0;

void onStopSignal(int) {
    stopSignalled = 1;
}

// The folder of this program, without the final slash.
void ownFolder(char* folder, size_t size) {
    const ssize_t length = readlink("/proc/self/exe", folder, size - 1);
    folder[length > 0 ? length : 0] = '\0';
    char* slash = std::strrchr(folder, '/');
    if (length <= 0 || !slash) {
        std::snprintf(folder, size, ".");
    } else {
        *slash = '\0';
    }
}

} // namespace

int main(int argc, char** argv) {
    glowfield::installStopHandlers(onStopSignal);
    char folder[PATH_MAX];
    ownFolder(folder, sizeof folder);
    const char* const places[] = {"", "/" GLOWFIELD_PLAYER_LIBRARY_FOLDER};
    void* player = nullptr;
    char reason[512] = "";
    for (const char* place : places) {
        char path[PATH_MAX + 64];
        std::snprintf(path, sizeof path, "%s%s/libglowfield-player.so", folder, place);
        player = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (player) {
            break;
        }
        const char* error = dlerror();
        if (!reason[0] && error) {
            std::snprintf(reason, sizeof reason, "%s", error);
        }
    }
    using Entry = int (*)(int, char**, volatile std::sig_atomic_t*);
    const auto entry = player ? reinterpret_cast<Entry>(dlsym(player, "glowfieldMain")) : nullptr;
    if (!entry) {
        for (char* c = reason; *c; ++c) {
            *c = static_cast<unsigned char>(*c) < 0x20 ? ' ' : *c;
        }
        std::fprintf(stderr, "glowfield: cannot load the player library (%s)\n", reason);
        return 1;
    }
    return entry(argc, argv, &stopSignalled);
}
