// The picture planes, and reading a chosen picture file: .bmp files here, row by row.
#include "field/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "field/field.h"
#include "field/picture_decode.h"
#include "field/picture_file.h"
#include "field/picture_listing.h"
#include "field/picture_loader.h"

namespace glowfield {

namespace {

std::string pictureFolder;

constexpr int fileHeaderBytes = 14;
constexpr int infoHeaderBytes = 40;
constexpr int headerBytes = fileHeaderBytes + infoHeaderBytes;

int32_t readInt32(const unsigned char* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

uint16_t readUint16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Opens a listed picture for reading, or nullptr. The file may have been replaced since the listing: a FIFO
// or device opened without O_NONBLOCK could block the player, so the open never waits and anything but a
// regular file is skipped.
std::FILE* openRegularFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file) {
        ::close(descriptor);
    }
    return file;
}

// Reads a .bmp the way it has always been unpacked, into file's sample list instead of the planes: its
// header's sizes, then row by row up to the last column that the planes keep.
void readBmp(std::FILE* stream, uint64_t fileSize, PictureFile& file) {
    unsigned char header[headerBytes];
    if (std::fread(header, 1, fileHeaderBytes, stream) != fileHeaderBytes || readUint16(header) != 19778) {
        return;
    }
    if (std::fread(header + fileHeaderBytes, 1, infoHeaderBytes, stream) != infoHeaderBytes) {
        return;
    }
    const unsigned char* info = header + fileHeaderBytes;
    const int32_t fileWidth = readInt32(info + 4);
    const int32_t fileHeight = readInt32(info + 8);
    // The sizes are taken before the bit count is checked, so a rejected file still changes them. They never
    // leave the planes' range: a negative size from a top-down or broken header becomes 0.
    file.bmpHeader = true;
    file.width = std::clamp(fileWidth, 0, pictureColumns);
    file.height = std::clamp(fileHeight, 0, pictureRows);
    if (readUint16(info + 14) != 24) {
        return;
    }

    // Rows are as long as the file's real width says, so a picture wider than the planes is cropped, not
    // sheared. The padding rounds 3 bytes per pixel up to a multiple of 4.
    const uint64_t realWidth = static_cast<uint64_t>(std::max(fileWidth, 0));
    const uint64_t rowLength = 3 * realWidth + realWidth % 4;
    const int width = file.width;
    const int height = file.height;

    // Pixel data starts at the header's offset when it is sane (larger information headers put it further
    // on); otherwise right behind the two headers.
    const uint32_t dataOffset = static_cast<uint32_t>(readInt32(header + 10));
    uint64_t start = headerBytes;
    if (dataOffset >= headerBytes && dataOffset < fileSize) {
        start = dataOffset;
    }
    // Each stored row is read up to the last column that the planes keep, so a huge or lying header costs
    // no more than the planes can hold. The copy stops at the first sample that the file does not contain.
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    file.bmpSamples.reserve(rowBytes * static_cast<size_t>(std::max(height - 1, 0)));
    std::vector<unsigned char> row(rowBytes);
    for (int k = 1; k < height; ++k) {
        const uint64_t rowStart = start + k * rowLength;
        if (rowStart > static_cast<uint64_t>(std::numeric_limits<long>::max()) ||
            std::fseek(stream, static_cast<long>(rowStart), SEEK_SET) != 0) {
            return;
        }
        const size_t got = width > 0 ? std::fread(row.data(), 1, row.size(), stream) : 0;
        file.bmpSamples.insert(file.bmpSamples.end(), row.begin(),
                               row.begin() + static_cast<long>(got / 3 * 3));
        if (got < rowBytes) {
            return;
        }
    }
}

// The whole of a compressed picture file, or nothing when it cannot be read or has grown past the limit.
std::vector<uint8_t> readCompressedFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(openRegularFile(path));
    std::vector<uint8_t> bytes;
    if (!file) {
        return bytes;
    }
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > maximumCompressedFileBytes) {
            return {};
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

} // namespace

