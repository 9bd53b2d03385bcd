// The whole-grid passes that most effects open with (fade, darken, clear): one loop over the live cells, X
// outer and Y inner, handing each cell's index to the pass.
#pragma once

#include "field/field.h"
#include "field/numeric.h"

namespace glowfield {

template <typename Pass> void forEachLiveCell(Pass pass) {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            pass(cellAt(x, y));
        }
    }
}

// Darkens the three colour planes of every live cell: each value becomes value * factor - offset, kept in
// single precision.
inline void fadeColourPlanes(double factor, double offset) {
    forEachLiveCell([factor, offset](int cell) {
        planes.red[cell] = toFloat(planes.red[cell] * factor - offset);
        planes.green[cell] = toFloat(planes.green[cell] * factor - offset);
        planes.blue[cell] = toFloat(planes.blue[cell] * factor - offset);
    });
}

} // namespace glowfield
