// Neon: a neon sign on a dark brick wall. The message's letters are glass tubes with a bright core and a soft
// halo; they strike up one by one with a flicker, the gas pulses along the lit ones, now and then one
// misfires with a buzz, and when the sign is full it goes dark and comes back in a new colour with the next
// message.
#include <cstring>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Neon : public Effect {
  public:
    void start(EffectContext& c) override {
        messageIndex_ = c.random(0, kit::messageTotal() - 1);
        hue_ = c.randomUnit();
        begin();
    }

    void step(EffectContext& c) override {
        ++age_;
        const char* text = kit::message(messageIndex_);
        const int length = static_cast<int>(std::strlen(text));
        const float n = static_cast<float>(c.n);
        const float height = kit::clampf(n * 0.9f / (length * 0.95f), 8.0f, n * 0.24f);
        const float width = kit::textWidth(text, height);
        const float x0 = (n - width) * 0.5f, y0 = (n - height) * 0.5f;
        drawWall(c);
        // The backing board and its two hanging wires.
        kit::drawLine(c, x0 + width * 0.2f, 0.0f, x0 + width * 0.2f, y0 - height * 0.35f,
                      kit::fromLevels(60, 60, 60));
        kit::drawLine(c, x0 + width * 0.8f, 0.0f, x0 + width * 0.8f, y0 - height * 0.35f,
                      kit::fromLevels(60, 60, 60));
        kit::fillRect(c, x0 - height * 0.3f, y0 - height * 0.35f, x0 + width + height * 0.3f,
                      y0 + height * 1.35f, kit::fromLevels(22, 18, 24));
        const int lit = age_ / strikeFrames; // letters struck so far
        const bool dark = age_ > length * strikeFrames + holdFrames;
        if (age_ > length * strikeFrames + holdFrames + 30) {
            messageIndex_ = (messageIndex_ + 1 + c.random(0, kit::messageTotal() - 2)) % kit::messageTotal();
            hue_ += 0.3f + 0.4f * c.randomUnit();
            begin();
        }
        if (misfire_ > 0) {
            --misfire_;
        } else if (c.random() % 70 == 0) {
            misfire_ = c.random(3, 12);
            misfireLetter_ = c.random(0, length - 1);
        }
        const kit::Rgb tube = kit::hsv(hue_, 0.85f, 1.0f);
        // The sign's light pooled on the bricks, humming a little from frame to frame; a faint glow stays in
        // the glass while the sign is dark.
        const float share = dark ? 0.08f : kit::clampf(static_cast<float>(lit) / length, 0.1f, 1.0f);
        const float hum = 0.85f + 0.15f * c.randomUnit();
        for (int k = 0; k < 3; ++k) {
            kit::softDisc(c, x0 + width * (0.2f + 0.3f * k), y0 + height * 0.5f, width * 0.35f + height,
                          kit::shade(tube, 0.6f), 0.5f * share * hum);
        }
        for (int i = 0; i < length; ++i) {
            if (text[i] == ' ') {
                continue;
            }
            bool on = i < lit && !dark;
            if (i == lit && !dark) {
                on = c.random() % 3 == 0; // striking: it flickers before it holds
            }
            if (i == misfireLetter_ && misfire_ > 0) {
                on = c.random() % 2 == 0;
            }
            const float cx = x0 + height * 0.95f * (i + 0.5f), cy = y0 + height * 0.5f;
            if (on) {
                // The gas pulses along the sign, letter after letter, so that a lit sign is never still.
                const float pulse = 0.5f + 0.5f * fastSin(static_cast<float>(age_) * 0.12f - 0.9f * i);
                kit::drawLetter(c, text[i], cx, cy, height, kit::shade(tube, 0.33f + 0.24f * pulse), 0.0f,
                                height * 0.1f, kit::Blend::max);
                kit::drawLetter(c, text[i], cx, cy, height, kit::shade(tube, 0.65f + 0.3f * pulse), 0.0f,
                                height * 0.05f, kit::Blend::max);
                kit::drawLetter(c, text[i], cx, cy, height, kit::mix(tube, kit::white, 0.35f + 0.5f * pulse),
                                0.0f, 0.0f);
            } else {
                // An unlit tube: dull glass.
                kit::drawLetter(c, text[i], cx, cy, height, kit::fromLevels(70, 66, 74), 0.0f, 0.0f);
            }
        }
    }

  private:
    static constexpr int strikeFrames = 14;
    static constexpr int holdFrames = 220;

    void begin() {
        age_ = 0;
        misfire_ = 0;
        misfireLetter_ = -1;
    }

    // Dark bricks in staggered courses with darker mortar.
    void drawWall(EffectContext& c) {
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int course = y / 8;
                const int bx = (x + (course % 2) * 8) % 16;
                const bool mortar = y % 8 == 0 || bx == 0;
                const int tone = ((x + (course % 2) * 8) / 16 * 7 + course * 3) % 5;
                const kit::Rgb colour = mortar ? kit::fromLevels(24, 22, 24)
                                               : kit::fromLevels(58 + tone * 4, 30 + tone * 2, 28 + tone);
                kit::setSolidCell(c, x, y, colour);
            }
        }
    }

    int messageIndex_ = 0;
    int age_ = 0;
    int misfire_ = 0;
    int misfireLetter_ = -1;
    float hue_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Neon);

} // namespace glowfield
