// Hairy Tiles: a wall of big furry tiles, each with its own nap of long tapering hairs. Every few seconds a
// gust sweeps across, combing the fur flat in its direction as a bright wave; behind it the hairs spring
// back, overshoot and settle, and a moving mouse combs them too.
#include <cmath>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int tile = 40;
constexpr int across = 6; // tiles per side at the largest grid
constexpr int hairsPerTile = 13;
constexpr int segments = 5;
constexpr uint32_t gustFrames = 260;
constexpr float rowScale = 0.75f; // a cell is 4 pixels wide and 3 tall

class HairyTiles : public Effect {
  public:
    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        const float baseHue = c.randomUnit();
        for (int i = 0; i < across * across; ++i) {
            const int tx = i / across, ty = i % across;
            const float hue =
                baseHue + 0.09f * static_cast<float>((tx + 2 * ty) % 4) + 0.03f * c.randomUnit();
            face_[i] = kit::hsv(hue, 0.7f, 0.28f);
            root_[i] = kit::hsv(hue, 0.75f, 0.55f);
            tip_[i] = kit::hsv(hue + 0.05f, 0.35f, 1.0f);
            // Neighbouring tiles lie with their nap turned a quarter, like a parquet of fur.
            nap_[i] = ((tx + ty) % 2 ? -0.6f : -2.3f) + 0.3f * (c.randomUnit() - 0.5f);
            for (int h = 0; h < hairsPerTile; ++h) {
                Hair& hr = hairs_[i][h];
                hr.u = (static_cast<float>(h % 4) + 0.2f + 0.6f * c.randomUnit()) * (tile / 4.0f);
                hr.v = (static_cast<float>(h / 4) + 0.2f + 0.6f * c.randomUnit()) * (tile / 4.0f);
                hr.len = 16.0f + c.randomUnit() * 10.0f;
                hr.phase = c.randomUnit() * kit::twoPi;
                hr.bend = 0.0f;
                hr.speed = 0.0f;
            }
        }
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 100000u);
        if (c.framesSinceMouseMoved == 0) {
            stroke_ = 1.0f;
        }
        stroke_ *= 0.96f;
        // The gust: a front sweeping across at a slant, its direction alternating between runs.
        const uint32_t run = c.frame / gustFrames;
        const float gustDir = run % 2 ? 0.35f : kit::pi - 0.35f;
        const float gdx = fastCos(gustDir), gdy = fastSin(gustDir);
        const float progress = static_cast<float>(c.frame % gustFrames) / gustFrames;
        const float front = -0.4f * n + progress * 2.2f * n; // distance along the gust direction
        const float half = n * 0.5f;
        const auto along = [&](float x, float y) { return (x - half) * gdx + (y - half) * gdy + half; };
        // Tile faces with a bevel, lit up where the gust is passing.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int tx = x / tile, ty = y / tile, u = x % tile, v = y % tile;
                const int idx = (tx % across) * across + ty % across;
                kit::Rgb col = face_[idx];
                const float ahead = front - along(static_cast<float>(x), static_cast<float>(y));
                const float lit = ahead > 0.0f && ahead < 30.0f ? 1.0f - ahead / 30.0f : 0.0f;
                col = kit::shade(col, 1.0f + 0.8f * lit);
                if (u < 2 || v < 2) {
                    col = kit::shade(col, 1.6f);
                } else if (u >= tile - 2 || v >= tile - 2) {
                    col = kit::shade(col, 0.35f);
                }
                kit::setCell(c, x, y, col);
            }
        }
        const int tiles = (c.n + tile - 1) / tile;
        for (int tx = 0; tx < tiles && tx < across; ++tx) {
            for (int ty = 0; ty < tiles && ty < across; ++ty) {
                const int idx = tx * across + ty;
                for (Hair& hr : hairs_[idx]) {
                    const float rx = tx * tile + hr.u, ry = ty * tile + hr.v;
                    // The gust pushes the hair towards its direction as the front passes; a spring pulls it
                    // back to the nap, so it overshoots and settles behind the front.
                    const float ahead = front - along(rx, ry);
                    const float push = ahead > 0.0f && ahead < 40.0f ? 1.0f - ahead / 40.0f : 0.0f;
                    float target = wrapAngle(gustDir - nap_[idx]) * push;
                    if (stroke_ > 0.02f) {
                        const float mdx = rx - c.mouseX, mdy = (ry - c.mouseY) * rowScale;
                        if (mdx * mdx + mdy * mdy < 900.0f) {
                            target += wrapAngle(kit::angleOf(mdx, mdy) - nap_[idx]) * stroke_;
                        }
                    }
                    hr.speed += (target - hr.bend) * 0.06f;
                    hr.speed *= 0.9f;
                    hr.bend += hr.speed;
                    hr.bend = kit::clampf(hr.bend, -3.0f, 3.0f);
                    drawHair(c, hr, rx, ry, nap_[idx], t, push, idx);
                }
            }
        }
    }

  private:
    struct Hair {
        float u, v, len, phase, bend, speed;
    };

    static float wrapAngle(float a) {
        while (a > kit::pi) {
            a -= kit::twoPi;
        }
        while (a < -kit::pi) {
            a += kit::twoPi;
        }
        return a;
    }

    // A hair as a tapering curve: thick and dark at the root, thin and pale at the tip, bending more along
    // its length than at its root; a shadow beneath lifts it off the tile.
    void drawHair(const EffectContext& c, const Hair& hr, float rx, float ry, float nap, float t, float push,
                  int idx) const {
        const float sway = 0.18f * fastSin(t * 0.05f + hr.phase);
        float px[segments + 1], py[segments + 1];
        px[0] = rx;
        py[0] = ry;
        const float seg = hr.len / segments;
        for (int k = 1; k <= segments; ++k) {
            const float f = static_cast<float>(k) / segments;
            const float a = nap + (hr.bend + sway) * (0.4f + 0.6f * f) + 0.25f * f;
            px[k] = px[k - 1] + fastCos(a) * seg;
            py[k] = py[k - 1] + fastSin(a) * seg / rowScale;
        }
        // The shadow: a thin line beside the hair's lower half.
        const kit::Rgb shadow = kit::shade(face_[idx], 0.45f);
        kit::drawLine(c, px[0] + 2.0f, py[0] + 2.5f, px[2] + 2.0f, py[2] + 2.5f, shadow);
        kit::drawLine(c, px[2] + 2.0f, py[2] + 2.5f, px[4] + 1.5f, py[4] + 2.0f, shadow);
        // The hair itself as a run of discs, each a little smaller and paler than the one before.
        const kit::Rgb tip = kit::mix(tip_[idx], kit::white, push * 0.5f);
        for (int k = 0; k < segments; ++k) {
            const float f0 = static_cast<float>(k) / segments;
            const float r = 1.8f * (1.0f - f0) + 0.35f;
            const kit::Rgb col = kit::mix(root_[idx], tip, f0 * 0.8f + 0.2f);
            if (r < 0.9f) {
                kit::drawLine(c, px[k], py[k], px[k + 1], py[k + 1], col); // the fine tip
                continue;
            }
            const float dx = px[k + 1] - px[k], dy = py[k + 1] - py[k];
            const int dots = 1 + kit::toCell(hr.len / segments / (1.1f * r));
            for (int d = 0; d < dots; ++d) {
                const float u = static_cast<float>(d) / dots;
                kit::dot(c, px[k] + dx * u, py[k] + dy * u, r - 0.36f * u, col);
            }
        }
    }

    kit::Rgb face_[across * across]{}, root_[across * across]{}, tip_[across * across]{};
    float nap_[across * across]{};
    Hair hairs_[across * across][hairsPerTile]{};
    float stroke_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(HairyTiles);

} // namespace glowfield
