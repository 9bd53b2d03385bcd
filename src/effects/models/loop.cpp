// Loop: a roller-coaster loop-the-loop on a summer meadow, seen by a camera that circles it: thick red rails
// on wooden sleepers and grey posts, their shadow on the grass, under a blue sky. A bright yellow car runs
// the track at the speed its height allows, crawling over the top and racing through the bottom, trailing
// sparks.
#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Loop : public Effect {
  public:
    void start(EffectContext& c) override {
        const float s = c.scale;
        radius_ = 44.0f * s;
        // The track: a straight run in, a loop that drifts forward and sideways, a straight run out.
        const float drift = 9.0f * s, lead = 70.0f * s, width = 20.0f * s;
        const float middle = kit::pi * drift;
        track_.resize(samples);
        length_.resize(samples);
        for (int k = 0; k < samples; ++k) {
            const float u = static_cast<float>(k) / (samples - 1);
            kit::Vec3 p;
            if (u < 0.2f) {
                p = {-lead + lead * u / 0.2f, 0.0f, -width * 0.5f};
            } else if (u <= 0.8f) {
                const float phi = (u - 0.2f) / 0.6f * kit::twoPi;
                p = {radius_ * fastSin(phi) + drift * phi, -radius_ * (1.0f - fastCos(phi)),
                     -width * 0.5f + width * phi / kit::twoPi};
            } else {
                p = {kit::twoPi * drift + lead * (u - 0.8f) / 0.2f, 0.0f, width * 0.5f};
            }
            // Centred on the loop; heights stretched by 4 / 3 because cells show 4 x 3 pixels.
            track_[k] = {p.x - middle, (p.y + radius_) * (4.0f / 3.0f), p.z};
            length_[k] = k == 0 ? 0.0f : length_[k - 1] + distance(track_[k], track_[k - 1]);
        }
        sparks_.assign(maxSparks, Spark{});
        along_ = 0.0f;
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = c.scale;
        const float t = static_cast<float>(c.frame % 400000u);
        // The camera circles the loop, rising and dipping a little.
        const float yaw = t * 0.007f, pitch = 0.17f + 0.07f * fastSin(t * 0.005f);
        const kit::Vec3 centre{0.0f, n * 0.08f, n * 0.22f};
        const auto view = [&](kit::Vec3 p) { return kit::rotateX(kit::rotateY(p, yaw), pitch) + centre; };
        const float ground = radius_ * (4.0f / 3.0f) + 10.0f * s;
        drawWorld(c, yaw, pitch, centre, ground);
        const float rail = 5.0f * s;
        const kit::Vec3 side{0.0f, 0.0f, rail};
        // The track's shadow on the grass, straight below it.
        const kit::Rgb shadow = kit::fromLevels(40, 90, 30);
        for (int k = 2; k < samples; k += 2) {
            const kit::Vec3 a = track_[k - 2], b = track_[k];
            const kit::Projected pa = kit::project(c, view({a.x, ground, a.z})),
                                 pb = kit::project(c, view({b.x, ground, b.z}));
            if (pa.visible && pb.visible) {
                kit::drawThickLine(c, pa.x, pa.y, pb.x, pb.y, rail * 1.2f * (pa.scale + pb.scale) * 0.5f,
                                   shadow);
            }
        }
        // Everything solid as thick strokes, drawn far to near.
        strokes_.clear();
        const kit::Rgb red = kit::fromLevels(220, 30, 36), wood = kit::fromLevels(150, 96, 50),
                       post = kit::fromLevels(150, 154, 166);
        for (int k = 0; k < samples; k += 10) {
            const kit::Vec3 p = track_[k];
            if (p.y > 0.0f && p.y < ground - 2.0f * s) {
                addStroke(c, view(p), view({p.x, ground, p.z}), 1.6f * s, post);
            }
        }
        for (int k = 1; k < samples; ++k) {
            const kit::Vec3 a = track_[k - 1], b = track_[k];
            addStroke(c, view(a - side), view(b - side), 2.2f * s, red);
            addStroke(c, view(a + side), view(b + side), 2.2f * s, red);
            if (k % 3 == 0) {
                addStroke(c, view(b - side * 1.3f), view(b + side * 1.3f), 1.2f * s, wood);
            }
        }
        // The car: energy sets its speed, v^2 = v0^2 - 2 g h, with h the height above the runs.
        const float g = 0.02f * s;
        const float v0 = std::sqrt(2.0f * g * radius_ * 2.0f * (4.0f / 3.0f) + 1.4f * s * 1.4f * s);
        const kit::Vec3 here = at(along_);
        const float height = radius_ * (4.0f / 3.0f) - here.y;
        const float v2 = v0 * v0 - 2.0f * g * height;
        const float speed = std::sqrt(v2 > 0.09f * s * s ? v2 : 0.09f * s * s);
        along_ += speed;
        if (along_ >= length_[samples - 1]) {
            along_ = 0.0f;
        }
        const kit::Vec3 front = at(along_), back = at(along_ - 9.0f * s);
        const kit::Rgb body = kit::fromLevels(255, 214, 20), lamp = kit::fromLevels(255, 255, 230);
        addStroke(c, view(back), view(front), 6.5f * s, body);
        addStroke(c, view(front - side * 0.6f), view(front + side * 0.6f), 2.0f * s, lamp);
        std::sort(strokes_.begin(), strokes_.end(),
                  [](const Stroke& a, const Stroke& b) { return a.z > b.z; });
        for (const Stroke& k : strokes_) {
            kit::drawThickLine(c, k.ax, k.ay, k.bx, k.by, k.radius, k.colour);
            // A highlight along the top of each rail and post, so they read round.
            if (k.radius > 1.5f) {
                kit::drawThickLine(c, k.ax, k.ay - k.radius * 0.45f, k.bx, k.by - k.radius * 0.45f,
                                   k.radius * 0.3f, kit::mix(k.colour, kit::white, 0.45f));
            }
        }
        // Sparks: more the faster it goes.
        const int spawn = truncToInt(speed / s * 3.0f);
        for (int k = 0; k < spawn && k < 10; ++k) {
            Spark& p = sparks_[next_];
            next_ = (next_ + 1) % maxSparks;
            p.p = back + kit::Vec3{0.0f, 0.0f, (c.random(0, 1) == 0 ? -1.0f : 1.0f) * rail};
            p.v = {(c.randomUnit() - 0.5f) * 1.2f * s, (c.randomUnit() - 0.8f) * 1.2f * s,
                   (c.randomUnit() - 0.5f) * 1.2f * s};
            p.life = 15 + c.random(0, 20);
        }
        for (Spark& p : sparks_) {
            if (p.life <= 0) {
                continue;
            }
            --p.life;
            const kit::Vec3 before = p.p;
            p.v.y += 0.04f * s;
            p.p = p.p + p.v;
            const kit::Projected a = kit::project(c, view(before)), b = kit::project(c, view(p.p));
            if (a.visible && b.visible) {
                kit::drawThickLine(c, a.x, a.y, b.x, b.y, 0.6f * a.scale + 0.2f,
                                   kit::hsv(0.02f + 0.005f * static_cast<float>(p.life), 0.75f, 1.0f));
            }
        }
    }

  private:
    struct Stroke {
        float ax, ay, bx, by, radius, z;
        kit::Rgb colour;
    };
    struct Spark {
        kit::Vec3 p, v;
        int life = 0;
    };
    static constexpr int samples = 150;
    static constexpr int maxSparks = 200;

    static float distance(kit::Vec3 a, kit::Vec3 b) {
        const kit::Vec3 d = a - b;
        return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    }

    // The point at an arc length along the track, clamped to its ends.
    kit::Vec3 at(float arc) const {
        if (!(arc > 0.0f)) {
            return track_[0];
        }
        for (int k = 1; k < samples; ++k) {
            if (length_[k] >= arc) {
                const float span = length_[k] - length_[k - 1];
                const float u = span > 0.0f ? (arc - length_[k - 1]) / span : 0.0f;
                return track_[k - 1] + (track_[k] - track_[k - 1]) * u;
            }
        }
        return track_[samples - 1];
    }

    void addStroke(const EffectContext& c, kit::Vec3 a, kit::Vec3 b, float radius, kit::Rgb colour) {
        const kit::Projected pa = kit::project(c, a), pb = kit::project(c, b);
        if (!pa.visible || !pb.visible) {
            return;
        }
        const float scale = (pa.scale + pb.scale) * 0.5f;
        // Farther strokes a little hazier, as the meadow is.
        const float haze = kit::clampf(1.0f - scale, 0.0f, 0.5f);
        strokes_.push_back({pa.x, pa.y, pb.x, pb.y, radius * scale, (a.z + b.z) * 0.5f,
                            kit::mix(colour, kit::fromLevels(190, 210, 230), haze)});
    }

    // Sky and meadow: each cell's view ray turned back into the world, where it meets the ground plane or
    // looks into the sky. The ray of cell (x, y) leaves the eye at (0, 0, -n) of the view through (x - n/2,
    // y - n/2, 0), so in the world it is a fixed vector plus x and y times two others.
    void drawWorld(const EffectContext& c, float yaw, float pitch, kit::Vec3 centre, float ground) const {
        const float n = static_cast<float>(c.n), s = c.scale;
        const auto back = [&](kit::Vec3 v) { return kit::rotateY(kit::rotateX(v, -pitch), -yaw); };
        const kit::Vec3 eye = back(kit::Vec3{0.0f, 0.0f, -n} - centre);
        const kit::Vec3 d0 = back({-n * 0.5f, -n * 0.5f, n}), dx = back({1.0f, 0.0f, 0.0f}),
                        dy = back({0.0f, 1.0f, 0.0f});
        const kit::Rgb zenith = kit::fromLevels(40, 110, 220), horizon = kit::fromLevels(200, 226, 246);
        const kit::Rgb grass = kit::fromLevels(90, 180, 60), grassDark = kit::fromLevels(60, 150, 44),
                       haze = kit::fromLevels(186, 214, 226);
        const float tile = 24.0f * s, height = ground - eye.y;
        // The camera never rolls, so a ray's height (d.y) depends on the row alone: so do where it meets the
        // ground (k times the ray), the haze and the sky's shade. Only the tile needs each cell.
        float reach[planeStride];
        kit::Rgb light[planeStride], dark[planeStride];
        bool meadow[planeStride];
        for (int y = 0; y < c.n; ++y) {
            const kit::Vec3 d = d0 + dx * (n * 0.5f) + dy * static_cast<float>(y);
            const float len2 = d.x * d.x + d.y * d.y + d.z * d.z;
            meadow[y] = false;
            if (d.y > 0.0f && height > 0.0f) {
                const float k = height / d.y;
                const float far = k * k * len2 / (n * n * 36.0f);
                if (far < 1.0f) {
                    meadow[y] = true;
                    reach[y] = k / tile;
                    light[y] = kit::mix(grass, haze, far);
                    dark[y] = kit::mix(grassDark, haze, far);
                } else {
                    light[y] = dark[y] = haze;
                }
            } else {
                const float up = d.y * d.y / len2; // sine squared of the elevation
                light[y] = dark[y] = kit::mix(horizon, zenith, up * 6.0f > 1.0f ? 1.0f : up * 6.0f);
            }
        }
        for (int x = 0; x < c.n; ++x) {
            const kit::Vec3 column = d0 + dx * static_cast<float>(x);
            for (int y = 0; y < c.n; ++y) {
                if (!meadow[y]) {
                    kit::setCell(c, x, y, light[y]);
                    continue;
                }
                // Within six grid sides of the eye, so the tile numbers stay small.
                const float fy = static_cast<float>(y);
                const float gx = eye.x / tile + (column.x + dy.x * fy) * reach[y];
                const float gz = eye.z / tile + (column.z + dy.z * fy) * reach[y];
                const int ix = static_cast<int>(gx + 4096.0f), iz = static_cast<int>(gz + 4096.0f);
                kit::setCell(c, x, y, ((ix + iz) & 1) != 0 ? light[y] : dark[y]);
            }
        }
    }

    std::vector<Stroke> strokes_;
    std::vector<kit::Vec3> track_;
    std::vector<float> length_;
    std::vector<Spark> sparks_;
    int next_ = 0;
    float radius_ = 1.0f;
    float along_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Loop);

} // namespace glowfield
