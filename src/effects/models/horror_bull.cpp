// Horror Bull: a black bull charges out of a blood-red sunset, growing in perspective with thick shaded horns
// and burning eyes, kicking up dust, until it thunders past a billowing magenta cape that sweeps across it.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

float absf(float v) {
    return v < 0.0f ? -v : v;
}

// An ellipse test: (du / rx)^2 + (dv / ry)^2, under 1 inside.
float ellipse(float du, float dv, float rx, float ry) {
    const float a = du / rx, b = dv / ry;
    return a * a + b * b;
}

class HorrorBull : public Effect {
  public:
    void start(EffectContext& c) override {
        dust_.assign(maxDust, Dust{});
        capeX_ = 0.78f;
        charge(c);
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const float t = static_cast<float>(c.frame % 400000u);
        uint32_t age = c.frame - charged_;
        if (age >= chargeFrames + restFrames) {
            charge(c);
            age = 0u;
        }
        const float u = kit::clampf(static_cast<float>(age) / chargeFrames, 0.0f, 1.0f);
        // Depth falls steadily, so in perspective the bull crawls far away and is suddenly upon you.
        const float w = 1.0f - u;
        const float z = 10.0f * w * std::sqrt(w) * (1.0f - 0.3f * u) + 0.3f;
        const float k = 1.0f / z;
        const float horizon = n * 0.42f;
        const float size = k * 105.0f * s; // cells across the bull
        const float bx = n * 0.5f + k * lateral_ * n;
        const float gallop = t * 0.42f;
        const float feet = horizon + k * 50.0f * s - 2.0f * k * s * absf(fastSin(gallop));

        drawArena(c, n, horizon, bx);
        if (age < chargeFrames) {
            kickDust(c, bx, feet, size, k, s);
        }
        moveDust(c, n, s);
        if (age < chargeFrames && size > 1.5f) {
            drawBull(c, bx, feet, size, gallop);
        }
        // The cape waits on one side and sweeps across as the bull reaches it, its hem trailing behind.
        const float pass = kit::smoothstep(0.8f, 1.0f, u + 0.15f * static_cast<float>(age >= chargeFrames));
        drawCape(c, n, t, pass);
    }

  private:
    struct Dust {
        float x = 0.0f, y = 0.0f, vx = 0.0f, vy = 0.0f, r = 0.0f;
        int life = 0;
    };
    static constexpr int maxDust = 90;
    static constexpr uint32_t chargeFrames = 200u;
    static constexpr uint32_t restFrames = 25u;

    void charge(EffectContext& c) {
        // The next charge aims at where the cape now waits.
        capeFrom_ = capeX_;
        capeTo_ = 1.0f - capeX_;
        lateral_ = (capeFrom_ > 0.5f ? 1.0f : -1.0f) * (0.05f + 0.06f * c.randomUnit());
        capeX_ = capeTo_;
        charged_ = c.frame;
    }

    // A blood-red sky with a swollen sun on the horizon, over furrowed sand that runs to the bull's start.
    static void drawArena(const EffectContext& c, float n, float horizon, float bx) {
        const float sunX = n * 0.5f, sunY = horizon, sunR = n * 0.16f;
        const kit::Rgb top = kit::fromLevels(34, 4, 14), low = kit::fromLevels(225, 90, 36);
        const kit::Rgb sun = kit::fromLevels(255, 206, 120);
        const kit::Rgb farSand = kit::fromLevels(120, 58, 34), nearSand = kit::fromLevels(196, 132, 82);
        // The sky's gradient and the sand's colour and perspective depend on the row alone.
        const int sky = kit::clampCell(c, kit::toCell(horizon));
        kit::Rgb base[planeStride], furrow[planeStride];
        float across[planeStride];
        for (int y = 0; y < c.n; ++y) {
            const float fy = static_cast<float>(y);
            if (y <= sky) {
                const float h = fy / horizon;
                base[y] = furrow[y] = kit::mix(top, low, h * h);
                across[y] = 0.0f;
                continue;
            }
            const float depth = (fy - horizon) / (n - horizon);
            base[y] =
                kit::mix(kit::mix(farSand, nearSand, depth), low, 0.5f * (1.0f - depth) * (1.0f - depth));
            furrow[y] = kit::shade(base[y], 1.0f - 0.35f * kit::smoothstep(0.0f, 0.25f, depth));
            // Furrows radiate from the bull's start point; they fade out towards the horizon.
            across[y] = 3.0f / (fy - horizon + 1.0f);
        }
        for (int x = 0; x < c.n; ++x) {
            const float dx = static_cast<float>(x) - bx;
            for (int y = 0; y < c.n; ++y) {
                const float w = dx * across[y] + 4096.0f;
                const float f = w - static_cast<float>(static_cast<int>(w));
                kit::setCell(c, x, y, f < 0.3f ? furrow[y] : base[y]);
            }
        }
        // The sun, its glow, and bands of haze across it.
        const int x0 = kit::clampCell(c, kit::toCell(sunX - sunR * 2.3f)),
                  x1 = kit::clampCell(c, kit::toCell(sunX + sunR * 2.3f));
        const int y0 = kit::clampCell(c, kit::toCell(sunY - sunR * 3.0f));
        for (int y = y0; y <= sky; ++y) {
            const float fy = static_cast<float>(y);
            const float dy = (fy - sunY) * 0.75f;
            const bool haze = fastSin(fy * 0.9f) > 0.6f && fy > horizon - sunR * 0.8f;
            for (int x = x0; x <= x1; ++x) {
                const float dx = static_cast<float>(x) - sunX;
                const float d2 = (dx * dx + dy * dy) / (sunR * sunR);
                if (d2 >= 5.0f) {
                    continue;
                }
                const float k = d2 < 1.0f ? kit::smoothstep(1.0f, 0.9f, d2) : 0.35f * (5.0f - d2) / 4.0f;
                kit::mixCell(c, x, y, sun, k);
                if (haze && d2 < 1.2f) {
                    kit::mixCell(c, x, y, low, 0.6f);
                }
            }
        }
    }

