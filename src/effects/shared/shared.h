// The helpers that several of the routine effects share, in one list. An effect includes the ones it uses.
#pragma once

#include "effects/shared/cell_runs.h"        // runs of cells along lines and columns, sines in batches
#include "effects/shared/clock.h"            // the frame clock and the circle path of the clock effects
#include "effects/shared/effect_helpers.h"   // planes by channel index, the dark border, lattice steps
#include "effects/shared/flare.h"            // a flare of one colour over the whole grid
#include "effects/shared/lettering.h"        // the stroke font and model slots of the letter effects
#include "effects/shared/live_cells.h"       // whole-grid passes over the live cells
#include "effects/shared/owner_marks.h"      // the marks effects leave in particleOwner
#include "effects/shared/particle_helpers.h" // respawning, bounds and plotting of particles
#include "effects/shared/particle_reach.h"   // distances between particles of the store
#include "effects/shared/phase_fields.h"     // sine phases of Whiffle, Float and Hanky
#include "effects/shared/point_models.h"     // rotation, pens and lines of the point models
#include "effects/shared/rolling.h"          // particles rolling down the red landscape
