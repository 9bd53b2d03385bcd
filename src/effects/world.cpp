// The one world and the names by which the field layer and the older routines reach its parts.
#include "effects/world.h"

#include <memory>

#include "field/picture_loader.h"

namespace glowfield {

World world;

// Bound once to fixed addresses: constant initialisation, before anything runs.
constinit FieldPlanes& planes = world.planes;
constinit FieldState& field = world.field;
constinit DrawingState& drawingState = world.drawing;
constinit RandomState& randomState = world.random;
constinit float (&sineTable)[sineTableSize] = world.sineTable;
constinit PictureStore& picture = world.picture;
constinit EffectState& shared = world.shared;
constinit ParticleStore& particles = world.particles;
constinit float& particleOwner = world.particles.particleX[0];

void resetWorld() {
    discardPictureLoads();
    // Built again where it stands: value-initialisation zeroes every member before its defaults apply, and
    // no world-sized temporary is made.
    std::destroy_at(&world);
    std::construct_at(&world);
}

} // namespace glowfield