    void kickDust(EffectContext& c, float bx, float feet, float size, float k, float s) {
        if (k < 0.08f) {
            return;
        }
        for (int i = 0; i < 2; ++i) {
            Dust& d = dust_[next_];
            next_ = (next_ + 1) % maxDust;
            const float side = c.randomUnit() - 0.5f;
            d.x = bx + side * size * 0.8f;
            d.y = feet - c.randomUnit() * size * 0.05f;
            d.vx = side * 3.0f * s * k;
            d.vy = -(0.3f + c.randomUnit()) * s * k;
            d.r = (2.0f + 3.0f * c.randomUnit()) * s * (0.5f + k);
            d.life = 45;
        }
    }

    void moveDust(const EffectContext& c, float n, float s) {
        const kit::Rgb dust = kit::fromLevels(205, 150, 110);
        for (Dust& d : dust_) {
            if (d.life <= 0) {
                continue;
            }
            --d.life;
            d.x += d.vx;
            d.y += d.vy;
            d.vy *= 0.96f;
            d.r += 0.2f * s;
            if (!(d.x > -30.0f && d.y > -30.0f && d.x < n + 30.0f && d.y < n + 30.0f)) {
                d.life = 0;
                continue;
            }
            kit::softDisc(c, d.x, d.y, d.r, dust, 0.5f * static_cast<float>(d.life) / 45.0f, kit::Blend::set);
        }
    }

