// Check: a checklist on ruled paper. Each message is written out letter by letter beside an empty box, then
// the box is ticked with a swelling two-stroke mark whose flourish sends a ripple across the page; when the
// page is full, the lines scroll up to make room for the next.
#include <cmath>
#include <cstring>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Check : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c, 300.0f, 0.0f);
        first_ = c.random(0, kit::messageTotal() - 1);
        lines_ = 0;
        typed_ = 0;
        tickAge_ = -1;
        scroll_ = 0.0f;
    }

    void step(EffectContext& c) override {
        kit::tameField(c, 300.0f, 20.0f);
        kit::scaleVelocities(c, 0.9f);
        const float n = static_cast<float>(c.n);
        const float pitch = n * 0.19f, height = n * 0.085f, top = n * 0.08f;
        const float boxX = n * 0.06f, textX = n * 0.2f;
        const char* current = kit::message(first_ + lines_);
        const int length = static_cast<int>(std::strlen(current));
        // Writing, then ticking, then the next line; the page scrolls while the list is past its foot.
        if (typed_ < length * 4) {
            ++typed_;
        } else if (tickAge_ < 0) {
            tickAge_ = 0;
        } else if (tickAge_ < 40) {
            ++tickAge_;
            if (tickAge_ == 12) {
                const float y = top + lines_ * pitch - scroll_ + height * 0.5f;
                kit::balancedPush(c, boxX + height * 0.5f, y, height * 0.6f, 9.0f);
            }
        } else {
            ++lines_;
            typed_ = 0;
            tickAge_ = -1;
        }
        const float wanted = lines_ > 4 ? (lines_ - 4) * pitch : 0.0f;
        scroll_ += (wanted - scroll_) * 0.08f;
        if (lines_ > 1000) {
            // Keep the counters small: the view is the same once the old lines have scrolled away.
            lines_ -= 12;
            first_ += 12;
            scroll_ -= 12 * pitch;
        }
        drawPaper(c, pitch, top);
        const kit::Rgb ink = kit::fromLevels(30, 40, 110), tickInk = kit::fromLevels(200, 30, 40);
        for (int line = 0; line <= lines_; ++line) {
            const float y = top + line * pitch - scroll_;
            if (y < -pitch || y > n) {
                continue;
            }
            // The box.
            const float bx = boxX, by = y;
            const float xs[4] = {bx, bx + height, bx + height, bx};
            const float ys[4] = {by, by, by + height, by + height};
            for (int k = 0; k < 4; ++k) {
                kit::drawThickLine(c, xs[k], ys[k], xs[(k + 1) % 4], ys[(k + 1) % 4], 0.7f, ink);
            }
            const char* text = kit::message(first_ + line);
            const int shown = line < lines_ ? 99 : typed_ / 4;
            char part[32] = {};
            for (int k = 0; k < 31 && text[k] != '\0' && k < shown; ++k) {
                part[k] = text[k];
            }
            const float textHeight = kit::clampf(
                (n - textX - 4.0f) / (static_cast<float>(std::strlen(text)) * 0.95f), 6.0f, height);
            kit::drawText(c, part, textX, y + (height - textHeight) * 0.5f, textHeight, ink, 0.0f, 0.7f);
            // The tick: a short stroke down, then a long one up and out, swelling as it lands.
            const int age = line < lines_ ? 40 : tickAge_;
            if (age >= 0) {
                const float first = kit::clampf(age / 6.0f, 0.0f, 1.0f);
                const float second = kit::clampf((age - 6) / 8.0f, 0.0f, 1.0f);
                const float swell =
                    1.0f + 0.6f *
                               kit::clampf(1.0f - kit::clampf((age - 14) / 14.0f, 0.0f, 1.0f), 0.0f, 1.0f) *
                               (age >= 14 ? 1.0f : 0.0f);
                const float ax = bx + height * 0.15f, ay = by + height * 0.5f;
                const float mx = bx + height * 0.42f, my = by + height * 0.85f;
                const float ex = bx + height * 1.2f, ey = by - height * 0.35f;
                kit::drawThickLine(c, ax, ay, ax + (mx - ax) * first, ay + (my - ay) * first, 1.1f * swell,
                                   tickInk);
                if (second > 0.0f) {
                    kit::drawThickLine(c, mx, my, mx + (ex - mx) * second, my + (ey - my) * second,
                                       1.1f * swell, tickInk);
                }
            }
        }
    }

  private:
    // Cream paper with blue rules under each line and a red margin, pulled back each frame so ripples fade.
    void drawPaper(EffectContext& c, float pitch, float top) {
        const kit::Rgb paper = kit::fromLevels(246, 242, 226), rule = kit::fromLevels(150, 180, 230);
        const kit::Rgb margin = kit::fromLevels(230, 120, 120);
        const float n = static_cast<float>(c.n);
        const int marginX = kit::toCell(n * 0.16f);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float rowY = y - top + scroll_ - pitch * 0.72f;
                const float phase = rowY / pitch - std::floor(rowY / pitch);
                kit::Rgb colour = phase * pitch < 1.0f ? rule : paper;
                if (x == marginX || x == marginX + 1) {
                    colour = margin;
                }
                kit::blendCell(c, x, y, colour, 0.3f);
            }
        }
    }

    int first_ = 0;
    int lines_ = 0;
    int typed_ = 0;
    int tickAge_ = -1;
    float scroll_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Check);

} // namespace glowfield
