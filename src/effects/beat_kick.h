// The push every entry gets from the music: on a beat (or a strong onset between beats) a ripple is kicked
// into the velocity planes and a soft pulse into the colours, tinted by the bands: bass red, middle green,
// treble blue. Without anything heard it does nothing at all, so frames stay as they were without sound.
#pragma once

#include "sound/sound_frame.h"

namespace glowfield {

// Frames after a beat in which an onset does not kick again, so that a hit the beat tracker also placed
// pushes once.
inline constexpr uint32_t kickQuietFrames = 8;

// True when the frame kicks.
bool kicks(const SoundFrame& sound);

// Kicks the live grid when the frame kicks; the place follows from the effect clock, so the same sound gives
// the same frames and no random number is drawn.
void kickOnBeat(const SoundFrame& sound);

} // namespace glowfield
