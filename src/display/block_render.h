// Writes the field's cells as blocks of 32-bit pixels, sixteen cell rows at a time: each colour plane is read
// in whole columns, the levels are computed sixteen cells at once and the block is turned into picture rows
// in registers, so every pixel is stored once and nothing is read back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glowfield {

struct FieldPlanes;

// Where each level goes in a 32-bit pixel: the pixel is the three levels shifted into place and ORed.
struct PixelShifts {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// The part of the picture to write: cells [0, columns) x [0, rows), each 4 pixels wide and cellHeight lines
// high, clipped to the first `lines` lines. Columns must be a multiple of 4 and at most 200, rows at most
// 200.
struct BlockArea {
    int columns = 0;
    int rows = 0;
    int lines = 0;
    int cellHeight = 1;
};

// Which code writes the blocks: the fastest the processor runs, or the portable one every processor runs (for
// comparing the two).
enum class BlockCode { fastest, portable };

// The same pixels as levelOf on every channel of every cell, NaN, infinities and the edges of the range
// included, whichever code writes them.
void writeCellBlocks(const FieldPlanes& planes, PixelShifts shifts, const BlockArea& area, uint8_t* picture,
                     ptrdiff_t pitch, BlockCode code = BlockCode::fastest);

} // namespace glowfield