    // The bull head-on: a black hump of shoulders, a lowered head with a paler muzzle, galloping legs, thick
    // horns swept out and up, and eyes like coals. Units: a hundredth of the bull's width, v up from the
    // hooves; heights stretched by 4 / 3 because cells show 4 x 3 pixels.
    static void drawBull(const EffectContext& c, float bx, float feet, float size, float gallop) {
        const float unit = size / 100.0f;
        const float vUnit = unit * 4.0f / 3.0f;
        const int x0 = kit::clampCell(c, kit::toCell(bx - 60.0f * unit));
        const int x1 = kit::clampCell(c, kit::toCell(bx + 60.0f * unit));
        const int y0 = kit::clampCell(c, kit::toCell(feet - 80.0f * vUnit));
        const int y1 = kit::clampCell(c, kit::toCell(feet + 6.0f * vUnit));
        float lift[4];
        for (int i = 0; i < 4; ++i) {
            const float l = fastSin(gallop + static_cast<float>(i) * 1.7f);
            lift[i] = l > 0.0f ? 9.0f * l : 0.0f;
        }
        const float legX[4] = {-13.0f, 13.0f, -30.0f, 30.0f};
        const kit::Rgb hide = kit::fromLevels(14, 9, 10), rim = kit::fromLevels(150, 46, 26),
                       muzzle = kit::fromLevels(52, 38, 36), shadow = kit::fromLevels(40, 20, 14);
        for (int x = x0; x <= x1; ++x) {
            const float pu = (static_cast<float>(x) - bx) / unit;
            for (int y = y0; y <= y1; ++y) {
                const float pv = (feet - static_cast<float>(y)) / vUnit;
                // Shadow on the sand under the bull.
                if (pv < 3.0f && ellipse(pu, pv, 48.0f, 5.0f) < 1.0f) {
                    kit::blendCell(c, x, y, shadow, 0.7f);
                }
                float inside = 2.0f; // the smallest ellipse measure of the shapes hit
                const float body = ellipse(pu, pv - 50.0f, 40.0f, 24.0f);
                const float head = ellipse(pu, pv - 34.0f, 15.0f, 20.0f);
                inside = body < inside ? body : inside;
                inside = head < inside ? head : inside;
                bool leg = false;
                for (int i = 0; i < 4; ++i) {
                    const float top = i < 2 ? 36.0f : 44.0f;
                    if (absf(pu - legX[i]) < 4.5f && pv > lift[i] && pv < top) {
                        leg = true;
                    }
                }
                if (inside >= 1.0f && !leg) {
                    continue;
                }
                kit::Rgb colour = hide;
                if (inside < 1.0f) {
                    // Sunset light catches the upper rim.
                    const float edge = kit::smoothstep(0.7f, 1.0f, inside);
                    const float up = kit::clampf((pv - 38.0f) / 30.0f, 0.0f, 1.0f);
                    colour = kit::mix(hide, rim, edge * (0.3f + 0.7f * up));
                    if (head < 1.0f && ellipse(pu, pv - 19.0f, 11.0f, 8.0f) < 1.0f) {
                        colour = muzzle;
                        if (ellipse(absf(pu) - 4.5f, pv - 18.0f, 2.2f, 2.0f) < 1.0f) {
                            colour = hide; // nostrils
                        }
                    }
                }
                kit::setCell(c, x, y, colour);
            }
        }
        // Horns: thick at the root, out along the brow, then up and forward to pale points; a highlight
        // along the top so they read round.
        const kit::Rgb bone = kit::fromLevels(236, 222, 186), tip = kit::fromLevels(70, 56, 44);
        for (float side : {-1.0f, 1.0f}) {
            float px = bx + side * 11.0f * unit, py = feet - 44.0f * vUnit;
            for (int i = 1; i <= 12; ++i) {
                const float q = static_cast<float>(i) / 12.0f;
                const float hu = 11.0f + 48.0f * q - 8.0f * q * q * q;
                const float hv = 44.0f + 2.0f * q + 44.0f * q * q * q;
                const float nx = bx + side * hu * unit, ny = feet - hv * vUnit;
                const float radius = (7.0f - 5.5f * q) * unit;
                kit::drawThickLine(c, px, py, nx, ny, radius, kit::mix(bone, tip, q * q));
                kit::drawThickLine(c, px - side * radius * 0.2f, py - radius * 0.45f, nx, ny - radius * 0.45f,
                                   radius * 0.3f, kit::mix(kit::white, bone, q));
                px = nx;
                py = ny;
            }
        }
        // Eyes like coals.
        const kit::Rgb ember = kit::fromLevels(255, 70, 20);
        for (float side : {-1.0f, 1.0f}) {
            kit::fillDisc(c, bx + side * 8.0f * unit, feet - 40.0f * vUnit, 2.0f * unit + 0.5f, ember);
        }
    }

    // The cape: magenta cloth from a stick at the top, its hem flaring and rippling, shaded along its folds,
    // with the yellow lining showing where a fold turns over.
    void drawCape(const EffectContext& c, float n, float t, float pass) {
        const kit::Rgb cloth = kit::fromLevels(214, 20, 96), lining = kit::fromLevels(250, 200, 40);
        const float top = n * 0.06f;
        for (int y = kit::clampCell(c, kit::toCell(top)); y < c.n; ++y) {
            const float fy = (static_cast<float>(y) - top) / (n - top);
            // The hem lags behind the stick as the cape sweeps.
            const float p = kit::clampf(pass * (1.0f + 0.5f) - 0.5f * fy, 0.0f, 1.0f);
            const float centre = n * kit::lerp(capeFrom_, capeTo_, kit::smoothstep(0.0f, 1.0f, p));
            const float half = n * (0.13f + 0.09f * fy) + n * 0.025f * fastSin(fy * 9.0f + t * 0.11f) * fy;
            const float left = centre - half + n * 0.02f * fastSin(fy * 7.0f - t * 0.09f) * fy;
            const float right = centre + half;
            const int a = kit::clampCell(c, kit::toCell(left)), b = kit::clampCell(c, kit::toCell(right));
            if (right < 0.0f || left >= n) {
                continue;
            }
            for (int x = a; x <= b; ++x) {
                const float across = (static_cast<float>(x) - left) / (right - left);
                const float fold = fastSin(across * 14.0f + fy * 3.0f + t * 0.07f);
                kit::Rgb colour = kit::shade(cloth, 0.62f + 0.38f * fold);
                if (fold < -0.88f && fy > 0.6f) {
                    colour = kit::shade(lining, 0.8f);
                }
                if (across < 0.04f || across > 0.96f) {
                    colour = kit::shade(colour, 0.55f);
                }
                kit::setCell(c, x, y, colour);
            }
        }
        const float stick = n * kit::lerp(capeFrom_, capeTo_, kit::smoothstep(0.0f, 1.0f, pass));
        kit::drawThickLine(c, stick - n * 0.15f, top, stick + n * 0.15f, top, 1.6f * n / 200.0f,
                           kit::fromLevels(120, 84, 40));
    }

    std::vector<Dust> dust_;
    int next_ = 0;
    uint32_t charged_ = 0;
    float lateral_ = 0.0f;
    float capeX_ = 0.78f, capeFrom_ = 0.78f, capeTo_ = 0.22f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(HorrorBull);

} // namespace glowfield
