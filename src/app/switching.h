// Choosing the next effect: the automatic switch every switchPeriod frames and the test for the first frame
// of an automatically chosen effect.
#pragma once

namespace glowfield {

// The test made by every timer tick before the frame step: on a multiple of switchPeriod, skip a count and
// choose a random effect.
void checkAutomaticSwitch();

// Moves frameCounter so that the next tick chooses a new random effect.
void forceEffectChange();

// True on the first frame of an automatically chosen effect.
bool isFirstFrame();

} // namespace glowfield
