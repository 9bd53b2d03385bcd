// I Dont Know: a fortune ball. The dark glossy ball shakes, the murk in its window swirls, and a blue
// triangle rises out of it with an answer (YES, NO, MAYBE, or a word from the messages) before sinking again.
#include <cstring>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class IDontKnow : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c, 300.0f, 0.0f);
        age_ = 0;
        choose(c);
    }

    void step(EffectContext& c) override {
        ++age_;
        if (age_ >= cycle) {
            age_ = 0;
            choose(c);
        }
        const float n = static_cast<float>(c.n);
        // Shaking for the first second: the ball jerks about its place.
        float jx = 0.0f, jy = 0.0f;
        if (age_ < 50) {
            const float k = 1.0f - age_ / 50.0f;
            jx = (c.randomUnit() - 0.5f) * 10.0f * k;
            jy = (c.randomUnit() - 0.5f) * 8.0f * k;
        }
        const float cx = n * 0.5f + jx, cy = n * 0.5f + jy;
        const float rx = n * 0.36f, ry = rx * 1.33f; // round on the screen
        const float windowR = rx * 0.46f;
        // Rise: 0 hidden in the murk, 1 pressed against the glass.
        float rise = 0.0f;
        if (age_ >= 70 && age_ < 120) {
            rise = kit::smoothstep(70.0f, 120.0f, static_cast<float>(age_));
        } else if (age_ >= 120 && age_ < 220) {
            rise = 1.0f;
        } else if (age_ >= 220) {
            rise = 1.0f - kit::smoothstep(220.0f, cycle, static_cast<float>(age_));
        }
        const float t = static_cast<float>(age_);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = (x - cx) / rx, dy = (y - cy) / ry;
                const float d = dx * dx + dy * dy;
                kit::Rgb colour;
                if (d > 1.0f) {
                    // A velvet cloth behind, darker at the edges; a soft shadow under the ball.
                    const float u = (x - n * 0.5f) / n, v = (y - n * 0.5f) / n;
                    const float shade = 0.9f - 1.2f * (u * u + v * v);
                    const float sy = (y - (n * 0.5f + ry * 0.9f)) / (ry * 0.25f),
                                sx = (x - n * 0.5f) / (rx * 1.1f);
                    const float shadow = sx * sx + sy * sy < 1.0f ? 0.5f : 1.0f;
                    colour = kit::shade(kit::fromLevels(90, 30, 60), shade * shadow);
                } else {
                    // The ball: black glass with a broad highlight at the top left and a rim of light.
                    const float hx = dx + 0.4f, hy = dy + 0.45f;
                    const float highlight = kit::clampf(1.0f - (hx * hx + hy * hy) * 7.0f, 0.0f, 1.0f);
                    const float rim = kit::smoothstep(0.85f, 1.0f, d) * 0.25f;
                    const float l = 0.12f + highlight * 0.8f + rim;
                    colour = kit::shade(kit::fromLevels(120, 120, 150), l);
                    const float wx = (x - cx) / windowR, wy = (y - cy) / (windowR * 1.33f);
                    const float w = wx * wx + wy * wy;
                    if (w < 1.0f) {
                        // The window: blue-black murk swirling slowly.
                        const float swirl =
                            fastSin(wx * 5.0f + t * 0.05f + fastSin(wy * 4.0f - t * 0.03f) * 2.0f);
                        colour = kit::fromLevels(8, 14 + truncToInt(10 * swirl), 40 + truncToInt(20 * swirl));
                    } else if (w < 1.12f) {
                        colour = kit::fromLevels(40, 40, 50);
                    }
                }
                kit::setSolidCell(c, x, y, colour);
            }
        }
        if (rise > 0.0f) {
            drawAnswer(c, cx, cy, windowR, rise);
        }
    }

  private:
    static constexpr int cycle = 260;

    void choose(EffectContext& c) {
        static constexpr const char* answers[] = {"YES",   "NO",   "MAYBE", "DUNNO",
                                                  "LATER", "SURE", "NEVER", "ASK"};
        const int pick = c.random(0, 9);
        if (pick < 8) {
            std::strncpy(word_, answers[pick], sizeof word_ - 1);
        } else {
            // The first word of a message, if it fits the triangle.
            const char* m = kit::message(c.random(0, kit::messageTotal() - 1));
            int k = 0;
            while (m[k] != '\0' && m[k] != ' ' && k < 6) {
                word_[k] = m[k];
                ++k;
            }
            word_[k] = '\0';
        }
        word_[sizeof word_ - 1] = '\0';
    }

    // The triangle, point down, growing and brightening out of the murk; the word on its face.
    void drawAnswer(EffectContext& c, float cx, float cy, float windowR, float rise) {
        const float s = windowR * (0.55f + 0.4f * rise);
        const float xs[3] = {cx - s * 0.95f, cx + s * 0.95f, cx};
        const float ys[3] = {cy - s * 0.55f, cy - s * 0.55f, cy + s * 1.05f};
        const kit::Rgb face = kit::mix(kit::fromLevels(8, 16, 45), kit::fromLevels(30, 60, 200), rise);
        kit::fillPolygon(c, xs, ys, 3, face);
        kit::drawPolygon(c, xs, ys, 3, kit::mix(face, kit::fromLevels(90, 130, 255), 0.7f));
        const int length = static_cast<int>(std::strlen(word_));
        const float height = kit::clampf(s * 1.5f / (length * 0.95f), 6.0f, s * 0.5f);
        const float width = kit::textWidth(word_, height);
        const kit::Rgb ink = kit::mix(face, kit::fromLevels(235, 240, 255), rise * rise);
        kit::drawText(c, word_, cx - width * 0.5f, cy - s * 0.42f, height, ink, 0.0f, height * 0.07f);
    }

    char word_[8] = {};
    int age_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(IDontKnow);

} // namespace glowfield
