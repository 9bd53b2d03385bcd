// LooneyTunes: a tune on a scrolling five-line staff. Notes slide in from the right and hop from line to line
// as the melody goes, each landing sending a ripple out over the curtain beyond the staff.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class LooneyTunes : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        for (int& p : tune_) {
            p = c.random(0, 10);
        }
        for (int k = 1; k < tuneLength; ++k) { // mostly steps, sometimes a leap, as tunes go
            if (c.random() % 3 != 0) {
                tune_[k] = kit::wrap(tune_[k - 1] + c.random(-2, 2), 11);
            }
        }
    }

    void step(EffectContext& c) override {
        const int n = c.n;
        const float nf = static_cast<float>(n);
        const float s = c.scale;
        const int time = static_cast<int>(c.framesSinceStart) + 1;
        const float t = static_cast<float>(time);
        kit::scaleVelocities(c, 0.996f);
        // The paper is set every frame while its velocities are not, so the wave step would pump them (and
        // through them the curtain) without bound; taming now and then keeps the ripples and drops the
        // excess.
        kit::tameNowAndThen(c, 400.0f, 60.0f);
        const float gap = 7.0f * s;
        const float top = nf * 0.5f - 2.0f * gap, bottom = nf * 0.5f + 2.0f * gap;
        const float bandTop = top - 3.5f * gap, bandBottom = bottom + 3.5f * gap;
        // A red curtain outside the band, only drawn back slowly so ripples travel over it; the band itself
        // is pale paper, set every frame.
        for (int x = 0; x < n; ++x) {
            const kit::Column col = kit::column(c, x);
            const float fold = fastSin(static_cast<float>(x) * 0.25f / s);
            for (int y = 0; y < n; ++y) {
                const float fy = static_cast<float>(y);
                if (fy >= bandTop && fy <= bandBottom) {
                    col.set(y, kit::fromLevels(240, 232, 210));
                } else {
                    col.blend(y, kit::fromLevels(150 + truncToInt(50.0f * fold), 20, 35),
                              time < 40 ? 0.15f : 0.03f);
                }
            }
        }
        kit::fillRect(c, 0.0f, bandTop - 1.0f * s, nf, bandTop, kit::fromLevels(200, 160, 40));
        kit::fillRect(c, 0.0f, bandBottom, nf, bandBottom + 1.0f * s, kit::fromLevels(200, 160, 40));
        for (int l = 0; l < 5; ++l) {
            const float y = top + static_cast<float>(l) * gap;
            kit::drawLine(c, 0.0f, y, nf, y, kit::fromLevels(30, 30, 40));
        }

        // Notes every 'spacing' cells scroll left; each note's pitch hops to the next of the tune every beat.
        const float spacing = 24.0f * s;
        // With music the notes hop to the next of the tune on every beat, landing a few frames after it, and
        // the staff scrolls on faster as the music grows loud.
        const bool heard = c.sound.heard();
        if (heard) {
            heardBeats_ += c.sound.beat ? 1 : 0;
            travelled_ += 0.6f * s * (1.0f + 1.5f * c.sound.level);
            travelled_ = travelled_ < 100000.0f ? travelled_ : 0.0f;
        }
        const uint32_t sinceBeat = c.sound.framesSinceBeat < 10u ? c.sound.framesSinceBeat : 10u;
        const float scroll = heard ? travelled_ : t * 0.6f * s;
        const int beat = 30;
        const int beats = heard ? heardBeats_ : time / beat;
        const float u = heard ? static_cast<float>(sinceBeat) / 10.0f
                              : static_cast<float>(time % beat) / static_cast<float>(beat);
        const bool landed = heard ? sinceBeat == 6u : time % beat == beat * 6 / 10;
        const int first = kit::toCell(scroll / spacing);
        for (int k = first; k < first + kit::toCell(nf / spacing) + 2; ++k) {
            const float x = static_cast<float>(k) * spacing - scroll + 8.0f * s;
            const int from = tune_[kit::wrap(k + beats, tuneLength)],
                      to = tune_[kit::wrap(k + beats + 1, tuneLength)];
            const float hop = u < 0.6f ? u / 0.6f : 1.0f;
            const float pitch = kit::lerp(static_cast<float>(from), static_cast<float>(to), hop);
            const float lift = 4.0f * gap * 0.5f * hop * (1.0f - hop) * 4.0f * 0.25f;
            const float y = bottom + gap - pitch * gap * 0.5f - lift;
            if (landed) {
                // Landed: a ripple on the curtain above or below, wherever the note is nearer.
                const float ry = y < nf * 0.5f ? bandTop - 6.0f * s : bandBottom + 6.0f * s;
                kit::balancedPush(c, x, ry, 5.0f * s, y < nf * 0.5f ? 20.0f : -20.0f);
            }
            drawNote(c, x, y, gap, k % 3 == 0, s);
        }
    }

  private:
    static constexpr int tuneLength = 64;

    static void drawNote(const EffectContext& c, float x, float y, float gap, bool flag, float s) {
        const kit::Rgb ink = kit::fromLevels(15, 15, 25);
        // A tilted oval head.
        const float a = gap * 0.7f, b = gap * 0.48f;
        const float ca = fastCos(-0.4f), sa = fastSin(-0.4f);
        for (int px = kit::toCell(x - a - 1.0f); px <= kit::toCell(x + a + 1.0f); ++px) {
            for (int py = kit::toCell(y - a - 1.0f); py <= kit::toCell(y + a + 1.0f); ++py) {
                const float dx = static_cast<float>(px) - x, dy = static_cast<float>(py) - y;
                const float u = (dx * ca + dy * sa) / a, v = (-dx * sa + dy * ca) / b;
                if (u * u + v * v <= 1.0f) {
                    kit::paint(c, px, py, ink);
                }
            }
        }
        const float sx = x + a * 0.85f;
        kit::drawThickLine(c, sx, y, sx, y - gap * 3.5f, 0.5f * s, ink);
        if (flag) {
            kit::drawThickLine(c, sx, y - gap * 3.5f, sx + gap * 1.1f, y - gap * 2.2f, 0.7f * s, ink);
            kit::drawThickLine(c, sx, y - gap * 2.8f, sx + gap * 1.1f, y - gap * 1.5f, 0.7f * s, ink);
        }
    }

    int tune_[tuneLength] = {};
    int heardBeats_ = 0;     // the music's beats heard so far
    float travelled_ = 0.0f; // how far the staff has scrolled while music played
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(LooneyTunes);

} // namespace glowfield
