// Burst: a comic-book burst. Rays, alternately white and coloured, flare from a focal point over a halftone
// backdrop and turn slowly while their lengths breathe; a jagged star sits at the focus with a sound word on
// it, lettered in halftone with a black outline and a drop shadow. Every five seconds a new panel, with a new
// focus, word and colours, fades in over the last in half a second: a cut would flash the whole screen.
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

constexpr int rays = 28;       // an even count, so that white and coloured rays alternate all round
constexpr int starPoints = 16; // the jagged star's outer points
constexpr uint32_t panelFrames = 250;
constexpr uint32_t fadeFrames = 25; // a new panel fading in over the last
constexpr float spinRate = 0.0025f; // radians a frame: a ray passes a point about once a second

// A comic panel's colours: halftone paper and dots, the coloured rays, and the word's fill and dots.
struct Scheme {
    kit::Rgb paper, dots, ray, letter, letterDots;
};

const Scheme schemes[] = {
    {kit::fromLevels(255, 214, 64), kit::fromLevels(235, 120, 30), kit::fromLevels(230, 40, 40),
     kit::fromLevels(255, 250, 90), kit::fromLevels(235, 60, 30)},
    {kit::fromLevels(110, 200, 245), kit::fromLevels(40, 90, 200), kit::fromLevels(250, 200, 30),
     kit::fromLevels(255, 60, 50), kit::fromLevels(255, 220, 60)},
    {kit::fromLevels(250, 150, 190), kit::fromLevels(200, 40, 120), kit::fromLevels(60, 110, 230),
     kit::fromLevels(255, 240, 70), kit::fromLevels(40, 170, 230)},
    {kit::fromLevels(160, 230, 120), kit::fromLevels(40, 150, 70), kit::fromLevels(150, 60, 200),
     kit::fromLevels(255, 150, 30), kit::fromLevels(230, 30, 40)},
};
constexpr int schemeCount = sizeof schemes / sizeof schemes[0];

const char* const words[] = {"POW", "BAM", "ZAP", "WHAM", "BOOM", "KAPOW"};
constexpr int wordCount = sizeof words / sizeof words[0];

// Cells show 4 pixels wide and 3 high: a round shape is this much taller in cells than wide.
constexpr float aspect = 4.0f / 3.0f;

// A dot screen turned 45 degrees: true where a cell lies inside a dot of the given radius (in cell widths).
bool inDot(int x, int y, float pitch, float radius) {
    const float fy = static_cast<float>(y) / aspect;
    const float u = (static_cast<float>(x) + fy) * 0.7071f / pitch;
    const float v = (static_cast<float>(x) - fy) * 0.7071f / pitch;
    const float du = (u - std::floor(u) - 0.5f) * pitch, dv = (v - std::floor(v) - 0.5f) * pitch;
    return du * du + dv * dv < radius * radius;
}

class Burst : public Effect {
  public:
    void start(EffectContext& c) override {
        kit::tameField(c);
        started_ = c.frame;
        newPanel(c);
        word_ = 0; // the first panel says it plainly
    }

