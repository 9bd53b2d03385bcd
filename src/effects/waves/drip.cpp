// Drip: a leaky tap over a basin. A drop swells at the spout, lets go, falls faster and faster and strikes
// the water, which rings outwards; a small droplet jumps back up from the splash and falls again.
#include "effects/kit/kit.h"
#include "effects/waves/rest_level.h"

namespace glowfield {

namespace {

class Drip : public Effect {
  public:
    void start(EffectContext& c) override {
        waves::setRest(c, water);
        stage_ = Stage::swelling;
        size_ = 0.0f;
        spoutX_ = c.n * 0.5f + static_cast<float>(c.random(-20, 20));
    }

    void step(EffectContext& c) override {
        kit::tameField(c, 300.0f, 30.0f);
        const int n = c.n;
        const int surface = n * 3 / 4;
        const float spoutY = n * 0.13f;
        // Above the water: a tiled wall, repainted each frame with a little memory so a falling drop smears.
        // Its velocities are held at rest so the ripples reflect from the surface.
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < surface; ++y) {
                const bool grout = (x % 25 == 0) || (y % 25 == 0);
                const int level = grout ? 30 : 60 + (y * 30) / surface;
                kit::blendCell(c, x, y, kit::fromLevels(level, level + 6, level + 14), 0.35f);
                const int cell = cellAt(x, y);
                c.planes.redVelocity[cell] = 0.0f;
                c.planes.greenVelocity[cell] = 0.0f;
                c.planes.blueVelocity[cell] = 0.0f;
            }
            for (int y = surface; y < n; ++y) {
                waves::calmCell(c, x, y, water, 0.9992f);
            }
        }
        const kit::Rgb drop = kit::fromLevels(170, 220, 255);
        switch (stage_) {
        case Stage::swelling:
            if (c.sound.heard()) {
                // With music the drop swells with the sound and lets go only on a beat, striking the water
                // as hard as the music is loud.
                size_ = kit::clampf(size_ + 0.05f + 0.1f * c.sound.level, 0.0f, 4.4f);
                y_ = spoutY + 1.0f + size_;
                if (size_ >= 2.4f && c.sound.beat) {
                    stage_ = Stage::falling;
                    vy_ = 1.5f;
                }
                break;
            }
            size_ += 0.05f;
            y_ = spoutY + 1.0f + size_;
            if (size_ >= 3.6f) {
                stage_ = Stage::falling;
                vy_ = 0.0f;
            }
            break;
        case Stage::falling:
            vy_ += 0.12f;
            y_ += vy_;
            if (y_ >= static_cast<float>(surface)) {
                // The strike: a sharp dip where the drop lands, the start of the rings.
                kit::pushVelocity(c, spoutX_, static_cast<float>(surface) + 3.0f, 6.0f,
                                  c.sound.heard() ? 40.0f + 50.0f * c.sound.level : 45.0f);
                stage_ = Stage::rebound;
                y_ = static_cast<float>(surface) - 1.0f;
                vy_ = -2.2f;
                size_ = 1.8f;
            }
            break;
        case Stage::rebound:
            vy_ += 0.12f;
            y_ += vy_;
            if (y_ >= static_cast<float>(surface) && vy_ > 0.0f) {
                kit::pushVelocity(c, spoutX_, static_cast<float>(surface) + 2.0f, 4.0f, 20.0f);
                stage_ = Stage::swelling;
                size_ = 0.0f;
                spoutX_ = kit::clampf(spoutX_ + static_cast<float>(c.random(-6, 6)), 30.0f, n - 30.0f);
            }
            break;
        }
        // The drop: round while it hangs, stretched as it falls.
        const float stretch = stage_ == Stage::swelling ? 1.0f : 1.0f + kit::clampf(vy_ * 0.25f, 0.0f, 2.0f);
        for (int k = 0; k < 4; ++k) {
            kit::fillDisc(c, spoutX_, y_ - k * size_ * (stretch - 1.0f) * 0.5f, size_ * (1.0f - k * 0.15f),
                          drop);
        }
        kit::paint(c, kit::roundCell(spoutX_ - size_ * 0.4f), kit::roundCell(y_ - size_ * 0.4f), kit::white);
        // The tap: a pipe from the top with a rounded spout.
        const kit::Rgb metal = kit::fromLevels(170, 170, 180), dark = kit::fromLevels(70, 70, 80);
        kit::fillRect(c, spoutX_ - 5.0f, 0.0f, spoutX_ + 6.0f, spoutY - 3.0f, dark);
        kit::fillRect(c, spoutX_ - 4.0f, 0.0f, spoutX_ + 5.0f, spoutY - 3.0f, metal);
        kit::fillRect(c, spoutX_ - 3.0f, spoutY - 3.0f, spoutX_ + 4.0f, spoutY + 1.0f, metal);
        kit::drawLine(c, spoutX_ + 2.0f, 0.0f, spoutX_ + 2.0f, spoutY, kit::fromLevels(230, 230, 240));
        kit::fillRect(c, spoutX_ - 12.0f, 6.0f, spoutX_ + 13.0f, 9.0f, metal);
        // The water line catches the light.
        kit::drawLine(c, 0.0f, static_cast<float>(surface), n - 1.0f, static_cast<float>(surface),
                      kit::fromLevels(120, 190, 230), kit::Blend::max);
    }

  private:
    static constexpr kit::Rgb water = kit::fromLevels(20, 50, 110);
    enum class Stage { swelling, falling, rebound };
    Stage stage_ = Stage::swelling;
    float size_ = 0.0f;
    float y_ = 0.0f;
    float vy_ = 0.0f;
    float spoutX_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Drip);

} // namespace glowfield
