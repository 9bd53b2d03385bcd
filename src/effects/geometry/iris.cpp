// Iris: a close-up eye. Around the pupil, radial fibres in blue-green with a hazel collar, a dark limbal ring
// and a white with faint veins; the pupil breathes, the eye glances about and now and then the lids blink.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Iris : public Effect {
  public:
    void start(EffectContext& c) override { pickGlance(c); }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        if (veins_.size() != static_cast<size_t>(c.n * c.n)) {
            // Faint veins towards the corners of the eye: thin wavy radial lines about the eye's rest
            // position.
            veins_.assign(static_cast<size_t>(c.n * c.n), 0);
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    const float dx = (static_cast<float>(x) + 0.5f - n * 0.5f) * 4.0f / 3.0f;
                    const float dy = static_cast<float>(y) + 0.5f - n * 0.5f;
                    veins_[static_cast<size_t>(x * c.n + y)] = veinAt(dx, dy, std::sqrt(dx * dx + dy * dy));
                }
            }
        }
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        if (--glanceTimer_ <= 0) {
            pickGlance(c);
        }
        lookX_ += (targetX_ - lookX_) * 0.25f;
        lookY_ += (targetY_ - lookY_) * 0.25f;
        if (blink_ > 0) {
            --blink_;
        } else if (c.random(0, 199) == 0) {
            blink_ = 14;
        }
        // Lid opening: 1 open, 0 shut, closing and opening over the blink.
        const float b = static_cast<float>(blink_);
        const float open = blink_ > 0 ? absf(b - 7.0f) / 7.0f : 1.0f;

        const float cx = n * 0.5f + lookX_, cy = n * 0.5f + lookY_;
        const float irisR = n * 0.27f;
        const float pupilR = irisR * (0.36f + 0.08f * fastSin(t * 0.45f) + 0.04f * fastSin(t * 1.3f));
        const kit::Rgb outer = kit::fromLevels(40, 120, 150), inner = kit::fromLevels(150, 110, 40);
        const kit::Rgb skin = kit::fromLevels(200, 140, 115), lash = kit::fromLevels(30, 18, 14);
        const float lidHalf = n * 0.36f * open, lidWidth = n * 0.56f;
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float ex = (fx - n * 0.5f) / lidWidth;
            const float lid = ex * ex < 1.0f ? lidHalf * (1.0f - ex * ex) : 0.0f;
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y) + 0.5f;
                const float fromLid = lid - absf(fy - n * 0.5f); // > 0 inside the opening
                kit::Rgb colour;
                if (fromLid < 0.0f) {
                    colour = kit::shade(skin, 0.62f + 0.3f * kit::clampf(-fromLid / (n * 0.15f), 0.0f, 1.0f));
                    if (fromLid > -2.5f) {
                        colour = lash;
                    }
                    kit::paintSolid(c, x, y, colour);
                    continue;
                }
                const float dx = (fx - cx) * 4.0f / 3.0f, dy = fy - cy; // cells show 4 wide, 3 tall
                const float r = std::sqrt(dx * dx + dy * dy);
                if (r > irisR + 1.0f) {
                    // The white, shadowed under the lid and with faint veins towards the corners.
                    colour = kit::fromLevels(236, 232, 226);
                    if (r > irisR * 1.45f && veins_[static_cast<size_t>(x * c.n + y)]) {
                        colour = kit::mix(colour, kit::fromLevels(200, 60, 60), 0.3f);
                    }
                    colour = kit::shade(colour, kit::clampf(0.55f + fromLid * 0.03f, 0.55f, 1.0f));
                } else if (r > pupilR) {
                    const float a = kit::angleOf(dx, dy);
                    const float s = (r - pupilR) / (irisR - pupilR); // 0 at the pupil, 1 at the limbus
                    const float fibre =
                        fastSin(a * 37.0f + 2.0f * fastSin(a * 5.0f + s * 6.0f + t * 0.3f)) * 0.5f +
                        0.5f * fastSin(a * 61.0f - s * 4.0f);
                    colour = kit::mix(inner, outer, kit::smoothstep(0.15f, 0.55f, s));
                    colour = kit::shade(colour, 0.75f + 0.3f * fibre);
                    // The dark limbal ring, soft inwards; a crisp edge against the white.
                    const float limbus = kit::smoothstep(0.78f, 1.0f, s);
                    colour = kit::mix(colour, kit::fromLevels(20, 30, 40), limbus * 0.85f);
                    if (r > irisR) {
                        colour = kit::mix(colour, kit::fromLevels(200, 196, 190), r - irisR);
                    }
                    colour = kit::shade(colour, kit::clampf(0.55f + fromLid * 0.03f, 0.55f, 1.0f));
                } else {
                    colour = kit::fromLevels(4, 4, 8);
                    if (r > pupilR - 1.0f) {
                        colour = kit::mix(colour, inner, r - (pupilR - 1.0f));
                    }
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
        // The window's reflection on the cornea.
        if (open > 0.5f) {
            kit::softDisc(c, cx - irisR * 0.26f, cy - irisR * 0.4f, irisR * 0.22f, kit::white, 0.7f,
                          kit::Blend::set);
            kit::fillDisc(c, cx - irisR * 0.26f, cy - irisR * 0.4f, irisR * 0.07f, kit::white);
        }
    }

  private:
    // Faint veins towards the corners: thin wavy radial lines, only looked up far from the iris.
    static bool veinAt(float dx, float dy, float r) {
        return fastSin(kit::angleOf(dx, dy) * 19.0f + 2.0f * fastSin(r * 0.15f)) > 0.985f;
    }

    void pickGlance(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        targetX_ = n * 0.12f * (2.0f * c.randomUnit() - 1.0f);
        targetY_ = n * 0.05f * (2.0f * c.randomUnit() - 1.0f);
        glanceTimer_ = c.random(40, 140);
    }

    float lookX_ = 0.0f, lookY_ = 0.0f, targetX_ = 0.0f, targetY_ = 0.0f;
    std::vector<unsigned char> veins_;
    int glanceTimer_ = 0;
    int blink_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Iris);

} // namespace glowfield
