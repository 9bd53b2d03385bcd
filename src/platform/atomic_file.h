// Output files that are never half-written: the bytes go to a temporary file beside the target, are flushed
// and synced, and only then renamed over it, so that a killed run, a full disk or a failed write leaves any
// previous file as it was. A temporary file (.NAME.glowfield-XXXXXX) is locked (flock) by its writer for as
// long as it exists under that name; one that nobody holds was left by a run that was killed, and the next
// write of the same target removes it.
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

// An output written over time, such as a recording: made beside its target, put in place by commit.
struct TemporaryFile {
    std::string target; // the file to replace: the path given, or the file a symbolic link there names
    std::string path;   // the temporary file in the target's folder
    int descriptor = -1;
};

// Creates the temporary file, empty, locked and with the permissions of a new file, after removing the
// abandoned temporary files of the same target. On failure error names the path and the cause.
bool createTemporaryFile(const std::string& path, TemporaryFile& file, std::string& error);

// Removes the temporary files of target (a path without symbolic links to follow) that no live writer holds.
void removeStaleTemporaryFiles(const std::string& target);

// Syncs and closes the temporary file and renames it over the target; on failure removes it and reason says
// why.
bool commitTemporaryFile(TemporaryFile& file, std::string& reason);

// Closes and removes the temporary file, if there is one.
void discardTemporaryFile(TemporaryFile& file);

} // namespace glowfield
