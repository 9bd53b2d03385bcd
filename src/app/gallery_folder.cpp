// The gallery's work folder, its lock, the cleaning up after killed runs and the final moves.
#include "app/gallery_folder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glowfield {

namespace {

constexpr const char* workPrefix = ".glowfield-gallery-";

// A work folder that nobody holds was left by a killed run.
void removeAbandonedWork(const std::string& folder) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(workPrefix, 0) != 0 || name.size() != std::strlen(workPrefix) + 6) {
            continue;
        }
        const int lock = open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat info {};
        if (lock >= 0 && fstat(lock, &info) == 0 && info.st_uid == geteuid() &&
            flock(lock, LOCK_EX | LOCK_NB) == 0) {
            std::filesystem::remove_all(entry.path(), ignored);
        }
        if (lock >= 0) {
            close(lock);
        }
    }
}

} // namespace

std::string openGalleryWork(const std::string& folder, GalleryWork& work) {
    work.folder = folder;
    mkdir(folder.c_str(), 0777);
    mkdir((folder + "/thumbs").c_str(), 0777);
    struct stat info {};
    if (stat((folder + "/thumbs").c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return "cannot make the gallery folder " + folder;
    }
    if (access(folder.c_str(), W_OK) != 0 || access((folder + "/thumbs").c_str(), W_OK) != 0) {
        return "cannot write into the gallery folder " + folder + ": " + std::strerror(errno);
    }
    removeAbandonedWork(folder);
    work.path = folder + "/" + workPrefix + "XXXXXX";
    if (!mkdtemp(work.path.data())) {
        const std::string reason = std::strerror(errno);
        work.path.clear();
        return "cannot write into the gallery folder " + folder + ": " + reason;
    }
    work.lock = open(work.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (work.lock < 0 || flock(work.lock, LOCK_EX | LOCK_NB) != 0 ||
        mkdir((work.path + "/thumbs").c_str(), 0777) != 0) {
        const std::string reason = std::strerror(errno);
        closeGalleryWork(work);
        return "cannot write into the gallery folder " + folder + ": " + reason;
    }
    return {};
}

bool moveGalleryIntoPlace(const GalleryWork& work, const std::vector<std::string>& files,
                          std::string& error) {
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, signal);
    }
    sigprocmask(SIG_BLOCK, &stops, &previous);
    bool ok = true;
    for (const std::string& file : files) {
        if (std::rename((work.path + "/" + file).c_str(), (work.folder + "/" + file).c_str()) != 0) {
            error = "cannot put " + work.folder + "/" + file + " in place: " + std::strerror(errno);
            ok = false;
            break;
        }
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

void closeGalleryWork(GalleryWork& work) {
    if (!work.path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(work.path, ignored);
        work.path.clear();
    }
    if (work.lock >= 0) {
        close(work.lock);
        work.lock = -1;
    }
}

} // namespace glowfield
