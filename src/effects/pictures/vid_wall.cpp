// VidWall: a wall of 4 x 4 monitors in dark bezels, each showing its own part of the wallpaper picture and
// panning and zooming at its own pace, with faint scan lines. Now and then one screen drops to static, and
// sometimes the whole wall joins up to show the picture across all sixteen screens. Without a picture the
// wall shows a city at night of its own, busy enough that every screen's view has lit windows and signs in
// it.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

// A small integer hash, for lit windows decided per building, floor and column from one drawn seed.
uint32_t mixBits(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    return x ^ (x >> 16);
}

// The city: a starry sky over far and near rows of towers with lit windows, neon signs and red beacons,
// above a harbour that mirrors them in broken stripes.
void city(EffectContext& c, std::vector<kit::Rgb>& samples) {
    constexpr int side = pictures::Wallpaper::side;
    constexpr int waterline = side * 78 / 100;
    const uint32_t seed = static_cast<uint32_t>(c.random()) * 32768u + static_cast<uint32_t>(c.random());
    // Towers as runs of columns: each column knows its tower's top, number and whether it is the far row.
    std::vector<int> top(side), tower(side);
    std::vector<bool> far(side);
    for (int row = 0; row < 2; ++row) {
        int i = 0, count = 0;
        while (i < side) {
            const int width = row == 0 ? c.random(10, 22) : c.random(14, 34);
            const int height = row == 0 ? c.random(side * 22 / 100, side * 45 / 100)
                                        : c.random(side * 12 / 100, side * 52 / 100);
            const int gap = row == 0 ? 0 : c.random(0, 6);
            for (int k = i; k < i + width && k < side; ++k) {
                const int t = waterline - height;
                if (row == 0 || t < top[k] || far[k]) {
                    if (row == 1 || top[k] == 0 || t < top[k]) {
                        top[k] = t;
                        tower[k] = count + row * 1000;
                        far[k] = row == 0;
                    }
                }
            }
            i += width + gap;
            ++count;
        }
    }
    const float moonU = 0.15f + 0.7f * c.randomUnit();
    for (int i = 0; i < side; ++i) {
        const float u = (i + 0.5f) / side;
        for (int j = 0; j < side; ++j) {
            const bool reflected = j >= waterline;
            const int jj = reflected ? 2 * waterline - j - 1 : j; // the harbour mirrors the skyline
            const float v = (jj + 0.5f) / side;
            // Blue hour: deep blue overhead to a pink and orange glow along the horizon.
            const float glow = kit::clampf(v / 0.78f, 0.0f, 1.0f);
            kit::Rgb colour = glow < 0.6f ? kit::mix(kit::fromLevels(30, 40, 110),
                                                     kit::fromLevels(120, 70, 150), glow / 0.6f)
                                          : kit::mix(kit::fromLevels(120, 70, 150),
                                                     kit::fromLevels(250, 150, 90), (glow - 0.6f) / 0.4f);
            const float du = (u - moonU) * 1.33f, dv = v - 0.16f;
            if (du * du + dv * dv < 0.0025f) {
                colour = kit::fromLevels(240, 235, 210);
            } else if (mixBits(seed ^ static_cast<uint32_t>(i * 7919 + jj * 104729)) % 500u == 0u) {
                colour = kit::fromLevels(220, 220, 255); // a star
            }
            if (jj >= top[i] && top[i] > 0) {
                const uint32_t id = static_cast<uint32_t>(tower[i]);
                const bool distant = far[i];
                colour = distant ? kit::fromLevels(78, 70, 120) : kit::fromLevels(44, 46, 72);
                // Windows: 3 x 4 panes with gaps, lit by chance, some warm, some cold, some blue screens.
                const int wx = i % 5, wy = (jj - top[i]) % 7;
                if (wx >= 1 && wx <= 3 && wy >= 2 && wy <= 5) {
                    const uint32_t h = mixBits(seed ^ (id * 2654435761u) ^
                                               static_cast<uint32_t>((i / 5) * 977 + (jj - top[i]) / 7));
                    if (h % 100u < (distant ? 45u : 60u)) {
                        const uint32_t tone = (h >> 8) % 5u;
                        colour = tone < 3u   ? kit::fromLevels(250, 210, 120)
                                 : tone < 4u ? kit::fromLevels(230, 235, 250)
                                             : kit::fromLevels(110, 170, 255);
                        if (distant) {
                            colour = kit::shade(colour, 0.8f);
                        }
                    }
                }
                // Neon: a sign across some near towers, a third of the way down.
                if (!distant && mixBits(seed + id) % 2u == 0u) {
                    const int signRow = top[i] + 8 + static_cast<int>(mixBits(seed ^ id) % 20u);
                    if (jj >= signRow && jj < signRow + 5) {
                        const uint32_t hue = mixBits(seed * 3u + id) % 4u;
                        const kit::Rgb neon[4] = {
                            kit::fromLevels(255, 40, 160), kit::fromLevels(40, 240, 255),
                            kit::fromLevels(255, 200, 40), kit::fromLevels(120, 255, 80)};
                        colour =
                            (jj == signRow || jj == signRow + 4) ? kit::shade(neon[hue], 0.6f) : neon[hue];
                    }
                }
                if (jj == top[i] || jj == top[i] + 1) {
                    colour = kit::mix(colour, kit::fromLevels(120, 110, 150), 0.5f); // roof edge
                }
            }
            // Red beacons on the tallest roofs.
            if (top[i] > 0 && top[i] < waterline - side * 40 / 100 && jj == top[i] - 2 && i % 9 == 4) {
                colour = kit::fromLevels(255, 40, 30);
            }
            if (reflected) {
                const float ripple =
                    0.5f + 0.5f * fastSin(static_cast<float>(j) * 1.3f + fastSin(u * 60.0f) * 2.5f);
                colour =
                    kit::shade(kit::mix(colour, kit::fromLevels(10, 20, 50), 0.35f), 0.35f + 0.45f * ripple);
            }
            samples[static_cast<size_t>(i) * side + j] = colour;
        }
    }
}