    void step(EffectContext& c) override {
        kit::scaleVelocities(c, 0.0f);
        const uint32_t age = c.frame - started_;
        if (age > 0u && age % panelFrames == 0u) {
            newPanel(c);
        }
        const uint32_t inPanel = age % panelFrames;
        const float t = static_cast<float>(inPanel);
        const float n = static_cast<float>(c.n);
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                kit::setCell(c, x, y, backdrop_[i]);
            }
        }
        // The rays: long thin triangles from the focus.
        const float spin = spin_ + spinSign_ * spinRate * t;
        for (int r = 0; r < rays; ++r) {
            const Ray& ray = rays_[r];
            const float a = ray.angle + spin;
            const float len = n * ray.length * (1.0f + 0.08f * fastSin(t * 0.045f + ray.phase));
            const float xs[3] = {fx_, fx_ + fastCos(a - ray.width) * len, fx_ + fastCos(a + ray.width) * len};
            const float ys[3] = {fy_, fy_ + fastSin(a - ray.width) * len * aspect,
                                 fy_ + fastSin(a + ray.width) * len * aspect};
            kit::fillPolygon(c, xs, ys, 3, r % 2 ? scheme().ray : kit::white);
        }
        drawStar(c, t);
        drawWord(c, t);
        // The fade's last frame is the new panel itself, whatever the screen showed before.
        if (inPanel + 1u < fadeFrames) {
            const float u = kit::smoothstep(0.0f, static_cast<float>(fadeFrames), t + 1.0f);
            i = 0;
            for (int x = 0; x < c.n; ++x) {
                for (int y = 0; y < c.n; ++y, ++i) {
                    const int cell = cellAt(x, y);
                    const kit::Rgb now{c.planes.red[cell], c.planes.green[cell], c.planes.blue[cell]};
                    kit::setCell(c, x, y, kit::mix(previous_[i], now, u));
                }
            }
        }
    }

  private:
    struct Ray {
        float angle = 0.0f, width = 0.0f, length = 0.0f, phase = 0.0f;
    };

    const Scheme& scheme() const { return schemes[scheme_]; }

    void newPanel(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        // What the screen shows now, to fade from.
        previous_.resize(static_cast<size_t>(c.n) * static_cast<size_t>(c.n));
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                previous_[i] = kit::colourAt(c, x, y);
            }
        }
        fx_ = n * (0.3f + c.randomUnit() * 0.4f);
        fy_ = n * (0.3f + c.randomUnit() * 0.4f);
        scheme_ = (scheme_ + 1 + c.random(0, schemeCount - 2)) % schemeCount;
        word_ = (word_ + 1 + c.random(0, wordCount - 2)) % wordCount;
        spin_ = c.randomUnit() * kit::twoPi;
        spinSign_ = c.random(0, 1) ? 1.0f : -1.0f;
        tilt_ = (c.randomUnit() - 0.5f) * 0.5f;
        for (int r = 0; r < rays; ++r) {
            rays_[r] = {(static_cast<float>(r) + (c.randomUnit() - 0.5f) * 0.4f) * kit::twoPi / rays,
                        0.018f + c.randomUnit() * 0.03f, 0.55f + c.randomUnit() * 0.9f,
                        c.randomUnit() * kit::twoPi};
        }
        for (int k = 0; k < starPoints; ++k) {
            starReach_[k] = 0.8f + 0.45f * c.randomUnit();
        }
        paintBackdrop(c);
    }

    // Halftone: dots that grow towards the focus, on paper that darkens away from it.
    void paintBackdrop(const EffectContext& c) {
        const float n = static_cast<float>(c.n);
        backdrop_.assign(static_cast<size_t>(c.n) * static_cast<size_t>(c.n), kit::Rgb{});
        size_t i = 0;
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y, ++i) {
                const float dx = static_cast<float>(x) - fx_, dy = (static_cast<float>(y) - fy_) / aspect;
                const float d = std::sqrt(dx * dx + dy * dy) / n;
                const bool dot = inDot(x, y, 5.0f, kit::clampf(2.3f - 1.6f * d, 0.9f, 2.3f));
                backdrop_[i] = kit::shade(dot ? scheme().dots : scheme().paper, 1.0f - 0.35f * d);
            }
        }
    }

    // The jagged star at the focus: yellow with a red heart and a black outline, its points wobbling.
    void drawStar(const EffectContext& c, float t) {
        const float n = static_cast<float>(c.n);
        float sx[2 * starPoints], sy[2 * starPoints];
        for (int layer = 0; layer < 2; ++layer) {
            const float size = n * (layer == 0 ? 0.2f : 0.13f);
            for (int k = 0; k < 2 * starPoints; ++k) {
                const float a = kit::pi * static_cast<float>(k) / starPoints + spin_ * 0.3f;
                const float reach =
                    k % 2 ? 0.55f : starReach_[k / 2] + 0.06f * fastSin(t * 0.07f + static_cast<float>(k));
                sx[k] = fx_ + fastCos(a) * size * reach;
                sy[k] = fy_ + fastSin(a) * size * reach * aspect;
            }
            kit::fillPolygon(c, sx, sy, 2 * starPoints,
                             layer == 0 ? kit::fromLevels(255, 230, 40) : kit::fromLevels(240, 70, 30));
            for (int k = 0; k < 2 * starPoints; ++k) {
                const int j = (k + 1) % (2 * starPoints);
                kit::drawThickLine(c, sx[k], sy[k], sx[j], sy[j], 0.8f, kit::fromLevels(15, 10, 10));
            }
        }
    }

    // The word: a drop shadow, a black outline, then a fill of halftone dots on the letter colour. It swells
    // a little as its panel fades in, then rocks gently.
    void drawWord(const EffectContext& c, float t) {
        const float n = static_cast<float>(c.n);
        const char* word = words[word_];
        const float letters = static_cast<float>(std::strlen(word));
        const float swell = 0.85f + 0.15f * kit::smoothstep(0.0f, static_cast<float>(fadeFrames), t + 1.0f);
        const float height = kit::clampf(0.8f * n / (0.95f * letters), 0.0f, 0.22f * n) * swell;
        const float angle = tilt_ + 0.06f * fastSin(t * 0.04f);
        const float width = kit::textWidth(word, height);
        // The top-left corner that puts the word's middle on the focus, turned with the word, as far as the
        // word stays on the screen.
        const float mx = kit::clampf(fx_, width * 0.5f + 4.0f, n - width * 0.5f - 4.0f);
        const float ca = fastCos(angle), sa = fastSin(angle);
        const float x0 = mx - (width * 0.5f * ca - height * 0.5f * sa);
        const float y0 = fy_ - (width * 0.5f * sa + height * 0.5f * ca);
        const float stroke = height * 0.08f + 0.5f;
        const kit::Rgb ink = kit::fromLevels(15, 10, 10);
        kit::drawText(c, word, x0 + height * 0.06f, y0 + height * 0.08f, height, kit::shade(ink, 0.5f), angle,
                      stroke + 1.6f);
        kit::drawText(c, word, x0, y0, height, ink, angle, stroke + 1.6f);
        kit::drawText(c, word, x0, y0, height, fill_, angle, stroke);
        // The fill's cells carry a value nothing else draws: they take the letter colour or its dots.
        const int margin = static_cast<int>(width + height) + 4;
        const int left = kit::clampCell(c, kit::toCell(mx) - margin),
                  right = kit::clampCell(c, kit::toCell(mx) + margin);
        const int top = kit::clampCell(c, kit::toCell(fy_) - margin),
                  bottom = kit::clampCell(c, kit::toCell(fy_) + margin);
        for (int x = left; x <= right; ++x) {
            for (int y = top; y <= bottom; ++y) {
                const int cell = cellAt(x, y);
                if (c.planes.red[cell] == fill_.r && c.planes.green[cell] == fill_.g &&
                    c.planes.blue[cell] == fill_.b) {
                    kit::setCell(c, x, y,
                                 inDot(x + 2, y, 3.6f, 1.25f) ? scheme().letterDots : scheme().letter);
                }
            }
        }
    }

    Ray rays_[rays];
    float starReach_[starPoints] = {};
    std::vector<kit::Rgb> backdrop_;
    std::vector<kit::Rgb> previous_; // the screen when the panel began
    float fx_ = 0.0f, fy_ = 0.0f, spin_ = 0.0f, spinSign_ = 1.0f, tilt_ = 0.0f;
    int scheme_ = 0, word_ = 0;
    uint32_t started_ = 0;
    const kit::Rgb fill_{1.5f, -2.5f, 3.5f}; // a marker colour for the word's fill, replaced at once
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Burst);

} // namespace glowfield
