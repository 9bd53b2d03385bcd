// UFO: a flying saucer hovers over a night landscape with chasing rim lights. Its tractor beam is a soft cone
// of pale green light added over the scene, with bands of light drifting up it and sparkles rising inside;
// every five seconds the beam fades, the saucer zips off to a new spot leaving a streak, and beams again.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr uint32_t cycleFrames = 250; // one stay: the zip, the beam fading in, beaming, fading out
constexpr uint32_t zipFrames = 12;
constexpr uint32_t beamOn = 30, beamOff = 225, beamFade = 20;

class UFO : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        const float n = static_cast<float>(c.n);
        x_ = fromX_ = toX_ = n * 0.5f;
        y_ = fromY_ = toY_ = n * 0.3f;
        motes_.assign(maxMotes, Mote{});
        next_ = 0;
        started_ = c.frame;
        makeScene(c);
    }

    void step(EffectContext& c) override {
        kit::tameNowAndThen(c, 200.0f, 10.0f);
        // A still picture of its own: the wave step only softens it between frames, never ripples it.
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        const uint32_t age = c.frame - started_;
        const uint32_t phase = age % cycleFrames;
        const float t = static_cast<float>(age);
        if (phase == 0u && age > 0u) {
            fromX_ = x_;
            fromY_ = y_;
            toX_ = n * (0.2f + 0.6f * c.randomUnit());
            toY_ = n * (0.15f + 0.25f * c.randomUnit());
        }
        float hx = toX_, hy = toY_;
        const float lastX = x_, lastY = y_;
        if (phase < zipFrames && age > 0u) {
            const float u = static_cast<float>(phase + 1u) / static_cast<float>(zipFrames);
            hx = kit::lerp(fromX_, toX_, u * u * (3.0f - 2.0f * u));
            hy = kit::lerp(fromY_, toY_, u * u * (3.0f - 2.0f * u));
        }
        x_ = hx + 3.0f * s * fastSin(t * 0.07f);
        y_ = hy + 2.0f * s * fastSin(t * 0.11f);
        // The beam's strength: faded in after the zip and out before the next.
        const float strength =
            phase < beamOn || phase >= beamOff + beamFade ? 0.0f
            : phase < beamOn + beamFade
                ? kit::smoothstep(0.0f, static_cast<float>(beamFade), static_cast<float>(phase - beamOn))
                : 1.0f - kit::smoothstep(static_cast<float>(beamOff), static_cast<float>(beamOff + beamFade),
                                         static_cast<float>(phase));
        const float w = 22.0f * s;
        lightScene(c, t, w, strength);
        if (phase < zipFrames && age > 0u) {
            kit::drawThickLine(c, lastX, lastY, x_, y_, 1.5f * s, kit::fromLevels(200, 255, 230));
        }
        moveMotes(c, t, w, strength);
        drawSaucer(c, t, s);
    }

  private:
    struct Mote {
        float x = 0.0f, y = 0.0f, vy = 0.0f, u = 0.0f, twinkle = 0.0f;
        bool live = false;
    };
    static constexpr int maxMotes = 240;

    size_t at(const EffectContext& c, int x, int y) const {
        return static_cast<size_t>(x) * static_cast<size_t>(c.n) + static_cast<size_t>(y);
    }

    // A starry sky over dark hills, and where the ground meets the sky in each column.
    void makeScene(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        scene_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
        ground_.assign(static_cast<size_t>(c.n), n);
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float hill = n * (0.8f + 0.05f * fastSin(fx * 0.031f / kit::gridScale(c)) +
                                    0.03f * fastSin(fx * 0.083f / kit::gridScale(c) + 1.0f));
            ground_[static_cast<size_t>(x)] = hill;
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb colour;
                if (fy < hill) {
                    const float k = fy / n;
                    colour = kit::fromLevels(8 + truncToInt(26 * k), 10 + truncToInt(20 * k),
                                             40 + truncToInt(44 * k));
                } else {
                    const float shade = 1.0f - 0.5f * kit::clampf((fy - hill) / (n * 0.2f), 0.0f, 1.0f);
                    colour = kit::shade(kit::fromLevels(24, 58, 30), shade);
                }
                scene_[at(c, x, y)] = colour;
            }
        }
    }

    // The scene with the beam's light added, the field pulled towards it; stars twinkle slowly.
    void lightScene(const EffectContext& c, float t, float w, float strength) {
        const float n = static_cast<float>(c.n);
        const float top = y_ + 4.0f * kit::gridScale(c);
        const kit::Rgb light = kit::fromLevels(150, 255, 190); // pale green
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            const float floor = ground_[static_cast<size_t>(x)];
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                kit::Rgb target = scene_[at(c, x, y)];
                // Fixed stars from a hash of the cell, each twinkling at its own slow pace.
                const unsigned h =
                    (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
                if (fy < floor - 1.0f && h % 131u == 0u) {
                    const float glow = 0.75f + 0.25f * fastSin(t * 0.05f + static_cast<float>(h % 97u));
                    target = kit::mix(target, kit::fromLevels(215, 215, 240), glow);
                }
                if (strength > 0.0f && fy > top) {
                    // A cone widening downwards to the ground, brightest on its axis, with bands drifting up.
                    const float k = kit::clampf((fy - top) / (n - top), 0.0f, 1.0f);
                    const float half = w * (0.3f + 0.7f * k);
                    const float across = (fx - x_) / half;
                    if (across > -1.0f && across < 1.0f && fy < floor + 3.0f) {
                        const float profile = (1.0f - across * across) * (1.0f - across * across);
                        const float bands = 0.8f + 0.2f * fastSin(fy * 0.3f + t * 0.12f);
                        const float pool = fy > floor - 4.0f ? 1.3f : 1.0f;
                        const float amount = 0.7f * strength * profile * bands * pool;
                        target = {target.r + (light.r + 127.0f) * amount,
                                  target.g + (light.g + 127.0f) * amount,
                                  target.b + (light.b + 127.0f) * amount};
                    }
                }
                kit::mixCell(c, x, y, target, 0.25f);
            }
        }
    }

    // Sparkles rise from the ground inside the beam, drawn in towards its axis as they climb.
    void moveMotes(const EffectContext& c, float t, float w, float strength) {
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        if (strength > 0.5f) {
            {
                Mote& m = motes_[static_cast<size_t>(next_)];
                next_ = (next_ + 1) % maxMotes;
                const float u = c.randomUnit() - 0.5f;
                const int column = kit::clampCell(c, kit::toCell(x_ + u * w * 2.0f));
                m = {x_ + u * w * 2.0f,
                     ground_[static_cast<size_t>(column)] - 1.0f,
                     -(0.6f + 1.0f * c.randomUnit()) * s,
                     u,
                     c.randomUnit() * kit::twoPi,
                     true};
            }
        }
        for (Mote& m : motes_) {
            if (!m.live) {
                continue;
            }
            m.y += m.vy;
            m.x = x_ + m.u * w * 2.0f * kit::clampf((m.y - y_) / (n - y_), 0.2f, 1.0f);
            if (!kit::onGrid(c, m.x, m.y) || m.y < y_ + 4.0f * s || strength <= 0.0f) {
                m.live = false;
                continue;
            }
            const float glow = 0.6f + 0.4f * fastSin(t * 0.3f + m.twinkle);
            const kit::Rgb spark = kit::mix(kit::fromLevels(140, 255, 200), kit::white, glow);
            kit::plot(c, m.x, m.y, spark);
            if (glow > 0.8f) {
                // At its brightest a sparkle shows as a little cross.
                const kit::Rgb arm = kit::mix(kit::fromLevels(120, 220, 170), spark, 0.5f);
                kit::plot(c, m.x - 1.0f, m.y, arm);
                kit::plot(c, m.x + 1.0f, m.y, arm);
                kit::plot(c, m.x, m.y - 1.0f, arm);
                kit::plot(c, m.x, m.y + 1.0f, arm);
            }
        }
    }

    void drawSaucer(const EffectContext& c, float t, float s) {
        const int corners = 24;
        float xs[corners], ys[corners];
        for (int k = 0; k < corners; ++k) {
            const float a = kit::twoPi * static_cast<float>(k) / corners;
            xs[k] = x_ + fastCos(a) * 24.0f * s;
            ys[k] = y_ + fastSin(a) * 6.0f * s;
        }
        kit::fillPolygon(c, xs, ys, corners, kit::fromLevels(110, 115, 130));
        // Shading: a lit upper rim and a dark underside.
        kit::fillRect(c, x_ - 18.0f * s, y_ + 2.0f * s, x_ + 18.0f * s, y_ + 5.0f * s,
                      kit::fromLevels(50, 52, 64));
        kit::drawPolygon(c, xs, ys, corners, kit::fromLevels(200, 205, 220));
        kit::fillDisc(c, x_, y_ - 5.0f * s, 9.0f * s, kit::fromLevels(90, 200, 210));
        kit::fillDisc(c, x_ - 3.0f * s, y_ - 8.0f * s, 2.5f * s, kit::fromLevels(220, 255, 255));
        kit::fillRect(c, x_ - 10.0f * s, y_ - 2.0f * s, x_ + 10.0f * s, y_ + 1.0f * s,
                      kit::fromLevels(110, 115, 130));
        // Chasing rim lights: the lit one walks round the rim.
        for (int k = 0; k < 8; ++k) {
            const float a = kit::pi * (static_cast<float>(k) + 0.5f) / 8.0f;
            const float lx = x_ - fastCos(a) * 21.0f * s;
            const float ly = y_ + fastSin(a) * 3.0f * s;
            const bool lit = (truncToInt(t * 0.4f) + k) % 4 == 0;
            kit::fillDisc(c, lx, ly, 1.3f * s + 0.5f,
                          lit ? kit::fromLevels(255, 240, 120)
                              : kit::hsv(static_cast<float>(k) / 8.0f, 0.8f, 0.6f));
        }
    }

    std::vector<Mote> motes_;
    std::vector<kit::Rgb> scene_; // the night landscape
    std::vector<float> ground_;   // per column, the row where the hills begin
    int next_ = 0;
    float x_ = 0.0f, y_ = 0.0f, fromX_ = 0.0f, fromY_ = 0.0f, toX_ = 0.0f, toY_ = 0.0f;
    uint32_t started_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(UFO);

} // namespace glowfield
