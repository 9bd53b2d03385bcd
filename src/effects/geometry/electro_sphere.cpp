// ElectroSphere: a plasma globe. Inside a glass ball a glowing core throws jittering filaments to points on
// the rim that wander slowly; the mouse near the glass draws every filament to it.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class ElectroSphere : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        // The glass ball and the dark around it, once.
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, R = n * 0.4f;
        glass_.assign(static_cast<size_t>(c.n) * c.n, kit::Rgb{});
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = x - cx, dy = y - cy;
                const float d = std::sqrt(dx * dx + dy * dy);
                kit::Rgb target = kit::fromLevels(6, 4, 12);
                if (d < R) {
                    const float k = d / R;
                    target = {-107.0f + 30.0f * k * k, -119.0f, -87.0f + 40.0f * k * k};
                } else if (d < R + 2.0f) {
                    target = kit::fromLevels(140, 140, 190);
                }
                glass_[i] = target;
            }
        }
        for (Anchor& a : anchors_) {
            a.angle = c.randomUnit() * kit::twoPi;
            a.drift = (c.randomUnit() - 0.5f) * 0.03f;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, R = n * 0.4f;
        kit::scaleVelocities(c, 0.3f);
        // Glass and darkness, redrawn each frame with a short afterglow of the filaments.
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const kit::Rgb& target = glass_[i];
                const int cell = cellAt(x, y);
                c.planes.red[cell] += (target.r - c.planes.red[cell]) * 0.45f;
                c.planes.green[cell] += (target.g - c.planes.green[cell]) * 0.45f;
                c.planes.blue[cell] += (target.b - c.planes.blue[cell]) * 0.45f;
            }
        }
        // A glint on the glass.
        kit::drawRing(c, cx - R * 0.05f, cy - R * 0.05f, R * 0.85f, 1.0f, kit::fromLevels(60, 60, 80),
                      kit::Blend::add);
        const float mdx = c.mouseX - cx, mdy = c.mouseY - cy;
        const float md = std::sqrt(mdx * mdx + mdy * mdy);
        bool drawn = md > R * 0.8f && md < R * 1.3f;
        float mouseAngle = kit::angleOf(mdx, mdy);
        // With music the filaments writhe harder with the treble, and a strong onset draws them all to one
        // spot on the glass for a moment, as a touching finger does (no more often than every 30 frames).
        const bool heard = c.sound.heard();
        float writhe = 9.0f;
        if (heard) {
            writhe = 6.0f + 8.0f * c.sound.treble;
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.2f : 0.05f);
            sinceTouch_ += sinceTouch_ < 1000 ? 1 : 0;
            if (c.sound.onset && c.sound.onsetStrength >= 0.5f && sinceTouch_ > 30) {
                sinceTouch_ = 0;
                touchAngle_ = c.randomUnit() * kit::twoPi;
                touch_ = 7;
            }
            if (touch_ > 0) {
                --touch_;
                drawn = true;
                mouseAngle = touchAngle_;
            }
        }
        for (Anchor& a : anchors_) {
            a.angle += a.drift + (c.randomUnit() - 0.5f) * 0.02f;
            float angle = a.angle;
            if (drawn) {
                angle = mouseAngle + (angle - mouseAngle) * 0.08f;
            }
            const float ex = cx + fastCos(angle) * R, ey = cy + fastSin(angle) * R;
            // A random walk along the straight path, pulled back to it so the end stays on the anchor.
            float px = cx, py = cy, off = 0.0f;
            const int segments = 16;
            const float nx = -fastSin(angle), ny = fastCos(angle);
            for (int s = 1; s <= segments; ++s) {
                const float k = static_cast<float>(s) / segments;
                off = off * 0.8f + (c.randomUnit() - 0.5f) * writhe * (1.0f - k * 0.7f);
                const float taper = s == segments ? 0.0f : 1.0f;
                const float qx = cx + (ex - cx) * k + nx * off * taper,
                            qy = cy + (ey - cy) * k + ny * off * taper;
                kit::drawThickLine(c, px, py, qx, qy, 1.2f, kit::fromLevels(150, 40, 200), kit::Blend::max);
                kit::drawLine(c, px, py, qx, qy, kit::fromLevels(255, 190, 255), kit::Blend::max);
                px = qx;
                py = qy;
            }
            kit::softDisc(c, ex, ey, 5.0f, kit::fromLevels(255, 120, 255), 0.7f, kit::Blend::add);
        }
        const float pulse =
            heard ? 0.7f + 0.3f * bass_ : 0.8f + 0.2f * fastSin(static_cast<float>(c.frame % 100000u) * 0.2f);
        kit::softDisc(c, cx, cy, R * 0.25f, kit::fromLevels(255, 120, 240), pulse, kit::Blend::add);
        kit::fillDisc(c, cx, cy, R * 0.08f, kit::fromLevels(255, 230, 255));
    }

  private:
    float touchAngle_ = 0.0f; // where a strong onset drew the filaments
    int touch_ = 0;           // frames that draw has left
    int sinceTouch_ = 1000;   // frames since it began
    float bass_ = 0.0f;       // the bass as the core follows it
    struct Anchor {
        float angle, drift;
    };
    Anchor anchors_[8]{};
    std::vector<kit::Rgb> glass_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(ElectroSphere);

} // namespace glowfield
