// Ocean: the open sea from a low deck. Long swells roll in from a hazy horizon under an evening sky, lit on
// their faces and dark in their troughs, whitecaps break along the crests, and a path of sun glitter runs
// from the low sun down to the viewer.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

// A coarse sine of 1024 steps a turn for the per-cell sums: far cheaper than the full table, and smooth
// enough for swells a few cells long.
constexpr int waveSteps = 1024;
constexpr float stepsPerRadian = 162.974661f; // waveSteps / 2 pi

class Ocean : public Effect {
  public:
    void start(EffectContext&) override {
        for (int i = 0; i < waveSteps; ++i) {
            sine_[i] = fastSin(static_cast<float>(i) / stepsPerRadian);
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 400000u);
        // With music the swell runs faster as it grows loud and the bass raises whitecaps on more crests.
        const bool heard = c.sound.heard();
        if (heard) {
            const float bass = c.sound.bass;
            bass_ += (bass - bass_) * (bass > bass_ ? 0.2f : 0.04f);
            ahead_ = ahead_ + 1.5f * c.sound.level < 100000.0f ? ahead_ + 1.5f * c.sound.level : 0.0f;
        }
        const float ts = heard ? t + ahead_ : t;
        const float capAt = heard ? 0.78f - 0.22f * bass_ : 0.78f;
        const float horizon = n * 0.34f;
        const float sunX = n * 0.6f, sunY = horizon - n * 0.09f, sunR = n * 0.05f;
        const int sky = kit::clampCell(c, kit::toCell(horizon));
        const kit::Rgb zenith = kit::fromLevels(24, 50, 120), haze = kit::fromLevels(246, 196, 150);
        const kit::Rgb sunColour = kit::fromLevels(255, 244, 200), glow = kit::fromLevels(255, 200, 120);
        const kit::Rgb deep = kit::fromLevels(8, 34, 70), face = kit::fromLevels(40, 110, 150);
        const kit::Rgb sheen = kit::fromLevels(130, 150, 175), foam = kit::fromLevels(236, 244, 246);
        const kit::Rgb glitter = kit::fromLevels(255, 236, 170);

        // Per row of sea: how far away it lies, how much of each swell still shows there (far rows would
        // alias the swells into stripes, so they fade into a flat sheen), and the glitter path's width.
        for (int y = 0; y < c.n; ++y) {
            const float below = static_cast<float>(y) - horizon;
            if (below <= 0.5f) {
                continue;
            }
            const float z = (n - horizon) / below; // 1 at the bottom, large at the horizon
            depth_[y] = z;
            const float perRow = 14.0f * z * z / (n - horizon); // the long swell's phase change per row
            keep_[y] = 1.0f / (1.0f + perRow * perRow * 1.5f);
            path_[y] = n * (0.01f + 0.11f / z);
        }
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x);
            for (int y = 0; y <= sky && y < c.n; ++y) {
                const float fy = static_cast<float>(y);
                const float h = fy / horizon;
                kit::Rgb colour = kit::mix(zenith, haze, h * h * h);
                const float dx = fx - sunX, dy = (fy - sunY) * 0.75f;
                const float d2 = (dx * dx + dy * dy) / (sunR * sunR);
                if (d2 < 1.0f) {
                    colour = sunColour;
                } else if (d2 < 12.0f) {
                    colour = kit::mix(colour, glow, 0.5f * (12.0f - d2) / 11.0f * (12.0f - d2) / 11.0f);
                }
                kit::setCell(c, x, y, colour);
            }
            const float across = fx - n * 0.5f;
            const float toSun = fx - sunX < 0.0f ? sunX - fx : fx - sunX;
            for (int y = sky + 1; y < c.n; ++y) {
                const float z = depth_[y], keep = keep_[y];
                const float wx = across * z / (n - horizon); // across the sea, in the same units as z
                // Two long swells from slightly different directions, and a shorter chop on top.
                const float a = 14.0f * z + 3.0f * wx - ts * 0.08f;
                const float b = 10.0f * z - 5.0f * wx - ts * 0.065f;
                const float chop = 37.0f * z + 12.0f * wx - ts * 0.11f;
                const float ha = sine(a), hb = sine(b);
                const float height = (0.6f * ha + 0.4f * hb) * keep + 0.15f * sine(chop) * keep * keep * keep;
                // Slopes facing the viewer catch the sky: the derivative of the height towards the viewer.
                const float slope = (0.6f * cosine(a) + 0.3f * cosine(b)) * keep;
                const float far = 1.0f - keep;
                kit::Rgb colour =
                    kit::mix(deep, face, kit::clampf(0.5f + 0.6f * slope + 0.3f * height, 0.0f, 1.0f));
                colour = kit::mix(colour, sheen, far * far * 0.8f);
                // Whitecaps: where both swells crest together, in patches that travel with them.
                const float crest = 0.6f * ha + 0.4f * hb;
                if (crest > capAt && keep > 0.2f) {
                    const float patch = sine(wx * 4.0f + z * 3.0f - ts * 0.02f);
                    if (patch > 0.1f) {
                        colour =
                            kit::mix(colour, foam, kit::clampf((crest - capAt) * 6.0f, 0.0f, 1.0f) * keep);
                    }
                }
                // The glitter path: small bright facets under the sun that flicker as the water moves.
                if (toSun < path_[y] * 2.0f) {
                    const float centre = 1.0f - toSun / (path_[y] * 2.0f);
                    colour = kit::mix(colour, glow, 0.35f * centre);
                    if (toSun < path_[y] &&
                        sine(z * 60.0f + t * 0.13f + ha) * sine(wx * 40.0f - t * 0.09f) > 0.6f) {
                        colour = glitter;
                    }
                }
                kit::setCell(c, x, y, colour);
            }
        }
    }

  private:
    float bass_ = 0.0f;  // the bass as the whitecaps follow it
    float ahead_ = 0.0f; // how far music has hurried the swell, in frames
    // Phases stay within a few ten thousand radians, far inside the int range.
    float sine(float phase) const {
        return sine_[static_cast<int>(phase * stepsPerRadian) & (waveSteps - 1)];
    }
    float cosine(float phase) const {
        return sine_[(static_cast<int>(phase * stepsPerRadian) + waveSteps / 4) & (waveSteps - 1)];
    }

    float sine_[waveSteps]{};
    float depth_[planeStride]{}, keep_[planeStride]{}, path_[planeStride]{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Ocean);

} // namespace glowfield
