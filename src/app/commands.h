// Keyboard and mouse commands: keys choose effects at random, by three-digit number or from a fixed sequence,
// and transform the whole field; the mouse position is published to the effects in cell units.
#pragma once

#include <cstdint>

#include "app/session.h"

namespace glowfield {

inline constexpr int effectSequenceLength = 180;

extern const uint8_t effectSequence[effectSequenceLength];

// Acts on one character code for the session; codes without a command do nothing. Returns true when the code
// was a command.
bool pressKey(Session& session, int code);

// Publishes the cell under a pixel of the 800 x 600 picture.
void moveMouse(uint32_t pixelX, uint32_t pixelY);

} // namespace glowfield
