// Rotating point models: the shared rotation, pens and lines of OranGeena, Jumper, Bo Selecta and SpongeTrek.
//
// Point i of a model: current position in slot i of particleX/Y/Z, model coordinates in slot 2000 + i,
// partner index in particleTag[i] (a point joined to itself draws a dot). Each model effect marks
// particleOwner with its own value and lays its model out again when it finds another mark there.
#pragma once

#include <cstdint>

#include "effects/effect_state.h"
#include "effects/shared/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

// Slots of the rotation temporaries. They are also the model coordinates of points 1000 and 1001.
inline constexpr int firstTemporary = 3000;
inline constexpr int secondTemporary = 3001;

inline float sinOf(double angle) {
    return fastSin(toFloat(angle));
}

inline double frameClock() {
    return static_cast<double>(shared.frameCounter);
}

// Sine and cosine of the three rotation angles of this frame, frameCounter times each rate in single
// precision.
struct Spin {
    float cos1, sin1, cos2, sin2, cos3, sin3;
    double depthShift; // zOff * gridSize
};

inline Spin spinForFrame(float rate1, float rate2, float rate3, double zOff) {
    const float t1 = toFloat(frameClock() * rate1);
    const float t2 = toFloat(frameClock() * rate2);
    const float t3 = toFloat(frameClock() * rate3);
    return {fastCos(t1), fastSin(t1), fastCos(t2),          fastSin(t2),
            fastCos(t3), fastSin(t3), zOff * field.gridSize};
}

// Rotates model point i into its current position. Each temporary is stored in its slot as soon as it is
// computed and read back from there, so for points 1000 and 1001, whose model coordinates share those slots,
// later steps see the temporaries (B of point 1000 is computed from its A, not from its model X).
inline void rotatePoint(int i, const Spin& spin) {
    auto& px = particles.particleX;
    auto& py = particles.particleY;
    auto& pz = particles.particleZ;
    const double cos1 = spin.cos1, sin1 = spin.sin1, cos2 = spin.cos2, sin2 = spin.sin2;
    const double cos3 = spin.cos3, sin3 = spin.sin3;

    px[firstTemporary] = toFloat(cos1 * modelX(i) + sin1 * modelY(i)); // A
    py[firstTemporary] = toFloat(cos1 * modelY(i) - sin1 * modelX(i)); // B
    py[secondTemporary] = py[firstTemporary];
    pz[firstTemporary] = modelZ(i);
    const double a = px[firstTemporary];
    const double z = pz[firstTemporary];
    px[secondTemporary] = toFloat(cos2 * a + sin2 * z); // C
    pz[secondTemporary] = toFloat(cos2 * z - sin2 * a); // D

    const double b = py[secondTemporary];
    const double d = pz[secondTemporary];
    px[i] = px[secondTemporary];
    py[i] = toFloat(cos3 * b - sin3 * d);
    pz[i] = toFloat(sin3 * b + cos3 * d);

    const int half = field.gridSize / 2;
    px[i] = toFloat(static_cast<double>(px[i]) + half);
    py[i] = toFloat(static_cast<double>(py[i]) + half);
    pz[i] = toFloat(pz[i] + spin.depthShift);
}

inline void clearField() {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            planes.red[cell] = planes.green[cell] = planes.blue[cell] = -120.0f;
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0.0f;
        }
    }
}

// The pen colour cycles through three sine waves of slightly different periods.
struct PenWave {
    float red, green, blue;
};
inline constexpr PenWave rainbowWave{0.016666668f, 0.019607844f, 0.020833334f};

inline void setPens(uint32_t clock, const PenWave& wave, double amplitude) {
    const double f = static_cast<double>(clock);
    shared.penRed = truncToInt(sinOf(f * wave.red) * amplitude);
    shared.penGreen = truncToInt(sinOf(f * wave.green) * amplitude);
    shared.penBlue = truncToInt(sinOf(f * wave.blue) * amplitude);
}

// A line from point i to point j in the current pen colour. A partner index that lies outside the store (left
// there by another effect) draws nothing.
inline void drawPointLine(int i, int64_t j, int32_t size) {
    if (j < 0 || j >= particleCapacity) {
        return;
    }
    const auto& px = particles.particleX;
    const auto& py = particles.particleY;
    const auto& pz = particles.particleZ;
    drawPenLine3D(px[i], py[i], pz[i], px[j], py[j], pz[j], size);
}

} // namespace glowfield
