#include "field/drawing.h"

#include <algorithm>
#include <cstdlib>

#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// Steps of a field line worked out at a time.
constexpr int fieldLineBatch = 256;

// The cells of steps first .. first + count - 1 of a field line of the given number of steps, -1 for a step
// that lands outside the inner cells. Each step is independent of the others, so the loops vectorise; the
// clones do the same IEEE operations on more steps at once. The divisions and the cell test are separate
// loops, as together they do not vectorise.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
fieldLineCells(int first, int count, int steps, const double (&from)[2], const double (&to)[2], int n,
               int32_t* __restrict cells) {
    float u[fieldLineBatch], w[fieldLineBatch];
    for (int j = 0; j < count; ++j) {
        const int k = first + j;
        u[j] = toFloat(static_cast<double>(steps - k) * to[0] / steps +
                       static_cast<double>(k) * from[0] / steps);
        w[j] = toFloat(static_cast<double>(steps - k) * to[1] / steps +
                       static_cast<double>(k) * from[1] / steps);
    }
    for (int j = 0; j < count; ++j) {
        const bool inside = (u[j] > 0) & (u[j] < n - 1) & (w[j] > 0) & (w[j] < n - 1);
        cells[j] = inside ? cellAt(static_cast<int>(u[j]), static_cast<int>(w[j])) : -1;
    }
}

} // namespace

void drawFieldLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t redValue, int32_t greenValue,
                   int32_t blueValue) {
    const int n = field.gridSize;
    // Differences in double: saturated coordinates must not overflow 32 bits.
    const float dx = absf(toFloat(static_cast<double>(x0) - x1));
    const float dy = absf(toFloat(static_cast<double>(y0) - y1));
    const int32_t length = truncToInt(static_cast<double>(dx) + dy);
    const double f = 2.2 * length;
    const int steps = (3 * n <= f) ? 3 * n : truncToInt(f + 5);

    // Every step sets the same values, so the order of the steps does not matter.
    const double from[2] = {static_cast<double>(x0), static_cast<double>(y0)};
    const double to[2] = {static_cast<double>(x1), static_cast<double>(y1)};
    int32_t cells[fieldLineBatch];
    for (int first = 0; first <= steps; first += fieldLineBatch) {
        const int count = std::min(steps - first + 1, fieldLineBatch);
        fieldLineCells(first, count, steps, from, to, n, cells);
        for (int j = 0; j < count; ++j) {
            const int cell = cells[j];
            if (cell < 0) {
                continue;
            }
            if (redValue != 0) {
                planes.red[cell] = static_cast<float>(redValue);
            }
            if (greenValue != 0) {
                planes.green[cell] = static_cast<float>(greenValue);
            }
            if (blueValue != 0) {
                planes.blue[cell] = static_cast<float>(blueValue);
            }
        }
    }
}

bool projectPoint(float x, float y, float depth, int32_t& outX, int32_t& outY) {
    const int n = field.gridSize;
    if (!isProjectable(n, depth)) {
        return false;
    }
    // Effects project many points at one depth, so the scale is kept for the depth it was computed for.
    DrawingState& st = drawingState;
    st.projectionCentre = projectionCentre(n);
    if (st.cachedGrid != n || !(depth == st.cachedDepth)) {
        st.cachedGrid = static_cast<uint16_t>(n);
        st.cachedDepth = depth;
        st.cachedScale = projectionScale(n, depth);
    }
    outX = projectCoordinate(x, st.projectionCentre, st.cachedScale);
    outY = projectCoordinate(y, st.projectionCentre, st.cachedScale);
    return outY >= 1 && outY <= n - 2 && outX >= 1 && outX <= n - 2;
}

