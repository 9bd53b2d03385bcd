// What music does to the catalogue: no entry of our own flashes more than three times a second while it hears
// loud music at 180 beats a minute, and every entry marked as listening shows the music visibly and
// repeatably, while a listening program that hears only silence leaves it exactly as without sound.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/field.h"
#include "picture_measures.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

using measure::Picture;

#ifdef GLOWFIELD_SANITIZED_TESTS
constexpr int musicFrames = 75;
#else
constexpr int musicFrames = 150; // three seconds: long enough for a second's worth of beats past the start
#endif

TEST(SyntheticMusic, KeepsTheBeatItClaims) {
    int beats = 0, loudOnsets = 0;
    for (int frame = 0; frame < 500; ++frame) {
        const SoundFrame sound = measure::syntheticMusic(frame);
        ASSERT_TRUE(sound.heard()) << frame;
        EXPECT_EQ(sound.beat, sound.framesSinceBeat == 0) << frame;
        EXPECT_LE(sound.framesSinceBeat, 17u) << frame;
        if (frame > 0 && !sound.beat) {
            EXPECT_EQ(sound.framesSinceBeat, measure::syntheticMusic(frame - 1).framesSinceBeat + 1) << frame;
        }
        beats += sound.beat ? 1 : 0;
        loudOnsets += sound.onsetStrength >= 1.0f ? 1 : 0;
        for (const float band : {sound.level, sound.bass, sound.middle, sound.treble, sound.onsetStrength}) {
            EXPECT_TRUE(band >= 0.0f && band <= 1.0f) << frame;
        }
    }
    EXPECT_EQ(beats, 30); // ten seconds at 180 a minute
    EXPECT_EQ(loudOnsets, beats);
}

// The older routines never hear sound, so their flashes are those the quality tests count in silence.
std::vector<int> entriesOfOurOwn() {
    std::vector<int> entries;
    for (const CatalogueEntry& row : catalogue) {
        if (row.make != nullptr) {
            entries.push_back(row.index);
        }
    }
    return entries;
}

std::vector<int> listeningEntries() {
    std::vector<int> entries;
    for (const CatalogueEntry& row : catalogue) {
        if (row.marks & listensMark) {
            entries.push_back(row.index);
        }
    }
    return entries;
}

class MusicFlashTest : public StateTest, public ::testing::WithParamInterface<int> {};

TEST_P(MusicFlashTest, StaysUnderTheFlashLimitWithLoudMusic) {
    resetWorld();
    prepareField(1);
    startWithEffect(session, GetParam());
    measure::FlashCounter counter;
    for (int frame = 0; frame < musicFrames; ++frame) {
        measure::tickWithSound(measure::syntheticMusic(frame), session);
        counter.add(measure::capture());
    }
    EXPECT_LE(counter.maxFlashesPerSecond(), measure::flashLimit);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, MusicFlashTest, ::testing::ValuesIn(entriesOfOurOwn()), entryTestName);

class ListeningEntryTest : public StateTest, public ::testing::WithParamInterface<int> {};

struct EntryRun {
    std::vector<Picture> pictures; // at the frames asked for
    std::vector<uint64_t> hashes;  // of the field at the same frames
};

// The entry from seed 1 up to the last of the frames asked for, hearing what `sound` gives each frame.
template <typename Sound> EntryRun runTo(int entry, const std::vector<int>& frames, Sound sound) {
    resetWorld();
    prepareField(1);
    Session session;
    startWithEffect(session, entry);
    EntryRun run;
    for (int frame = 0; frame <= frames.back(); ++frame) {
        measure::tickWithSound(sound(frame), session);
        if (std::find(frames.begin(), frames.end(), frame) != frames.end()) {
            run.pictures.push_back(measure::capture());
            run.hashes.push_back(fieldHash());
        }
    }
    return run;
}

TEST_P(ListeningEntryTest, ShowsTheMusicRepeatablyAndIsUntouchedBySilence) {
    const int entry = GetParam();
    ASSERT_NE(catalogue[entry].make, nullptr) << "only an effect of our own hears sound";
    // Every eighth frame of the second and third seconds: on beats, between them and just before them.
    std::vector<int> frames;
    for (int frame = 50; frame < 150; frame += 8) {
        frames.push_back(frame);
    }
    const EntryRun quiet = runTo(entry, frames, [](int) { return SoundFrame{}; });
    const EntryRun loud = runTo(entry, frames, measure::syntheticMusic);
    double most = 0.0;
    for (size_t i = 0; i < frames.size(); ++i) {
        most = std::max(most, measure::motionShare(quiet.pictures[i], loud.pictures[i]));
    }
    EXPECT_GE(most, 0.03) << "music changes at most " << 100.0 * most << " % of the cells visibly";

    // A shorter run suffices for the exact comparisons.
    const std::vector<int> early(frames.begin(), frames.begin() + 2);
    SoundFrame silence;
    silence.listening = true;
    EXPECT_EQ(runTo(entry, early, [&](int) { return silence; }).hashes,
              (std::vector<uint64_t>(quiet.hashes.begin(), quiet.hashes.begin() + 2)))
        << "a program listening to silence must leave the entry as it was";
    EXPECT_EQ(runTo(entry, early, measure::syntheticMusic).hashes,
              (std::vector<uint64_t>(loud.hashes.begin(), loud.hashes.begin() + 2)))
        << "the same music from the same seed must give the same frames";
}

bool liveFieldFinite() {
    const float* const all[6] = {planes.red,         planes.green,         planes.blue,
                                 planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    for (const float* plane : all) {
        for (int x = 0; x < field.gridSize; ++x) {
            for (int y = 0; y < field.gridSize; ++y) {
                if (!std::isfinite(plane[cellAt(x, y)])) {
                    return false;
                }
            }
        }
    }
    return true;
}

// A sound frame whose values lie outside what the analyser promises (infinite, NaN, negative, huge) must
// not break an entry: after it, music still draws a finite field that still shows the music.
TEST_P(ListeningEntryTest, SurvivesSoundOutsideItsRange) {
    const std::vector<float>& values = extremeValues();
    const auto wild = [&](int frame) {
        SoundFrame sound = measure::syntheticMusic(frame);
        const size_t k = static_cast<size_t>(frame) * 5;
        sound.level = values[k % values.size()];
        sound.bass = values[(k + 1) % values.size()];
        sound.middle = values[(k + 2) % values.size()];
        sound.treble = values[(k + 3) % values.size()];
        sound.onsetStrength = values[(k + 4) % values.size()];
        sound.onset = frame % 3 == 0;
        sound.framesSinceBeat = frame % 4 == 0 ? SoundFrame::neverHeard : sound.framesSinceBeat;
        return sound;
    };
    runTo(GetParam(), {60},
          [&](int frame) { return frame < 40 ? wild(frame) : measure::syntheticMusic(frame); });
    EXPECT_TRUE(liveFieldFinite());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ListeningEntryTest, ::testing::ValuesIn(listeningEntries()),
                         entryTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ListeningEntryTest);

} // namespace
} // namespace glowfield::test
