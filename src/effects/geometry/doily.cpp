// Doily: a lace doily crocheted ring by ring from the centre on a dark wooden table. Each ring is one of a
// few stitches (holes, spokes, scallops, mesh, picot loops) with random sizes, worked once round by a
// travelling hook and mirrored into 24 wedges; when the doily reaches the edge it rests, fades, and a new one
// begins.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int maxRings = 24;
constexpr int wedges = 24;
constexpr int ringFrames = 12;
constexpr int restFrames = 300;
constexpr int fadeFrames = 40;

struct Ring {
    float inner = 0.0f;
    float outer = 0.0f;
    int stitch = 0;
    float size = 0.5f; // a stitch-specific proportion
};

class Doily : public Effect {
  public:
    void start(EffectContext& c) override { design(c); }

    void step(EffectContext& c) override {
        ++age_;
        const int worked = age_ / ringFrames; // rings finished
        const int total = ringCount_ * ringFrames;
        if (age_ > total + restFrames + fadeFrames) {
            design(c);
        }
        const float progress = static_cast<float>(age_ % ringFrames) / ringFrames;
        const float fade = age_ > total + restFrames
                               ? 1.0f - static_cast<float>(age_ - total - restFrames) / fadeFrames
                               : 1.0f;
        const float turn = static_cast<float>(c.frame % 100000u) * 0.0015f;
        const float wedge = kit::twoPi / wedges;
        const kit::Rgb thread = kit::fromLevels(246, 236, 206);
        if (wood_.size() != static_cast<size_t>(c.n * c.n)) {
            layTable(c);
            markRings();
        }
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                const size_t cell = static_cast<size_t>(x * c.n + y);
                kit::Rgb colour = wood_[cell];
                const float r = radius_[cell];
                const int k = ring_[cell];
                if (k >= 0 && k <= worked && fade > 0.0f) {
                    float a = angle_[cell] + turn; // 0..2pi and a little more
                    a -= kit::twoPi * static_cast<float>(kit::toCell(a / kit::twoPi));
                    const bool showing = k < worked || a / kit::twoPi < progress;
                    if (showing) {
                        const float local = a - wedge * static_cast<float>(kit::toCell(a / wedge));
                        const float u = absf(local - wedge * 0.5f); // 0 on the wedge's centre line
                        const float cover = stitch(rings_[k], r, u, wedge * 0.5f);
                        if (cover > 0.0f) {
                            const kit::Rgb shadow = kit::shade(colour, 0.55f);
                            colour = kit::mix(shadow, thread, cover * fade);
                        }
                    }
                }
                kit::paintSolid(c, x, y, colour);
            }
        }
    }

  private:
    // What never changes: the wood of the table and each cell's radius and angle about the centre.
    void layTable(EffectContext& c) {
        const size_t cells = static_cast<size_t>(c.n * c.n);
        wood_.resize(cells);
        radius_.resize(cells);
        angle_.resize(cells);
        const float half = static_cast<float>(c.n) * 0.5f;
        for (int x = 0; x < c.n; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            for (int y = 0; y < c.n; ++y) {
                const float fy = static_cast<float>(y) + 0.5f;
                const size_t cell = static_cast<size_t>(x * c.n + y);
                // Dark wood with a wavering grain.
                const float grain = fastSin(fy * 0.11f + 2.5f * fastSin(fx * 0.013f + fy * 0.004f));
                wood_[cell] =
                    kit::fromLevels(58 + kit::toCell(10.0f * grain), 32 + kit::toCell(6.0f * grain), 18);
                const float dx = (fx - half) * 4.0f / 3.0f, dy = fy - half; // cells show 4 wide, 3 tall
                radius_[cell] = std::sqrt(dx * dx + dy * dy);
                angle_[cell] = kit::angleOf(dx, dy) + kit::pi;
            }
        }
    }

    // Which ring each cell belongs to, looked up once per design.
    void markRings() {
        ring_.resize(radius_.size());
        for (size_t cell = 0; cell < radius_.size(); ++cell) {
            ring_[cell] = static_cast<signed char>(ringAt(radius_[cell]));
        }
    }

    void design(EffectContext& c) {
        age_ = 0;
        const float limit = static_cast<float>(c.n) * 0.49f;
        float r = static_cast<float>(c.random(5, 8));
        ringCount_ = 0;
        rings_[0] = {0.0f, r, 0, 0.5f}; // the centre: a solid button with a hole
        ++ringCount_;
        int last = -1;
        while (ringCount_ < maxRings) {
            const float width = static_cast<float>(c.random(5, 12));
            if (r + width > limit) {
                break;
            }
            int s = c.random(1, 5);
            if (s == last) {
                s = s % 5 + 1;
            }
            last = s;
            rings_[ringCount_++] = {r, r + width, s, 0.3f + 0.4f * c.randomUnit()};
            r += width;
        }
        markRings();
    }

    int ringAt(float r) const {
        for (int k = 0; k < ringCount_; ++k) {
            if (r < rings_[k].outer) {
                return k;
            }
        }
        return -1;
    }

    // Thread cover (0..1) of the stitch at radius r and angle u from the wedge's centre line (0..halfWedge).
    static float stitch(const Ring& ring, float r, float u, float halfWedge) {
        const float width = ring.outer - ring.inner;
        const float q = (r - ring.inner) / width;      // 0..1 across the ring
        const float s = u * r;                         // cells from the centre line
        const float edge = halfWedge * r;              // cells from centre line to the wedge's edge
        const float border = width - (r - ring.inner); // cells to the ring's outer thread
        const auto line = [](float d) { return kit::clampf(1.3f - absf(d), 0.0f, 1.0f); };
        float cover = line(border - 0.5f); // every ring is closed by a round thread
        switch (ring.stitch) {
        case 0: { // centre button with a ring of holes
            const float hole = std::sqrt(s * s + (r - width * 0.55f) * (r - width * 0.55f));
            cover = kit::clampf(hole - width * 0.18f, 0.0f, 1.0f);
            break;
        }
        case 1: { // round holes in a solid band
            const float dq = (q - 0.5f) * width;
            const float d = std::sqrt(s * s + dq * dq);
            cover = kit::clampf(d - width * ring.size * 0.55f, 0.0f, 1.0f);
            break;
        }
        case 2: // spokes: threads on the centre line and the wedge edges
            cover = cover > line(s) ? cover : line(s);
            cover = cover > line(edge - s) ? cover : line(edge - s);
            break;
        case 3: { // scallops: an arch per wedge, filled below
            const float v = s / (edge > 0.5f ? edge : 0.5f);
            const float arch = width * (0.95f - 0.6f * v * v);
            const float d = (r - ring.inner) - arch;
            cover = d < 0.0f ? (d > -1.2f ? 1.0f : 0.75f) : kit::clampf(1.0f - d, 0.0f, 1.0f);
            cover = cover > line(border - 0.5f) ? cover : line(border - 0.5f);
            break;
        }
        case 4: { // diamond mesh
            const float spacing = 3.0f + 3.0f * ring.size;
            const float d1 = (s + (r - ring.inner)) / spacing, d2 = (s - (r - ring.inner)) / spacing;
            const float f1 = d1 - static_cast<float>(kit::toCell(d1 + 0.5f));
            const float f2 = d2 - static_cast<float>(kit::toCell(d2 + 0.5f));
            const float m = line(f1 * spacing) > line(f2 * spacing) ? line(f1 * spacing) : line(f2 * spacing);
            cover = cover > m ? cover : m;
            break;
        }
        default: { // picot loops: a little ring of thread in each wedge
            const float cq = (q - 0.5f) * width;
            const float d = std::sqrt(s * s + cq * cq);
            const float loop = line(d - width * (0.2f + 0.2f * ring.size));
            cover = cover > loop ? cover : loop;
            const float inner = line((r - ring.inner) - 0.5f);
            cover = cover > inner ? cover : inner;
            break;
        }
        }
        return cover;
    }

    std::vector<kit::Rgb> wood_;
    std::vector<float> radius_, angle_;
    std::vector<signed char> ring_;
    Ring rings_[maxRings];
    int ringCount_ = 0;
    int age_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Doily);

} // namespace glowfield
