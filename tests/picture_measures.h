// What a viewer sees of an entry, measured on the rendered picture: flashes as the general flash threshold
// counts them, motion between two pictures, the share of near-black cells, and one-cell checkerboard noise.
// Shared by the catalogue's quality tests and the catalogue report tool; needs no test framework.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/session.h"
#include "sound/sound_frame.h"

namespace glowfield::measure {

inline constexpr int side = 200; // cells per side of the shown picture

// The shown cells' colours as the renderer packs them (red level in bits 0..7), column by column.
using Picture = std::array<uint32_t, side * side>;

// The picture of the field as it is now, through the renderer's colour mapping.
Picture capture();

// Counts flashes over the frames it is given, one picture per 20 ms frame. The relative luminance of every
// 4 x 4 cell patch is followed (so that fine shimmer whose average holds does not count); a patch makes a
// transition when it has moved by 0.1 or more against the extreme it reached since its last transition, the
// darker side below 0.8. Flashes are the changes of an area as a whole: each patch counts the transitions of
// its 3 x 3 neighbourhood in one direction less those in the other, so that objects moving and glitter
// twinkling at random, which brighten some patches and darken others close by, are no flash. A third of the
// screen each way (17 x 17 patches, slid over every position) makes a transition when that count, within
// the last two frames and since its own last transition, covers a thirty-sixth of the screen (70 patches),
// the opposite way to its own last one. Two transitions are a flash.
class FlashCounter {
  public:
    FlashCounter();
    void add(const Picture& picture);
    // The most transitions of one window within any 50 frames, halved.
    double maxFlashesPerSecond() const { return maxTransitions_ / 2.0; }
    int frames() const { return frame_; }
    // How many windows made a transition at the last frame added, brighter and darker.
    int lastBrighter() const { return lastBrighter_; }
    int lastDarker() const { return lastDarker_; }

  private:
    struct Window {
        int direction = 0;            // of its last transition: +1 brighter, -1 darker, 0 none yet
        int lastFrame = -1000;        // the frame of its last transition
        std::array<int, 64> recent{}; // frames of its latest transitions, a ring (more than a second's)
        int recentCount = 0;          // transitions held in the ring
    };
    std::vector<float> anchor_;  // per patch: its extreme luminance since its last transition
    std::vector<float> low_;     // per patch, before its first transition: lowest and highest seen
    std::vector<float> high_;    //
    std::vector<int> direction_; // per patch: +1, -1, 0 as for windows
    std::vector<int> lastRise_;  // per patch: frame of its latest transition each way
    std::vector<int> lastFall_;  //
    std::vector<Window> windows_;
    int frame_ = 0;
    int maxTransitions_ = 0;
    int lastBrighter_ = 0;
    int lastDarker_ = 0;
};

// The share of cells whose colour changes by a visible amount (some channel by visibleStep levels or more)
// from one picture to the other.
inline constexpr int visibleStep = 16;
double motionShare(const Picture& before, const Picture& after);

// The share of cells no channel of which reaches nearBlackLevel.
inline constexpr int nearBlackLevel = 32;
double nearBlackShare(const Picture& picture);

// The largest share of a third of the screen (17 x 17 patches, at every position) covered by 4 x 4 patches
// that carry a one-cell checkerboard: in some channel, the odd cells differ from the even ones by
// checkerLevels or more on average, and that difference is at least half of the patch's variance (so that
// random speckle, lines and edges do not count).
inline constexpr int checkerLevels = 24;
double checkerShare(const Picture& picture);

// The limits of the catalogue's quality tests.
inline constexpr double flashLimit = 3.0;         // flashes in any second
inline constexpr double motionFloor = 0.005;      // share of cells that move visibly in five frames
inline constexpr double nearBlackCeiling = 0.70;  // share of near-black cells
inline constexpr double nightSubjectFloor = 0.10; // share of cells that are not, in a night sky
inline constexpr double checkerCeiling = 0.25;    // share of a third of the screen covered by checkerboard

// How long an entry is watched: from a fresh start with seed 1, and after another entry has run.
struct Schedule {
    int flashFrames = 200;  // the first frames from seed 1, where flashes are counted
    bool judged = true;     // also run to frame 605: motion between frames 600 and 605, the rest at 600
    int beforeFrames = 100; // of the entry after it, (index + 1) % 242, from seed 1
    int afterFrames = 200;  // of the entry itself, on what that one left, where flashes are counted
    bool music = false;     // every frame of the entry hears syntheticMusic (the other entry hears nothing)
};

struct EntryMeasures {
    double freshFlashes = 0.0; // most flashes in any second of the fresh start
    double afterFlashes = 0.0; // the same after the other entry
    double motion = 0.0;       // between frames 600 and 605, when judged
    double nearBlack = 0.0;    // at frame 600, when judged
    double checker = 0.0;      // at frame 600, when judged
    double maxFlashes() const { return freshFlashes > afterFlashes ? freshFlashes : afterFlashes; }
};

inline constexpr int judgedFrame = 600;
inline constexpr int motionFrames = 5;

// Music as loud and busy as the flash limit must bear: 180 beats a minute (a beat every 50/3 frames), an
// onset on every beat and every quarter of a beat between, bass that jumps to full on each beat and dies
// away, the middle and treble swelling through their whole range. Frame 0 is a beat.
SoundFrame syntheticMusic(int frame);

// One timer tick (switch test, wave step, the current entry hearing this sound, counter, render).
void tickWithSound(const SoundFrame& sound, const Session& session);

// Runs the entry as the schedule says (the picture folder is the caller's) and measures it. Leaves the
// program's state as the last run left it.
EntryMeasures measureEntry(int entry, const Schedule& schedule = {});

} // namespace glowfield::measure
