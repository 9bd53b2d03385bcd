// Lettering: the stroke font of capital letters, the messages that one effect spells with it, the reader of
// the stroke format, and the model slots into which the lettering effects lay their points out.
//
// A stroke string is a run of points "x,y" with unsigned decimal coordinates in a design box around
// (150, 148), y growing downwards. A '-' between two points draws a stroke between them; a single space
// ends the polyline, and the next point starts a new one.
#pragma once

#include <cstdint>

#include "effects/effect_state.h"
#include "field/drawing.h"

namespace glowfield {

inline constexpr int letterCount = 26;
inline constexpr int messageCount = 12;

// Stroke strings of 'A' to 'Z', indexed by letter - 'A'.
extern const char* const letterStrokes[letterCount];

// The messages spelled by the message effect: capital letters and single spaces only.
extern const char* const messageTable[messageCount];

// The most points that any one letter has (checked against the table where it is defined).
inline constexpr int maxLetterPoints = 15;

// One point of a stroke string as the reader finds it.
struct StrokePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool joined = false; // a stroke runs to this point from the one before
    bool hasY = true;    // false for a trailing x with no ',' after it: only x was read, and the letter ends
};

namespace lettering_detail {

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal integer with an optional sign, read from text and stopping at the first other character. Far too
// many digits saturate instead of overflowing.
constexpr int32_t readInteger(const char* text) {
    bool negative = false;
    if (*text == '-' || *text == '+') {
        negative = *text == '-';
        ++text;
    }
    int64_t value = 0;
    for (; isDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) {
            value = INT32_MAX;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

} // namespace lettering_detail

// Reads a stroke string from its start and calls visit(const StrokePoint&) for every point in order.
//
// The rule both lettering effects follow: read x; look for the next ',' (none: x is handed over alone and the
// letter ends); read y; skip y's digits; the character c after them joins the next point when it is '-', and
// the letter ends when c or the character after c is the terminating zero. A null or empty string has no
// points.
template <typename Visit> constexpr void forEachStrokePoint(const char* text, Visit&& visit) {
    using lettering_detail::isDigit;
    using lettering_detail::readInteger;
    if (text == nullptr) {
        return;
    }
    bool joined = false;
    while (*text != '\0') {
        StrokePoint point;
        point.joined = joined;
        point.x = readInteger(text);
        while (*text != '\0' && *text != ',') {
            ++text;
        }
        if (*text == '\0') {
            point.hasY = false;
            visit(point);
            return;
        }
        ++text;
        point.y = readInteger(text);
        visit(point);
        while (isDigit(*text)) {
            ++text;
        }
        const char separator = *text;
        if (separator == '\0') {
            return;
        }
        joined = separator == '-';
        ++text;
    }
}

// Number of complete points of a stroke string.
constexpr int strokePointCount(const char* text) {
    int count = 0;
    forEachStrokePoint(text, [&count](const StrokePoint& point) { count += point.hasY ? 1 : 0; });
    return count;
}

// Point models keep the model coordinates of point i in the particle arrays at slot modelBase + i, after the
// 2000 slots that hold the points' current positions.
inline constexpr int modelBase = 2000;
inline constexpr int modelCapacity = particleCapacity - modelBase;

// Both lettering effects draw over a darkened copy of the last picture: every colour v of the live cells
// becomes (v - 120) / 2; the velocities are left alone.
void darkenField();

inline float& modelX(int i) {
    return particles.particleX[modelBase + i];
}
inline float& modelY(int i) {
    return particles.particleY[modelBase + i];
}
inline float& modelZ(int i) {
    return particles.particleZ[modelBase + i];
}

// drawLine3D in the pen colour. The block size of the line's last drawn step carries on into letterOffset,
// where the next message starts its pen; a line with no step in front of the viewer leaves it as it was.
inline void drawPenLine3D(float x0, float y0, float depth0, float x1, float y1, float depth1, int32_t size) {
    drawingState.blockSize = shared.letterOffset;
    drawLine3D(x0, y0, depth0, x1, y1, depth1, shared.penRed, shared.penGreen, shared.penBlue, size);
    shared.letterOffset = drawingState.blockSize;
}

} // namespace glowfield
