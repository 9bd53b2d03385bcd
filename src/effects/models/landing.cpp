// Landing: final approach at dusk. Under an orange afterglow the runway grows from the horizon until it fills
// the lower half, its piano keys, stripes and edge lights rushing past; the sequenced approach strobes run
// towards the threshold twice a second, the horizon banks gently, and after touchdown the approach repeats.
#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr uint32_t approachFrames = 500;
constexpr float rowScale = 0.75f;  // a cell is 4 pixels wide and 3 tall
constexpr float focal = 110.0f;    // in cell widths
constexpr float halfWidth = 40.0f; // runway, metres (a wide one)
constexpr float runwayLength = 2400.0f;
constexpr float touchdown = 200.0f; // where the wheels meet the runway, past the threshold
constexpr float taxiway = 140.0f;   // the parallel taxiway's centre, metres right of the runway's
constexpr int stations = 30;        // approach light bars, 30 m apart
constexpr int strobeFrames = 25;

// How much of a cell a stripe of the given half width covers at offset d, for a cell spanning 1 / inv
// metres: soft, anti-aliased edges, fading to the stripe's mean where the cell is larger than the stripe.
inline float stripe(float d, float half, float inv) {
    const float ad = d < 0.0f ? -d : d;
    const float edge = kit::clampf((half - ad) * inv + 0.5f, 0.0f, 1.0f);
    const float mean = 2.0f * half * inv;
    return edge < mean ? edge : mean;
}

// The position of v within a period p (1 / p given too), 0..p.
inline float within(float v, float p, float invP) {
    return v - kit::floorOf(v * invP) * p;
}

