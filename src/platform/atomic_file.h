// Output files that are never half-written: the bytes go to a temporary file beside the target, are flushed
// and synced, and only then renamed over it, so that a killed run, a full disk or a failed write leaves any
// previous file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glowfield {

// Writes bytes to path whole or not at all. A symbolic link to a regular file is followed, so the file it
// names is replaced. On failure the temporary file is removed and error names the cause.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Writes all bytes to an open descriptor, retrying short writes and interruptions.
bool writeAll(int descriptor, const uint8_t* data, size_t size, std::string& error);

} // namespace glowfield
