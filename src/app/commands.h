// Keyboard and mouse commands: keys choose effects at random, by three-digit number or from a fixed sequence,
// and transform the whole field; the mouse position is published to the effects in cell units.
#pragma once

#include <cstdint>

namespace glowfield {

inline constexpr int effectSequenceLength = 180;

extern const uint8_t effectSequence[effectSequenceLength];

struct CommandState {
    uint8_t digitCount = 0;     // digits typed towards the next three-digit number
    int32_t typedNumber = 0;    // the number formed so far
    int32_t sequenceCursor = 0; // entry of effectSequence last chosen; 0 before the first press
    bool quitRequested = false; // Esc, a left click or the window closing
    bool locked = false;        // key k: no automatic switches until pressed again
    bool namesShown = false;    // key n: the name of each new effect shows on the picture for a while
};

extern CommandState commands;

void resetCommandState();

// Acts on one character code; codes without a command do nothing. Returns true when the code was a command.
bool pressKey(int code);

// Publishes the cell under a pixel of the 800 x 600 picture.
void moveMouse(uint32_t pixelX, uint32_t pixelY);

} // namespace glowfield