class Landing : public Effect {
  public:
    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const float n = static_cast<float>(c.n);
        const uint32_t f = c.frame % approachFrames;
        const float u = static_cast<float>(f) / approachFrames;
        // Along-track position: a steady approach, touching down at u = 0.8, then a slowing roll-out.
        const float a = kit::clampf(u / 0.8f, 0.0f, 1.0f), r = u > 0.8f ? u - 0.8f : 0.0f;
        camZ_ = -240.0f + a * (touchdown + 240.0f) + r * 1600.0f - r * r * 2500.0f;
        // Height on a steep, friendly glide slope down to the height of a cockpit on the runway.
        height_ = kit::greater(5.0f, (touchdown + 60.0f - camZ_) * 0.06f);
        bank_ = (0.14f * fastSin(u * 11.0f) + 0.06f * fastSin(u * 23.0f + 1.0f)) * (1.0f - a);
        camX_ = 9.0f * fastSin(u * 7.0f + 0.5f) * (1.0f - a);
        horizonV_ = -n * (0.17f - 0.08f * a);
        cosB_ = fastCos(bank_);
        sinB_ = fastSin(bank_);
        cx_ = n * 0.5f;
        cy_ = n * 0.5f * rowScale;
        paintScene(c);
        drawLights(c, f);
    }

  private:
    // Sky and ground per cell: the ground through the inverse of the camera's perspective, textured with the
    // runway's markings and the fields around it. The ground's texture is worked out on every other row;
    // a row between takes the mean of the rows either side where both are ground of nearly the same colour
    // (the plain asphalt and grass that fill most of the screen), and is worked out in full near markings
    // and edges, so lines stay whole. This about halves the entry's largest cost.
    void paintScene(const EffectContext& c) {
        invHeight_ = 1.0f / height_;
        for (int x = 0; x < c.n; ++x) {
            const float dx = static_cast<float>(x) - cx_;
            for (int pass = 0; pass < 2; ++pass) {
                for (int y = pass; y < c.n; y += 2) {
                    if (pass == 1 && ground_[y - 1] && y + 1 < c.n && ground_[y + 1] &&
                        close(column_[y - 1], column_[y + 1])) {
                        column_[y] = kit::mix(column_[y - 1], column_[y + 1], 0.5f);
                        ground_[y] = true;
                        continue;
                    }
                    const float dy = static_cast<float>(y) * rowScale - cy_;
                    const float su = dx * cosB_ + dy * sinB_;
                    const float sv = -dx * sinB_ + dy * cosB_ - horizonV_;
                    ground_[y] = sv >= 0.6f;
                    column_[y] = cellColour(static_cast<float>(c.n), su, sv);
                }
            }
            for (int y = 0; y < c.n; ++y) {
                kit::setCell(c, x, y, column_[y]);
            }
        }
    }

    static bool close(kit::Rgb a, kit::Rgb b) {
        const float d = (a.r > b.r ? a.r - b.r : b.r - a.r) + (a.g > b.g ? a.g - b.g : b.g - a.g) +
                        (a.b > b.b ? a.b - b.b : b.b - a.b);
        return d < 6.0f;
    }

    kit::Rgb cellColour(float n, float su, float sv) const {
        const kit::Rgb zenith = kit::fromLevels(40, 45, 110), mid = kit::fromLevels(150, 90, 140),
                       glow = kit::fromLevels(255, 150, 70);
        const kit::Rgb asphalt = kit::fromLevels(78, 76, 86), paint = kit::fromLevels(235, 232, 225);
        const kit::Rgb grassA = kit::fromLevels(44, 66, 58), grassB = kit::fromLevels(78, 82, 58),
                       haze = kit::fromLevels(170, 120, 120);
        const float invHeight = invHeight_;
        kit::Rgb col;
        if (sv < 0.6f) {
            // Dusk: the afterglow low on one side, deep blue overhead.
            const float up = -sv / n;
            const float sunward = kit::clampf(0.5f + su / n, 0.0f, 1.0f);
            col = up < 0.12f ? kit::mix(glow, mid, up / 0.12f)
                             : kit::mix(mid, zenith, kit::clampf((up - 0.12f) * 2.2f, 0.0f, 1.0f));
            col = kit::mix(col, glow, (1.0f - kit::clampf(up * 4.0f, 0.0f, 1.0f)) * sunward * 0.6f);
        } else {
            // The ground point under the cell, and how many metres the cell spans across (fpx,
            // more away from the middle, so lines running into the distance blur as they should)
            // and along; the three quotients come from one division.
            const float asu = su < 0.0f ? -su : su;
            const float a = sv, b = focal + sv, d = sv + asu;
            const float q = 1.0f / (a * b * d);
            const float fpx = height_ * q * b * d, z = fpx * focal;
            const float gx = su * fpx + camX_, gz = z + camZ_;
            // fpz = fpx * (z / height + 1) = height * b / a^2; inx = a / height * a / d.
            const float inx = a * a * invHeight * (q * a * b), inz = a * a * invHeight * (q * a * d);
            if (gx > -halfWidth && gx < halfWidth && gz > 0.0f && gz < runwayLength) {
                col = asphalt;
                float mark = stripe(halfWidth - 1.5f - (gx < 0.0f ? -gx : gx), 0.8f, inx);
                const float centre = stripe(gx, 0.6f, inx);
                if (centre > 0.0f) { // the centre-line dashes
                    mark += centre * stripe(within(gz, 50.0f, 0.02f) - 15.0f, 15.0f, inz);
                }
                if (gz < 40.0f) { // the piano keys at the threshold
                    mark += stripe(within(gx + halfWidth, 5.0f, 0.2f) - 2.5f, 1.2f, inx) *
                            stripe(gz - 22.0f, 15.0f, inz) * (gx * gx < 22.0f * 22.0f ? 1.0f : 0.0f);
                }
                if (gz > 280.0f && gz < 340.0f) { // the aiming point blocks
                    mark += stripe((gx < 0.0f ? -gx : gx) - 12.0f, 3.0f, inx);
                }
                col = kit::mix(col, paint, kit::clampf(mark, 0.0f, 1.0f));
            } else if (gx > taxiway - 12.0f && gx < taxiway + 12.0f && gz > -100.0f) {
                col = kit::mix(asphalt, grassA, 0.25f);
                col = kit::mix(col, kit::fromLevels(230, 200, 60), stripe(gx - taxiway, 0.4f, inx));
            } else {
                // Fields in bands with furrows across them, the furrows fading out before they are
                // finer than a cell; the approach's strip a little lighter.
                const float band = stripe(within(gz, 140.0f, 1.0f / 140.0f) - 70.0f, 45.0f, inz);
                col = kit::mix(grassA, grassB, band * 0.8f);
                const float fine = inx * 8.0f - 1.0f;
                if (fine > 0.0f) {
                    const float furrow =
                        stripe(within(gx, 6.0f, 1.0f / 6.0f) - 3.0f, 1.0f, inx) * (fine < 1.0f ? fine : 1.0f);
                    col = kit::shade(col, 1.0f - 0.18f * furrow);
                }
                col = kit::mix(col, grassB, stripe(gx, halfWidth * 1.3f, inx) * 0.4f);
            }
            // Evening haze thickens with distance.
            col = kit::mix(col, haze, kit::clampf(z * (1.0f / 3000.0f), 0.0f, 0.8f));
        }
        return col;
    }

    // A ground point to the screen: false when behind the camera or off the grid.
    bool toScreen(const EffectContext& c, float gx, float gz, float& x, float& y, float& dist) const {
        const float rz = gz - camZ_;
        if (rz < 3.0f) {
            return false;
        }
        const float su = (gx - camX_) * focal / rz, sv = height_ * focal / rz + horizonV_;
        const float dx = su * cosB_ - sv * sinB_, dy = su * sinB_ + sv * cosB_;
        x = cx_ + dx;
        y = (cy_ + dy) / rowScale;
        dist = rz;
        return x > -4.0f && y > -4.0f && x < c.n + 4.0f && y < c.n + 4.0f;
    }

    void light(const EffectContext& c, float gx, float gz, kit::Rgb colour, float size) const {
        float x = 0.0f, y = 0.0f, d = 0.0f;
        if (!toScreen(c, gx, gz, x, y, d)) {
            return;
        }
        const float r = kit::clampf(size * focal / d, 0.55f, 2.6f);
        if (r > 1.0f) {
            kit::softDisc(c, x, y, r * 2.2f, colour, 0.45f, kit::Blend::set); // a halo only on near lights
        }
        kit::dot(c, x, y, r * 0.8f, colour);
    }

    void drawLights(const EffectContext& c, uint32_t f) const {
        const kit::Rgb edge = kit::fromLevels(255, 235, 180), green = kit::fromLevels(90, 255, 120),
                       red = kit::fromLevels(255, 60, 50), bar = kit::fromLevels(255, 225, 170);
        for (float z = 60.0f; z < runwayLength; z += 60.0f) {
            light(c, -halfWidth - 2.0f, z, edge, 1.3f);
            light(c, halfWidth + 2.0f, z, edge, 1.3f);
        }
        for (int k = -7; k <= 7; ++k) {
            light(c, static_cast<float>(k) * (halfWidth + 2.0f) / 7.0f, -2.0f, green, 1.3f);
            light(c, static_cast<float>(k) * (halfWidth + 2.0f) / 7.0f, runwayLength, red, 1.3f);
        }
        for (float z = -60.0f; z < runwayLength; z += 45.0f) {
            light(c, taxiway - 13.0f, z, kit::fromLevels(60, 110, 255), 1.2f);
            light(c, taxiway + 13.0f, z, kit::fromLevels(60, 110, 255), 1.2f);
        }
        // The glide-path lights beside the touchdown zone: two white over two red, on the slope.
        for (int k = 0; k < 4; ++k) {
            light(c, -halfWidth - 12.0f - 7.0f * k, touchdown + 20.0f, k < 2 ? kit::white : red, 1.5f);
        }
        // Approach bars out from the threshold, a crossbar at 300 m, and the strobe that runs along them.
        const int lit = stations - static_cast<int>(f % strobeFrames) * stations / strobeFrames;
        for (int s = 1; s <= stations; ++s) {
            const float z = -30.0f * static_cast<float>(s);
            const int span = s == 10 ? 6 : 2;
            for (int k = -span; k <= span; ++k) {
                light(c, static_cast<float>(k) * 2.5f, z, bar, 1.0f);
            }
            if (s == lit || s == lit + 1) {
                float x = 0.0f, y = 0.0f, d = 0.0f;
                if (toScreen(c, 0.0f, z, x, y, d)) {
                    const float r = kit::clampf(5.0f * focal / d, 2.2f, 4.5f);
                    kit::softDisc(c, x, y, r * 2.0f, kit::fromLevels(220, 235, 255), s == lit ? 0.9f : 0.5f,
                                  kit::Blend::set);
                    kit::dot(c, x, y, r * 0.5f, kit::white);
                }
            }
        }
    }

    float camZ_ = 0.0f, camX_ = 0.0f, height_ = 1.0f, bank_ = 0.0f, horizonV_ = 0.0f;
    float cosB_ = 1.0f, sinB_ = 0.0f, cx_ = 0.0f, cy_ = 0.0f, invHeight_ = 1.0f;
    kit::Rgb column_[planeStride];
    bool ground_[planeStride] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Landing);

} // namespace glowfield
