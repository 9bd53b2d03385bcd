#include "effects/kit/text.h"

#include "effects/kit/shapes.h"
#include "effects/shared/lettering.h"
#include "field/trig.h"

namespace glowfield::kit {

namespace {

// The stroke font's design box: letters span about x 120..180 and y 114..182.
constexpr float designLeft = 120.0f;
constexpr float designTop = 114.0f;
constexpr float designHeight = 68.0f;
constexpr float advance = 0.95f; // letter pitch in letter heights

} // namespace

float textWidth(const char* text, float height) {
    float width = 0.0f;
    for (const char* p = text; p && *p; ++p) {
        width += height * advance;
    }
    return width;
}

void drawLetter(const EffectContext& c, char letter, float cx, float cy, float height, Rgb colour,
                float angle, float thickness, Blend blend) {
    if (letter < 'A' || letter > 'Z') {
        return;
    }
    const float k = height / designHeight;
    const float s = fastSin(angle), co = fastCos(angle);
    float lastX = 0.0f, lastY = 0.0f;
    forEachStrokePoint(letterStrokes[letter - 'A'], [&](const StrokePoint& point) {
        if (!point.hasY) {
            return;
        }
        const float dx = (static_cast<float>(point.x) - designLeft - 30.0f) * k;
        const float dy = (static_cast<float>(point.y) - designTop - 34.0f) * k;
        const float x = cx + dx * co - dy * s;
        const float y = cy + dx * s + dy * co;
        if (point.joined) {
            if (thickness > 0.0f) {
                drawThickLine(c, lastX, lastY, x, y, thickness, colour, blend);
            } else {
                drawLine(c, lastX, lastY, x, y, colour, blend);
            }
        }
        lastX = x;
        lastY = y;
    });
}

void drawText(const EffectContext& c, const char* text, float x, float y, float height, Rgb colour,
              float angle, float thickness, Blend blend) {
    const float s = fastSin(angle), co = fastCos(angle);
    float along = height * advance * 0.5f;
    for (const char* p = text; p && *p; ++p) {
        const float down = height * 0.5f;
        drawLetter(c, *p, x + along * co - down * s, y + along * s + down * co, height, colour, angle,
                   thickness, blend);
        along += height * advance;
    }
}

const char* message(int index) {
    return messageTable[index < 0 ? 0 : index % messageCount];
}

int messageTotal() {
    return messageCount;
}

} // namespace glowfield::kit
