// Hairy Tiles: a wall of furry tiles. Each square tile is a flat colour sprouting short hairs that sway in a
// swirling wind; a moving mouse stirs a gust that combs the fur away from it.
#include <cmath>

#include "effects/geometry/direct_cells.h"
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class HairyTiles : public Effect {
  public:
    static constexpr int tile = 20;
    static constexpr int hairsPerTile = 11;
    static constexpr int maxTiles = 12 * 12;

    void start(EffectContext& c) override {
        // Leftovers of an earlier entry are brought into range once, so blends never carry NaN along.
        kit::tameField(c);
        for (int i = 0; i < maxTiles; ++i) {
            const float hue = c.randomUnit();
            face_[i] = kit::hsv(hue, 0.55f, 0.55f);
            tip_[i] = kit::hsv(hue + 0.04f, 0.35f, 1.0f);
            for (int h = 0; h < hairsPerTile; ++h) {
                Hair& hr = hairs_[i][h];
                hr.u = 2.0f + c.randomUnit() * (tile - 4);
                hr.v = 2.0f + c.randomUnit() * (tile - 4);
                hr.len = 6.0f + c.randomUnit() * 6.0f;
                hr.phase = c.randomUnit() * kit::twoPi;
            }
        }
        lastMouseX_ = c.mouseX;
        lastMouseY_ = c.mouseY;
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float t = static_cast<float>(c.frame % 100000u);
        if (c.mouseX != lastMouseX_ || c.mouseY != lastMouseY_) {
            gust_ = 1.0f;
            lastMouseX_ = c.mouseX;
            lastMouseY_ = c.mouseY;
        }
        gust_ *= 0.97f;
        const int tiles = (c.n + tile - 1) / tile;
        // Tile faces: flat colour with a bevel, lighter top-left and darker bottom-right.
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const int tx = x / tile, ty = y / tile, u = x % tile, v = y % tile;
                const int idx = (tx % 12) * 12 + ty % 12;
                kit::Rgb col = face_[idx];
                if (u == 0 || v == 0) {
                    col = geometry::dim(col, 1.4f);
                } else if (u == tile - 1 || v == tile - 1) {
                    col = geometry::dim(col, 0.35f);
                }
                geometry::putCell(c, x, y, col);
            }
        }
        for (int tx = 0; tx < tiles && tx < 12; ++tx) {
            for (int ty = 0; ty < tiles && ty < 12; ++ty) {
                const int idx = tx * 12 + ty;
                const kit::Rgb base = face_[idx], tip = tip_[idx];
                const kit::Rgb shadow = geometry::dim(base, 0.3f);
                for (const Hair& hr : hairs_[idx]) {
                    const float rx = tx * tile + hr.u, ry = ty * tile + hr.v;
                    // The wind: two slow swirls, plus a gust blowing away from the mouse.
                    float wind =
                        1.5f * fastSin(rx * 0.02f + t * 0.013f) + 1.2f * fastCos(ry * 0.025f - t * 0.009f);
                    const float sway = 0.35f * fastSin(t * 0.12f + hr.phase);
                    if (gust_ > 0.01f) {
                        const float away = kit::angleOf(rx - c.mouseX, ry - c.mouseY);
                        wind = kit::lerp(wind, away, gust_);
                    }
                    const float a0 = wind + sway * 0.5f, a1 = wind + sway;
                    const float mx = rx + fastCos(a0) * hr.len * 0.5f, my = ry + fastSin(a0) * hr.len * 0.5f;
                    const float ex = mx + fastCos(a1) * hr.len * 0.5f, ey = my + fastSin(a1) * hr.len * 0.5f;
                    kit::drawLine(c, rx + 1.0f, ry + 1.0f, mx + 1.0f, my + 1.0f, shadow);
                    kit::drawLine(c, rx, ry, mx, my, base);
                    kit::drawLine(c, mx, my, ex, ey, tip);
                }
            }
        }
    }

  private:
    struct Hair {
        float u, v, len, phase;
    };
    kit::Rgb face_[maxTiles]{}, tip_[maxTiles]{};
    Hair hairs_[maxTiles][hairsPerTile]{};
    int lastMouseX_ = 0, lastMouseY_ = 0;
    float gust_ = 0.0f;
};

} // namespace

std::unique_ptr<Effect> makeHairyTiles() {
    return std::make_unique<HairyTiles>();
}

} // namespace glowfield
