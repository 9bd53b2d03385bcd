// Temporary files beside their targets, held by a lock for as long as their writer lives.
#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// What comes between ".NAME" and the six random characters of a temporary file: rare enough in a user's own
// file names that a file called like this is one of ours.
constexpr const char* temporaryInfix = ".glowfield-";

std::string temporaryPrefix(const std::string& target) {
    std::string prefix(1, '.');
    prefix.append(baseOf(target), 0, 200).append(temporaryInfix);
    return prefix;
}

// Whether the file at name in folder is a temporary file nobody holds: a regular file of this user that the
// lock can be taken on. Such a file is removed.
void removeIfStale(int folder, const char* name) {
    const int descriptor = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat info {};
    if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
        flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        unlinkat(folder, name, 0);
    }
    ::close(descriptor);
}

} // namespace

void removeStaleTemporaryFiles(const std::string& target) {
    const std::string prefix = temporaryPrefix(target);
    DIR* folder = opendir(folderOf(target).c_str());
    if (!folder) {
        return;
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
            removeIfStale(dirfd(folder), entry->d_name);
        }
    }
    closedir(folder);
}

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
    removeStaleTemporaryFiles(file.target);
    // The lock marks the file as in use until it is renamed or removed. Another run that is cleaning up may
    // take a new file's lock, or remove the file, before its writer locked it: a file whose lock is taken or
    // whose name no longer leads to it is given up for another.
    const std::string pattern = folderOf(file.target) + "/" + temporaryPrefix(file.target) + "XXXXXX";
    for (int attempt = 0; attempt < 100 && file.descriptor < 0; ++attempt) {
        file.path = pattern;
        file.descriptor = mkostemp(file.path.data(), O_CLOEXEC);
        if (file.descriptor < 0) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            file.path.clear();
            return false;
        }
        struct stat held {
        }, named{};
        if (flock(file.descriptor, LOCK_EX | LOCK_NB) != 0 || fstat(file.descriptor, &held) != 0 ||
            stat(file.path.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
            held.st_dev != named.st_dev) {
            ::close(file.descriptor);
            file.descriptor = -1;
        }
    }
    if (file.descriptor < 0) {
        error = "cannot write " + path + ": its temporary file was taken away each time";
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
    // The file stays open, and so locked, until it has its final name: a run cleaning up would take a closed
    // temporary file for an abandoned one.
    const bool ok =
        (fsync(file.descriptor) == 0 || (reason = std::strerror(errno), false)) &&
        (std::rename(file.path.c_str(), file.target.c_str()) == 0 || (reason = std::strerror(errno), false));
    if (!ok) {
        discardTemporaryFile(file);
        return false;
    }
    file.path.clear();
    ::close(file.descriptor);
    file.descriptor = -1;
    // The rename itself is made durable by syncing the folder; a failure here loses nothing already written.
    const int folder = ::open(folderOf(file.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
    return true;
}

void discardTemporaryFile(TemporaryFile& file) {
    // Removed while still locked, so that no other run takes it for its own abandoned file meanwhile.
    if (!file.path.empty()) {
        unlink(file.path.c_str());
        file.path.clear();
    }
    if (file.descriptor >= 0) {
        ::close(file.descriptor);
        file.descriptor = -1;
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
