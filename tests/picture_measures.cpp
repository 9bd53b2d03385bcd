// Flashes, motion, near-black share and checkerboard noise of the rendered picture.
#include "picture_measures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/frame_loop.h"
#include "app/switching.h"
#include "display/renderer.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/field.h"

namespace glowfield::measure {

namespace {

constexpr int patch = 4;              // cells per side of a patch
constexpr int patches = side / patch; // patches per side of the picture
constexpr int windowPatches = 17;     // a third of the screen, rounded up to whole patches
constexpr int windowsPerSide = patches - windowPatches + 1;
constexpr int flashPatches = 70;    // a thirty-sixth of the screen's 2500 patches, rounded up
constexpr float flashStep = 0.1f;   // a change of relative luminance that counts
constexpr float darkerBelow = 0.8f; // the darker side of a change must be below this
constexpr int together = 2;         // frames within which patch transitions are together
constexpr int framesPerSecond = 50;

int level(uint32_t packed, int channel) {
    return static_cast<int>(packed >> (8 * channel) & 0xffu);
}

// Relative luminance of sRGB levels: the channels linearised and weighted.
struct LuminanceTable {
    float linear[256];
    LuminanceTable() {
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            linear[i] = static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
    }
    float of(uint32_t packed) const {
        return 0.2126f * linear[level(packed, 0)] + 0.7152f * linear[level(packed, 1)] +
               0.0722f * linear[level(packed, 2)];
    }
};

const LuminanceTable luminance;

constexpr int near = 1; // patches each way that make a patch's neighbourhood (3 x 3)

// Sums of a value per patch over squares of patches, through a summed-area table; squares reaching past the
// picture's edge count what lies inside it.
class AreaSums {
  public:
    void build(const std::vector<int>& values) {
        for (int x = 0; x < patches; ++x) {
            for (int y = 0; y < patches; ++y) {
                at(x + 1, y + 1) =
                    values[static_cast<size_t>(x * patches + y)] + at(x, y + 1) + at(x + 1, y) - at(x, y);
            }
        }
    }
    // The square of the given size with its first patch at (x, y).
    int square(int x, int y, int size) const {
        const int x0 = std::clamp(x, 0, patches), y0 = std::clamp(y, 0, patches);
        const int x1 = std::clamp(x + size, 0, patches), y1 = std::clamp(y + size, 0, patches);
        return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
    }

