// Lettering with the program's stroke font: capital letters and spaces, drawn as lines.
#pragma once

#include "effects/kit/canvas.h"

namespace glowfield::kit {

// Width in cells of a text drawn with letters of the given height (letters and spaces of one width each).
float textWidth(const char* text, float height);

// Draws text with its top-left corner at (x, y), letters height cells tall, turned by angle (radians, about
// that corner). thickness > 0 draws thick strokes. Characters other than A-Z are drawn as spaces.
void drawText(const EffectContext& c, const char* text, float x, float y, float height, Rgb colour,
              float angle = 0.0f, float thickness = 0.0f, Blend blend = Blend::set);

// Draws one letter (A-Z) centred on (cx, cy).
void drawLetter(const EffectContext& c, char letter, float cx, float cy, float height, Rgb colour,
                float angle = 0.0f, float thickness = 0.0f, Blend blend = Blend::set);

// The program's twelve messages, for lettering effects.
const char* message(int index);
int messageTotal();

} // namespace glowfield::kit
