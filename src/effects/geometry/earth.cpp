// Earth: a turning planet in space. Each cell of the disc gets latitude and longitude from the sphere's
// normal; a sum of waves over them makes oceans, green and brown land and polar ice. The sun lights one side,
// city lights twinkle on the night side, and a cloud layer turns a little faster than the ground.
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int starCount = 90;

class Earth : public Effect {
  public:
    void start(EffectContext& c) override {
        for (int i = 0; i < starCount; ++i) {
            starX_[i] = c.random(0, c.n - 1);
            starY_[i] = c.random(0, c.n - 1);
            starB_[i] = 0.3f + 0.7f * c.randomUnit();
        }
    }

    void step(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u) * 0.02f;
        const float spin = t * 0.25f, cloudSpin = t * 0.33f;
        const float tilt = 0.41f, ct = fastCos(tilt), st = fastSin(tilt);
        // The sun circles slowly, so the terminator sweeps round.
        const float sunA = t * 0.07f;
        const float sx = fastCos(sunA), sz = -0.55f + 0.35f * fastSin(sunA * 0.7f), sy = -0.3f;
        const float sl = 1.0f / std::sqrt(sx * sx + sy * sy + sz * sz);
        const float cx = n * 0.5f, cy = n * 0.5f, radius = n * 0.4f;
        const kit::Rgb space = kit::fromLevels(2, 2, 10);
        const float aspect = 4.0f / 3.0f; // a cell shows 4 pixels wide and 3 tall: keep the planet round
        // The surface (land, sea, ice, cloud and where cities are) is smooth, so it is worked out once per
        // 2 x 2 block of cells; the light, the limb and the atmosphere are worked out per cell.
        const int blocks = (c.n + 1) / 2;
        surface_.resize(static_cast<size_t>(blocks * blocks));
        lights_.resize(static_cast<size_t>(blocks * blocks));
        for (int bx = 0; bx < blocks; ++bx) {
            for (int by = 0; by < blocks; ++by) {
                float nx = (static_cast<float>(2 * bx) + 1.0f - cx) * aspect / radius;
                float ny = (static_cast<float>(2 * by) + 1.0f - cy) / radius;
                float d2 = nx * nx + ny * ny;
                if (d2 > 0.995f) {
                    if (d2 > 1.3f) {
                        continue;
                    }
                    const float k = std::sqrt(0.995f / d2);
                    nx *= k;
                    ny *= k;
                    d2 = 0.995f;
                }
                const float nz = -std::sqrt(1.0f - d2); // towards the viewer
                // Into the planet's frame: undo the axial tilt about the view axis.
                const float px = nx * ct + ny * st, py = ny * ct - nx * st;
                const float lat = kit::angleOf(std::sqrt(px * px + nz * nz), -py); // -pi/2..pi/2, north up
                const float lon = kit::angleOf(-nz, px);
                const float a = lon + spin;
                const float height = 0.55f * fastSin(a * 2.0f + 0.5f) * fastCos(lat * 2.0f) +
                                     0.35f * fastSin(a * 3.0f - lat * 2.0f + 1.3f) +
                                     0.2f * fastSin(a * 7.0f + lat * 5.0f) +
                                     0.1f * fastSin(a * 13.0f - lat * 11.0f);
                kit::Rgb ground;
                const bool land = height > 0.18f;
                const float polar = absf(lat);
                if (polar + 0.05f * fastSin(a * 9.0f) > 1.2f) {
                    ground = kit::fromLevels(235, 240, 250);
                } else if (land) {
                    const float dry = kit::clampf((height - 0.3f) * 2.5f + 0.4f * (1.0f - polar), 0.0f, 1.0f);
                    ground = kit::mix(kit::fromLevels(40, 130, 50), kit::fromLevels(170, 140, 80), dry);
                } else {
                    const float shallow = kit::clampf((height + 0.05f) * 4.0f, 0.0f, 1.0f);
                    ground = kit::mix(kit::fromLevels(10, 40, 120), kit::fromLevels(30, 110, 170), shallow);
                }
                const float ca = lon + cloudSpin;
                const float cloud = fastSin(ca * 4.0f + lat * 3.0f + 2.0f * fastSin(lat * 6.0f + ca)) +
                                    0.6f * fastSin(ca * 9.0f - lat * 7.0f);
                const float cover = kit::clampf((cloud - 0.7f) * 1.2f, 0.0f, 0.85f);
                const size_t block = static_cast<size_t>(bx * blocks + by);
                surface_[block] = kit::mix(ground, kit::white, cover);
                lights_[block] = 0.0f;
                if (land && cover < 0.3f && polar < 1.1f) {
                    const float city = fastSin(a * 53.0f + 3.0f * fastSin(lat * 9.0f)) *
                                       fastSin(lat * 41.0f + a * 7.0f + 2.0f * fastSin(a * 5.0f)) *
                                       fastSin(a * 17.0f - lat * 23.0f);
                    lights_[block] = city > 0.55f ? 1.0f : 0.0f;
                }
            }
        }
        const kit::Rgb halo = kit::fromLevels(90, 150, 255), limb = kit::fromLevels(120, 170, 255);
        const kit::Rgb cityLight = kit::fromLevels(255, 210, 120);
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float nx = (static_cast<float>(x) + 0.5f - cx) * aspect / radius;
                const float ny = (static_cast<float>(y) + 0.5f - cy) / radius;
                const float d2 = nx * nx + ny * ny;
                if (d2 >= 1.0f) {
                    // A thin blue atmosphere just outside the limb.
                    const float glow = d2 < 1.17f ? (1.17f - d2) / 0.17f : 0.0f;
                    kit::paintSolid(c, x, y, kit::mix(space, halo, glow * glow * 0.8f));
                    continue;
                }
                const float nz = -std::sqrt(1.0f - d2);
                const size_t block = static_cast<size_t>((x / 2) * blocks + y / 2);
                // Light: the sun's direction against the normal, with a soft terminator.
                const float lit = (nx * sx + ny * sy + nz * sz) * sl;
                const float day = kit::smoothstep(-0.08f, 0.25f, lit);
                kit::Rgb colour = kit::shade(surface_[block], 0.06f + 0.94f * day * (0.7f + 0.3f * lit));
                if (lights_[block] > 0.0f && day < 0.5f) {
                    // City lights on the night side, a few of them dimmed in turn so they twinkle.
                    const uint32_t flicker = (static_cast<uint32_t>(x * 7 + y * 13) + c.frame) % 11u;
                    colour = kit::mix(colour, cityLight, (1.0f - 2.0f * day) * (flicker < 3u ? 0.6f : 1.0f));
                }
                if (d2 > 0.94f) {
                    colour = kit::mix(colour, limb, (d2 - 0.94f) * 6.0f * (0.3f + 0.7f * day));
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
        for (int i = 0; i < starCount; ++i) {
            const float dx = (static_cast<float>(starX_[i]) - cx) * 4.0f / 3.0f,
                        dy = static_cast<float>(starY_[i]) - cy;
            if (dx * dx + dy * dy > radius * radius * 1.2f) {
                const float b = starB_[i] * (0.75f + 0.25f * fastSin(t * 3.0f + static_cast<float>(i)));
                kit::paint(c, starX_[i], starY_[i], kit::shade(kit::white, b));
            }
        }
    }

  private:
    std::vector<kit::Rgb> surface_;
    std::vector<float> lights_;
    int starX_[starCount] = {};
    int starY_[starCount] = {};
    float starB_[starCount] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Earth);

} // namespace glowfield