  private:
    int& at(int x, int y) { return table_[static_cast<size_t>(x * (patches + 1) + y)]; }
    int at(int x, int y) const { return table_[static_cast<size_t>(x * (patches + 1) + y)]; }
    std::vector<int> table_ = std::vector<int>((patches + 1) * (patches + 1), 0);
};

} // namespace

Picture capture() {
    // packedColourAt's levels, a column at a time.
    Picture picture;
    for (int x = 0; x < side; ++x) {
        const int column = cellAt(x, 0);
        for (int y = 0; y < side; ++y) {
            picture[static_cast<size_t>(x * side + y)] =
                static_cast<uint32_t>(levelOf(planes.red[column + y])) |
                static_cast<uint32_t>(levelOf(planes.green[column + y])) << 8 |
                static_cast<uint32_t>(levelOf(planes.blue[column + y])) << 16;
        }
    }
    return picture;
}

FlashCounter::FlashCounter()
    : anchor_(patches * patches), low_(patches * patches), high_(patches * patches),
      direction_(patches * patches), lastRise_(patches * patches, -1000), lastFall_(patches * patches, -1000),
      windows_(windowsPerSide * windowsPerSide) {}

void FlashCounter::add(const Picture& picture) {
    // Each patch's transitions, against the extreme it reached since its last one.
    for (int px = 0; px < patches; ++px) {
        for (int py = 0; py < patches; ++py) {
            float sum = 0.0f;
            for (int x = px * patch; x < (px + 1) * patch; ++x) {
                for (int y = py * patch; y < (py + 1) * patch; ++y) {
                    sum += luminance.of(picture[static_cast<size_t>(x * side + y)]);
                }
            }
            const float v = sum / (patch * patch);
            const size_t p = static_cast<size_t>(px * patches + py);
            if (frame_ == 0) {
                low_[p] = high_[p] = anchor_[p] = v;
                continue;
            }
            const bool rises = direction_[p] == 0  ? v - low_[p] >= flashStep && low_[p] < darkerBelow
                               : direction_[p] < 0 ? v - anchor_[p] >= flashStep && anchor_[p] < darkerBelow
                                                   : false;
            const bool falls = direction_[p] == 0  ? high_[p] - v >= flashStep && v < darkerBelow
                               : direction_[p] > 0 ? anchor_[p] - v >= flashStep && v < darkerBelow
                                                   : false;
            if (rises || falls) {
                direction_[p] = rises ? 1 : -1;
                (rises ? lastRise_ : lastFall_)[p] = frame_;
                anchor_[p] = v;
            } else if (direction_[p] == 0) {
                low_[p] = std::min(low_[p], v);
                high_[p] = std::max(high_[p], v);
            } else {
                anchor_[p] = direction_[p] > 0 ? std::max(anchor_[p], v) : std::min(anchor_[p], v);
            }
        }
    }
    // Per patch and direction, the transitions since frame_ - d in its neighbourhood less those the other
    // way: objects moving, or glitter twinkling at random, brighten some patches and darken others close by,
    // and are no flash. A flash of the whole neighbourhood counts (2 near + 1)^2 for each of its patches.
    AreaSums brighter[together], darker[together];
    std::vector<int> rise(patches * patches), fall(patches * patches);
    std::vector<int> up(patches * patches), down(patches * patches);
    for (int d = 0; d < together; ++d) {
        for (size_t p = 0; p < rise.size(); ++p) {
            rise[p] = lastRise_[p] >= frame_ - d ? 1 : 0;
            fall[p] = lastFall_[p] >= frame_ - d ? 1 : 0;
        }
        AreaSums rises, falls;
        rises.build(rise);
        falls.build(fall);
        for (int px = 0; px < patches; ++px) {
            for (int py = 0; py < patches; ++py) {
                const int net = rises.square(px - near, py - near, 2 * near + 1) -
                                falls.square(px - near, py - near, 2 * near + 1);
                up[static_cast<size_t>(px * patches + py)] = std::max(net, 0);
                down[static_cast<size_t>(px * patches + py)] = std::max(-net, 0);
            }
        }
        brighter[d].build(up);
        darker[d].build(down);
    }
    constexpr int neighbourhood = (2 * near + 1) * (2 * near + 1);
    lastBrighter_ = lastDarker_ = 0;
    for (int wx = 0; wx < windowsPerSide; ++wx) {
        for (int wy = 0; wy < windowsPerSide; ++wy) {
            Window& w = windows_[static_cast<size_t>(wx * windowsPerSide + wy)];
            // Only patch transitions after the window's own last one count towards its next.
            const int d = std::min(together - 1, frame_ - w.lastFrame - 1);
            const int up = w.direction > 0 ? 0 : brighter[d].square(wx, wy, windowPatches);
            const int down = w.direction < 0 ? 0 : darker[d].square(wx, wy, windowPatches);
            if (std::max(up, down) < flashPatches * neighbourhood) {
                continue;
            }
            w.direction = up >= down ? 1 : -1;
            ++(w.direction > 0 ? lastBrighter_ : lastDarker_);
            w.lastFrame = frame_;
            w.recent[static_cast<size_t>(w.recentCount % static_cast<int>(w.recent.size()))] = frame_;
            ++w.recentCount;
            int inSecond = 0;
            const int held = std::min(w.recentCount, static_cast<int>(w.recent.size()));
            for (int k = 0; k < held; ++k) {
                inSecond += w.recent[static_cast<size_t>(k)] > frame_ - framesPerSecond ? 1 : 0;
            }
            maxTransitions_ = std::max(maxTransitions_, inSecond);
        }
    }
    ++frame_;
}

double motionShare(const Picture& before, const Picture& after) {
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        for (int channel = 0; channel < 3; ++channel) {
            if (std::abs(level(before[i], channel) - level(after[i], channel)) >= visibleStep) {
                ++moved;
                break;
            }
        }
    }
    return static_cast<double>(moved) / static_cast<double>(before.size());
}

double nearBlackShare(const Picture& picture) {
    int dark = 0;
    for (const uint32_t packed : picture) {
        dark += level(packed, 0) < nearBlackLevel && level(packed, 1) < nearBlackLevel &&
                        level(packed, 2) < nearBlackLevel
                    ? 1
                    : 0;
    }
    return static_cast<double>(dark) / static_cast<double>(picture.size());
}

