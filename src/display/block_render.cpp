// Cell blocks of 32-bit pixels, sixteen cells of a column converted at once and turned into picture rows in
// registers. Two versions of the level rule give the same bits: one in AVX-512 instructions where the
// processor has them, one in portable vector code for every other machine.
#include "display/block_render.h"

#include <immintrin.h>

#include <algorithm>
#include <utility>

#include "field/field.h"

// Every helper that takes or returns a vector is inlined into its caller, so no vector crosses a call and the
// note about the ABI of passing them does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace glowfield {
namespace {

using Floats = float __attribute__((vector_size(64)));
using Ints = int32_t __attribute__((vector_size(64)));
using Words = uint32_t __attribute__((vector_size(64)));
// Views of sixteen values at any 4-byte boundary.
using LooseFloats = float __attribute__((vector_size(64), aligned(4), may_alias));
using LooseWords = uint32_t __attribute__((vector_size(64), aligned(4), may_alias));

constexpr int groupRows = 16; // cell rows converted at once: one vector of each column
constexpr int groupColumns = 4;

[[gnu::always_inline]] inline Floats loadColumn(const float* plane, int x, int y) {
    return *reinterpret_cast<const LooseFloats*>(plane + cellAt(x, y));
}

// The level rule without branches: clamp, truncate, add 127; above 127 is 255, NaN is 127.
[[gnu::always_inline]] inline Words portableLevels(Floats v) {
    const Floats low = Floats{} - 127.0f;
    const Floats high = Floats{} + 127.0f;
    Floats c = v < low ? low : v;
    c = c > high ? high : c;
    c = c == c ? c : Floats{};
    const Ints level = __builtin_convertvector(c, Ints) + 127;
    return reinterpret_cast<Words>(v > high ? Ints{} + 255 : level);
}

// The same rule in six AVX-512 instructions: NaN lanes are zeroed by the masked max, and lanes above 127 are
// set to 128 after truncation.
[[gnu::always_inline, gnu::target("avx512f")]] inline Words wideLevels(Floats v) {
    const __m512 x = reinterpret_cast<__m512>(v);
    const __mmask16 ordered = _mm512_cmp_ps_mask(x, x, _CMP_ORD_Q);
    const __mmask16 above = _mm512_cmp_ps_mask(x, _mm512_set1_ps(127.0f), _CMP_GT_OQ);
    const __mmask16 all =
        0xffff; // the masked forms, because the plain ones leave GCC 12 warning of undefined lanes
    const __m512 clamped = _mm512_maskz_min_ps(all, _mm512_maskz_max_ps(ordered, x, _mm512_set1_ps(-127.0f)),
                                               _mm512_set1_ps(127.0f));
    const __m512i level =
        _mm512_mask_mov_epi32(_mm512_maskz_cvttps_epi32(all, clamped), above, _mm512_set1_epi32(128));
    return reinterpret_cast<Words>(_mm512_add_epi32(level, _mm512_set1_epi32(127)));
}

// Rows 0..7 (H = 0) or 8..15 (H = 1) of two columns, interleaved: a0 b0 a1 b1 ...
template <int H, size_t... J>
[[gnu::always_inline]] inline Words zip(Words a, Words b, std::index_sequence<J...>) {
    return __builtin_shufflevector(a, b, (H * 8 + J / 2 + (J % 2) * 16)...);
}

// Row R of four columns, each value four times, from the zipped pairs ab (columns 0, 1) and cd (2, 3).
template <int R, size_t... J>
[[gnu::always_inline]] inline Words rowOfFour(Words ab, Words cd, std::index_sequence<J...>) {
    return __builtin_shufflevector(ab, cd, ((J / 8) * 16 + 2 * R + (J / 4) % 2)...);
}

// Lines of cell row y inside the area.
inline int linesOfRow(int y, const BlockArea& area) {
    return y < area.rows ? std::clamp(area.lines - y * area.cellHeight, 0, area.cellHeight) : 0;
}

// Eight cell rows of four columns: rows first .. first + 7, from the zipped pairs.
template <size_t... R>
[[gnu::always_inline]] inline void storeEightRows(Words ab, Words cd, uint8_t* columnStart, ptrdiff_t pitch,
                                                  int first, const BlockArea& area,
                                                  std::index_sequence<R...>) {
    (
        [&] {
            const int y = first + static_cast<int>(R);
            const Words pixels = rowOfFour<R>(ab, cd, std::make_index_sequence<16>{});
            uint8_t* line = columnStart + static_cast<ptrdiff_t>(y) * area.cellHeight * pitch;
            for (int count = linesOfRow(y, area); count > 0; --count, line += pitch) {
                *reinterpret_cast<LooseWords*>(line) = pixels;
            }
        }(),
        ...);
}

// Sixteen cell rows of four columns, given as one vector of pixels per column.
[[gnu::always_inline]] inline void storeGroup(const Words (&column)[groupColumns], uint8_t* columnStart,
                                              ptrdiff_t pitch, int firstRow, const BlockArea& area) {
    const auto sixteen = std::make_index_sequence<16>{};
    const auto eight = std::make_index_sequence<8>{};
    storeEightRows(zip<0>(column[0], column[1], sixteen), zip<0>(column[2], column[3], sixteen), columnStart,
                   pitch, firstRow, area, eight);
    storeEightRows(zip<1>(column[0], column[1], sixteen), zip<1>(column[2], column[3], sixteen), columnStart,
                   pitch, firstRow + 8, area, eight);
}

[[gnu::target("avx512f")]] void writeWide(const FieldPlanes& planes, PixelShifts shifts,
                                          const BlockArea& area, uint8_t* picture, ptrdiff_t pitch) {
    for (int x0 = 0; x0 < area.columns; x0 += groupColumns) {
        for (int y0 = 0; y0 < area.rows; y0 += groupRows) {
            Words column[groupColumns];
            for (int i = 0; i < groupColumns; ++i) {
                column[i] = wideLevels(loadColumn(planes.red, x0 + i, y0)) << shifts.red |
                            wideLevels(loadColumn(planes.green, x0 + i, y0)) << shifts.green |
                            wideLevels(loadColumn(planes.blue, x0 + i, y0)) << shifts.blue;
            }
            storeGroup(column, picture + x0 * 16, pitch, y0, area);
        }
    }
}

__attribute__((target_clones("avx2", "default"))) void writePortable(const FieldPlanes& planes,
                                                                     PixelShifts shifts,
                                                                     const BlockArea& area, uint8_t* picture,
                                                                     ptrdiff_t pitch) {
    for (int x0 = 0; x0 < area.columns; x0 += groupColumns) {
        for (int y0 = 0; y0 < area.rows; y0 += groupRows) {
            Words column[groupColumns];
            for (int i = 0; i < groupColumns; ++i) {
                column[i] = portableLevels(loadColumn(planes.red, x0 + i, y0)) << shifts.red |
                            portableLevels(loadColumn(planes.green, x0 + i, y0)) << shifts.green |
                            portableLevels(loadColumn(planes.blue, x0 + i, y0)) << shifts.blue;
            }
            storeGroup(column, picture + x0 * 16, pitch, y0, area);
        }
    }
}

} // namespace

void writeCellBlocks(const FieldPlanes& planes, PixelShifts shifts, const BlockArea& area, uint8_t* picture,
                     ptrdiff_t pitch, BlockCode code) {
    static const bool wide = __builtin_cpu_supports("avx512f");
    if (wide && code == BlockCode::fastest) {
        writeWide(planes, shifts, area, picture, pitch);
    } else {
        writePortable(planes, shifts, area, picture, pitch);
    }
}

} // namespace glowfield
