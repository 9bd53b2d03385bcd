// Picture loads: the folder's listing kept until the folder changes, the random choice made on the frame
// thread, and the file read there (waiting) or on a thread of its own (in play).
#include "field/picture_loader.h"

#include <sys/stat.h>

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "field/field.h"
#include "field/picture.h"
#include "field/picture_file.h"
#include "field/picture_listing.h"
#include "field/random.h"

namespace glowfield {

namespace {

void (*scanHook)() = nullptr;

// What says that a folder is as it was: any entry added, removed or renamed changes its times.
struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};
};

bool operator==(const FolderStamp& a, const FolderStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
}

std::optional<FolderStamp> stampOf(const std::string& folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FolderStamp{info.st_dev, info.st_ino, info.st_mtim, info.st_ctim};
}

// File systems keep times coarsely (a clock tick, two seconds on some), so a change in the same tick as the
// listing would leave the time as it was: a listing made less than this after the folder's last change is
// not trusted, and the folder is listed again on the next load.
constexpr time_t untrustedSeconds = 3;

struct Listing {
    std::string folder;
    uint64_t bmpMinimumBytes = 0;
    std::optional<FolderStamp> stamp; // none: the folder could not be read
    bool trusted = false;
    std::vector<PictureCandidate> files;
};

// Candidates of a grid of n x n cells: a .bmp must hold a grid's worth of 24-bit pixels.
uint64_t bmpMinimumBytes() {
    const uint64_t n = static_cast<uint64_t>(field.gridSize);
    return n * n * 3;
}

bool stillCurrent(const Listing& listing, const std::string& folder, uint64_t bmpMinimum) {
    return listing.trusted && listing.folder == folder && listing.bmpMinimumBytes == bmpMinimum &&
           listing.stamp && stampOf(folder) == listing.stamp;
}

Listing listFolder(const std::string& folder, uint64_t bmpMinimum) {
    Listing listing;
    listing.folder = folder;
    listing.bmpMinimumBytes = bmpMinimum;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    listing.stamp = stampOf(folder);
    if (listing.stamp) {
        listing.files = listPictureCandidates(folder, bmpMinimum);
        listing.trusted = now.tv_sec - listing.stamp->modified.tv_sec > untrustedSeconds;
    }
    return listing;
}

struct FileJob {
    PictureCandidate chosen;
    int minimumSide = 0;
    uint64_t generation = 0;
};

// The loads. Everything below the mutex is shared with the background thread.
class Loader {
  public:
    void setWait(bool wait) {
        finish();
        const std::lock_guard<std::mutex> lock(mutex_);
        wait_ = wait;
        if (!wait_ && !pictureDirectory().empty()) {
            listJob_ = {pictureDirectory(), bmpMinimumBytes()};
            startWorker();
            wake_.notify_all();
        }
    }

    PictureLoad request() {
        const std::string& folder = pictureDirectory();
        if (folder.empty()) {
            return PictureLoad::none;
        }
        const uint64_t bmpMinimum = bmpMinimumBytes();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (wait_) {
            if (!stillCurrent(listing_, folder, bmpMinimum)) {
                listing_ = listFolder(folder, bmpMinimum);
            }
            if (listing_.files.empty()) {
                return PictureLoad::none;
            }
            const PictureCandidate& chosen = pick(listing_);
            if (scanHook) {
                scanHook();
            }
            applyPictureFile(readPictureFile(chosen, field.gridSize));
            return PictureLoad::done;
        }
        // In play the choice is made from the listing at hand, and the background then checks the listing
        // for the next load. Before there is any listing of this folder, nothing is chosen.
        listJob_ = {folder, bmpMinimum};
        const bool listed = listing_.folder == folder && listing_.bmpMinimumBytes == bmpMinimum;
        PictureLoad load = PictureLoad::none;
        if (listed && !listing_.files.empty()) {
            fileJob_ = FileJob{pick(listing_), field.gridSize, generation_};
            load = PictureLoad::pending;
        }
        startWorker();
        wake_.notify_all();
        return load;
    }

    void applyFinished() {
        std::optional<PictureFile> file;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            file.swap(finished_);
        }
        if (file) {
            applyPictureFile(*file);
        }
    }

    void finish() {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            idle_.wait(lock, [this] { return !busy_ && !fileJob_ && !listJob_; });
        }
        applyFinished();
    }

    bool idle() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return !busy_ && !fileJob_ && !listJob_;
    }

    void discard() {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++generation_;
        fileJob_.reset();
        finished_.reset();
    }

  private:
    // One draw, on the calling (frame) thread.
    static const PictureCandidate& pick(const Listing& listing) {
        return listing.files[static_cast<size_t>(nextRandom()) % listing.files.size()];
    }

    void startWorker() {
        if (!worker_.joinable()) {
            worker_ = std::thread([this] { work(); });
        }
    }

    // The chosen file first, as a frame is waiting to show it; then the listing for the next load.
    void work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return fileJob_ || listJob_; });
            busy_ = true;
            if (fileJob_) {
                const FileJob job = *fileJob_;
                fileJob_.reset();
                lock.unlock();
                if (scanHook) {
                    scanHook();
                }
                PictureFile file = readPictureFile(job.chosen, job.minimumSide);
                lock.lock();
                if (job.generation == generation_) {
                    finished_ = std::move(file);
                }
            } else {
                const auto [folder, bmpMinimum] = *listJob_;
                listJob_.reset();
                const Listing current = listing_;
                lock.unlock();
                std::optional<Listing> fresh;
                if (!stillCurrent(current, folder, bmpMinimum)) {
                    fresh = listFolder(folder, bmpMinimum);
                }
                lock.lock();
                if (fresh) {
                    listing_ = std::move(*fresh);
                }
            }
            busy_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::thread worker_;
    bool busy_ = false;
    bool wait_ = true;
    uint64_t generation_ = 0;
    Listing listing_;
    std::optional<std::pair<std::string, uint64_t>> listJob_;
    std::optional<FileJob> fileJob_;
    std::optional<PictureFile> finished_;
};

// Never destroyed: the process may end while the background reads a large file, and it must not wait for
// that (a screen saver ends on SIGTERM at once). The thread only ever touches the loader and the file.
Loader& loader() {
    static Loader* const instance = new Loader;
    return *instance;
}

} // namespace

void setPictureLoadsWait(bool wait) {
    loader().setWait(wait);
}

PictureLoad requestRandomPicture() {
    return loader().request();
}

void loadRandomPicture() {
    requestRandomPicture();
}

void applyFinishedPicture() {
    loader().applyFinished();
}

void finishPictureLoads() {
    loader().finish();
}

bool pictureLoadsIdle() {
    return loader().idle();
}

void discardPictureLoads() {
    loader().discard();
}

void setPictureScanHook(void (*hook)()) {
    scanHook = hook;
}

} // namespace glowfield
