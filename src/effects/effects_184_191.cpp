// Rotating point models and phase fields.
//
// Four effects keep a cloud of 3-D points in the particle store, spin it with one shared rotation and draw it
// with drawLine3D: a spiral on a sphere (OranGeena), pulsing shells rebuilt every frame (Jumper), a message
// in vector letters among grey dots (Bo Selecta) and a cube of random dots (SpongeTrek). Each model effect
// marks particleOwner with its own value and lays its model out again when it finds another mark there, so
// any effect that writes particleX[0] makes the next model effect start afresh. Gas Fire moves 90 sources and
// writes their signed potential into the velocity planes; Whiffle, Float and Hanky feed colour differences
// back into the velocity planes as sine phases.
//
// Point i of a model: current position in slot i of particleX/Y/Z, model coordinates in slot 2000 + i,
// partner index in particleTag[i] (a point joined to itself draws a dot).

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "effects/cell_runs.h"
#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/lettering.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {
namespace {

// Owner marks of the model effects.
constexpr float spiralMark = 11.621f;
constexpr float messageMark = 3.455f;
constexpr float cubeMark = 115.621f;

// Slots of the rotation temporaries. They are also the model coordinates of points 1000 and 1001.
constexpr int firstTemporary = 3000;
constexpr int secondTemporary = 3001;

float sinOf(double angle) {
    return fastSin(toFloat(angle));
}

double frameClock() {
    return static_cast<double>(shared.frameCounter);
}

// Sine and cosine of the three rotation angles of this frame, frameCounter times each rate in single
// precision.
struct Spin {
    float cos1, sin1, cos2, sin2, cos3, sin3;
    double depthShift; // zOff * gridSize
};

Spin spinForFrame(float rate1, float rate2, float rate3, double zOff) {
    const float t1 = toFloat(frameClock() * rate1);
    const float t2 = toFloat(frameClock() * rate2);
    const float t3 = toFloat(frameClock() * rate3);
    return {fastCos(t1), fastSin(t1), fastCos(t2),          fastSin(t2),
            fastCos(t3), fastSin(t3), zOff * field.gridSize};
}

// Rotates model point i into its current position. Each temporary is stored in its slot as soon as it is
// computed and read back from there, so for points 1000 and 1001, whose model coordinates share those slots,
// later steps see the temporaries (B of point 1000 is computed from its A, not from its model X).
void rotatePoint(int i, const Spin& spin) {
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

void clearField() {
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
constexpr PenWave rainbowWave{0.016666668f, 0.019607844f, 0.020833334f};
constexpr PenWave cubeWave{0.016638935f, 0.019489378f, 0.020690653f};

void setPens(uint32_t clock, const PenWave& wave, double amplitude) {
    const double f = static_cast<double>(clock);
    shared.penRed = truncToInt(sinOf(f * wave.red) * amplitude);
    shared.penGreen = truncToInt(sinOf(f * wave.green) * amplitude);
    shared.penBlue = truncToInt(sinOf(f * wave.blue) * amplitude);
}

// A line from point i to point j in the current pen colour. A partner index that lies outside the store (left
// there by another effect) draws nothing.
void drawPointLine(int i, int64_t j, int32_t size) {
    if (j < 0 || j >= particleCapacity) {
        return;
    }
    const auto& px = particles.particleX;
    const auto& py = particles.particleY;
    const auto& pz = particles.particleZ;
    drawLine3D(px[i], py[i], pz[i], px[j], py[j], pz[j], shared.penRed, shared.penGreen, shared.penBlue,
               size);
}

// The number of model points that fit the store, whatever another effect left in particleCount.
int storedModelCount() {
    return std::clamp(shared.particleCount, 0, modelCapacity);
}

// ---- Bo Selecta: layout of a message ----

// Pen positions move on by one character width; a count that reaches the end of the 32-bit range wraps
// around instead of overflowing.
void advanceLetterOffset() {
    shared.letterOffset = static_cast<int32_t>(static_cast<uint32_t>(shared.letterOffset) + 60u);
}

// Lays out a random message from point 1 on and scatters 700 grey dots behind it. The pen position is not
// reset: it continues from whatever the last message or drawLine3D left in letterOffset.
void buildMessageModel() {
    particleOwner = messageMark;
    const char* message = messageTable[nextRandom() % messageCount];
    int k = 1;
    for (const char* c = message; *c != '\0'; ++c) {
        // Only capitals have strokes; any other character just takes its width.
        if (*c >= 'A' && *c <= 'Z') {
            forEachStrokePoint(letterStrokes[*c - 'A'], [&k](const StrokePoint& point) {
                modelX(k) = toFloat(static_cast<double>(point.x) + shared.letterOffset);
                if (!point.hasY) {
                    return;
                }
                modelY(k) = static_cast<float>(point.y);
                particles.particleTag[k] = point.joined ? k - 1 : k;
                ++k;
            });
        }
        advanceLetterOffset();
    }
    shared.particleCount = k;
    // Centre the text about three quarters of the final pen position and scale it up.
    for (int i = 1; i < k; ++i) {
        modelZ(i) = 0.0f;
        modelX(i) = toFloat((static_cast<double>(modelX(i)) - 0.75 * shared.letterOffset) * 3);
        modelY(i) = toFloat((static_cast<double>(modelY(i)) - 150) * 3);
    }
    const int n = field.gridSize;
    for (int dot = 0; dot < 700; ++dot) {
        const int idx = shared.particleCount;
        modelX(idx) = static_cast<float>(nextRandom() % (20 * n) - 10 * n);
        modelY(idx) = static_cast<float>(n);
        particles.particleTag[idx] = idx;
        modelZ(idx) = static_cast<float>(nextRandom() % (20 * n) - 10 * n);
        shared.particleCount = idx + 1;
    }
}

// ---- Gas Fire: the potential of the sources ----

constexpr int potentialSources = 53;

// The potential at cells (x, 1..count) of the sources at (sourceX[i], sourceY[i]), signed +, -, +, ... by i,
// and what it leaves in the red and green velocities from row 1 on: where it is weak, its size in red and
// 66.67 less a third of that in green, elsewhere 0. Each cell's sum is formed source by source in the same
// order as a cell-by-cell loop would, so it is the same to the bit; with the sources outside, the cells of a
// column are independent and the divisions vectorise across them.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
potentialColumn(int x, int count, const double* __restrict sourceX, const double* __restrict sourceY,
                float* __restrict red, float* __restrict green) {
    double potential[planeStride];
    for (int k = 0; k < count; ++k) {
        potential[k] = 0;
    }
    for (int i = 0; i < potentialSources; ++i) {
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        const double dx = x - sourceX[i];
        const double dxSquared = dx * dx;
        for (int k = 0; k < count; ++k) {
            const double dy = (k + 1) - sourceY[i];
            potential[k] += sign / (dy * dy + dxSquared + 1);
        }
    }
    // Three loops, as each vectorises alone but not together with the others.
    for (int k = 0; k < count; ++k) {
        red[k] = absf(toFloat(potential[k] * 100000));
    }
    for (int k = 0; k < count; ++k) {
        green[k] = toFloat(static_cast<double>(66.666664f) - static_cast<double>(red[k]) * 0.33333334f);
    }
    for (int k = 0; k < count; ++k) {
        const bool weak = (potential[k] < 0.002) & (potential[k] > -0.002);
        red[k] = weak ? red[k] : 0.0f;
        green[k] = weak ? green[k] : 0.0f;
    }
}

// ---- Phase fields ----

constexpr float pi = 3.1415927f;

// The sine angle of a phase: phase times pi, in single precision.
float phaseAngle(float phase) {
    return toFloat(static_cast<double>(phase) * pi);
}

// Phase chains carried side by side.
constexpr int phaseLanes = 8;

} // namespace

void oranGeena() {
    const int n = field.gridSize;
    if (particleOwner != spiralMark) {
        particleOwner = spiralMark;
        // A spiral from pole to pole, fifteen turns around for one half turn down.
        for (int i = 1; i < 800; ++i) {
            const float a = toFloat(i * static_cast<double>(0.003926991f));
            const float b = toFloat(i * static_cast<double>(0.058904864f));
            modelX(i) = toFloat(static_cast<double>(fastSin(a)) * fastCos(b) * n);
            modelY(i) = toFloat(static_cast<double>(fastSin(a)) * fastSin(b) * n);
            modelZ(i) = toFloat(static_cast<double>(fastCos(a)) * n);
            particles.particleTag[i] = i < 2 ? 1 : (i + 770) % 800;
        }
    }
    const double zOff = sinOf(frameClock() * 0.033333335f) * 1.5 + 1.8;
    const Spin spin = spinForFrame(0.02f, 0.019193858f, 0.018281536f, zOff);
    for (int i = 1; i < 800; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    // Every line takes the same pens: the clock does not move while the lines are drawn.
    setPens(shared.frameCounter, rainbowWave, 300);
    for (int i = 50; i < 800; ++i) {
        drawPointLine(i, particles.particleTag[i], 12);
    }
}

void jumper() {
    const int n = field.gridSize;
    const uint32_t clock = shared.frameCounter;
    const int shellSpread = truncToInt(n * 0.8);
    for (int i = 0; i < 800; ++i) {
        const int radius = n + (31 * i) % shellSpread;
        const uint32_t turn = static_cast<uint32_t>(i) + static_cast<uint32_t>(radius / 50) * clock;
        const float a = toFloat(static_cast<double>(turn) * 0.007853982f);
        const float wobble = sinOf(static_cast<double>(i * static_cast<int>(clock % 4000)) * 3.2258063e-7f);
        const float b = toFloat(static_cast<double>(wobble) * 6.2831855f +
                                ((72 * i) % 5) * static_cast<double>(0.055555556f) + 5);
        modelX(i) = toFloat(static_cast<double>(fastSin(a)) * fastCos(b) * radius);
        modelY(i) = toFloat(static_cast<double>(fastSin(a)) * fastSin(b) * radius);
        modelZ(i) = toFloat(static_cast<double>(fastCos(a)) * radius);
    }
    // Point 0 is rotated too, so its position overwrites the owner mark.
    const double zOff = sinOf(frameClock() * 0.02) * 1.5 + 2.6;
    const Spin spin = spinForFrame(0.011111111f, 0.010559662f, 0.010362694f, zOff);
    for (int i = 0; i < 800; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    for (int i = 0; i < 800; ++i) {
        setPens(clock + static_cast<uint32_t>(i / 10), rainbowWave, 450);
        drawPointLine(i, i, 16);
    }
}

void boSelecta() {
    if (particleOwner != messageMark || shared.frameCounter % 160 == 0) {
        buildMessageModel();
    }
    const int count = storedModelCount();
    const double zOff = sinOf(frameClock() * 0.02) * 7.5 + 8.6;
    const Spin spin = spinForFrame(0.0125f, 0.015453562f, 0.012577034f, zOff);
    for (int i = 1; i < count; ++i) {
        rotatePoint(i, spin);
    }
    darkenField();
    // The dots after the first 700 points in grey, then the letter points in colour.
    for (int i = 701; i < count; ++i) {
        shared.penRed = shared.penGreen = shared.penBlue = -80;
        drawPointLine(i, particles.particleTag[i], 22);
    }
    for (int i = 1; i <= count - 701; ++i) {
        setPens(shared.frameCounter + static_cast<uint32_t>(i / 10), rainbowWave, 750);
        drawPointLine(i, particles.particleTag[i], 42);
    }
}

void gasFire() {
    const int n = field.gridSize;
    auto& px = particles.particleX;
    auto& py = particles.particleY;
    auto& vx = particles.particleVX;
    auto& vy = particles.particleVY;

    // Each cell depends on itself only, so the planes go one after the other and each column vectorises.
    for (float* plane : {planes.red, planes.green, planes.blue}) {
        for (int x = 0; x < n; ++x) {
            float* const column = plane + cellAt(x, 0);
            for (int y = 0; y < n; ++y) {
                column[y] = toFloat((4.0 * column[y] - 120) * 0.2);
            }
        }
    }

    // A source that leaves the inner field or stands still jumps to another source's cell with a new
    // velocity.
    for (int i = 0; i < 90; ++i) {
        px[i] = toFloat(static_cast<double>(px[i]) + vx[i]);
        py[i] = toFloat(static_cast<double>(py[i]) + vy[i]);
        const bool inside = px[i] >= 2 && px[i] < n - 2 && py[i] >= 2 && py[i] < n - 2;
        if (!inside || (vx[i] == 0 && vy[i] == 0)) {
            const int r = nextRandom() % 90;
            px[i] = static_cast<float>(truncToInt(px[r]) % n);
            py[i] = static_cast<float>(truncToInt(py[r]) % n);
            vx[i] = toFloat((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
            vy[i] = toFloat((nextRandom() % 500 - 250) * static_cast<double>(0.0028571428f));
        }
    }

    // Sources of alternating sign; where the potential is weak its size drives red and, inverted, green.
    double sourceX[potentialSources], sourceY[potentialSources];
    for (int i = 0; i < potentialSources; ++i) {
        sourceX[i] = px[i];
        sourceY[i] = py[i];
    }
    for (int x = 1; x <= n - 2; ++x) {
        potentialColumn(x, n - 2, sourceX, sourceY, planes.redVelocity + cellAt(x, 1),
                        planes.greenVelocity + cellAt(x, 1));
    }
}

void spongeTrek() {
    const int n = field.gridSize;
    if (particleOwner != cubeMark) {
        particleOwner = cubeMark;
        for (int i = 1; i < 1600; ++i) {
            modelX(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
            modelY(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
            modelZ(i) = static_cast<float>(nextRandom() % (4 * n) - 2 * n);
        }
    }
    const double zOff = sinOf(frameClock() * 0.025) * 3.8 + 2.5;
    const Spin spin = spinForFrame(0.014285714f, 0.013495277f, 0.011806376f, zOff);
    for (int i = 1; i < 1600; ++i) {
        rotatePoint(i, spin);
    }
    clearField();
    // The colour phase of each dot comes from whatever tags the last spiral or text model left.
    for (int i = 1; i < 1600; ++i) {
        const uint32_t phase = static_cast<uint32_t>(particles.particleTag[i] / 10);
        setPens(shared.frameCounter + phase, cubeWave, 460);
        drawPointLine(i, i, 12);
    }
}

void whiffle() {
    const int n = field.gridSize;
    // Each channel's phase mixes the transposed cell of the same colour with the next colour here. The
    // phases of a column are worked out first and their sines taken all at once.
    float angles[3][planeStride];
    float sines[3][planeStride];
    const auto angle = [](float across, uint32_t s, float here) {
        return phaseAngle(
            toFloat((static_cast<double>(across) + static_cast<double>(s) - here) * 0.004166667f));
    };
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const uint32_t s =
                17u * static_cast<uint32_t>(y) + shared.frameCounter - static_cast<uint32_t>(x);
            const int cell = cellAt(x, y);
            const int mirror = cellAt(y, x);
            angles[0][y] = angle(planes.red[mirror], s, planes.green[cell]);
            angles[1][y] = angle(planes.green[mirror], s, planes.blue[cell]);
            angles[2][y] = angle(planes.blue[mirror], s, planes.red[cell]);
        }
        float* const velocity[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
        for (int c = 0; c < 3; ++c) {
            fastSinRun(angles[c], sines[c], n);
            float* const column = velocity[c] + cellAt(x, 0);
            for (int y = 0; y < n; ++y) {
                column[y] = toFloat(4.0 * sines[c][y] - 0.5);
            }
        }
    }
    resetBorder();
}

void floatEffect() {
    const int n = field.gridSize;
    const int rows = n - 2;
    // The phase runs down each column in single precision, three additions a cell, each waiting for the one
    // before. Columns do not depend on each other, so phaseLanes of them are carried side by side, and the
    // sines of a column are then taken all at once.
    float angles[phaseLanes][3][planeStride];
    float sines[3][planeStride];
    for (int x0 = 1; x0 <= n - 2; x0 += phaseLanes) {
        float p[phaseLanes];
        for (float& phase : p) {
            phase = pi;
        }
        for (int y = 1; y <= n - 2; ++y) {
            for (int j = 0; j < phaseLanes; ++j) {
                // Lanes past the last column repeat it; they are not written.
                const int cell = cellAt(std::min(x0 + j, n - 2), y);
                const double r = planes.red[cell], g = planes.green[cell], b = planes.blue[cell];
                p[j] = toFloat(p[j] + (r - g) * 0.008333334f);
                angles[j][0][y - 1] = phaseAngle(p[j]);
                p[j] = toFloat(p[j] + (g - b) * 0.0076923077f);
                angles[j][1][y - 1] = phaseAngle(p[j]);
                p[j] = toFloat(p[j] + (b - r) * 0.009090909f);
                angles[j][2][y - 1] = phaseAngle(p[j]);
            }
        }
        for (int j = 0; j < phaseLanes && x0 + j <= n - 2; ++j) {
            float* const velocity[3] = {planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
            for (int c = 0; c < 3; ++c) {
                fastSinRun(angles[j][c], sines[c], rows);
                float* const column = velocity[c] + cellAt(x0 + j, 1);
                for (int k = 0; k < rows; ++k) {
                    column[k] = toFloat(8.0 * sines[c][k]);
                }
            }
        }
    }
    resetBorder();
}

void hanky() {
    const int n = field.gridSize;
    // The phase runs along each row in single precision, three additions a cell, each waiting for the one
    // before. Rows do not depend on each other, so phaseLanes of them are carried side by side, reading
    // neighbouring cells of the same column, and the sines of a row are then taken all at once.
    float angles[phaseLanes][3][planeStride];
    float sines[3][planeStride];
    for (int y0 = 1; y0 <= n - 1; y0 += phaseLanes) {
        float p[phaseLanes];
        uint32_t j[phaseLanes];
        for (int lane = 0; lane < phaseLanes; ++lane) {
            p[lane] = 0.0f;
            // Each row starts from the shared byte counter, which the wave step leaves at gridSize and every
            // row sets to gridSize when it is done.
            const uint32_t counter = y0 + lane == 1 ? field.scanX : static_cast<uint8_t>(n);
            j[lane] = (counter + shared.frameCounter) % static_cast<uint32_t>(n);
        }
        for (int k = 0; k < n; ++k) {
            for (int lane = 0; lane < phaseLanes; ++lane) {
                // Lanes past the last row repeat it; they are not written.
                j[lane] = j[lane] == 0 ? static_cast<uint32_t>(n - 1) : j[lane] - 1;
                const int source = cellAt(static_cast<int>(j[lane]), std::min(y0 + lane, n - 1));
                const double r = planes.red[source], g = planes.green[source], b = planes.blue[source];
                p[lane] = toFloat(p[lane] + (r - g) * 0.010989011f);
                angles[lane][0][k] = phaseAngle(p[lane]);
                p[lane] = toFloat(p[lane] + (g - b) * 0.010989011f);
                angles[lane][1][k] = phaseAngle(p[lane]);
                p[lane] = toFloat(p[lane] + (b - r) * 0.010989011f);
                angles[lane][2][k] = phaseAngle(p[lane]);
            }
        }
        for (int lane = 0; lane < phaseLanes && y0 + lane <= n - 1; ++lane) {
            for (int c = 0; c < 3; ++c) {
                fastSinRun(angles[lane][c], sines[c], n);
            }
            for (int k = 0; k < n; ++k) {
                const int cell = cellAt(k, y0 + lane);
                planes.redVelocity[cell] = toFloat(5.0 * sines[0][k] - 0.5);
                planes.greenVelocity[cell] = toFloat(5.0 * sines[1][k] - 1.5);
                planes.blueVelocity[cell] = toFloat(5.0 * sines[2][k] - 1);
            }
        }
    }
    if (n - 1 >= 1) {
        field.scanX = static_cast<uint8_t>(n);
    }
    resetBorder();
}

} // namespace glowfield
