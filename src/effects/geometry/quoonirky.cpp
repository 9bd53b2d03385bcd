// Quoonirky: a relief lit from a moving point, with waving edges.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// One cell of Quoonirky's waving edges.
float edgeWave(double angle) {
    return toFloat(fastSin(toFloat(angle)) * 300.0 - 400);
}

} // namespace

void quoonirky() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    ParticleStore& ps = particles;
    if (particleOwner != volcanoMark) {
        // A pyramid of blue velocity with a little noise, highest in the centre.
        const int h = n / 2;
        for (int x = 1; x <= n - 2; ++x) {
            for (int y = 1; y <= n - 2; ++y) {
                const double w = (1 - absf(static_cast<float>(x - h)) / static_cast<double>(h)) *
                                 (1 - absf(static_cast<float>(y - h)) / static_cast<double>(h));
                const double height = (nextRandom() % 40 + 980) * 0.001 * w;
                planes.blue[cellAt(x, y)] = 0;
                planes.blueVelocity[cellAt(x, y)] = toFloat((height * 1300 - 800) * 0.025);
            }
        }
        for (int k = 1; k <= 9; ++k) {
            ps.particleX[k] = ps.particleY[k] = toFloat(n * 0.5);
            ps.particleTag[k] = nextRandom() % 2;
        }
        particleOwner = volcanoMark;
    }
    // Four waving edges hold the relief in place.
    for (int i = 1; i <= n - 2; ++i) {
        const int edges[4] = {cellAt(i, 1), cellAt(i, n - 2), cellAt(1, i), cellAt(n - 2, i)};
        const double fi = i, ff = f;
        planes.blue[edges[0]] = edgeWave(fi * double{0.099108025f} + ff * 0.05);
        planes.blue[edges[1]] = edgeWave(fi * double{0.089445435f} + ff * double{0.04327131f});
        planes.blue[edges[2]] = edgeWave(ff * double{0.03796507f} + fi * double{0.082169265f});
        planes.blue[edges[3]] = edgeWave(ff * double{0.036455106f} + fi * double{0.07627765f});
        for (int cell : edges) {
            planes.redVelocity[cell] = planes.greenVelocity[cell] = planes.blueVelocity[cell] = 0;
        }
    }
    const int32_t px = truncToInt(ps.particleX[1]);
    const int32_t py = truncToInt(ps.particleY[1]);
    if (isStoredCell(px, py)) {
        planes.blue[cellAt(px, py)] = 2000;
    }
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.blue[cell] * 0.57);
        planes.green[cell] = toFloat(planes.blue[cell] * 0.4);
    });
}

} // namespace glowfield
