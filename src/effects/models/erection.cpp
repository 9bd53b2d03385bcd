// Erection: a scaffold tower going up. Posts, beams and braces are added one member at a time from the
// ground upwards while the tower slowly turns; a crane jib on top swings round and lowers each new member
// into place. When the tower is finished it stands a moment, fades, and a new one begins.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int levels = 6;
constexpr int framesPerMember = 6;

class Erection : public Effect {
  public:
    void start(EffectContext& c) override {
        const float n = static_cast<float>(c.n);
        const float w = n * 0.16f, storey = n * 0.13f, ground = n * 0.42f;
        members_.clear();
        const auto corner = [&](int k, int level) {
            const float x = (k == 1 || k == 2) ? w : -w, z = k >= 2 ? w : -w;
            return Vec3{x, ground - storey * static_cast<float>(level), z};
        };
        for (int level = 0; level < levels; ++level) {
            for (int k = 0; k < 4; ++k) {
                members_.push_back({corner(k, level), corner(k, level + 1), 0});
            }
            for (int k = 0; k < 4; ++k) {
                members_.push_back({corner(k, level + 1), corner((k + 1) % 4, level + 1), 1});
            }
            for (int k = 0; k < 4; ++k) {
                // Braces zig-zag: alternate diagonals from one storey to the next.
                const bool flip = (level + k) % 2 == 0;
                members_.push_back(
                    {corner(k, level + (flip ? 0 : 1)), corner((k + 1) % 4, level + (flip ? 1 : 0)), 2});
            }
        }
        // The first storey is already up when the entry starts.
        built_ = 12 * framesPerMember;
    }

    void step(EffectContext& c) override {
        kit::settleGradient(c, kit::fromLevels(60, 110, 170), kit::fromLevels(170, 160, 150), 0.5f);
        const float n = static_cast<float>(c.n);
        const float t = static_cast<float>(c.frame % 200000u);
        const int total = static_cast<int>(members_.size()) * framesPerMember;
        ++built_;
        if (built_ > total + 160) {
            built_ = 12 * framesPerMember;
        }
        const float fade =
            1.0f - kit::smoothstep(static_cast<float>(total + 80), static_cast<float>(total + 150),
                                   static_cast<float>(built_));
        const float spin = t * 0.008f;
        const auto view = [&](Vec3 p) {
            return kit::rotateX(kit::rotateY(p, spin), 0.22f) + Vec3{0.0f, -n * 0.02f, n * 0.3f};
        };
        // The ground: a square pad.
        const float pad = n * 0.35f, ground = n * 0.42f;
        const Vec3 padCorners[4] = {
            {-pad, ground, -pad}, {pad, ground, -pad}, {pad, ground, pad}, {-pad, ground, pad}};
        for (int k = 0; k < 4; ++k) {
            kit::solidLine(c, view(padCorners[k]), view(padCorners[(k + 1) % 4]), kit::fromLevels(90, 80, 60),
                           2.0f);
        }
        static constexpr kit::Rgb colours[3] = {kit::fromLevels(190, 80, 20), kit::fromLevels(230, 170, 20),
                                                kit::fromLevels(60, 60, 75)};
        const kit::Rgb haze = kit::fromLevels(130, 145, 160);
        // Steel: nearer members darker and stronger, farther ones paler into the haze; the finished tower
        // fades into it altogether.
        const auto steel = [&](kit::Rgb colour, Vec3 a, Vec3 b) {
            const float far = kit::clampf((a.z + b.z) / (n * 1.6f) - 0.35f, 0.0f, 0.6f);
            return kit::mix(colour, haze, 1.0f - (1.0f - far) * fade);
        };
        const int done = built_ / framesPerMember;
        const int count = static_cast<int>(members_.size());
        for (int m = 0; m < count && m < done; ++m) {
            const Member& mb = members_[static_cast<size_t>(m)];
            const Vec3 a = view(mb.a), b = view(mb.b);
            kit::solidLine(c, a, b, steel(colours[mb.kind], a, b), mb.kind == 2 ? 1.3f : 2.6f);
        }
        // The crane: a mast on the highest finished level, a jib swinging to the next member, a hook line.
        const int next = done < count ? done : count - 1;
        const Member& target = members_[static_cast<size_t>(next)];
        float topY = ground;
        for (int m = 0; m < done && m < count; ++m) {
            topY = std::min(
                topY, std::min(members_[static_cast<size_t>(m)].a.y, members_[static_cast<size_t>(m)].b.y));
        }
        const Vec3 mastFoot{0.0f, topY, 0.0f}, mastTop{0.0f, topY - n * 0.14f, 0.0f};
        const Vec3 goal = (target.a + target.b) * 0.5f;
        const float swing = kit::angleOf(goal.x, goal.z) + 0.3f * fastSin(t * 0.05f);
        const float reach = n * 0.3f;
        const Vec3 jibEnd = mastTop + Vec3{reach * fastCos(swing), 0.0f, reach * fastSin(swing)};
        const Vec3 counter =
            mastTop - Vec3{reach * 0.3f * fastCos(swing), 0.0f, reach * 0.3f * fastSin(swing)};
        const kit::Rgb crane = kit::mix(kit::fromLevels(250, 220, 40), haze, 1.0f - fade);
        kit::solidLine(c, view(mastFoot), view(mastTop), crane, 2.0f);
        kit::solidLine(c, view(counter), view(jibEnd), crane, 2.0f);
        if (done < count) {
            // The new member rides in on the hook and settles over its six frames.
            const float u = static_cast<float>(built_ % framesPerMember + 1) / framesPerMember;
            const Vec3 lift = Vec3{0.0f, -n * 0.08f * (1.0f - u), 0.0f};
            const Vec3 a = target.a + lift, b = target.b + lift;
            kit::solidLine(c, view(jibEnd), view((a + b) * 0.5f), kit::fromLevels(40, 40, 40), 0.5f);
            kit::solidLine(c, view(a), view(b), kit::white, 2.6f);
        }
    }

  private:
    using Vec3 = kit::Vec3;
    struct Member {
        Vec3 a, b;
        int kind = 0; // 0 post, 1 beam, 2 brace
    };
    std::vector<Member> members_;
    int built_ = 0;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Erection);

} // namespace glowfield
