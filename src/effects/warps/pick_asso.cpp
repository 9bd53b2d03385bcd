// PickAsso: a cubist portrait. A simple face is stamped into the field, the picture is captured, and eight
// random cuts break it into facets; each facet shows the picture from its own offset, mirrored or turned a
// quarter, tinted from a small painter's palette and drifting a little, with dark lines along the cuts.
// Every three seconds the portrait is recut.
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_image.h"

namespace glowfield {

namespace {

const kit::Rgb palette[6] = {kit::fromLevels(200, 140, 60), kit::fromLevels(60, 90, 160),
                             kit::fromLevels(190, 70, 50),  kit::fromLevels(220, 200, 150),
                             kit::fromLevels(70, 120, 90),  kit::fromLevels(120, 80, 140)};

struct Cut {
    float px = 0.0f, py = 0.0f, nx = 1.0f, ny = 0.0f; // a point on the line and its normal
};

class PickAsso : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        recut(c);
    }

    void step(EffectContext& c) override {
        const int age = static_cast<int>(c.framesSinceStart) + 1;
        if (age % 150 == 0 || facets_.size() != static_cast<size_t>(c.n) * c.n) {
            recut(c);
        }
        kit::scaleVelocities(c, 0.0f);
        const float h = static_cast<float>(c.n) * 0.5f;
        const float t = static_cast<float>(age) * 0.04f;
        float drift[256];
        for (int f = 0; f < 256; ++f) {
            drift[f] = 3.0f * fastSin(t + static_cast<float>(f));
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const size_t k = static_cast<size_t>(x) * c.n + y;
                const unsigned f = facets_[k];
                const float nearest = nearest_[k];
                float u = x - h, v = y - h;
                if (f & 1u) {
                    u = -u; // mirrored
                }
                if (f & 2u) {
                    const float w = u; // a quarter turn
                    u = -v;
                    v = w;
                }
                const float sx = h + u + offsets_[f % 16][0] + drift[f];
                const float sy = h + v + offsets_[f % 16][1] - drift[f];
                kit::Rgb col = image_.sample(sx, sy);
                col = kit::mix(col, palette[(f >> 2) % 6], 0.35f);
                // Flat planes read as faceted when each is lit a little differently.
                col = kit::shade(col, 0.8f + 0.25f * static_cast<float>((f >> 5) & 3) / 3.0f);
                if (nearest < 1.2f) {
                    col = kit::mix(col, kit::fromLevels(20, 18, 25), 1.0f - nearest / 1.2f * 0.5f);
                }
                kit::paint(c, x, y, col);
            }
        }
    }

  private:
    static constexpr int cutCount = 8;

    void recut(EffectContext& c) {
        stampFace(c);
        image_.capture(c);
        const float n = static_cast<float>(c.n);
        for (int i = 0; i < cutCount; ++i) {
            const float a = c.randomUnit() * kit::pi;
            cuts_[i].px = n * (0.2f + 0.6f * c.randomUnit());
            cuts_[i].py = n * (0.2f + 0.6f * c.randomUnit());
            cuts_[i].nx = fastCos(a);
            cuts_[i].ny = fastSin(a);
        }
        // The facet of every cell (its side of each cut, scattered over 256 numbers) and its distance to the
        // nearest cut, fixed until the next recut.
        facets_.resize(static_cast<size_t>(c.n) * c.n);
        nearest_.resize(facets_.size());
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                unsigned facet = 0;
                float nearest = 1e9f;
                for (int i = 0; i < cutCount; ++i) {
                    const Cut& k = cuts_[i];
                    const float d = (x - k.px) * k.nx + (y - k.py) * k.ny;
                    facet = facet * 2u + (d > 0.0f ? 1u : 0u);
                    nearest = absf(d) < nearest ? absf(d) : nearest;
                }
                facets_[static_cast<size_t>(x) * c.n + y] = static_cast<uint8_t>((facet * 2654435761u) >> 24);
                nearest_[static_cast<size_t>(x) * c.n + y] = nearest;
            }
        }
        for (auto& o : offsets_) {
            o[0] = (c.randomUnit() - 0.5f) * n * 0.25f;
            o[1] = (c.randomUnit() - 0.5f) * n * 0.25f;
        }
    }

    void stampFace(EffectContext& c) {
        // Head, eyes, nose and mouth, so there is always a face to fracture.
        const float n = static_cast<float>(c.n), h = n * 0.5f;
        const kit::Rgb skin = palette[c.random(0, 5)];
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float u = (x - h) / (n * 0.3f), v = (y - h) / (n * 0.4f);
                if (u * u + v * v < 1.0f) {
                    kit::blendCell(c, x, y, kit::shade(skin, 0.8f + 0.2f * u), 0.85f);
                }
            }
        }
        const kit::Rgb ink = kit::fromLevels(25, 20, 30);
        for (int side = -1; side <= 1; side += 2) {
            const float ex = h + side * n * 0.12f, ey = h - n * 0.1f;
            kit::fillDisc(c, ex, ey, n * 0.06f, kit::fromLevels(240, 235, 220));
            kit::fillDisc(c, ex + side * 2.0f, ey, n * 0.03f, ink);
        }
        kit::drawThickLine(c, h, h - n * 0.05f, h - n * 0.04f, h + n * 0.12f, 1.2f, ink);
        kit::drawThickLine(c, h - n * 0.04f, h + n * 0.12f, h + n * 0.03f, h + n * 0.12f, 1.2f, ink);
        for (int i = 0; i < 10; ++i) {
            const float a0 = 0.3f + i * 0.25f, a1 = a0 + 0.25f;
            kit::drawThickLine(c, h + fastCos(a0) * n * 0.12f, h + n * 0.12f + fastSin(a0) * n * 0.08f,
                               h + fastCos(a1) * n * 0.12f, h + n * 0.12f + fastSin(a1) * n * 0.08f, 1.5f,
                               kit::fromLevels(170, 40, 50));
            if (a1 > 2.8f) {
                break;
            }
        }
    }

    Cut cuts_[cutCount];
    float offsets_[16][2] = {};
    warps::ColourImage image_;
    std::vector<uint8_t> facets_;
    std::vector<float> nearest_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(PickAsso);

} // namespace glowfield
