// Reading a small text file that the player did not write (its config file, the user's folders file)
// without ever blocking on what stands at its name: a FIFO, a device or an endless file.
#pragma once

#include <cstddef>
#include <string>

namespace glowfield {

enum class SmallFileRead {
    read,    // text holds the whole file
    missing, // nothing of that name (errno ENOENT)
    refused, // error says why: not a regular file, too large, unreadable
};

// Reads at most maxBytes. Only a regular file is read, or, when pipeAllowed (a name the user gave on the
// command line, such as a shell's <(...)), also a pipe, which is then read to its end. The open itself never
// waits, so a FIFO at the name costs nothing when it is refused.
SmallFileRead readSmallFile(const std::string& path, size_t maxBytes, bool pipeAllowed, std::string& text,
                            std::string& error);

} // namespace glowfield
