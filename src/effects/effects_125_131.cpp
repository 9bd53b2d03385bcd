// Perspective particles, meshes and relief.
//
// Wip throws particles of the shared store round the centre and draws them as blocks in perspective.
// Asparagus and Anemone show a plane as a relief seen from the front, as raised tiles and as a wire mesh;
// Zebra, Jamaica, Netball and Lips read the blue plane as a displacement, a radius or a lip height. The
// projections leave their cell in scratchX and scratchY, where later effects find it.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/live_cells.h"
#include "effects/particle_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/random.h"
#include "field/trig.h"

#include <initializer_list>

namespace glowfield {

namespace {

constexpr float wipMark = 125.0f;
constexpr float asparagusMark = 126.0f;

// Lays out particles 1..400 on an ellipse round the centre, in one of four patterns of starting velocity.
void layOutWip(int mode) {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    for (int p = 1; p <= 400; ++p) {
        const float angle = toFloat(p * double{0.015700001f});
        ps.particleX[p] = toFloat(fastSin(angle) * 60.0 + n / 2);
        const float c = toFloat(fastCos(angle) * 70.0 + n / 2);
        ps.particleZ[p] = c;
        ps.particleY[p] = static_cast<float>(n / 2 - 40);
        const double lift = 4.0 * c / n;
        switch (mode) {
        case 0:
            ps.particleVY[p] = toFloat(lift - p * double{0.00990099f});
            break;
        case 1:
            ps.particleVY[p] = toFloat(lift - (p % 4));
            break;
        case 2:
            ps.particleVY[p] = toFloat(lift - (p / 81));
            break;
        default:
            ps.particleVX[p] = toFloat((nextRandom() % 1000) * 0.001);
            ps.particleVY[p] = toFloat((nextRandom() % 1000) * 0.001);
            ps.particleVZ[p] = toFloat((nextRandom() % 1000) * 0.001);
            continue;
        }
        ps.particleVX[p] = toFloat(2.0 * c / n);
        ps.particleVZ[p] = 0;
    }
}

// The two passes of Netball share how a pair of angles becomes a point on the turning, blue-textured sphere.
struct SpherePoint {
    double radius = 0;
    int32_t x = 0;
    int32_t y = 0;
};

SpherePoint netballPoint(float u, float v) {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    SpherePoint point;
    const uint8_t sx = static_cast<uint8_t>(truncToInt((f * 0.05 + u) * 0.31830987732601135 * n) % n);
    const uint8_t sy = truncToByte(static_cast<double>(n) * v * double{0.31830987f});
    const double blue = isStoredCell(sx, sy) ? planes.blue[cellAt(sx, sy)] : 0.0;
    point.radius = blue * 0.125 + 50;
    point.x = truncToInt(static_cast<double>(fastCos(u)) * point.radius + n / 2);
    point.y = truncToInt(static_cast<double>(fastCos(v)) * fastSin(u) * point.radius + n / 2);
    return point;
}

// ---- Asparagus: the corners of a row of tiles ----

// Tile x of a row covers the cells [x1, x2] x [y1, y2] when drawn is 1: both its corners, at x -+ 0.5 and
// y -+ 0.5, project in front of the viewer and inside the border, and x2 >= x1.
struct TileRow {
    int32_t x1[planeStride], y1[planeStride], x2[planeStride], y2[planeStride];
    int32_t drawn[planeStride];
};

// The depth of the tile at cell (x, y): blue raises it toward the viewer.
float tileDepth(int x, int y) {
    return toFloat(static_cast<double>(planes.blue[cellAt(x, y)]) * -50);
}

// truncToInt as selects, so that the loops over a row vectorise.
inline int32_t truncBySelect(double value) {
    value = value == value ? value : 0.0;
    value = value < 2147483647.0 ? value : 2147483647.0;
    value = value > -2147483648.0 ? value : -2147483648.0;
    return static_cast<int32_t>(value);
}

// The corners of the tiles x = 1..n - 3 of row y, projected with projectPoint's arithmetic: a corner at
// depth d lies in front of the viewer when gridSize + d >= 1 (NaN counts as in front and projects to cell 0),
// and (p - c) * s + c + 0.5 truncated is its cell, c being half the grid and s = grid / (grid + d) in single
// precision. The tiles do not depend on each other, so the row is worked out in loops that vectorise; the
// clones do the same IEEE operations on more tiles at once.
__attribute__((target_clones("avx512f", "avx2", "default"))) void projectTileRow(int y, int n, TileRow& row) {
    const float g = static_cast<float>(n);
    const double centre = g * 0.5f;
    const double low = toFloat(y - 0.5), high = toFloat(y + 0.5);
    double grid[planeStride], scale[planeStride];
    for (int x = 1; x <= n - 3; ++x) {
        grid[x] = static_cast<double>(g) + tileDepth(x, y);
    }
    for (int x = 1; x <= n - 3; ++x) {
        scale[x] = toFloat(g / grid[x]);
    }
    for (int x = 1; x <= n - 3; ++x) {
        const double s = scale[x];
        row.x1[x] = truncBySelect((static_cast<double>(toFloat(x - 0.5)) - centre) * s + centre + 0.5);
        row.y1[x] = truncBySelect((low - centre) * s + centre + 0.5);
        row.x2[x] = truncBySelect((static_cast<double>(toFloat(x + 0.5)) - centre) * s + centre + 0.5);
        row.y2[x] = truncBySelect((high - centre) * s + centre + 0.5);
    }
    for (int x = 1; x <= n - 3; ++x) {
        const bool front = !(grid[x] < 1);
        const bool first = (row.x1[x] >= 1) & (row.x1[x] <= n - 2) & (row.y1[x] >= 1) & (row.y1[x] <= n - 2);
        const bool second = (row.x2[x] >= 1) & (row.x2[x] <= n - 2) & (row.y2[x] >= 1) & (row.y2[x] <= n - 2);
        row.drawn[x] = front & first & second & (row.x2[x] >= row.x1[x]);
    }
}

// Leaves the projection state and scratchX and scratchY as projecting every corner in turn would have left
// them. Only the corners from the last change of depth on matter: projectPoint keeps the scale of the last
// depth it saw, and the scratch pair holds the cell of the last corner in front of the viewer. So the
// corner before that change, the first corner after it and the last corner are projected again.
void leaveTileProjection(int n) {
    const double g = static_cast<float>(n);
    const auto inFront = [g](float depth) { return !(g + depth < 1); };
    // The tiles in walk order, last first.
    int lastX = 0, lastY = 0, startX = 0, startY = 0, beforeX = 0, beforeY = 0;
    bool haveLast = false, haveBefore = false;
    float lastDepth = 0;
    for (int y = n - 3; y >= 1 && !haveBefore; --y) {
        for (int x = n - 3; x >= 1; --x) {
            const float depth = tileDepth(x, y);
            if (!inFront(depth)) {
                continue;
            }
            if (!haveLast) {
                haveLast = true;
                lastX = startX = x;
                lastY = startY = y;
                lastDepth = depth;
            } else if (depth == lastDepth) {
                startX = x;
                startY = y;
            } else {
                haveBefore = true;
                beforeX = x;
                beforeY = y;
                break;
            }
        }
    }
    if (!haveLast) {
        return;
    }
    if (haveBefore) {
        projectToScratch(toFloat(beforeX + 0.5), toFloat(beforeY + 0.5), tileDepth(beforeX, beforeY));
    }
    projectToScratch(toFloat(startX - 0.5), toFloat(startY - 0.5), tileDepth(startX, startY));
    projectToScratch(toFloat(lastX + 0.5), toFloat(lastY + 0.5), lastDepth);
}

} // namespace

void wip() {
    const int n = field.gridSize;
    ParticleStore& ps = particles;
    if (particleOwner != wipMark) {
        // Half of the time the particles keep whatever layout the effect before left them.
        if (nextRandom() % 2 == 0) {
            layOutWip(nextRandom() % 4);
        }
        particleOwner = wipMark;
    }
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat((planes.red[cell] - 70.0) * 0.5);
        planes.green[cell] = toFloat((planes.green[cell] - 70.0) * 0.5);
        planes.blue[cell] = toFloat((planes.blue[cell] - 70.0) * 0.5);
    });
    const double centre = n / 2;
    for (int p = 1; p <= 400; ++p) {
        // Each velocity is pulled toward the centre of the box by the old position.
        ps.particleVX[p] = toFloat(ps.particleVX[p] - (ps.particleX[p] - centre) * 0.00125);
        ps.particleVY[p] = toFloat(ps.particleVY[p] - (ps.particleY[p] - centre) * 0.00125);
        ps.particleVZ[p] = toFloat(ps.particleVZ[p] - (ps.particleZ[p] - centre) * 0.00125);
        ps.particleX[p] = toFloat(static_cast<double>(ps.particleX[p]) + ps.particleVX[p]);
        ps.particleY[p] = toFloat(static_cast<double>(ps.particleY[p]) + ps.particleVY[p]);
        ps.particleZ[p] = toFloat(static_cast<double>(ps.particleZ[p]) + ps.particleVZ[p]);
        if (!projectToScratch(ps.particleX[p], ps.particleY[p], ps.particleZ[p])) {
            continue;
        }
        const int sx = shared.scratchX;
        const int sy = shared.scratchY;
        const double z = ps.particleZ[p];
        const int size = z > 1 ? truncToInt(50 / (z + 2)) : 18;
        for (int a = 0; a <= size && sx + a < n - 1; ++a) {
            for (int b = 0; b <= size && sy + b < n - 1; ++b) {
                const int cell = cellAt(sx + a, sy + b);
                const int shade = 7 * b + 7 * a;
                planes.blue[cell] = toFloat(n - z * 1.6 - shade);
                planes.green[cell] = toFloat(n - z * 1.4 - shade);
                planes.red[cell] = toFloat(static_cast<double>(planes.blue[cell]) - 5 * size);
            }
        }
    }
}

