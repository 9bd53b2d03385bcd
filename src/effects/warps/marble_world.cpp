// MarbleWorld: paper marbling. Ink drops land on the bath and spread, pushing the pattern outwards with an
// exact area-preserving displacement (resampled inversely), each drop a new ink; then combs are drawn through
// the bath, dragging the rings into feathers. Drops and combs alternate, and after a few rounds the bath is
// skimmed clean.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"
#include "effects/warps/colour_copy.h"

namespace glowfield {

namespace {

constexpr int dropFrames = 14;
constexpr int dropsPerRound = 7;
constexpr int combFrames = 70;
constexpr int roundsPerBath = 3;
constexpr int skimFrames = 30;

const kit::Rgb inks[6] = {kit::fromLevels(30, 40, 120),  kit::fromLevels(200, 140, 40),
                          kit::fromLevels(170, 30, 40),  kit::fromLevels(240, 236, 220),
                          kit::fromLevels(20, 120, 120), kit::fromLevels(20, 20, 30)};
const kit::Rgb bathColour = kit::fromLevels(232, 222, 196);

class MarbleWorld : public Effect {
  public:
    void start(EffectContext& c) override {
        bath_.fill(c, bathColour);
        age_ = 0;
        newDrop(c);
    }

    void step(EffectContext& c) override {
        // The bath is kept in its own copy: each frame's warp reads it and writes the field, which is then
        // taken back as the bath; a frame without a warp just puts it back.
        bool warped = false;
        const int dropPart = dropFrames * dropsPerRound;
        const int round = dropPart + 2 * combFrames;
        const int inRound = age_ % round;
        if (age_ >= round * roundsPerBath) {
            bath_.restore(c);
            kit::pullColours(c, bathColour, 0.12f);
            if (age_ >= round * roundsPerBath + skimFrames) {
                age_ = -1;
            }
        } else if (inRound < dropPart) {
            const int k = inRound % dropFrames;
            if (k == 0) {
                newDrop(c);
            }
            // The drop's area grows evenly: each frame adds the same area, pushing everything outwards.
            const float before = radius_ * std::sqrt(static_cast<float>(k) / dropFrames);
            const float after = radius_ * std::sqrt(static_cast<float>(k + 1) / dropFrames);
            spread(c, before, after);
            warped = true;
        } else {
            const int stroke = (inRound - dropPart) / combFrames;
            const int f = (inRound - dropPart) % combFrames;
            if (f == 0) {
                combOffset_ = c.randomUnit();
                combSign_ = c.random(0, 1) ? 1.0f : -1.0f;
            }
            comb(c, stroke == 0, f);
            warped = true;
        }
        if (!warped) {
            bath_.restore(c);
        } else {
            kit::scaleVelocities(c, 0.0f); // paint on a bath does not ripple
        }
        bath_.capture(c, 200.0f);
        ++age_;
    }

  private:
    void newDrop(EffectContext& c) {
        const float n = static_cast<float>(c.n);
        dropX_ = n * (0.15f + 0.7f * c.randomUnit());
        dropY_ = n * (0.15f + 0.7f * c.randomUnit());
        radius_ = n * (0.07f + 0.1f * c.randomUnit());
        int pick = c.random(0, 5);
        if (pick == lastInk_) {
            pick = (pick + 1) % 6;
        }
        lastInk_ = pick;
    }

    // Drop growth from radius a to b about the drop centre: a cell at distance d > b shows what lay at
    // sqrt(d^2 - (b^2 - a^2)); inside b, the new ink, edged a little darker.
    void spread(EffectContext& c, float a, float b) {
        const ColourCopy& copy_ = bath_;
        const float grow = b * b - a * a;
        const kit::Rgb ink = inks[lastInk_];
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float dx = (static_cast<float>(x) - dropX_) * 4.0f / 3.0f; // round on screen
                const float dy = static_cast<float>(y) - dropY_;
                const float d2 = dx * dx + dy * dy;
                const int cell = cellAt(x, y);
                if (d2 < b * b) {
                    const float d = std::sqrt(d2);
                    const kit::Rgb colour = d > b - 1.2f ? kit::shade(ink, 0.8f) : ink;
                    c.planes.red[cell] = colour.r;
                    c.planes.green[cell] = colour.g;
                    c.planes.blue[cell] = colour.b;
                    continue;
                }
                const float k = std::sqrt((d2 - grow) / d2);
                const float sx = dropX_ + dx * k * 0.75f, sy = dropY_ + dy * k;
                copy_.sampleInto(c, x, y, sx, sy);
            }
        }
    }

    // A comb of tines drawn across the bath: each frame cells are dragged along the stroke, most near a
    // tine, so straight rings become chevrons and feathers. The tines wave a little as they travel.
    void comb(EffectContext& c, bool across, int f) {
        const ColourCopy& copy_ = bath_;
        const float spacing = static_cast<float>(c.n) / 7.0f;
        const float speed = 2.2f * combSign_;
        const float lambda = 5.0f;
        const float wave = 6.0f * fastSin(static_cast<float>(f) * 0.15f);
        bend_.resize(static_cast<size_t>(c.n));
        for (int k = 0; k < c.n; ++k) {
            bend_[static_cast<size_t>(k)] = wave * fastSin(static_cast<float>(k) * 0.05f);
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const float cross =
                    static_cast<float>(across ? y : x) + bend_[static_cast<size_t>(across ? x : y)];
                const float q = cross / spacing + combOffset_;
                const float dist = absf(q - static_cast<float>(kit::roundCell(q))) * spacing;
                const float shift = speed * lambda / (dist + lambda);
                const float sx = static_cast<float>(x) - (across ? shift : 0.0f);
                const float sy = static_cast<float>(y) - (across ? 0.0f : shift);
                copy_.sampleInto(c, x, y, sx, sy);
            }
        }
    }

    ColourCopy bath_;
    std::vector<float> bend_;
    int age_ = 0;
    float dropX_ = 0.0f, dropY_ = 0.0f, radius_ = 10.0f;
    int lastInk_ = 0;
    float combOffset_ = 0.0f, combSign_ = 1.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(MarbleWorld);

} // namespace glowfield
