// VidWall: a wall of 4 x 4 monitors in dark bezels, each showing its own part of the wallpaper picture and
// panning and zooming at its own pace, with faint scan lines. Now and then one screen drops to static, and
// sometimes the whole wall joins up to show the picture across all sixteen screens.
#include "effects/kit/kit.h"
#include "effects/pictures/cell_writes.h"
#include "effects/pictures/wallpaper.h"

namespace glowfield {

namespace {

class VidWall : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        wallpaper_.load(c);
        for (Screen& s : screens_) {
            s.u = c.randomUnit();
            s.v = c.randomUnit();
            s.du = (c.randomUnit() - 0.5f) * 0.004f;
            s.dv = (c.randomUnit() - 0.5f) * 0.004f;
            s.zoom = 0.15f + 0.35f * c.randomUnit();
            s.staticLeft = 0;
        }
        tick_ = 0;
        joined_ = 0;
    }

    void step(EffectContext& c) override {
        ++tick_;
        kit::tameField(c, 300.0f, 0.0f); // also zeroes the velocities, whatever they held
        if (c.random() % 40 == 0) {
            screens_[c.random(0, screenCount - 1)].staticLeft = c.random(15, 60);
        }
        if (joined_ == 0 && tick_ % 500u == 250u) {
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
            const float drift = 0.05f * fastSin(tick_ * 0.02f);
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
                    // Scan lines, and a little darkening into the rounded corners of the glass.
                    const float cu = fu - 0.5f, cv = fv - 0.5f;
                    const float corner = cu * cu * cu * cu + cv * cv * cv * cv;
                    // A brighter band rolls down each tube, as on a screen filmed out of step.
                    const int roll = kit::wrap(y - static_cast<int>(tick_ % 1000u) - k * 7, 36);
                    const float band = roll < 3 ? 1.12f : 1.0f;
                    float k2 =
                        band * (y % 2 ? 0.82f : 1.0f) * (1.0f - kit::clampf(corner * 14.0f, 0.0f, 0.6f));
                    if (corner > 0.11f) {
                        k2 = 0.0f;
                    }
                    pictures::putCell(c, x, y, pictures::dim(colour, k2));
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
    uint32_t tick_ = 0;
    int joined_ = 0;
};

} // namespace

std::unique_ptr<Effect> makeVidWall() {
    return std::make_unique<VidWall>();
}

} // namespace glowfield