void asparagus() {
    const int n = field.gridSize;
    if (particleOwner != asparagusMark) {
        forEachLiveCell([](int cell) {
            planes.blue[cell] = toFloat(planes.blue[cell] * -0.01);
            planes.blueVelocity[cell] = toFloat(planes.blueVelocity[cell] * -0.01);
        });
        particleOwner = asparagusMark;
    }
    // The whole stored planes, not only the live grid.
    for (int cell = 0; cell < planeCells; ++cell) {
        planes.green[cell] = 0;
        planes.greenVelocity[cell] = 0;
    }
    // Each cell of blue becomes a tile raised toward the viewer by its value; later tiles cover earlier ones.
    // The corners of a row of tiles are projected together first.
    TileRow row;
    for (int y = 1; y <= n - 3; ++y) {
        projectTileRow(y, n, row);
        for (int x = 1; x <= n - 3; ++x) {
            if (!row.drawn[x]) {
                continue;
            }
            const float value = toFloat(static_cast<double>(planes.blue[cellAt(x, y)]) * 100);
            for (int px = row.x1[x]; px <= row.x2[x]; ++px) {
                for (int py = row.y1[x]; py <= row.y2[x]; ++py) {
                    planes.green[cellAt(px, py)] = value;
                }
            }
        }
    }
    leaveTileProjection(n);
}

