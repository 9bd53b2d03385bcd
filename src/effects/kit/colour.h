// Colours in field units: a value v shows as level v + 127, so -127 is black, 0 mid-grey and 128 full.
#pragma once

namespace glowfield::kit {

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline constexpr Rgb black{-127.0f, -127.0f, -127.0f};
inline constexpr Rgb grey{0.0f, 0.0f, 0.0f};
inline constexpr Rgb white{128.0f, 128.0f, 128.0f};

// From 0..255 levels, the way colours are usually written down.
constexpr Rgb fromLevels(int red, int green, int blue) {
    return {red - 127.0f, green - 127.0f, blue - 127.0f};
}

// A hue in turns (any value; 0 red, 1/3 green, 2/3 blue), saturation and value in 0..1. Inline, as effects
// call it for every cell.
inline Rgb hsv(float hue, float saturation, float value) {
    if (!(hue == hue) || hue > 1.0e6f || hue < -1.0e6f) {
        hue = 0.0f; // NaN, infinities and hues too large to hold a fraction
    }
    float h = hue - static_cast<float>(static_cast<long long>(hue));
    h = h < 0.0f ? h + 1.0f : h;
    h *= 6.0f;
    const int sector = static_cast<int>(h) % 6;
    const float f = h - static_cast<float>(static_cast<int>(h));
    const float p = value * (1.0f - saturation);
    const float q = value * (1.0f - saturation * f);
    const float t = value * (1.0f - saturation * (1.0f - f));
    float r = value, g = t, b = p;
    switch (sector) {
    case 1:
        r = q, g = value, b = p;
        break;
    case 2:
        r = p, g = value, b = t;
        break;
    case 3:
        r = p, g = q, b = value;
        break;
    case 4:
        r = t, g = p, b = value;
        break;
    case 5:
        r = value, g = p, b = q;
        break;
    default:
        break;
    }
    return {r * 255.0f - 127.0f, g * 255.0f - 127.0f, b * 255.0f - 127.0f};
}

// a + (b - a) * t.
inline Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Each channel's level scaled by k about black: k = 0 is black, 1 the colour itself.
inline Rgb shade(Rgb colour, float k) {
    return {(colour.r + 127.0f) * k - 127.0f, (colour.g + 127.0f) * k - 127.0f,
            (colour.b + 127.0f) * k - 127.0f};
}

} // namespace glowfield::kit
