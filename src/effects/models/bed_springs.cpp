// BedSprings: a mattress frame seen from above at an angle. A six by six grid of coil springs holds up a
// mesh on which a ball bounces; each impact presses the nearest springs down and the dent spreads to their
// neighbours as a mass-spring grid. The ball wanders, leaning towards the mouse.
#include <array>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int side = 6;

class BedSprings : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        ball_ = Vec3{0.0f, -n * 0.3f, 0.0f};
        ballSpeed_ = 0.0f;
        for (auto& row : dent_) {
            row.fill(0.0f);
        }
        for (auto& row : speed_) {
            row.fill(0.0f);
        }
    }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(30, 25, 40), kit::fromLevels(10, 10, 20), 0.5f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const float gap = n * 0.13f, half = gap * (side - 1) * 0.5f;
        const float topY = n * 0.05f, baseY = n * 0.22f, radius = gap * 0.3f;
        // The springs: each pulled back to rest, coupled to its neighbours, damped.
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                float around = 0.0f;
                int count = 0;
                for (const auto& [di, dj] :
                     {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                    if (i + di >= 0 && i + di < side && j + dj >= 0 && j + dj < side) {
                        around += dent_[i + di][j + dj];
                        ++count;
                    }
                }
                const float d = dent_[i][j];
                speed_[i][j] +=
                    -0.06f * d + 0.08f * (around - static_cast<float>(count) * d) - 0.08f * speed_[i][j];
            }
        }
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                dent_[i][j] = kit::clampf(dent_[i][j] + speed_[i][j], -gap, gap * 1.2f);
            }
        }
        // The ball: it wanders over the mattress, pulled towards where the mouse points.
        const float mx = (static_cast<float>(c.mouseX) / n - 0.5f) * half * 1.2f;
        const float mz = (0.5f - static_cast<float>(c.mouseY) / n) * half * 1.2f;
        ball_.x += (half * 0.8f * fastSin(t * 0.007f) + mx - ball_.x) * 0.02f;
        ball_.z += (half * 0.8f * fastCos(t * 0.0053f) + mz - ball_.z) * 0.02f;
        ballSpeed_ += n * 0.0018f;
        ball_.y += ballSpeed_;
        const float ballRadius = n * 0.06f;
        const float fi = kit::clampf((ball_.x + half) / gap, 0.0f, side - 1.0f);
        const float fj = kit::clampf((ball_.z + half) / gap, 0.0f, side - 1.0f);
        const int ci = kit::roundCell(fi), cj = kit::roundCell(fj);
        const float surface = topY + dent_[ci][cj];
        if (ball_.y + ballRadius > surface && ballSpeed_ > 0.0f) {
            // The impact presses the springs nearest the ball; the ball leaves again at a set speed, so the
            // bouncing never dies away.
            for (int i = 0; i < side; ++i) {
                for (int j = 0; j < side; ++j) {
                    const float di = static_cast<float>(i) - fi, dj = static_cast<float>(j) - fj;
                    const float w = 1.0f - (di * di + dj * dj) / 2.5f;
                    if (w > 0.0f) {
                        speed_[i][j] += ballSpeed_ * 0.8f * w;
                    }
                }
            }
            ballSpeed_ = -n * 0.038f;
            ball_.y = surface - ballRadius;
        }
        if (!(ball_.y > -n * 2.0f && ball_.y < n * 2.0f)) {
            ball_.y = -n * 0.3f;
            ballSpeed_ = 0.0f;
        }

        const float sway = 0.35f * fastSin(t * 0.004f);
        const auto view = [&](Vec3 p) {
            return kit::rotateX(kit::rotateY(p, sway), 0.7f) + Vec3{0.0f, -n * 0.05f, n * 0.35f};
        };
        Vec3 tops[side][side];
        // Back rows first.
        for (int j = side - 1; j >= 0; --j) {
            for (int i = 0; i < side; ++i) {
                const float x = static_cast<float>(i) * gap - half, z = static_cast<float>(j) * gap - half;
                const float y0 = baseY, y1 = topY + dent_[i][j];
                const float squeeze = kit::clampf(dent_[i][j] / gap, 0.0f, 1.0f);
                const kit::Rgb steel =
                    kit::mix(kit::fromLevels(150, 170, 200), kit::fromLevels(255, 120, 80), squeeze);
                constexpr int coils = 5, per = 8;
                Vec3 last = view(Vec3{x + radius, y0, z});
                for (int k = 1; k <= coils * per; ++k) {
                    const float u = static_cast<float>(k) / (coils * per);
                    const float a = u * coils * kit::twoPi;
                    const Vec3 p =
                        view(Vec3{x + radius * fastCos(a), y0 + (y1 - y0) * u, z + radius * fastSin(a)});
                    kit::fastLine(c, last, p, steel);
                    last = p;
                }
                tops[i][j] = view(Vec3{x, y1, z});
            }
        }
        const kit::Rgb mesh = kit::fromLevels(240, 225, 180);
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                if (i + 1 < side) {
                    kit::fastLine(c, tops[i][j], tops[i + 1][j], mesh, true);
                }
                if (j + 1 < side) {
                    kit::fastLine(c, tops[i][j], tops[i][j + 1], mesh, true);
                }
            }
        }
        // The ball, with its shadow on the mesh.
        const kit::Projected shadow = kit::project(c, view(Vec3{ball_.x, surface, ball_.z}));
        if (shadow.visible) {
            kit::fillDisc(c, shadow.x, shadow.y, ballRadius * shadow.scale * 0.8f,
                          kit::fromLevels(20, 15, 25));
        }
        const kit::Projected b = kit::project(c, view(ball_));
        if (b.visible) {
            const float r = ballRadius * b.scale;
            kit::fillDisc(c, b.x, b.y, r + 1.0f, kit::fromLevels(60, 10, 20));
            kit::fillDisc(c, b.x, b.y, r, kit::fromLevels(230, 40, 60));
            kit::softDisc(c, b.x - r * 0.35f, b.y - r * 0.35f, r * 0.5f, kit::fromLevels(255, 230, 230), 0.8f,
                          kit::Blend::set);
        }
    }

  private:
    using Vec3 = kit::Vec3;
    Vec3 ball_;
    float ballSpeed_ = 0.0f;
    std::array<std::array<float, side>, side> dent_{};
    std::array<std::array<float, side>, side> speed_{};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(BedSprings);

} // namespace glowfield
