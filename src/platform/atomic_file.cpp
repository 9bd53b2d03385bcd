#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glowfield {

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that writing to path should replace: path itself, or what a symbolic link at path names.
bool resolveTarget(const std::string& path, std::string& target, std::string& error) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        target = path;
        return true;
    }
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) {
        error = "cannot write " + path + ": the symbolic link names no file";
        return false;
    }
    target = resolved;
    return true;
}

} // namespace

bool writeAll(int descriptor, const uint8_t* data, size_t size, std::string& error) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::strerror(errno);
            return false;
        }
        if (written == 0) {
            error = "no space written";
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool createTemporaryFile(const std::string& path, TemporaryFile& file, std::string& error) {
    if (!resolveTarget(path, file.target, error)) {
        return false;
    }
    file.path = folderOf(file.target) + "/." + baseOf(file.target).substr(0, 200) + ".XXXXXX";
    file.descriptor = mkstemp(file.path.data());
    if (file.descriptor < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        file.path.clear();
        return false;
    }
    // mkstemp creates the file for its owner only; an output gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(file.descriptor, 0666 & ~mask) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        discardTemporaryFile(file);
        return false;
    }
    return true;
}

bool commitTemporaryFile(TemporaryFile& file, std::string& reason) {
    bool ok = fsync(file.descriptor) == 0 || (reason = std::strerror(errno), false);
    const bool closed = ::close(file.descriptor) == 0;
    file.descriptor = -1;
    if (ok && !closed) {
        ok = false;
        reason = std::strerror(errno);
    }
    ok = ok &&
         (std::rename(file.path.c_str(), file.target.c_str()) == 0 || (reason = std::strerror(errno), false));
    if (!ok) {
        discardTemporaryFile(file);
        return false;
    }
    file.path.clear();
    // The rename itself is made durable by syncing the folder; a failure here loses nothing already written.
    const int folder = ::open(folderOf(file.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
    return true;
}

void discardTemporaryFile(TemporaryFile& file) {
    if (file.descriptor >= 0) {
        ::close(file.descriptor);
        file.descriptor = -1;
    }
    if (!file.path.empty()) {
        unlink(file.path.c_str());
        file.path.clear();
    }
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    TemporaryFile file;
    if (!createTemporaryFile(path, file, error)) {
        return false;
    }
    std::string reason;
    if (!writeAll(file.descriptor, bytes.data(), bytes.size(), reason) ||
        !commitTemporaryFile(file, reason)) {
        discardTemporaryFile(file);
        error = "cannot write " + path + ": " + reason;
        return false;
    }
    return true;
}

} // namespace glowfield
