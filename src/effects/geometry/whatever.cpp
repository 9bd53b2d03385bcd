// Whatever: a shrug of an effect. One bold brush gesture at a time (a spiral, an open circle, a figure of
// eight, a row of loops, a star, a question mark, or the shrug itself) is drawn stroke by stroke on a plain
// ground, a glint runs along the wet ink, and then the whole thing is swept aside for the next one.
#include <cmath>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int drawFrames = 70;
constexpr int holdFrames = 22;
constexpr int sweepFrames = 26;
constexpr int gestureFrames = drawFrames + holdFrames + sweepFrames;
constexpr float rowScale = 0.75f; // a cell is 4 pixels wide and 3 tall
constexpr int kinds = 7;

class Whatever : public Effect {
  public:
    void start(EffectContext& c) override {
        n_ = c.n;
        ink_.assign(static_cast<size_t>(n_) * n_, -1.0f);
        nextGround_ = kit::fromLevels(70, 80, 100);
        begin(c);
        age_ = drawFrames / 3; // already under way when the entry starts
        for (int f = 0; f < age_; ++f) {
            draw(static_cast<float>(f + 1) / drawFrames);
        }
    }

    void step(EffectContext& c) override {
        if (age_ >= gestureFrames) {
            begin(c);
        }
        if (age_ < drawFrames) {
            draw(static_cast<float>(age_ + 1) / drawFrames);
        }
        // Swept aside: the drawing slides off, slowly at first, and the next ground comes in with it.
        const float sweep =
            age_ > drawFrames + holdFrames
                ? kit::smoothstep(0.0f, 1.0f,
                                  static_cast<float>(age_ - drawFrames - holdFrames) / sweepFrames)
                : 0.0f;
        const float n = static_cast<float>(n_);
        const float ox = sweepX_ * sweep * sweep * n * 1.2f, oy = sweepY_ * sweep * sweep * n * 1.2f;
        const int sx = kit::toCell(ox), sy = kit::toCell(oy);
        const float glint = static_cast<float>(c.frame % 60u) / 60.0f * 1.4f - 0.2f;
        const float t = static_cast<float>(c.frame % 100000u);
        for (int x = 0; x < n_; ++x) {
            for (int y = 0; y < n_; ++y) {
                // The ground: a soft light from the upper left, breathing slowly.
                const float lightness = 0.8f + 0.2f * fastSin((x + y) * 0.012f + t * 0.02f);
                kit::Rgb col = kit::shade(kit::mix(ground_, nextGround_, sweep), lightness);
                const int gx = x - sx, gy = y - sy;
                const float s = inkAt(gx, gy);
                if (s >= 0.0f) {
                    // Wet ink with a glint running along the stroke.
                    const float d = (s - glint) * 9.0f;
                    const float shine = d > -1.0f && d < 1.0f ? 1.0f - d * d : 0.0f;
                    col = kit::mix(colour_, kit::white, shine * 0.6f);
                } else if (inkAt(gx - 2, gy - 3) >= 0.0f) {
                    col = kit::shade(col, 0.55f); // its shadow on the ground
                }
                kit::paintSolid(c, x, y, col);
            }
        }
        ++age_;
    }

  private:
    struct Point {
        float x, y;
        bool penDown; // false: lift the pen and start a new stroke here
    };

    float inkAt(int x, int y) const {
        if (x < 0 || y < 0 || x >= n_ || y >= n_) {
            return -1.0f;
        }
        return ink_[static_cast<size_t>(x) * n_ + y];
    }

    void begin(EffectContext& c) {
        age_ = 0;
        drawn_ = 0.0f;
        ink_.assign(static_cast<size_t>(n_) * n_, -1.0f);
        ground_ = nextGround_;
        const float hue = c.randomUnit();
        nextGround_ = kit::hsv(hue + 0.5f, 0.35f, 0.5f + 0.2f * c.randomUnit());
        colour_ = kit::hsv(hue, 0.85f, 1.0f);
        const float a = c.randomUnit() * kit::twoPi;
        sweepX_ = fastCos(a);
        sweepY_ = fastSin(a);
        int kind = c.random(0, kinds - 1);
        if (kind == lastKind_) {
            kind = (kind + 1) % kinds;
        }
        lastKind_ = kind;
        shape(kind, c.randomUnit() < 0.5f ? 1.0f : -1.0f);
        // Stroke lengths, so the pen moves at an even pace along the whole gesture.
        length_.assign(points_.size(), 0.0f);
        float total = 0.0f;
        for (size_t i = 1; i < points_.size(); ++i) {
            if (points_[i].penDown) {
                const float dx = points_[i].x - points_[i - 1].x,
                            dy = (points_[i].y - points_[i - 1].y) * rowScale;
                total += std::sqrt(dx * dx + dy * dy);
            }
            length_[i] = total;
        }
        total_ = total > 1.0f ? total : 1.0f;
    }

