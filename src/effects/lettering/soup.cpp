// Soup: alphabet soup seen from above. Pasta letters float in a tomato soup in an orange bowl, turning slowly
// as a gentle current carries them round; the mouse stirs like a spoon, and now and then some letters drift
// together into a word from the messages before the current breaks it up again.
#include <array>
#include <cmath>
#include <cstring>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Soup : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c, 300.0f, 0.0f);
        for (Letter& l : letters_) {
            placeInBowl(c, l);
            l.letter = static_cast<char>('A' + c.random(0, 25));
            l.angle = c.randomUnit() * kit::twoPi;
            l.spin = (c.randomUnit() - 0.5f) * 0.02f;
        }
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
        wordLeft_ = 0;
    }

    void step(EffectContext& c) override {
        const uint32_t tick = c.framesSinceStart + 1;
        const float n = static_cast<float>(c.n);
        const float cx = n * 0.5f, cy = n * 0.5f, rx = n * 0.4f, ry = rx * 1.33f;
        const float t = static_cast<float>(tick % 1000000u);
        // Now and then a word forms: some letters take its letters and are steered to a line across the
        // middle.
        if (wordLeft_ == 0 && tick % 400u == 120u) {
            startWord(c);
        }
        if (wordLeft_ > 0) {
            --wordLeft_;
        }
        const float stirX = static_cast<float>(c.mouseX - lastMouseX_),
                    stirY = static_cast<float>(c.mouseY - lastMouseY_);
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
        for (int i = 0; i < count; ++i) {
            Letter& l = letters_[i];
            // The current: a slow swirl round the bowl with a wobble, plus the spoon's wake near the mouse.
            const float dx = l.x - cx, dy = (l.y - cy) / 1.33f;
            const float swirl = 0.25f + 0.1f * fastSin(t * 0.01f);
            float vx = -dy * swirl * 0.01f * 1.0f + 0.15f * fastSin(t * 0.02f + l.y * 0.05f);
            float vy = dx * swirl * 0.01f * 1.33f + 0.15f * fastCos(t * 0.017f + l.x * 0.05f);
            const float mx = l.x - c.mouseX, my = l.y - c.mouseY;
            if (mx * mx + my * my < 400.0f) {
                vx += stirX * 0.3f;
                vy += stirY * 0.3f;
            }
            if (wordLeft_ > 0 && i < wordLength_) {
                const float height = letterHeight * 1.2f;
                const float tx = cx - wordLength_ * height * 0.95f * 0.5f + (i + 0.5f) * height * 0.95f;
                const float ty = cy;
                vx += (tx - l.x) * 0.04f;
                vy += (ty - l.y) * 0.04f;
                l.angle *= 0.93f;
            } else {
                l.angle += l.spin;
            }
            l.x += vx;
            l.y += vy;
            // Keep inside the bowl: anything that reaches the rim, or goes astray, is set back in the soup.
            const float ex = (l.x - cx) / (rx - 8.0f), ey = (l.y - cy) / (ry - 10.0f);
            if (!(ex * ex + ey * ey < 1.0f)) {
                if (ex * ex + ey * ey < 1.6f) {
                    l.x = cx + (l.x - cx) * 0.97f;
                    l.y = cy + (l.y - cy) * 0.97f;
                } else {
                    placeInBowl(c, l);
                }
            }
        }
        drawBowl(c, cx, cy, rx, ry, t);
        for (int i = 0; i < count; ++i) {
            const Letter& l = letters_[i];
            const bool inWord = wordLeft_ > 0 && i < wordLength_;
            const float h = inWord ? letterHeight * 1.2f : letterHeight;
            kit::drawLetter(c, l.letter, l.x + 1.0f, l.y + 1.5f, h, kit::fromLevels(120, 40, 20), l.angle,
                            1.3f);
            kit::drawLetter(c, l.letter, l.x, l.y, h, kit::fromLevels(250, 220, 140), l.angle, 1.3f);
            kit::drawLetter(c, l.letter, l.x - 0.3f, l.y - 0.3f, h, kit::fromLevels(255, 245, 200), l.angle,
                            0.0f);
        }
    }

  private:
    static constexpr int count = 40;
    static constexpr float letterHeight = 13.0f;
    struct Letter {
        float x = 0.0f, y = 0.0f, angle = 0.0f, spin = 0.0f;
        char letter = 'A';
    };

    void placeInBowl(EffectContext& c, Letter& l) {
        const float n = static_cast<float>(c.n);
        const float a = c.randomUnit() * kit::twoPi, r = std::sqrt(c.randomUnit()) * 0.8f;
        l.x = n * 0.5f + r * n * 0.34f * fastCos(a);
        l.y = n * 0.5f + r * n * 0.34f * 1.33f * fastSin(a);
    }

    void startWord(EffectContext& c) {
        const char* m = kit::message(c.random(0, kit::messageTotal() - 1));
        int k = 0;
        while (m[k] != '\0' && m[k] != ' ' && k < 8) {
            letters_[k].letter = m[k];
            ++k;
        }
        wordLength_ = k;
        wordLeft_ = 200;
    }

    void drawBowl(EffectContext& c, float cx, float cy, float rx, float ry, float t) {
        swirl_.make(
            c.n, [&](float k) { return (k - cx) / rx * 6.0f + t * 0.01f; },
            [&](float k) { return fastSin((k - cy) / ry * 5.0f + t * 0.02f) * 1.5f; });
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = (x - cx) / rx, dy = (y - cy) / ry;
                const float d = dx * dx + dy * dy;
                kit::Rgb colour;
                if (d > 1.25f) {
                    // A checked tablecloth in blue and white.
                    const bool check = ((x / 12) + (y / 9)) % 2 == 0;
                    colour = check ? kit::fromLevels(60, 90, 170) : kit::fromLevels(225, 228, 240);
                } else if (d > 1.0f) {
                    // The bowl's rim: glazed orange, lit from the top left.
                    const float light = 0.75f - 0.35f * (dx + dy);
                    colour = kit::shade(kit::fromLevels(240, 130, 30), kit::clampf(light, 0.4f, 1.15f));
                } else {
                    // Soup: tomato red with slow oily swirls.
                    // sin(a + b) from per-column and per-row tables: a across, b down.
                    const float swirl = swirl_.at(x, y);
                    colour = kit::fromLevels(200 + truncToInt(20 * swirl), 60 + truncToInt(12 * swirl), 30);
                    if (d > 0.9f) {
                        colour = kit::shade(colour, 0.8f);
                    }
                }
                kit::setSolidCell(c, x, y, colour);
            }
        }
    }

    std::array<Letter, count> letters_{};
    kit::SplitSine swirl_;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
    int wordLeft_ = 0;
    int wordLength_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Soup);

} // namespace glowfield
