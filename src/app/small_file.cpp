// Small text files read without blocking on a FIFO or device at their name, and never past a size limit.
#include "app/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace glowfield {

SmallFileRead readSmallFile(const std::string& path, size_t maxBytes, bool pipeAllowed, std::string& text,
                            std::string& error) {
    text.clear();
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        if (errno == ENOENT) {
            return SmallFileRead::missing;
        }
        error = std::strerror(errno);
        return SmallFileRead::refused;
    }
    struct stat info {};
    const bool known = fstat(descriptor, &info) == 0;
    const bool pipe = known && S_ISFIFO(info.st_mode);
    if (!known || !(S_ISREG(info.st_mode) || (pipe && pipeAllowed))) {
        error = !known                  ? std::string(std::strerror(errno))
                : S_ISDIR(info.st_mode) ? "it is a folder"
                                        : "it is not a regular file";
        ::close(descriptor);
        return SmallFileRead::refused;
    }
    if (pipe) {
        // A pipe named on purpose is read as it comes; one with no writer reads as empty.
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
            ::close(descriptor);
            return SmallFileRead::refused;
        }
        if (got == 0) {
            break;
        }
        if (text.size() + static_cast<size_t>(got) > maxBytes) {
            error = "it is over " + std::to_string(maxBytes >> 20) + " MiB, too large";
            ::close(descriptor);
            return SmallFileRead::refused;
        }
        text.append(chunk, static_cast<size_t>(got));
    }
    ::close(descriptor);
    return SmallFileRead::read;
}

} // namespace glowfield