void anemone() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.blue[cell] = -40;
        planes.green[cell] = -40;
        planes.blueVelocity[cell] = 0;
        planes.greenVelocity[cell] = 0;
    });
    // A mesh of knots five cells apart, each raised by red at the knot's index (not at its position).
    const auto depthAt = [](int i, int j) { return toFloat(planes.red[cellAt(i, j)] * -0.5); };
    const int knots = n / 5;
    for (int j = 0; j < knots; ++j) {
        for (int i = 0; i < knots; ++i) {
            const double shimmer =
                fastSin(toFloat(static_cast<double>(static_cast<uint32_t>(i + j) + f) * 0.025));
            const double here = planes.red[cellAt(i, j)];
            // Line to the right neighbour, then line to the lower one; the knot is projected for each.
            for (const bool right : {true, false}) {
                const bool knotInside = projectToScratch(toFloat(5 * i), toFloat(5 * j), depthAt(i, j));
                const int x1 = shared.scratchX, y1 = shared.scratchY;
                const int ni = right ? i + 1 : i;
                const int nj = right ? j : j + 1;
                const bool neighbourInside =
                    projectToScratch(toFloat(5 * ni), toFloat(5 * nj), depthAt(ni, nj));
                if (!knotInside || !neighbourInside) {
                    continue;
                }
                // The colour follows the slope, measured downhill toward the right and uphill toward the
                // bottom.
                const double there = planes.red[cellAt(ni, nj)];
                const int32_t t = truncToInt((right ? there - here : here - there) * 8 + 40);
                const int32_t m = truncToInt(shimmer * t);
                drawFieldLine(x1, y1, shared.scratchX, shared.scratchY, 0, m, t);
            }
        }
    }
}

void zebra() {
    const int n = field.gridSize;
    const double f = shared.frameCounter;
    // The colour depends on x + y alone, so it is worked out once per diagonal.
    float colourAt[2 * planeStride];
    for (int sum = 4; sum <= 2 * n - 4; ++sum) {
        const float c = toFloat(sum * 0.001);
        colourAt[sum] = toFloat(fastSin(toFloat(500 / (c * 200.0 + 9) + f * 0.1)) * 80.0);
    }
    for (int x = 2; x <= n - 2; ++x) {
        for (int y = 2; y <= n - 2; ++y) {
            // Each cell is pushed up and left by blue, the further the nearer it lies to the far corner.
            const float c = toFloat((x + y) * 0.001);
            const float d = toFloat(static_cast<double>(c) * planes.blue[cellAt(x, y)]);
            shared.scratchX = truncToInt(x - static_cast<double>(d));
            if (!(shared.scratchX > 0 && shared.scratchX <= n - 2)) {
                continue;
            }
            shared.scratchY = truncToInt(y - static_cast<double>(d));
            if (!(shared.scratchY > 0 && shared.scratchY <= n - 2)) {
                continue;
            }
            const int cell = cellAt(shared.scratchX, shared.scratchY);
            planes.greenVelocity[cell] = 0;
            planes.green[cell] = colourAt[x + y];
        }
    }
}

