// Uplink: a dish on a hill at the bottom left sends packets, little dashes of light, along a beam to a
// satellite on the right; as each letter's packets arrive, the message is assembled letter by letter in large
// type across the top. When it is complete it glows white, colours run along it and the satellite pings its
// acknowledgement back, then the next message begins.
#include <cstring>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Uplink : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c, 300.0f, 0.0f);
        messageIndex_ = c.random(0, kit::messageTotal() - 1);
        for (int i = 0; i < starCount; ++i) {
            starX_[i] = c.random(0, c.n - 1);
            starY_[i] = c.random(0, c.n * 2 / 3);
        }
        begin();
    }

    void step(EffectContext& c) override {
        ++age_;
        const float n = static_cast<float>(c.n);
        const char* text = kit::message(messageIndex_);
        const int length = static_cast<int>(std::strlen(text));
        const float dishX = n * 0.16f, dishY = n * 0.8f, satX = n * 0.82f, satY = n * 0.42f;
        // Packets leave every few frames while letters remain; each takes a fixed flight time.
        const int perLetter = 3, spacing = 6, flight = 45;
        const int sent = age_ / spacing;
        const int totalPackets = length * perLetter;
        const int arrived = age_ > flight ? (age_ - flight) / spacing + 1 : 0;
        const int lettersIn = (arrived < totalPackets ? arrived : totalPackets) / perLetter;
        const int doneAt = (totalPackets - 1) * spacing + flight + 4;
        if (age_ > doneAt + 100) {
            messageIndex_ = (messageIndex_ + 1) % kit::messageTotal();
            begin();
        }
        drawSky(c);
        // The beam: a faint dotted line, and the packets as bright dashes along it.
        const float dx = satX - dishX, dy = satY - dishY;
        for (int k = 0; k < 60; k += 2) {
            const float f = k / 60.0f;
            kit::paint(c, kit::roundCell(dishX + dx * f), kit::roundCell(dishY + dy * f),
                       kit::fromLevels(60, 80, 110), kit::Blend::max);
        }
        for (int p = 0; p < sent && p < totalPackets; ++p) {
            const int flown = age_ - p * spacing;
            if (flown < 0 || flown > flight) {
                continue;
            }
            const float f = static_cast<float>(flown) / flight, g = f - 0.06f;
            kit::drawThickLine(c, dishX + dx * g, dishY + dy * g, dishX + dx * f, dishY + dy * f, 2.2f,
                               kit::fromLevels(30, 90, 80), kit::Blend::max);
            kit::drawThickLine(c, dishX + dx * g, dishY + dy * g, dishX + dx * f, dishY + dy * f, 1.0f,
                               kit::fromLevels(140, 255, 200));
        }
        // Once the message is whole, the satellite acknowledges it: pings fly back down the beam.
        for (int q = 0; doneAt + q * spacing * 2 <= age_; ++q) {
            const int flown = age_ - doneAt - q * spacing * 2;
            if (flown > flight) {
                continue;
            }
            const float f = 1.0f - static_cast<float>(flown) / flight, g = f + 0.035f;
            kit::drawThickLine(c, dishX + dx * g, dishY + dy * g, dishX + dx * f, dishY + dy * f, 0.8f,
                               kit::fromLevels(255, 200, 110));
        }
        drawDish(c, dishX, dishY, satX, satY);
        drawSatellite(c, satX, satY, arrived > 0 && arrived <= totalPackets && (age_ % spacing) < 2);
        // The message so far; a flash of colour once it is whole.
        const float height = kit::clampf(n * 0.94f / (length * 0.95f), 8.0f, n * 0.16f);
        const float width = kit::textWidth(text, height);
        char shown[32] = {};
        for (int k = 0; k < lettersIn && k < 31; ++k) {
            shown[k] = text[k];
        }
        kit::Rgb ink = kit::fromLevels(150, 255, 200);
        const int since = age_ - doneAt;
        if (since > 0) {
            // A glow of white as the last letter lands, fading into colour.
            ink = kit::mix(kit::hsv(0.35f, 0.6f, 1.0f), kit::white, 1.0f - static_cast<float>(since) / 50.0f);
        }
        const float x0 = (n - width) * 0.5f, y0 = n * 0.06f;
        if (since >= 50) {
            // The whole message: colours run along it while it is shown.
            for (int k = 0; k < length; ++k) {
                const kit::Rgb hue = kit::hsv(since * 0.025f + k * 0.08f + 0.35f, 0.6f, 1.0f);
                const float cx = x0 + height * 0.95f * (k + 0.5f), cy = y0 + height * 0.5f;
                kit::drawLetter(c, text[k], cx, cy, height, kit::shade(hue, 0.35f), 0.0f, height * 0.12f);
            }
            for (int k = 0; k < length; ++k) {
                const kit::Rgb hue = kit::hsv(since * 0.025f + k * 0.08f + 0.35f, 0.6f, 1.0f);
                const float cx = x0 + height * 0.95f * (k + 0.5f), cy = y0 + height * 0.5f;
                kit::drawLetter(c, text[k], cx, cy, height, hue, 0.0f, height * 0.04f);
            }
        } else {
            kit::drawText(c, shown, x0, y0, height, kit::shade(ink, 0.35f), 0.0f, height * 0.12f);
            kit::drawText(c, shown, x0, y0, height, ink, 0.0f, height * 0.04f);
        }
        // The letter being received: its cell blinks as a cursor.
        if (lettersIn < length && (age_ / 8) % 2 == 0) {
            kit::fillRect(c, x0 + lettersIn * height * 0.95f + height * 0.1f, y0 + height * 0.9f,
                          x0 + (lettersIn + 1) * height * 0.95f - height * 0.1f, y0 + height, ink);
        }
    }

  private:
    static constexpr int starCount = 90;

    void begin() { age_ = 0; }

    void drawSky(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float v = y / n;
                // A hill under the dish.
                const float hx = (x - n * 0.16f) / (n * 0.5f);
                const bool hill = v > 0.84f + 0.1f * hx * hx;
                kit::setSolidCell(c, x, y,
                                  hill ? kit::fromLevels(20, 40, 26)
                                       : kit::fromLevels(4, 6 + truncToInt(30 * v), 20 + truncToInt(50 * v)));
            }
        }
        for (int i = 0; i < starCount; ++i) {
            const int level = (i * 37 + age_ / 4) % 9 == 0 ? 120 : 200;
            kit::paint(c, starX_[i], starY_[i], kit::fromLevels(level, level, level + 20));
        }
    }

    void drawDish(EffectContext& c, float x, float y, float tx, float ty) {
        const kit::Rgb metal = kit::fromLevels(190, 196, 206), shadow = kit::fromLevels(90, 96, 110);
        kit::drawThickLine(c, x, y, x - 6.0f, y + 14.0f, 1.0f, shadow);
        kit::drawThickLine(c, x, y, x + 6.0f, y + 14.0f, 1.0f, shadow);
        // The bowl faces the satellite: an arc across the aim.
        const float a = kit::angleOf(tx - x, ty - y);
        const float px = -fastSin(a), py = fastCos(a);
        float lastX = 0.0f, lastY = 0.0f;
        for (int k = -8; k <= 8; ++k) {
            const float s = k / 8.0f;
            const float bx = x + px * s * 13.0f - fastCos(a) * (1.0f - s * s) * 5.0f;
            const float by = y + py * s * 13.0f - fastSin(a) * (1.0f - s * s) * 5.0f;
            if (k > -8) {
                kit::drawThickLine(c, lastX, lastY, bx, by, 1.3f, metal);
            }
            lastX = bx;
            lastY = by;
        }
        kit::drawLine(c, x, y, x + fastCos(a) * 8.0f, y + fastSin(a) * 8.0f, metal);
        kit::fillDisc(c, x + fastCos(a) * 8.0f, y + fastSin(a) * 8.0f, 1.2f, kit::fromLevels(255, 120, 80));
    }

    void drawSatellite(EffectContext& c, float x, float y, bool receiving) {
        const kit::Rgb panel = kit::fromLevels(50, 80, 170), frame = kit::fromLevels(170, 170, 190);
        kit::fillRect(c, x - 24.0f, y - 5.0f, x - 7.0f, y + 5.0f, panel);
        kit::fillRect(c, x + 7.0f, y - 5.0f, x + 24.0f, y + 5.0f, panel);
        for (int k = 0; k < 4; ++k) {
            kit::drawLine(c, x - 24.0f + k * 4.25f, y - 5.0f, x - 24.0f + k * 4.25f, y + 4.0f, frame);
            kit::drawLine(c, x + 7.0f + k * 4.25f, y - 5.0f, x + 7.0f + k * 4.25f, y + 4.0f, frame);
        }
        kit::fillRect(c, x - 6.0f, y - 7.0f, x + 6.0f, y + 7.0f, kit::fromLevels(210, 180, 80));
        kit::fillRect(c, x - 6.0f, y - 7.0f, x + 6.0f, y - 5.0f, kit::fromLevels(250, 230, 140));
        kit::drawLine(c, x, y + 7.0f, x - 4.0f, y + 12.0f, frame);
        kit::fillDisc(c, x - 4.0f, y + 12.0f, receiving ? 2.5f : 1.2f,
                      receiving ? kit::fromLevels(200, 255, 220) : kit::fromLevels(120, 120, 140));
    }

    int messageIndex_ = 0;
    int age_ = 0;
    int starX_[starCount] = {};
    int starY_[starCount] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Uplink);

} // namespace glowfield
