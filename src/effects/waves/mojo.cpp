// Mojo: a drum machine. A 16 x 16 grid of pads is played column by column; every pad that sounds lights up
// and kicks a ripple (a pulse in and straight back out) through the others, and the pattern mutates each bar.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Mojo : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::fillColours(c, kit::fromLevels(16, 14, 24), true);
        for (bool& pad : pads_) {
            pad = c.random() % 100 < 22;
        }
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart;
        kit::tameField(c, 300.0f, 30.0f);
        kit::pullColours(c, kit::fromLevels(16, 14, 24), 0.03f);
        kit::scaleVelocities(c, 0.992f);
        const float pitch = c.n / static_cast<float>(side);
        const float pad = pitch * 0.78f;
        // With music the playhead steps on the onsets, so the machine plays along, each hit as strong as its
        // onset; a hit's pulse goes back out two frames later as without music.
        const bool heard = c.sound.heard();
        const bool onStep = heard && c.sound.onset && sincePush_ >= 3u;
        heardSteps_ += onStep ? 1u : 0u;
        if (onStep) {
            sincePush_ = 0u;
            hit_ = 6.0f + 14.0f * c.sound.onsetStrength;
        } else if (heard) {
            sincePush_ += sincePush_ < 100u ? 1u : 0u;
        }
        const int column = static_cast<int>(((heard ? heardSteps_ : tick / stepFrames)) % side);
        const bool newStep = heard ? onStep : tick % stepFrames == 0;
        const bool backOut = heard ? sincePush_ == 2u : tick % stepFrames == 2;
        const int backColumn = heard ? static_cast<int>(pushedColumn_) : (column + side - 1) % side;
        const float hit = heard ? hit_ : 12.0f;
        if (onStep) {
            pushedColumn_ = static_cast<uint32_t>(column);
        }
        if (newStep && column == 0 && tick > 0) {
            mutate(c);
        }
        for (int col = 0; col < side; ++col) {
            for (int row = 0; row < side; ++row) {
                const float x0 = col * pitch + (pitch - pad) * 0.5f, y0 = row * pitch + (pitch - pad) * 0.5f;
                const bool on = pads_[col * side + row];
                const float hue = row / static_cast<float>(side) * 0.8f;
                kit::Rgb colour = on ? kit::hsv(hue, 0.8f, 0.55f) : kit::fromLevels(50, 48, 60);
                if (col == column) {
                    colour = on ? kit::hsv(hue, 0.35f, 1.0f) : kit::fromLevels(90, 88, 110);
                    if (on && newStep) {
                        kit::pushVelocity(c, x0 + pad * 0.5f, y0 + pad * 0.5f, pad * 0.8f, hit);
                    }
                }
                if (on && col == backColumn && backOut) {
                    // The pulse goes back out, so each hit leaves the field's level where it was.
                    kit::pushVelocity(c, x0 + pad * 0.5f, y0 + pad * 0.5f, pad * 0.8f, -hit);
                }
                // Pads are blended, not set, so the ripples of other hits run across them.
                for (int x = kit::toCell(x0); x < kit::toCell(x0 + pad); ++x) {
                    for (int y = kit::toCell(y0); y < kit::toCell(y0 + pad); ++y) {
                        const bool rim = x == kit::toCell(x0) || y == kit::toCell(y0);
                        kit::blendCell(c, x, y, rim ? kit::shade(colour, 1.3f) : colour, on ? 0.7f : 0.45f);
                    }
                }
            }
        }
    }

  private:
    static constexpr int side = 16;
    static constexpr uint32_t stepFrames = 6;

    void mutate(EffectContext& c) {
        for (int k = 0; k < 7; ++k) {
            const int i = c.random(0, side * side - 1);
            pads_[i] = !pads_[i];
        }
    }

    bool pads_[side * side] = {};
    uint32_t heardSteps_ = 0;   // playhead steps taken on the music's onsets
    uint32_t sincePush_ = 100;  // frames since the last of them
    uint32_t pushedColumn_ = 0; // its column
    float hit_ = 12.0f;         // its strength
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Mojo);

} // namespace glowfield
