// The picture files of a folder that a load may choose from, listed once per load in name order.
#include "field/picture_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace glowfield {

namespace {

bool endsWithIgnoringCase(std::string_view name, std::string_view tail) {
    return name.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

} // namespace

std::optional<PictureFormat> pictureFormatOf(std::string_view name) {
    // The directory search of the original platform matches "*.bmp" without regard to case; the compressed
    // formats follow the same rule.
    if (endsWithIgnoringCase(name, ".bmp")) {
        return PictureFormat::bmp;
    }
    for (std::string_view tail : {".png", ".jpg", ".jpeg"}) {
        if (endsWithIgnoringCase(name, tail)) {
            return PictureFormat::compressed;
        }
    }
    return std::nullopt;
}

std::vector<PictureCandidate> listPictureCandidates(const std::string& folder, uint64_t bmpMinimumBytes) {
    std::vector<PictureCandidate> found;
    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
    if (!directory) {
        return found;
    }
    // Names are matched as the directory read gives them, and only entries with a picture extension cost a
    // file status, so a folder of many other files is listed quickly. Links are followed; anything that is
    // not a regular file in the end (a directory, a FIFO, a dangling link) is skipped.
    while (const dirent* entry = readdir(directory.get())) {
        const std::optional<PictureFormat> format = pictureFormatOf(entry->d_name);
        if (!format || entry->d_type == DT_DIR) {
            continue;
        }
        struct stat info {};
        if (fstatat(dirfd(directory.get()), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const uint64_t size = static_cast<uint64_t>(info.st_size);
        const bool fits = *format == PictureFormat::bmp ? size > bmpMinimumBytes
                                                        : size > 0 && size <= maximumCompressedFileBytes;
        if (fits) {
            found.push_back({folder + "/" + entry->d_name, size, *format});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const PictureCandidate& a, const PictureCandidate& b) { return a.path < b.path; });
    return found;
}

} // namespace glowfield