namespace {

// truncToInt of a value that is not NaN, written as selects so that the loops over a batch of steps
// vectorise.
inline int32_t truncNumber(double value) {
    value = value < 2147483647.0 ? value : 2147483647.0;
    value = value > -2147483648.0 ? value : -2147483648.0;
    return static_cast<int32_t>(value);
}

// truncToInt of any value, NaN included.
inline int32_t truncAny(double value) {
    return truncNumber(value == value ? value : 0.0);
}

// The steps of a 3-D line are worked out a batch at a time. Everything about a step but its parameter is
// independent of the other steps, so those loops vectorise, and only the blocks that can change a cell reach
// the drawing. Slot 0 of the step arrays holds the last step of the batch before.
constexpr int lineBatch = 128;

struct LineBatch {
    double t[lineBatch + 1];           // walk parameter
    double quotient[4][lineBatch + 1]; // 80 size / q and 80 value / q of each colour, q = depth + 80
    int32_t x[lineBatch + 1];          // projected corner
    int32_t y[lineBatch + 1];          //
    int32_t depth[lineBatch + 1];      //
    int32_t side[lineBatch + 1];       // block side
    int32_t level[3][lineBatch + 1];   // block levels
    int32_t xBegin[lineBatch + 1];     // the block clipped to the cells inside the border:
    int32_t xEnd[lineBatch + 1];       // [xBegin, xEnd) x [yBegin, yEnd)
    int32_t yBegin[lineBatch + 1];     //
    int32_t yEnd[lineBatch + 1];       //
    int32_t block[lineBatch + 1];    // 1 when the step has a block: in front of the viewer, not clipped away
    int32_t inBefore[lineBatch + 1]; // 1 when the block lies inside the step before's, levels no higher
    int32_t
        holdsBefore[lineBatch + 1]; // 1 when the step before's block lies inside this one, levels no higher
    int32_t needed[lineBatch + 1];  // 1 when the block has to be drawn
    int32_t drawn[lineBatch + 1];   // steps whose block is drawn, in walk order
};

// Block a lies inside block b and its levels are no higher.
inline bool blockWithin(const LineBatch& s, int a, int b) {
    return (s.xBegin[a] >= s.xBegin[b]) & (s.xEnd[a] <= s.xEnd[b]) & (s.yBegin[a] >= s.yBegin[b]) &
           (s.yEnd[a] <= s.yEnd[b]) & (s.level[0][a] <= s.level[0][b]) & (s.level[1][a] <= s.level[1][b]) &
           (s.level[2][a] <= s.level[2][b]);
}

// Raises cell y of each plane to at least its level. level > cell fails for a NaN cell, which keeps its bits.
inline void raiseCell(float* red, float* green, float* blue, int y, float r, float g, float b) {
    red[y] = r > red[y] ? r : red[y];
    green[y] = g > green[y] ? g : green[y];
    blue[y] = b > blue[y] ? b : blue[y];
}

// Raises the cells [xBegin, xEnd) x [yBegin, yBegin + Rows) to at least the three levels. Rows 0 takes the
// height from yEnd. Blocks are mostly one to four cells high, and a loop of a fixed length is much cheaper
// than a short loop of a varying one.
template <int Rows> void raiseBlock(int xBegin, int xEnd, int yBegin, int yEnd, float r, float g, float b) {
    for (int x = xBegin; x < xEnd; ++x) {
        float* const red = planes.red + cellAt(x, 0);
        float* const green = planes.green + cellAt(x, 0);
        float* const blue = planes.blue + cellAt(x, 0);
        if constexpr (Rows == 0) {
            for (int y = yBegin; y < yEnd; ++y) {
                raiseCell(red, green, blue, y, r, g, b);
            }
        } else {
            for (int j = 0; j < Rows; ++j) {
                raiseCell(red, green, blue, yBegin + j, r, g, b);
            }
        }
    }
}

void raiseBlock(int xBegin, int xEnd, int yBegin, int yEnd, float r, float g, float b) {
    switch (yEnd - yBegin) {
    case 1:
        raiseBlock<1>(xBegin, xEnd, yBegin, yEnd, r, g, b);
        break;
    case 2:
        raiseBlock<2>(xBegin, xEnd, yBegin, yEnd, r, g, b);
        break;
    case 3:
        raiseBlock<3>(xBegin, xEnd, yBegin, yEnd, r, g, b);
        break;
    case 4:
        raiseBlock<4>(xBegin, xEnd, yBegin, yEnd, r, g, b);
        break;
    default:
        raiseBlock<0>(xBegin, xEnd, yBegin, yEnd, r, g, b);
        break;
    }
}

// The ends of a 3-D line as projected, the depths and the terms of block size and levels.
struct LineWalk {
    double px0, py0, px1, py1; // projected ends
    double z0, z1;             // depths
    double sizeTerm;           // 80 size
    double valueTerm[3];       // 80 value of each colour
    int n;                     // gridSize
};

// Steps 1..last of a batch, from the parameter to whether the block has to be drawn. The arithmetic is the
// same IEEE operations in every version; the wider ones only take more steps at once.
__attribute__((target_clones("avx512f", "avx2", "default"))) void workOutSteps(LineBatch& s, int last,
                                                                               const LineWalk& w) {
    // The projected corner and the depth. The corner is a mix of two whole numbers, never NaN.
    for (int k = 1; k <= last; ++k) {
        const double u = s.t[k];
        s.x[k] = truncNumber(w.px0 * u + w.px1 * (1 - u));
        s.y[k] = truncNumber(w.py0 * u + w.py1 * (1 - u));
        s.depth[k] = truncAny(w.z1 * (1 - u) + w.z0 * u);
    }
    // Block size and levels. A step behind the viewer (depth below 0) has no block; its depth is taken as
    // 0 here only to keep the arithmetic finite. The quotients are bounded by the terms over 80, so only the
    // levels, 60 below them, can leave the 32-bit range. Divisions and truncations are separate loops, as
    // together they do not vectorise.
    for (int k = 1; k <= last; ++k) {
        const double q = static_cast<double>(s.depth[k] > 0 ? s.depth[k] : 0) + 80;
        s.quotient[0][k] = w.sizeTerm / q;
        s.quotient[1][k] = w.valueTerm[0] / q;
        s.quotient[2][k] = w.valueTerm[1] / q;
        s.quotient[3][k] = w.valueTerm[2] / q;
    }
    for (int k = 1; k <= last; ++k) {
        const int32_t side = truncNumber(s.quotient[0][k]);
        s.side[k] = side > 1 ? side : 1;
        s.level[0][k] = truncNumber(s.quotient[1][k] - 60);
        s.level[1][k] = truncNumber(s.quotient[2][k] - 60);
        s.level[2][k] = truncNumber(s.quotient[3][k] - 60);
    }
    // The block covers [xp, xp + side) x [yp, yp + side), clipped to the cells inside the border; the end
    // is capped at gridSize - 1 without forming a sum that could overflow.
    for (int k = 1; k <= last; ++k) {
        s.xBegin[k] = s.x[k] > 1 ? s.x[k] : 1;
        s.yBegin[k] = s.y[k] > 1 ? s.y[k] : 1;
        s.xEnd[k] = s.x[k] > w.n - 1 - s.side[k] ? w.n - 1 : s.x[k] + s.side[k];
        s.yEnd[k] = s.y[k] > w.n - 1 - s.side[k] ? w.n - 1 : s.y[k] + s.side[k];
        s.block[k] = (s.depth[k] >= 0) & (s.xBegin[k] < s.xEnd[k]) & (s.yBegin[k] < s.yEnd[k]);
    }
    // Blending by maximum is idempotent and its order does not matter, so a block inside a neighbouring
    // block of the line with levels no higher changes nothing once that neighbour is done, drawn or itself
    // left to its own neighbour. The step before may take any such block; the step after only one that
    // differs from it, so that two equal neighbours do not leave each other out, and a chain of such
    // blocks always ends at one that is drawn. Most steps land where the step before did, or in the
    // block of the step after, as the walk takes two steps per cell of the line's longer side.
    for (int k = 1; k <= last; ++k) {
        s.inBefore[k] = blockWithin(s, k, k - 1);
        s.holdsBefore[k] = blockWithin(s, k - 1, k);
    }
    for (int k = 1; k < last; ++k) {
        s.needed[k] = s.block[k] & !(s.block[k - 1] & s.inBefore[k]) &
                      !(s.block[k + 1] & s.holdsBefore[k + 1] & !s.inBefore[k + 1]);
    }
    s.needed[last] = s.block[last] & !(s.block[last - 1] & s.inBefore[last]);
}

// A line of at most this many steps is walked step by step: for so few, a batch costs more than it saves.
constexpr int shortLineSteps = 8;

void walkShortLine(const LineWalk& w, double step) {
    // The walk starts at the second end; the first end is reached only as a limit.
    for (double t = 0; t < 1; t += step) {
        const int32_t xp = truncToInt(w.px0 * t + w.px1 * (1 - t));
        const int32_t yp = truncToInt(w.py0 * t + w.py1 * (1 - t));
        const int32_t d = truncToInt(w.z1 * (1 - t) + w.z0 * t);
        if (d < 0) {
            continue;
        }
        const double q = static_cast<double>(d) + 80;
        const int32_t side = std::max(truncToInt(w.sizeTerm / q), 1);
        drawingState.blockSize = side;
        const int xEnd = xp > w.n - 1 - side ? w.n - 1 : xp + side;
        const int yEnd = yp > w.n - 1 - side ? w.n - 1 : yp + side;
        raiseBlock(std::max(xp, 1), xEnd, std::max(yp, 1), yEnd,
                   static_cast<float>(truncToInt(w.valueTerm[0] / q - 60)),
                   static_cast<float>(truncToInt(w.valueTerm[1] / q - 60)),
                   static_cast<float>(truncToInt(w.valueTerm[2] / q - 60)));
    }
}

} // namespace

