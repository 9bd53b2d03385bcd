// Flame: a candle in a dark room. A teardrop flame, white at its core through yellow to an orange edge,
// flickers and leans away from a moving mouse; wisps of smoke rise from its tip and its light warms the wax.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Flame : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        lastMouseX_ = c.mouseX;
        // The room lit warmly around the flame, and the wax column with a cylinder's shading, lit more near
        // the top: all still, so made once.
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, wickY = n * 0.55f;
        room_.assign(static_cast<size_t>(c.n) * c.n, kit::Rgb{});
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float fy = static_cast<float>(y);
                const float dx = x - cx, dy = (fy - wickY) * 0.75f;
                const float glow = 1.0f / (1.0f + (dx * dx + dy * dy) * 0.001f);
                kit::Rgb col = kit::mix(kit::fromLevels(34, 22, 22), kit::fromLevels(130, 78, 30), glow);
                const float waxHalf = n * 0.09f, waxTop = wickY + n * 0.03f;
                if (fy > waxTop && std::fabs(dx) < waxHalf) {
                    const float s = dx / waxHalf;
                    const float shade = (1.0f - s * s) * 0.7f + 0.3f;
                    const float warm = 1.0f / (1.0f + (fy - waxTop) * 0.03f);
                    col = kit::shade(
                        kit::mix(kit::fromLevels(200, 180, 160), kit::fromLevels(255, 210, 150), warm),
                        shade * (0.45f + 0.55f * warm));
                    if (fy - waxTop < 1.5f) {
                        col = kit::fromLevels(255, 230, 190);
                    }
                }
                room_[i] = col;
            }
        }
        for (Wisp& w : wisps_) {
            w.life = 0;
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 100000u);
        const float cx = n * 0.5f, wickY = n * 0.55f;
        // Lean: away from the mouse when it moves, easing back upright otherwise, plus a small draught.
        if (c.mouseX != lastMouseX_) {
            push_ += kit::clampf(static_cast<float>(c.mouseX - lastMouseX_) * 0.02f, -0.5f, 0.5f);
            lastMouseX_ = c.mouseX;
        }
        push_ *= 0.95f;
        const float draught = 0.22f * fastSin(t * 0.031f) + 0.1f * fastSin(t * 0.093f);
        const float lean = kit::clampf(push_ + draught, -0.8f, 0.8f);
        flicker_ = flicker_ * 0.7f + (c.randomUnit() - 0.5f) * 0.3f;
        float height = n * (0.3f + 0.025f * fastSin(t * 0.2f)) * (1.0f + flicker_ * 0.3f);
        if (c.sound.heard()) {
            // With music the flame leaps and swells with the bass and sinks back slowly.
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.5f : 0.08f);
            height *= 0.7f + 0.9f * bass_;
        }
        const float width = c.sound.heard() ? n * (0.05f + 0.03f * bass_) : n * 0.06f;
        const float top = wickY - height;
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                kit::setCell(c, x, y, room_[i]);
            }
        }
        // The flame: a teardrop along a leaning axis, its edge rippled by flicker moving up it; row by row,
        // each over the cells its profile covers.
        const int y0 = kit::clampCell(c, kit::toCell(top - 4.0f)),
                  y1 = kit::clampCell(c, kit::toCell(wickY + 2.0f));
        for (int y = y0; y <= y1; ++y) {
            const float fy = static_cast<float>(y);
            const float h = (wickY + 2.0f - fy) / (height + 2.0f); // 0 at the base, 1 at the tip
            if (!(h >= 0.0f && h <= 1.0f)) {
                continue;
            }
            const float axis = cx + lean * h * h * height;
            const float ripple = 1.0f + 0.15f * fastSin(h * 9.0f - t * 0.5f) * h;
            const float profile =
                width * ripple * (h < 0.25f ? std::sqrt(h / 0.25f) : (1.0f - h) / 0.75f * 1.1f);
            const int x0 = kit::clampCell(c, kit::toCell(axis - profile - 1.0f));
            const int x1 = kit::clampCell(c, kit::toCell(axis + profile + 1.0f));
            for (int x = x0; x <= x1; ++x) {
                const float off = std::fabs(x - axis);
                if (off >= profile + 1.0f) {
                    continue;
                }
                const float k = off / (profile + 1e-3f); // 0 on the axis, 1 at the edge
                kit::Rgb f = kit::mix(kit::fromLevels(255, 255, 235), kit::fromLevels(255, 215, 70),
                                      kit::smoothstep(0.1f, 0.55f, k + h * 0.3f));
                f = kit::mix(f, kit::fromLevels(240, 110, 20), kit::smoothstep(0.55f, 1.0f, k + h * 0.2f));
                if (h < 0.18f && k < 0.5f) {
                    f = kit::mix(kit::fromLevels(70, 90, 220), f, h / 0.18f); // blue root
                }
                const float alpha = kit::clampf(profile + 1.0f - off, 0.0f, 1.0f);
                const int cell = cellAt(x, y);
                const kit::Rgb under{c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
                kit::setCell(c, x, y, kit::mix(under, f, alpha));
            }
        }
        kit::drawLine(c, cx, wickY + n * 0.03f, cx + lean * 2.0f, wickY - 1.0f, kit::fromLevels(30, 20, 15));
        // Smoke wisps rise from the tip and drift, fading.
        if (c.frame % 3u == 0u) {
            for (Wisp& w : wisps_) {
                if (w.life <= 0) {
                    w.x = cx + lean * height;
                    w.y = top - 2.0f;
                    w.life = 90;
                    w.phase = c.randomUnit() * kit::twoPi;
                    break;
                }
            }
        }
        for (Wisp& w : wisps_) {
            if (w.life <= 0) {
                continue;
            }
            w.y -= 0.5f;
            w.x += 0.35f * fastSin(w.y * 0.12f + w.phase) + lean * 0.2f;
            if (--w.life <= 0 || !(w.y >= 0.0f && w.x >= 0.0f && w.x < n)) {
                w.life = 0;
                continue;
            }
            const float a = static_cast<float>(w.life) / 90.0f * 0.35f;
            kit::blendCell(c, kit::toCell(w.x), kit::toCell(w.y), kit::fromLevels(150, 145, 140), a);
        }
    }

  private:
    struct Wisp {
        float x, y, phase;
        int life;
    };
    Wisp wisps_[40]{};
    std::vector<kit::Rgb> room_;
    int lastMouseX_ = 0;
    float push_ = 0.0f, flicker_ = 0.0f;
    float bass_ = 0.0f; // the bass as the flame follows it
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Flame);

} // namespace glowfield
