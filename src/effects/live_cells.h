// The whole-grid passes that most effects open with (fade, darken, clear): one loop over the live cells, X
// outer and Y inner, handing each cell's index to the pass.
#pragma once

#include "field/field.h"

namespace glowfield {

template <typename Pass> void forEachLiveCell(Pass pass) {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            pass(cellAt(x, y));
        }
    }
}

} // namespace glowfield