class VidWall : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c, city);
        for (Screen& s : screens_) {
            s.u = c.randomUnit();
            s.v = c.randomUnit();
            s.du = (c.randomUnit() - 0.5f) * 0.004f;
            s.dv = (c.randomUnit() - 0.5f) * 0.004f;
            s.zoom = 0.15f + 0.35f * c.randomUnit();
            s.staticLeft = 0;
        }
        joined_ = 0;
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        if (c.random() % 40 == 0) {
            screens_[c.random(0, screenCount - 1)].staticLeft = c.random(15, 60);
        }
        if (joined_ == 0 && tick % 500u == 250u) {
            joined_ = 160;
        }
        // Joined: each screen's view eases to its own tile of the whole picture, holds, then eases back.
        float join = 0.0f;
        if (joined_ > 0) {
            --joined_;
            join = kit::smoothstep(0.0f, 30.0f, static_cast<float>(160 - joined_)) *
                   kit::smoothstep(0.0f, 30.0f, static_cast<float>(joined_));
        }
        const float n = static_cast<float>(c.n);
        const float pitch = n / across;
        const float bezel = 2.0f;
        kit::fillColours(c, kit::fromLevels(18, 18, 22));
        for (int k = 0; k < screenCount; ++k) {
            Screen& s = screens_[k];
            s.u += s.du;
            s.v += s.dv;
            if (s.u < 0.0f || s.u > 1.0f - s.zoom) {
                s.du = -s.du;
                s.u = kit::clampf(s.u, 0.0f, 1.0f - s.zoom);
            }
            if (s.v < 0.0f || s.v > 1.0f - s.zoom) {
                s.dv = -s.dv;
                s.v = kit::clampf(s.v, 0.0f, 1.0f - s.zoom);
            }
            const int col = k % across, row = k / across;
            const float x0 = col * pitch + bezel, y0 = row * pitch + bezel;
            const float w = pitch - 2.0f * bezel;
            // The view: this screen's own pan, or its tile of the whole picture while joined.
            // While joined the whole wall shows the picture a little enlarged, drifting slowly across it.
            const float drift = 0.05f * fastSin(tick * 0.02f);
            const float u0 = kit::lerp(s.u, 0.05f + drift + 0.9f * col / across, join);
            const float v0 = kit::lerp(s.v, 0.05f + 0.9f * row / across, join);
            const float span = kit::lerp(s.zoom, 0.9f / across, join);
            const bool noise = s.staticLeft > 0 && join < 0.5f;
            if (s.staticLeft > 0) {
                --s.staticLeft;
            }
            for (int x = kit::toCell(x0); x < kit::toCell(x0 + w); ++x) {
                for (int y = kit::toCell(y0); y < kit::toCell(y0 + w); ++y) {
                    const float fu = (x - x0 + 0.5f) / w, fv = (y - y0 + 0.5f) / w;
                    kit::Rgb colour;
                    if (noise) {
                        const float g = static_cast<float>(c.random(0, 200)) - 110.0f;
                        colour = {g, g, g};
                    } else {
                        colour = wallpaper_.at(u0 + fu * span, v0 + fv * span);
                    }
                    // Scan lines (every third row, so they read as lines rather than an odd-even weave), and
                    // a little darkening into the rounded corners of the glass.
                    const float cu = fu - 0.5f, cv = fv - 0.5f;
                    const float corner = cu * cu * cu * cu + cv * cv * cv * cv;
                    // A brighter band rolls down each tube, as on a screen filmed out of step.
                    const int roll = kit::wrap(y - static_cast<int>(tick % 1000u) - k * 7, 36);
                    const float band = roll < 3 ? 1.12f : 1.0f;
                    float k2 =
                        band * (y % 3 == 2 ? 0.84f : 1.0f) * (1.0f - kit::clampf(corner * 14.0f, 0.0f, 0.6f));
                    if (corner > 0.11f) {
                        k2 = 0.0f;
                    }
                    kit::setSolidCell(c, x, y, kit::shade(colour, k2));
                }
            }
            // A power light under each screen.
            kit::paint(c, kit::toCell(x0 + w - 2.0f), kit::toCell(y0 + w + 0.5f),
                       s.staticLeft > 0 ? kit::fromLevels(255, 160, 0) : kit::fromLevels(60, 220, 80));
        }
    }

  private:
    static constexpr int across = 4;
    static constexpr int screenCount = across * across;
    struct Screen {
        float u = 0.0f, v = 0.0f, du = 0.0f, dv = 0.0f, zoom = 0.3f;
        int staticLeft = 0;
    };

    pictures::Wallpaper wallpaper_;
    Screen screens_[screenCount];
    int joined_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(VidWall);

} // namespace glowfield
