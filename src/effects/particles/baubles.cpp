// Baubles: seven shiny baubles hang on strings from a garland and swing as pendulums. Neighbours that meet
// clack together, trading their swing and sending a ripple through the field; the mouse gives them a nudge.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Baubles : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        for (int k = 0; k < count; ++k) {
            length_[k] = n * (0.52f + 0.04f * fastSin(static_cast<float>(k) * 1.3f));
            angle_[k] = 0.0f;
            speed_[k] = 0.0f;
        }
        angle_[0] = -0.9f;
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 10.0f);
        kit::scaleVelocities(c, 0.9f);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const float radius = 11.0f * s + 1.0f;
        const float spacing = n / (count + 1);
        float bx[count], by[count];
        // Pendulum steps: angular acceleration -g/L sin(angle), in a few sub-steps for steadiness.
        for (int sub = 0; sub < 4; ++sub) {
            for (int k = 0; k < count; ++k) {
                speed_[k] += -0.25f * s / length_[k] * fastSin(angle_[k]);
                speed_[k] *= 0.9998f;
                angle_[k] += speed_[k];
                angle_[k] = kit::clampf(angle_[k], -1.4f, 1.4f);
            }
            positions(n, spacing, bx, by);
            // Clack: neighbours that overlap swap their swing (equal masses, elastic) and part.
            for (int k = 0; k + 1 < count; ++k) {
                const float dx = bx[k + 1] - bx[k], dy = by[k + 1] - by[k];
                if (dx * dx + dy * dy < 4.0f * radius * radius && speed_[k] > speed_[k + 1]) {
                    const float swap = speed_[k];
                    speed_[k] = speed_[k + 1];
                    speed_[k + 1] = swap;
                    kit::balancedPush(c, (bx[k] + bx[k + 1]) * 0.5f, (by[k] + by[k + 1]) * 0.5f,
                                      4.0f * s + 1.0f, 30.0f);
                    flashX_ = (bx[k] + bx[k + 1]) * 0.5f;
                    flashY_ = (by[k] + by[k + 1]) * 0.5f;
                    flash_ = 8;
                }
            }
        }
        // Keep them swinging: a tap at an end when the row has gone quiet, and the mouse pushes those near
        // it.
        float energy = 0.0f;
        for (int k = 0; k < count; ++k) {
            energy += speed_[k] * speed_[k];
        }
        if (c.sound.heard() && c.sound.beat) {
            // With music the row is struck on every beat, from alternate ends, as hard as the bass.
            struck_ = !struck_;
            const int end = struck_ ? 0 : count - 1;
            speed_[end] += (end == 0 ? -0.006f : 0.006f) * (0.5f + c.sound.bass);
        } else if (energy < 2.0e-4f) {
            const int end = c.random(0, 1) == 0 ? 0 : count - 1;
            speed_[end] += end == 0 ? -0.04f : 0.04f;
        }
        if (c.mouseX != lastMouseX_ || c.mouseY != lastMouseY_) {
            for (int k = 0; k < count; ++k) {
                const float dx = bx[k] - static_cast<float>(c.mouseX),
                            dy = by[k] - static_cast<float>(c.mouseY);
                if (dx * dx + dy * dy < 9.0f * radius * radius) {
                    speed_[k] += static_cast<float>(c.mouseX - lastMouseX_) * 0.002f;
                }
            }
            lastMouseX_ = c.mouseX;
            lastMouseY_ = c.mouseY;
        }
        // A deep velvet backdrop with a soft vignette.
        if (velvet_.size() != static_cast<size_t>(c.n) * static_cast<size_t>(c.n)) {
            const kit::Rgb velvet = kit::hsv(0.38f, 0.8f, 1.0f);
            velvet_.resize(static_cast<size_t>(c.n) * static_cast<size_t>(c.n));
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y) {
                    const float dx = (static_cast<float>(x) - n * 0.5f) / n,
                                dy = (static_cast<float>(y) - n * 0.45f) / n;
                    velvet_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)] =
                        kit::shade(velvet, 0.32f - 0.4f * (dx * dx + dy * dy));
                }
            }
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                // Blended rather than set, so the ripples of the clacks show through.
                kit::mixCell(
                    c, x, y,
                    velvet_[static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y)],
                    0.55f);
            }
        }
        // The garland along the top.
        for (int x = 0; x < c.n; x += 2) {
            const float fx = static_cast<float>(x);
            kit::fillDisc(c, fx, n * 0.04f + 2.0f * s * fastSin(fx * 0.3f), 2.5f * s + 0.5f,
                          kit::fromLevels(30, 110, 50));
        }
        if (flash_ > 0) {
            // The clack: a brief white star where the two met.
            const float f = static_cast<float>(flash_--) * s;
            kit::drawLine(c, flashX_ - f, flashY_, flashX_ + f, flashY_, kit::white, kit::Blend::max);
            kit::drawLine(c, flashX_, flashY_ - f, flashX_, flashY_ + f, kit::white, kit::Blend::max);
        }
        const float hues[count] = {0.0f, 0.13f, 0.6f, 0.83f, 0.33f, 0.08f, 0.55f};
        for (int k = 0; k < count; ++k) {
            const float px = spacing * static_cast<float>(k + 1), py = n * 0.05f;
            kit::drawLine(c, px, py, bx[k], by[k], kit::fromLevels(200, 180, 120));
            drawBauble(c, bx[k], by[k], radius, hues[k], angle_[k], s);
        }
    }

  private:
    static constexpr int count = 7;

    void positions(float n, float spacing, float* bx, float* by) const {
        for (int k = 0; k < count; ++k) {
            bx[k] = spacing * static_cast<float>(k + 1) + length_[k] * fastSin(angle_[k]);
            by[k] = n * 0.05f + length_[k] * fastCos(angle_[k]);
        }
    }

    // A glass ball lit from the upper left: diffuse shading, a bright highlight and a gold cap on the string.
    static void drawBauble(const EffectContext& c, float cx, float cy, float r, float hue, float tilt,
                           float s) {
        const int x0 = kit::clampCell(c, kit::toCell(cx - r)), x1 = kit::clampCell(c, kit::toCell(cx + r));
        const int y0 = kit::clampCell(c, kit::toCell(cy - r)), y1 = kit::clampCell(c, kit::toCell(cy + r));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                const float dx = (static_cast<float>(x) + 0.5f - cx) / r,
                            dy = (static_cast<float>(y) + 0.5f - cy) / r;
                const float d2 = dx * dx + dy * dy;
                if (d2 > 1.0f) {
                    continue;
                }
                const float nz = std::sqrt(1.0f - d2);
                const float light = kit::clampf(-0.5f * dx - 0.55f * dy + 0.67f * nz, 0.0f, 1.0f);
                const float highlight = light > 0.93f ? (light - 0.93f) * 14.0f : 0.0f;
                // A band of glitter round the middle.
                const bool band = absf(dy + dx * 0.2f) < 0.12f;
                kit::Rgb colour =
                    kit::hsv(hue, 0.9f - 0.9f * kit::clampf(highlight, 0.0f, 1.0f), 0.18f + 0.82f * light);
                if (band) {
                    colour = kit::mix(colour, kit::fromLevels(255, 230, 150), 0.6f);
                }
                kit::setCell(c, x, y, colour);
            }
        }
        const float ux = -fastSin(tilt), uy = -fastCos(tilt);
        kit::drawThickLine(c, cx + ux * r * 0.9f, cy + uy * r * 0.9f, cx + ux * (r + 2.0f * s),
                           cy + uy * (r + 2.0f * s), 1.6f * s + 0.3f, kit::fromLevels(230, 190, 80));
    }

    std::vector<kit::Rgb> velvet_; // the backdrop with its vignette, made on the first frame
    float length_[count] = {};
    float angle_[count] = {};
    float speed_[count] = {};
    int lastMouseX_ = 0, lastMouseY_ = 0;
    float flashX_ = 0.0f, flashY_ = 0.0f;
    int flash_ = 0;
    bool struck_ = false; // the end the music struck last
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Baubles);

} // namespace glowfield