void setPictureDirectory(const std::string& directory) {
    pictureFolder = directory;
}

const std::string& pictureDirectory() {
    return pictureFolder;
}

PictureFile readPictureFile(const PictureCandidate& chosen, int minimumSide) {
    PictureFile file;
    if (chosen.format == PictureFormat::bmp) {
        const std::unique_ptr<std::FILE, FileCloser> stream(openRegularFile(chosen.path));
        struct stat info {};
        if (stream && fstat(fileno(stream.get()), &info) == 0) {
            readBmp(stream.get(), static_cast<uint64_t>(info.st_size), file);
        }
        return file;
    }
    const std::vector<uint8_t> bytes = readCompressedFile(chosen.path);
    file.fitted = decodeCompressedPicture(bytes.data(), bytes.size(), minimumSide);
    return file;
}

namespace {

// Plane rows 1 to lastRow - 1 from rows of `width` pixels: rowOf(k) gives plane row k's pixels from plane
// column width - 1 down to 0, three bytes each with red, green and blue at the given offsets. The planes
// keep a column's rows together, so the rows are taken in bands that stay in the cache while each band is
// written column by column.
template <typename RowOf>
void writePlaneRows(int width, int lastRow, const RowOf& rowOf, int red, int green, int blue) {
    constexpr int band = 32;
    for (int top = 1; top < lastRow; top += band) {
        const int bottom = std::min(top + band, lastRow);
        const uint8_t* rows[band];
        for (int k = top; k < bottom; ++k) {
            rows[k - top] = rowOf(k);
        }
        for (int l = 0; l < width; ++l) {
            const int column = pictureAt(width - 1 - l, 0);
            for (int k = top; k < bottom; ++k) {
                const uint8_t* pixel = rows[k - top] + 3 * l;
                picture.pictureRed[column + k] = pixel[red];
                picture.pictureGreen[column + k] = pixel[green];
                picture.pictureBlue[column + k] = pixel[blue];
            }
        }
    }
}

} // namespace

// A fitted picture lands as a .bmp of the same image would: plane row k holds the k-th row from the bottom
// (row 0 is skipped), plane column X the column width - 1 - X from the left.
void fillPlanes(const FittedPicture& fitted) {
    picture.pictureWidth = std::min(fitted.width, pictureColumns);
    picture.pictureHeight = std::min(fitted.height, pictureRows);
    const size_t stride = 3 * static_cast<size_t>(fitted.width);
    writePlaneRows(
        picture.pictureWidth, picture.pictureHeight,
        [&](int k) { return fitted.rgb.data() + static_cast<size_t>(fitted.height - 1 - k) * stride; }, 0, 1,
        2);
}

void applyPictureFile(const PictureFile& file) {
    if (file.fitted) {
        fillPlanes(*file.fitted);
        return;
    }
    if (!file.bmpHeader) {
        return;
    }
    picture.pictureWidth = file.width;
    picture.pictureHeight = file.height;
    if (file.width <= 0) {
        return;
    }
    // Whole rows, then the part of a row where the file ended.
    const size_t width = static_cast<size_t>(file.width);
    const size_t samples = file.bmpSamples.size() / 3;
    const int wholeRows = static_cast<int>(samples / width);
    const uint8_t* const first = file.bmpSamples.data();
    writePlaneRows(
        file.width, 1 + wholeRows, [&](int k) { return first + 3 * static_cast<size_t>(k - 1) * width; }, 2,
        1, 0);
    const uint8_t* read = first + 3 * static_cast<size_t>(wholeRows) * width;
    for (size_t l = 0; l < samples % width; ++l, read += 3) {
        const int sample = pictureAt(file.width - 1 - static_cast<int>(l), 1 + wholeRows);
        picture.pictureBlue[sample] = read[0];
        picture.pictureGreen[sample] = read[1];
        picture.pictureRed[sample] = read[2];
    }
}

} // namespace glowfield
