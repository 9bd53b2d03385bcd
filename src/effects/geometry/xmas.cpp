// Xmas: fairy lights. Three sagging garlands of bulbs hang across a dark room, blinking in chase patterns
// that change every few seconds, under a twinkling star, with glints of tinsel; each bulb's glow pulses
// softly into the field as it switches.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Xmas : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (bool& b : lit_) {
            b = false;
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::pullColours(c, kit::fromLevels(8, 12, 30), 0.25f);
        kit::scaleVelocities(c, 0.9f);

        const kit::Rgb bulbColours[5] = {kit::fromLevels(255, 40, 40), kit::fromLevels(40, 255, 80),
                                         kit::fromLevels(60, 110, 255), kit::fromLevels(255, 210, 40),
                                         kit::fromLevels(255, 70, 220)};
        const int pattern = (time / 240) % 4;
        // With music the lights chase one bulb along on every onset and the star throbs with the bass.
        const bool heard = c.sound.heard();
        onsets_ += heard && c.sound.onset ? 1 : 0;
        int bulb = 0;
        for (int g = 0; g < garlands; ++g) {
            const float y0 = n * (0.28f + 0.22f * static_cast<float>(g));
            const float sag = n * (0.12f + 0.02f * static_cast<float>(g));
            const float swing = 2.0f * s * fastSin(t * 0.03f + static_cast<float>(g));
            // The wire: a parabola from edge to edge, drawn twisted.
            float lx = 0.0f, ly = y0;
            for (int k = 1; k <= 40; ++k) {
                const float u = static_cast<float>(k) / 40.0f;
                const float x = u * n, y = y0 + sag * 4.0f * u * (1.0f - u) + swing * 4.0f * u * (1.0f - u);
                kit::drawThickLine(c, lx, ly, x, y, 0.8f * s, kit::fromLevels(20, 70, 30));
                lx = x;
                ly = y;
            }
            for (int k = 0; k < perGarland; ++k, ++bulb) {
                const float u = (static_cast<float>(k) + 0.5f) / perGarland;
                const float x = u * n, y = y0 + (sag + swing) * 4.0f * u * (1.0f - u) + 3.0f * s;
                bool on = false;
                switch (heard ? -1 : pattern) {
                case -1:
                    on = (k + g + onsets_) % 4 == 0 || (k + g + onsets_ / 4) % 9 == 0;
                    break;
                case 0: // a chase running along
                    on = (k + time / 5) % 4 == 0;
                    break;
                case 1: // alternate halves
                    on = (k + time / 25) % 2 == 0;
                    break;
                case 2: // twinkle
                    on = fastSin(static_cast<float>(bulb) * 7.3f +
                                 t * (0.05f + 0.01f * static_cast<float>(k % 5))) > 0.1f;
                    break;
                default: // all on, breathing colour groups
                    on = fastSin(t * 0.08f + static_cast<float>(k % 5)) > -0.5f;
                    break;
                }
                const kit::Rgb colour = bulbColours[(k + g) % 5];
                if (on != lit_[bulb]) {
                    // A switched bulb gives a pulse, the opposite when it switches off, so it sums to
                    // nothing.
                    kit::pushVelocity(c, x, y, 4.0f * s, on ? 1.2f : -1.2f);
                    lit_[bulb] = on;
                }
                kit::drawLine(c, x, y - 3.0f * s, x, y - 1.5f * s, kit::fromLevels(90, 90, 70));
                if (on) {
                    kit::softDisc(c, x, y, 9.0f * s,
                                  {(colour.r + 127.0f) * 0.45f, (colour.g + 127.0f) * 0.45f,
                                   (colour.b + 127.0f) * 0.45f});
                    kit::fillDisc(c, x, y, 1.9f * s, colour);
                    kit::paint(c, kit::roundCell(x - 0.5f), kit::roundCell(y - 1.0f), kit::white);
                } else {
                    kit::fillDisc(c, x, y, 1.7f * s, kit::shade(colour, 0.3f));
                }
            }
        }

        // The star: five points, rays that turn and pulse.
        const float sx = n * 0.5f, sy = n * 0.1f;
        float xs[10], ys[10];
        for (int k = 0; k < 10; ++k) {
            const float a = -kit::pi * 0.5f + kit::pi * static_cast<float>(k) / 5.0f;
            const float r = (k % 2 == 0 ? 10.0f : 4.0f) * s;
            xs[k] = sx + r * fastCos(a);
            ys[k] = sy + r * fastSin(a);
        }
        const float pulse = heard ? c.sound.bass : 0.5f + 0.5f * fastSin(t * 0.1f);
        for (int k = 0; k < 8; ++k) {
            const float a = t * 0.01f + kit::pi * static_cast<float>(k) / 4.0f;
            const float r = (12.0f + 8.0f * pulse * static_cast<float>(k % 2)) * s;
            kit::drawLine(c, sx, sy, sx + r * fastCos(a), sy + r * fastSin(a), kit::fromLevels(255, 240, 160),
                          kit::Blend::max);
        }
        kit::fillPolygon(c, xs, ys, 10, kit::fromLevels(255, 215, 60));
        kit::drawPolygon(c, xs, ys, 10, kit::fromLevels(255, 255, 200));

        // Tinsel glints: little crosses that flash for a frame.
        for (int k = 0; k < 14; ++k) {
            const int x = c.random(0, c.n - 1), y = c.random(c.n / 5, c.n - 1);
            const kit::Rgb glint = k % 2 ? kit::fromLevels(255, 255, 255) : kit::fromLevels(220, 230, 255);
            kit::paint(c, x, y, glint);
            kit::paint(c, x + 1, y, kit::shade(glint, 0.6f));
            kit::paint(c, x - 1, y, kit::shade(glint, 0.6f));
            kit::paint(c, x, y + 1, kit::shade(glint, 0.6f));
            kit::paint(c, x, y - 1, kit::shade(glint, 0.6f));
        }
    }

  private:
    static constexpr int garlands = 3;
    static constexpr int perGarland = 14;
    bool lit_[garlands * perGarland] = {};
    int onsets_ = 0; // the music's onsets heard so far
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Xmas);

} // namespace glowfield
