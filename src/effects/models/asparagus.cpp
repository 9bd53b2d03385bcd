// Asparagus: blue shown as a relief of raised tiles seen from the front.

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/live_cells.h"
#include "effects/shared/owner_marks.h"
#include "effects/shared/particle_helpers.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/trig.h"

namespace glowfield {

namespace {

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

} // namespace glowfield
