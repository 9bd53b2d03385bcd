// What screen saver daemons hand to their savers: the virtual root found with Xlib (looked up at run time,
// as SDL does, so that the player needs no X library where there is no X display), the daemon's pictures
// folder from its settings file, and the saver's command line with a dialog's slip left out.
#include "app/saver_host.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <type_traits>

namespace glowfield {

namespace {

// The few Xlib calls the virtual root needs.
struct Xlib {
    Display* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(Display*) = nullptr;
    Window (*defaultRoot)(Display*) = nullptr;
    Atom (*internAtom)(Display*, const char*, Bool) = nullptr;
    Status (*queryTree)(Display*, Window, Window*, Window*, Window**, unsigned int*) = nullptr;
    int (*getProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*,
                       unsigned long*, unsigned char**) = nullptr;
    int (*free)(void*) = nullptr;

    bool load() {
        void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (!library) {
            return false;
        }
        const auto find = [library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        return find(openDisplay, "XOpenDisplay") && find(closeDisplay, "XCloseDisplay") &&
               find(defaultRoot, "XDefaultRootWindow") && find(internAtom, "XInternAtom") &&
               find(queryTree, "XQueryTree") && find(getProperty, "XGetWindowProperty") &&
               find(free, "XFree");
    }
};

// The window that a child's __SWM_VROOT property names, or 0.
Window virtualRootOf(const Xlib& x, Display* display, Window child, Atom vroot) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    Window found = 0;
    if (x.getProperty(display, child, vroot, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                      &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data) {
        found = *reinterpret_cast<Window*>(data);
    }
    if (data) {
        x.free(data);
    }
    return found;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

} // namespace

uint32_t saverRootWindow() {
    Xlib x;
    if (!x.load()) {
        return 0;
    }
    Display* display = x.openDisplay(nullptr);
    if (!display) {
        return 0;
    }
    Window root = x.defaultRoot(display);
    const Atom vroot = x.internAtom(display, "__SWM_VROOT", False);
    Window parent = 0, unused = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (vroot != None && x.queryTree(display, root, &unused, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            if (const Window found = virtualRootOf(x, display, children[i], vroot); found != 0) {
                root = found;
                break;
            }
        }
    }
    if (children) {
        x.free(children);
    }
    x.closeDisplay(display);
    return static_cast<uint32_t>(root);
}

std::string imageDirectoryFromSettings(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    std::string line;
    const std::string key = "imageDirectory:";
    std::string folder;
    while (std::getline(lines, line)) {
        if (line.rfind(key, 0) == 0) {
            folder = trimmed(line.substr(key.size()));
        }
    }
    if (folder == "~" || folder.rfind("~/", 0) == 0) {
        folder = home.empty() ? std::string() : home + folder.substr(1);
    }
    // The daemon also takes the address of a feed here; only a folder is of use to the player.
    return folder.find("://") == std::string::npos ? folder : std::string();
}

std::string saverImageDirectory(const EnvironmentLookup& environment) {
    const char* home = environment("HOME");
    if (!home || !*home) {
        return {};
    }
    const std::string path = std::string(home) + "/.xscreensaver";
    struct stat info {};
    // Only a regular file is read: a FIFO or a device there would never end.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > (1 << 20)) {
        return {};
    }
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string folder = imageDirectoryFromSettings(text.str(), home);
    return !folder.empty() && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? folder
                                                                                        : std::string();
}

bool startedBySaver(const std::vector<std::string>& args, const EnvironmentLookup& environment) {
    const char* window = environment("XSCREENSAVER_WINDOW");
    if (window && *window) {
        return true;
    }
    for (const std::string& arg : args) {
        if (arg == "-root" || arg == "--root" || arg.rfind("-window-id", 0) == 0 ||
            arg.rfind("--window-id", 0) == 0) {
            return true;
        }
    }
    return false;
}

ParseResult parseSaverCommandLine(const std::vector<std::string>& args, std::string& leftOut) {
    ParseResult whole = parseCommandLine(args);
    if (whole.error.empty()) {
        return whole;
    }
    for (size_t at = 0; at < args.size(); ++at) {
        // Only the choices a settings dialog writes from what the user typed or picked; a clash of display
        // options is the command line's own mistake and stays refused.
        const std::string name = args[at].substr(0, args[at].find('='));
        static const char* const dialogChoices[] = {
            "--only", "--skip", "--switch-seconds", "--start-effect", "--effect", "--seed", "--pictures"};
        if (std::find(std::begin(dialogChoices), std::end(dialogChoices), name) == std::end(dialogChoices)) {
            continue;
        }
        // The option alone, then with the value after it.
        for (size_t count = 1; count <= 2 && at + count <= args.size(); ++count) {
            std::vector<std::string> rest(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(at));
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(at + count), args.end());
            ParseResult parsed = parseCommandLine(rest);
            if (parsed.error.empty()) {
                leftOut = whole.error;
                return parsed;
            }
        }
    }
    return whole;
}

} // namespace glowfield