double checkerShare(const Picture& picture) {
    std::vector<int> marks(patches * patches);
    for (int px = 0; px < patches; ++px) {
        for (int py = 0; py < patches; ++py) {
            // A checkerboard is most of the patch's variation: random speckle, lines and edges are not.
            bool checkered = false;
            for (int channel = 0; channel < 3 && !checkered; ++channel) {
                double even = 0.0, odd = 0.0, squares = 0.0;
                for (int x = px * patch; x < (px + 1) * patch; ++x) {
                    for (int y = py * patch; y < (py + 1) * patch; ++y) {
                        const double v = level(picture[static_cast<size_t>(x * side + y)], channel);
                        ((x + y) % 2 ? odd : even) += v;
                        squares += v * v;
                    }
                }
                const double cells = patch * patch;
                const double mean = (even + odd) / cells;
                const double variance = squares / cells - mean * mean;
                const double half = (even - odd) / cells; // each cell's step from the mean, + on even cells
                checkered = 2.0 * std::abs(half) >= checkerLevels && half * half >= 0.5 * variance;
            }
            marks[static_cast<size_t>(px * patches + py)] = checkered ? 1 : 0;
        }
    }
    AreaSums sums;
    sums.build(marks);
    int most = 0;
    for (int wx = 0; wx < windowsPerSide; ++wx) {
        for (int wy = 0; wy < windowsPerSide; ++wy) {
            most = std::max(most, sums.square(wx, wy, windowPatches));
        }
    }
    return static_cast<double>(most) / (windowPatches * windowPatches);
}

namespace {

void tick(const Schedule& schedule, int frame, const Session& session) {
    if (schedule.music) {
        tickWithSound(syntheticMusic(frame), session);
    } else {
        timerTick(session);
    }
}

} // namespace

SoundFrame syntheticMusic(int frame) {
    const int beat = frame * 3 / 50;
    const int sinceBeat = frame - (beat * 50 + 2) / 3;
    SoundFrame sound;
    sound.listening = true;
    sound.beat = sinceBeat == 0;
    sound.framesSinceBeat = static_cast<uint32_t>(sinceBeat);
    sound.onset = sinceBeat % 4 == 0;
    sound.onsetStrength = !sound.onset ? 0.0f : sound.beat ? 1.0f : sinceBeat == 8 ? 0.6f : 0.3f;
    sound.bass = static_cast<float>(std::pow(0.8, sinceBeat));
    const double t = static_cast<double>(frame);
    sound.middle = static_cast<float>(0.5 + 0.5 * std::sin(t * 0.13));
    sound.treble = static_cast<float>(0.5 + 0.5 * std::sin(t * 0.41 + 1.0));
    sound.level = std::max({sound.bass, sound.middle, sound.treble, 0.3f});
    return sound;
}

void tickWithSound(const SoundFrame& sound, const Session& session) {
    checkAutomaticSwitch(session);
    waveStep();
    runCurrentEffect(sound);
    ++shared.frameCounter;
    renderField();
}

EntryMeasures measureEntry(int entry, const Schedule& schedule) {
    EntryMeasures measures;
    resetWorld();
    prepareField(1);
    Session session;
    startWithEffect(session, entry);
    FlashCounter fresh;
    const int last =
        schedule.judged ? std::max(schedule.flashFrames, judgedFrame + motionFrames) : schedule.flashFrames;
    Picture judged{};
    for (int frame = 1; frame <= last; ++frame) {
        tick(schedule, frame, session);
        if (frame <= schedule.flashFrames) {
            fresh.add(capture());
        }
        if (schedule.judged && frame == judgedFrame) {
            judged = capture();
            measures.nearBlack = nearBlackShare(judged);
            measures.checker = checkerShare(judged);
        }
        if (schedule.judged && frame == judgedFrame + motionFrames) {
            measures.motion = motionShare(judged, capture());
        }
    }
    measures.freshFlashes = fresh.maxFlashesPerSecond();

    resetWorld();
    prepareField(1);
    session = Session{};
    startWithEffect(session, (entry + 1) % effectCount);
    for (int frame = 0; frame < schedule.beforeFrames; ++frame) {
        timerTick(session);
    }
    selectEffect(entry);
    FlashCounter after;
    after.add(capture()); // the picture the other entry left: a change from it counts
    for (int frame = 0; frame < schedule.afterFrames; ++frame) {
        tick(schedule, frame, session);
        after.add(capture());
    }
    measures.afterFlashes = after.maxFlashesPerSecond();
    return measures;
}

} // namespace glowfield::measure