void drawLine3D(float x0, float y0, float depth0, float x1, float y1, float depth1, int32_t redValue,
                int32_t greenValue, int32_t blueValue, int32_t size) {
    DrawingState& st = drawingState;
    const bool startInside = projectPoint(x0, y0, depth0, st.lineStartX, st.lineStartY);
    const bool endInside = projectPoint(x1, y1, depth1, st.lineEndX, st.lineEndY);
    if (!startInside && !endInside) {
        return;
    }
    const int n = field.gridSize;
    const int64_t dX = std::llabs(static_cast<int64_t>(st.lineStartX) - st.lineEndX);
    const int64_t dY = std::llabs(static_cast<int64_t>(st.lineStartY) - st.lineEndY);
    double step = (dX == 0 && dY == 0) ? 1.0 : 1.0 / (2.0 * static_cast<double>(std::max(dX, dY)));
    step = std::max(step, 1.0 / (1.5 * n));
    const LineWalk walk{static_cast<double>(st.lineStartX),
                        static_cast<double>(st.lineStartY),
                        static_cast<double>(st.lineEndX),
                        static_cast<double>(st.lineEndY),
                        depth0,
                        depth1,
                        80.0 * size,
                        {80.0 * redValue, 80.0 * greenValue, 80.0 * blueValue},
                        n};

    if (step > 1.0 / shortLineSteps) {
        walkShortLine(walk, step);
        return;
    }
    LineBatch s;
    // No step before the first.
    s.xBegin[0] = s.xEnd[0] = s.yBegin[0] = s.yEnd[0] = s.block[0] = 0;
    s.level[0][0] = s.level[1][0] = s.level[2][0] = 0;
    // The walk starts at the second end; the first end is reached only as a limit.
    double t = 0;
    while (t < 1) {
        int last = 0;
        for (; last < lineBatch && t < 1; t += step) {
            s.t[++last] = t;
        }
        workOutSteps(s, last, walk);
        int drawnCount = 0;
        for (int k = 1; k <= last; ++k) {
            s.drawn[drawnCount] = k;
            drawnCount += s.needed[k];
        }
        for (int m = 0; m < drawnCount; ++m) {
            const int k = s.drawn[m];
            raiseBlock(s.xBegin[k], s.xEnd[k], s.yBegin[k], s.yEnd[k], static_cast<float>(s.level[0][k]),
                       static_cast<float>(s.level[1][k]), static_cast<float>(s.level[2][k]));
        }
        // The block size of the last step in front of the viewer stays in blockSize.
        for (int k = last; k >= 1; --k) {
            if (s.depth[k] >= 0) {
                drawingState.blockSize = s.side[k];
                break;
            }
        }
        // The last step becomes slot 0 of the next batch.
        s.xBegin[0] = s.xBegin[last];
        s.xEnd[0] = s.xEnd[last];
        s.yBegin[0] = s.yBegin[last];
        s.yEnd[0] = s.yEnd[last];
        s.block[0] = s.block[last];
        for (int c = 0; c < 3; ++c) {
            s.level[c][0] = s.level[c][last];
        }
    }
}

void resetBorder() {
    const int n = field.gridSize;
    for (int k = 0; k < n; ++k) {
        const int cells[4] = {cellAt(n - 1, k), cellAt(0, k), cellAt(k, n - 1), cellAt(k, 0)};
        for (int cell : cells) {
            planes.red[cell] = planes.green[cell] = planes.blue[cell] = -120.0f;
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0.0f;
        }
    }
    field.scanY = static_cast<uint8_t>(n);
}

namespace {

uint8_t pictureLevel(float v) {
    if (v < -127) {
        return 0;
    }
    if (v > 127) {
        return 255;
    }
    return static_cast<uint8_t>(truncToInt(static_cast<double>(v) + 127));
}

} // namespace

void captureFieldToPicture() {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            const int sample = pictureAt(x, y);
            picture.pictureRed[sample] = pictureLevel(planes.red[cell]);
            picture.pictureGreen[sample] = pictureLevel(planes.green[cell]);
            picture.pictureBlue[sample] = pictureLevel(planes.blue[cell]);
        }
    }
    field.scanX = static_cast<uint8_t>(n);
    field.scanY = static_cast<uint8_t>(n);
}

} // namespace glowfield
