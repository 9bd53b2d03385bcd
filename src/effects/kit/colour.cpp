#include "effects/kit/colour.h"

namespace glowfield::kit {

Rgb hsv(float hue, float saturation, float value) {
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

} // namespace glowfield::kit