void jamaica() {
    const int n = field.gridSize;
    const uint32_t f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * 0.95);
        planes.green[cell] = toFloat(planes.green[cell] * 0.95);
        planes.redVelocity[cell] = 0;
        planes.greenVelocity[cell] = 0;
    });
    // A closed curve whose radius follows the centre column of blue, drawn at full, half and quarter size.
    for (int k = 1; k <= 4 * n - 1; ++k) {
        const float angle = toFloat(static_cast<double>(k) / (4 * n) * 6.28);
        const double radius = planes.blue[cellAt(n / 2, k / 4)] * 4.5 + n / 4;
        int32_t rx = truncToInt(static_cast<double>(fastCos(angle)) * radius);
        int32_t ry = truncToInt(static_cast<double>(fastSin(angle)) * radius);
        for (int copy = 0; copy < 3; ++copy) {
            const int64_t x = static_cast<int64_t>(n / 2) + rx;
            const int64_t y = static_cast<int64_t>(n / 2) + ry;
            if (x > 1 && x < n - 1 && y > 1 && y < n - 1) {
                const int cell = cellAt(static_cast<int>(x), static_cast<int>(y));
                const double redAngle =
                    static_cast<double>(static_cast<uint32_t>(x) + f) * double{0.07686395f};
                const double greenAngle =
                    static_cast<double>(static_cast<uint32_t>(y) + f) * double{0.14245014f};
                planes.red[cell] = static_cast<float>(truncToInt(fastSin(toFloat(redAngle)) * 140.0));
                planes.green[cell] = static_cast<float>(truncToInt(fastCos(toFloat(greenAngle)) * 140.0));
                planes.redVelocity[cell] = 0;
                planes.greenVelocity[cell] = 0;
            }
            rx /= 2;
            ry /= 2;
        }
    }
}

void netball() {
    const double f = shared.frameCounter;
    forEachLiveCell([](int cell) {
        planes.green[cell] = -80;
        planes.greenVelocity[cell] = 0;
        planes.red[cell] = -71;
        planes.redVelocity[cell] = 0;
    });
    // The angles step in single precision, as the sum is kept: 38 values each.
    constexpr float first = 0.08f, step = 0.07853982f, end = 3.0615928f;
    // Lines of latitude, then lines of longitude tinted red by the turn.
    for (float v = first; v < end; v = v + step) {
        SpherePoint previous;
        for (float u = first; u < end; u = u + step) {
            const SpherePoint point = netballPoint(u, v);
            if (previous.x != 0 && point.radius > 0) {
                drawFieldLine(previous.x, previous.y, point.x, point.y, 0, truncToInt(point.radius * 5 - 160),
                              0);
            }
            previous = point;
        }
    }
    for (float u = first; u < end; u = u + step) {
        const int32_t red = truncToInt(fastSin(toFloat(f * 0.05 + u)) * 130.0);
        SpherePoint previous;
        for (float v = first; v < end; v = v + step) {
            const SpherePoint point = netballPoint(u, v);
            if (previous.x != 0 && point.radius > 0) {
                drawFieldLine(previous.x, previous.y, point.x, point.y, red,
                              truncToInt(point.radius * 5 - 160), 0);
            }
            previous = point;
        }
    }
}

void lips() {
    const int n = field.gridSize;
    forEachLiveCell([](int cell) {
        planes.green[cell] = -80;
        planes.greenVelocity[cell] = 0;
        planes.red[cell] = -80;
        planes.redVelocity[cell] = 0;
    });
    // Column pairs from the edges inward; the centre row of blue sets each lip's height.
    for (int k = 0; k <= n - 1; ++k) {
        int32_t height = truncToInt((planes.blue[cellAt(n / 2, k)] + 200.0) * k * double{0.0016666667f});
        if (absf(static_cast<float>(height)) > n / 2 - 4) {
            height = n / 2 - 4;
        }
        const int left = k / 2;
        const int right = n - k / 2 - 1;
        const int rows = truncToInt(absf(static_cast<float>(height)));
        for (int i = 0; i < rows; ++i) {
            const float c =
                static_cast<float>(truncToInt(fastSin(toFloat(i * double{3.1415927f} / height)) * 150.0));
            for (const int x : {left, right}) {
                for (const int y : {n / 2 - i, n / 2 + i}) {
                    if (!isStoredCell(x, y)) {
                        continue; // only on a grid too small for lips
                    }
                    planes.red[cellAt(x, y)] = c;
                    planes.green[cellAt(x, y)] = -50;
                }
            }
        }
    }
}

} // namespace glowfield