    // The gesture as pen points in cells, about the middle of the screen.
    void shape(int kind, float flip) {
        points_.clear();
        const float n = static_cast<float>(n_), cx = n * 0.5f, cy = n * 0.5f, r = n * 0.36f;
        const auto put = [&](float u, float v, bool down = true) {
            points_.push_back(Point{cx + u * flip * r, cy + v * r / rowScale, down});
        };
        constexpr int steps = 160;
        switch (kind) {
        case 0: // a spiral, from the middle out
            for (int i = 0; i <= steps; ++i) {
                const float f = static_cast<float>(i) / steps, a = f * 5.0f * kit::pi;
                put((0.08f + 0.9f * f) * fastCos(a), (0.08f + 0.9f * f) * fastSin(a), i > 0);
            }
            break;
        case 1: // the open circle of a single brush stroke
            for (int i = 0; i <= steps; ++i) {
                const float a = -1.9f + static_cast<float>(i) / steps * (kit::twoPi - 0.45f);
                const float rr = 0.85f + 0.04f * fastSin(a * 3.0f);
                put(rr * fastCos(a), rr * fastSin(a), i > 0);
            }
            break;
        case 2: // a figure of eight lying down
            for (int i = 0; i <= steps; ++i) {
                const float a = static_cast<float>(i) / steps * kit::twoPi, s = fastSin(a), k = 1.0f + s * s;
                put(1.1f * fastCos(a) / k, 1.3f * s * fastCos(a) / k, i > 0);
            }
            break;
        case 3: // a row of loops, like a telephone cord
            for (int i = 0; i <= steps; ++i) {
                const float f = static_cast<float>(i) / steps, a = f * 4.5f * kit::twoPi;
                put(-1.15f + 2.3f * f - 0.22f * fastSin(a), 0.15f - 0.4f * fastCos(a) * (0.6f + 0.4f * f),
                    i > 0);
            }
            break;
        case 4: // a five-pointed star in one line
            for (int i = 0; i <= 5; ++i) {
                const float a = -kit::pi * 0.5f + static_cast<float>(i) * 0.8f * kit::twoPi;
                put(0.95f * fastCos(a), 0.95f * fastSin(a), i > 0);
            }
            break;
        case 5: // a question mark: hook, stem, and the dot
            for (int i = 0; i <= steps / 2; ++i) {
                const float a = kit::pi * 1.05f + static_cast<float>(i) / (steps / 2) * kit::pi * 1.45f;
                put(0.42f * fastCos(a), -0.45f + 0.42f * fastSin(a), i > 0);
            }
            put(0.0f, 0.38f);
            put(0.0f, 0.72f, false);
            put(0.0f, 0.76f);
            break;
        default: { // the shrug: arms out, hands up, a smiling face between
            const float arm[][2] = {{-1.25f, -0.4f}, {-0.98f, -0.4f}, {-0.74f, 0.3f}, {-0.56f, 0.3f}};
            for (int i = 0; i < 4; ++i) {
                put(arm[i][0], arm[i][1], i > 0);
            }
            for (int i = 0; i < 4; ++i) {
                put(-arm[i][0], arm[i][1], i > 0);
            }
            for (int side = -1; side <= 1; side += 2) { // the brackets round the face
                for (int i = 0; i <= 12; ++i) {
                    const float a = (static_cast<float>(i) / 12.0f - 0.5f) * 2.4f;
                    put(side * (0.3f + 0.2f * fastCos(a)), 0.5f * fastSin(a), i > 0);
                }
            }
            put(-0.17f, -0.12f, false); // eyes and smile
            put(-0.1f, -0.05f);
            put(0.06f, -0.12f, false);
            put(0.13f, -0.05f);
            for (int i = 0; i <= 10; ++i) {
                const float a = kit::pi * (0.15f + 0.7f * static_cast<float>(i) / 10.0f);
                put(0.2f * fastCos(a), 0.05f + 0.2f * fastSin(a), i > 0);
            }
            break;
        }
        }
    }

    // Inks the gesture up to fraction f of its length, as discs that swell in the middle of each stroke and
    // taper at its ends, each cell remembering how far along the gesture it was inked.
    void draw(float f) {
        const float upTo = f * total_;
        const float n = static_cast<float>(n_);
        const float width = n * 0.028f;
        size_t strokeStart = 0;
        for (size_t i = 1; i < points_.size(); ++i) {
            if (!points_[i].penDown) {
                strokeStart = i;
                continue;
            }
            if (length_[i - 1] >= upTo) {
                break;
            }
            if (length_[i] <= drawn_) {
                continue;
            }
            size_t strokeEnd = i;
            while (strokeEnd + 1 < points_.size() && points_[strokeEnd + 1].penDown) {
                ++strokeEnd;
            }
            const float from = length_[strokeStart], span = length_[strokeEnd] - from + 0.001f;
            const float seg = length_[i] - length_[i - 1];
            const int parts = kit::toCell(seg * 2.0f) + 1;
            for (int k = 0; k <= parts; ++k) {
                const float u = static_cast<float>(k) / parts;
                const float at = length_[i - 1] + seg * u;
                if (at > upTo || at < drawn_ - 1.0f) {
                    continue;
                }
                const float local = (at - from) / span;
                const float taper = 0.35f + 0.65f * fastSin(kit::pi * kit::clampf(local, 0.0f, 1.0f));
                stamp(kit::lerp(points_[i - 1].x, points_[i].x, u),
                      kit::lerp(points_[i - 1].y, points_[i].y, u), width * taper, at / total_);
            }
        }
        drawn_ = upTo;
    }

    void stamp(float cx, float cy, float r, float along) {
        const float ry = r / rowScale;
        const int x0 = kit::toCell(cx - r), x1 = kit::toCell(cx + r) + 1;
        const int y0 = kit::toCell(cy - ry), y1 = kit::toCell(cy + ry) + 1;
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < n_; ++x) {
            for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < n_; ++y) {
                const float u = (x + 0.5f - cx) / r, v = (y + 0.5f - cy) / ry;
                if (u * u + v * v <= 1.0f) {
                    float& cell = ink_[static_cast<size_t>(x) * n_ + y];
                    cell = cell < 0.0f ? along : cell;
                }
            }
        }
    }

    int n_ = 0, age_ = 0, lastKind_ = -1;
    float drawn_ = 0.0f, total_ = 1.0f, sweepX_ = 1.0f, sweepY_ = 0.0f;
    kit::Rgb ground_, nextGround_, colour_;
    std::vector<float> ink_, length_;
    std::vector<Point> points_;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Whatever);

} // namespace glowfield
