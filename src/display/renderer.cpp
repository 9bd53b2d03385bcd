#include "display/renderer.h"

#include <algorithm>

#include "display/block_render.h"
#include "display/surface_writer.h"
#include "field/field.h"
#include "platform/report_error.h"

namespace glowfield {

RendererState renderer;

void setRenderTarget(SurfaceWriter* writer) {
    renderer.writer = writer;
}

uint32_t packedColourAt(int x, int y) {
    const int cell = cellAt(x, y);
    return static_cast<uint32_t>(levelOf(planes.red[cell])) |
           static_cast<uint32_t>(levelOf(planes.green[cell])) << 8 |
           static_cast<uint32_t>(levelOf(planes.blue[cell])) << 16;
}

namespace {

constexpr int shownCells = 200; // cell columns and cell rows of the 800 x 600 picture

// The pixel value of every shown cell, row by row, as the writer's tables give it.
uint32_t pixelRows[shownCells][shownCells];

// The level rule without branches, so that a whole column of cells is converted at once: clamp, truncate,
// add 127; above 127 is 255, NaN is 127. Same values as levelOf for every input.
inline uint32_t branchFreeLevel(float v) {
    float c = v < -127.0f ? -127.0f : v;
    c = c > 127.0f ? 127.0f : c;
    c = c == c ? c : 0.0f;
    const int level = static_cast<int>(c) + 127;
    return static_cast<uint32_t>(v > 127.0f ? 255 : level);
}

__attribute__((target_clones("avx512f", "avx2", "default"))) void
levelsOfColumn(const float* __restrict plane, uint32_t* __restrict levels, int rows) {
    for (int y = 0; y < rows; ++y) {
        levels[y] = branchFreeLevel(plane[y]);
    }
}

// Where every table entry is its level shifted into place (any format with 8-bit channels), the pixel is
// three shifted levels ORed, and a whole column is converted without table look-ups.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
shiftedPixelsOfColumn(const float* __restrict red, const float* __restrict green,
                      const float* __restrict blue, uint32_t* __restrict pixels, int rows, int redShift,
                      int greenShift, int blueShift) {
    for (int y = 0; y < rows; ++y) {
        pixels[y] = branchFreeLevel(red[y]) << redShift | branchFreeLevel(green[y]) << greenShift |
                    branchFreeLevel(blue[y]) << blueShift;
    }
}

// The shift that turns level i into table entry i for all levels, or -1.
int tableShift(const uint32_t* table) {
    for (int shift = 0; shift <= 24; ++shift) {
        bool matches = true;
        for (uint32_t i = 0; i < 256 && matches; ++i) {
            matches = table[i] == i << shift;
        }
        if (matches) {
            return shift;
        }
    }
    return -1;
}

// Four copies of each 32-bit pixel value one after another: a line of 4-pixel blocks at 32 bits per pixel,
// the same bytes as the writer's own expansion, stored into lineCount lines pitch pixels apart.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
expandFourWide(const uint32_t* __restrict values, int count, uint32_t* __restrict out, ptrdiff_t pitch,
               int lineCount) {
    for (int line = 0; line < lineCount; ++line) {
        uint32_t* __restrict to = out + line * pitch;
        for (int i = 0; i < count; ++i) {
            to[4 * i] = values[i];
            to[4 * i + 1] = values[i];
            to[4 * i + 2] = values[i];
            to[4 * i + 3] = values[i];
        }
    }
}

// Pixel values of the first rows of every shown column, through the writer's three tables. The columns are
// converted sixteen at a time and then turned into rows, so that each row of the table is written a whole
// cache line at once while the block stays in the first-level cache.
constexpr int blockColumns = 16;

void computePixels(const SurfaceWriter& writer, int columns, int rows) {
    alignas(64) static uint32_t block[blockColumns][planeStride];
    const int redShift = tableShift(writer.redTable());
    const int greenShift = tableShift(writer.greenTable());
    const int blueShift = tableShift(writer.blueTable());
    if (redShift >= 0 && greenShift >= 0 && blueShift >= 0) {
        for (int first = 0; first < columns; first += blockColumns) {
            const int count = std::min(blockColumns, columns - first);
            for (int i = 0; i < count; ++i) {
                const int at = cellAt(first + i, 0);
                shiftedPixelsOfColumn(planes.red + at, planes.green + at, planes.blue + at, block[i], rows,
                                      redShift, greenShift, blueShift);
            }
            for (int y = 0; y < rows; ++y) {
                uint32_t* const row = pixelRows[y] + first;
                for (int i = 0; i < count; ++i) {
                    row[i] = block[i][y];
                }
            }
        }
        return;
    }
    uint32_t red[planeStride], green[planeStride], blue[planeStride];
    const uint32_t* redTable = writer.redTable();
    const uint32_t* greenTable = writer.greenTable();
    const uint32_t* blueTable = writer.blueTable();
    for (int x = 0; x < columns; ++x) {
        levelsOfColumn(planes.red + cellAt(x, 0), red, rows);
        levelsOfColumn(planes.green + cellAt(x, 0), green, rows);
        levelsOfColumn(planes.blue + cellAt(x, 0), blue, rows);
        for (int y = 0; y < rows; ++y) {
            pixelRows[y][x] = redTable[red[y]] | greenTable[green[y]] | blueTable[blue[y]];
        }
    }
}

// Where the surface holds 4-byte pixels of 8-bit channels: the picture is written in blocks straight from the
// planes, and lines below the last cell row are cleared. False when the surface needs the general path.
bool renderBlocks(SurfaceWriter& writer, int columns, int rows, int lines, int cellHeight) {
    const PixelShifts shifts{tableShift(writer.redTable()), tableShift(writer.greenTable()),
                             tableShift(writer.blueTable())};
    if (writer.storeBytes() != 4 || writer.pitch() % 4 != 0 || columns % 4 != 0 || shifts.red < 0 ||
        shifts.green < 0 || shifts.blue < 0) {
        return false;
    }
    uint8_t* const base = writer.claimBytes(0);
    const ptrdiff_t pitch = writer.pitch();
    writeCellBlocks(planes, shifts, BlockArea{columns, rows, lines, cellHeight}, base, pitch);
    const uint32_t blank[shownCells] = {};
    for (int line = rows * cellHeight; line < lines; ++line) {
        expandFourWide(blank, columns, reinterpret_cast<uint32_t*>(base + line * pitch), 0, 1);
    }
    for (int line = 0; line < lines; ++line) {
        writer.claimBytes(columns * 16);
        writer.nextLine();
    }
    return true;
}

// The general path: the pixel values of all cells through the writer's tables, then line by line; the first
// line of each cell row is built in place (at 32 bits) or in a small buffer, and the row's other lines repeat
// it.
void renderLines(SurfaceWriter& writer, int columns, int rows, int lines, int cellHeight) {
    computePixels(writer, columns, rows);
    const uint32_t blank[shownCells] = {};
    alignas(64) uint8_t lineBuffer[shownCells * 4 * 4];
    int lineBytes = 0;
    for (int line = 0; line < lines; ++line) {
        const int y = line / cellHeight;
        if (line % cellHeight == 0) {
            const uint32_t* values = y < rows ? pixelRows[y] : blank;
            if (writer.storeBytes() == 4) {
                lineBytes = columns * 16;
                expandFourWide(values, columns, reinterpret_cast<uint32_t*>(writer.claimBytes(lineBytes)), 0,
                               1);
            } else {
                lineBytes = writer.expandBlocks(values, columns, 4, lineBuffer);
                writer.storeBytes(lineBuffer, lineBytes);
            }
        } else {
            writer.repeatLineAbove(lineBytes);
        }
        writer.nextLine();
    }
}

} // namespace

void renderField() {
    SurfaceWriter* writer = renderer.writer;
    if (!writer) {
        return;
    }
    ResultCode code = writer->lock(nullptr, true);
    if (code != result::ok) {
        // The surface keeps what it showed; the next frame tries again.
        reportError("Lock failed.", code);
        return;
    }
    writer->rewind();
    // 600 lines of 200 blocks of 4 pixels; a surface smaller than 800 x 600 gets only what fits.
    const int height = writer->height();
    const int blockColumns = writer->width() / 4;
    const int lines = height < 600 ? height : 600;
    const int columns = blockColumns < shownCells ? blockColumns : shownCells;
    const int cellHeight = field.cellHeight > 0 ? field.cellHeight : 1;
    const int rows = lines > 0 ? std::min((lines - 1) / cellHeight + 1, shownCells) : 0;

    // Each cell's levels are computed once per frame rather than once per pixel line.
    if (!renderBlocks(*writer, columns, rows, lines, cellHeight)) {
        renderLines(*writer, columns, rows, lines, cellHeight);
    }
    code = writer->unlock();
    if (code != result::ok) {
        reportError("Unlock failed.", code);
    }
}

} // namespace glowfield
