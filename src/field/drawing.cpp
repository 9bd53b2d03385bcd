#include "field/drawing.h"

#include <algorithm>
#include <cstdlib>

#include "effects/effect_state.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/trig.h"

namespace glowfield {

DrawingState drawingState;

void resetDrawingState() {
    drawingState = DrawingState{};
}

void drawFieldLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t redValue, int32_t greenValue,
                   int32_t blueValue) {
    const int n = field.gridSize;
    // Differences in double: saturated coordinates must not overflow 32 bits.
    const float dx = absf(toFloat(static_cast<double>(x0) - x1));
    const float dy = absf(toFloat(static_cast<double>(y0) - y1));
    const int32_t length = truncToInt(static_cast<double>(dx) + dy);
    const double f = 2.2 * length;
    const int steps = (3 * n <= f) ? 3 * n : truncToInt(f + 5);

    for (int k = 0; k <= steps; ++k) {
        const float u =
            toFloat(static_cast<double>(steps - k) * x1 / steps + static_cast<double>(k) * x0 / steps);
        const float w =
            toFloat(static_cast<double>(steps - k) * y1 / steps + static_cast<double>(k) * y0 / steps);
        if (!(u > 0 && u < n - 1 && w > 0 && w < n - 1)) {
            continue;
        }
        const int cell = cellAt(static_cast<int>(u), static_cast<int>(w));
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

void raiseTo(float& cell, int32_t value) {
    if (static_cast<float>(value) > cell) {
        cell = static_cast<float>(value);
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
    const double px0 = st.lineStartX, py0 = st.lineStartY;
    const double px1 = st.lineEndX, py1 = st.lineEndY;
    const int64_t dX = std::llabs(static_cast<int64_t>(st.lineStartX) - st.lineEndX);
    const int64_t dY = std::llabs(static_cast<int64_t>(st.lineStartY) - st.lineEndY);
    double step = (dX == 0 && dY == 0) ? 1.0 : 1.0 / (2.0 * static_cast<double>(std::max(dX, dY)));
    step = std::max(step, 1.0 / (1.5 * n));

    // The walk starts at the second end; the first end is reached only as a limit.
    for (double t = 0; t < 1; t += step) {
        const int32_t xp = truncToInt(px0 * t + px1 * (1 - t));
        const int32_t yp = truncToInt(py0 * t + py1 * (1 - t));
        const int32_t d = truncToInt(static_cast<double>(depth1) * (1 - t) + static_cast<double>(depth0) * t);
        if (d < 0) {
            continue;
        }
        const double q = static_cast<double>(d) + 80;
        const int32_t side = std::max(truncToInt(80.0 * size / q), 1);
        shared.letterOffset = side;
        if (static_cast<int64_t>(side) + xp - 1 < 1 || static_cast<int64_t>(side) + yp - 1 < 1 ||
            xp > n - 2 || yp > n - 2) {
            continue;
        }
        const int32_t r = truncToInt(80.0 * redValue / q - 60);
        const int32_t g = truncToInt(80.0 * greenValue / q - 60);
        const int32_t b = truncToInt(80.0 * blueValue / q - 60);
        for (int64_t i = 0; i < side; ++i) {
            const int64_t x = xp + i;
            if (x < 1) {
                continue;
            }
            if (x > n - 2) {
                break;
            }
            for (int64_t j = 0; j < side; ++j) {
                const int64_t y = yp + j;
                if (y < 1) {
                    continue;
                }
                if (y > n - 2) {
                    break;
                }
                const int cell = cellAt(static_cast<int>(x), static_cast<int>(y));
                raiseTo(planes.red[cell], r);
                raiseTo(planes.green[cell], g);
                raiseTo(planes.blue[cell], b);
            }
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
