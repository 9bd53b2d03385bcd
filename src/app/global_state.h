// One call that puts every global of the program back to its start value, for tests and benchmarks.
#pragma once

namespace glowfield {

// Field planes and geometry, random seed, sine table, drawing scratch, picture planes, effect clock and
// shared globals, particle store, key-command state and the renderer's last colour. The picture directory
// and the render target are configuration and are kept.
void resetAllState();

} // namespace glowfield
