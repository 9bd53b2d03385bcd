#include "effects/catalogue.h"

#include "effects/beat_kick.h"
#include "effects/world.h"
#include "field/picture.h"
#include "field/picture_loader.h"
#include "field/random.h"

namespace glowfield {

#define GLOWFIELD_ROUTINE(index, name, family, routine) void routine();
#define GLOWFIELD_EFFECT(index, name, family, effectClass) std::unique_ptr<Effect> make##effectClass();
#include "effects/catalogue.def"

namespace {

struct Mark {
    int index;
    unsigned mark;
};

constexpr Mark entryMarks[] = {
    {-1, 0u}, // so that the list is never empty
#define GLOWFIELD_MARK(index, mark) {index, mark##Mark},
#include "effects/catalogue.def"
};

// The marks the list gives an entry.
constexpr unsigned marksOf(int index) {
    unsigned marks = 0u;
    for (const Mark& mark : entryMarks) {
        marks |= mark.index == index ? mark.mark : 0u;
    }
    return marks;
}

} // namespace

const CatalogueEntry catalogue[effectCount] = {
#define GLOWFIELD_ROUTINE(index, name, family, routine)                                                      \
    {index, name, Family::family, routine, nullptr, marksOf(index)},
#define GLOWFIELD_EFFECT(index, name, family, effectClass)                                                   \
    {index, name, Family::family, nullptr, make##effectClass, marksOf(index)},
#include "effects/catalogue.def"
};

namespace {

constexpr int catalogueIndices[] = {
#define GLOWFIELD_ROUTINE(index, name, family, routine) index,
#define GLOWFIELD_EFFECT(index, name, family, effectClass) index,
#include "effects/catalogue.def"
};

constexpr bool rowsAreIndices() {
    if (sizeof catalogueIndices / sizeof catalogueIndices[0] != effectCount) {
        return false;
    }
    for (int i = 0; i < effectCount; ++i) {
        if (catalogueIndices[i] != i) {
            return false;
        }
    }
    return true;
}

RunningEffect& current = world.running;

// A band or strength as the effects may rely on it: within 0..1, NaN as nothing heard.
float unitRange(float value) {
    return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
}

// The sound frame with every value where its comment promises, whatever the analyser handed over, so that
// no effect's reaction can be thrown by a stray value.
SoundFrame withinRange(SoundFrame sound) {
    sound.level = unitRange(sound.level);
    sound.bass = unitRange(sound.bass);
    sound.middle = unitRange(sound.middle);
    sound.treble = unitRange(sound.treble);
    sound.onsetStrength = sound.onset ? unitRange(sound.onsetStrength) : 0.0f;
    sound.framesSinceBeat = sound.beat ? 0u : sound.framesSinceBeat;
    return sound;
}

} // namespace

const char* effectName(int index) {
    if (index < 0 || index >= effectCount) {
        return nullptr;
    }
    return catalogue[index].name;
}

const char* familyName(Family family) {
    static const char* const names[] = {"waves",    "geometry", "models",   "particles",
                                        "automata", "warps",    "pictures", "lettering"};
    return names[static_cast<int>(family)];
}

int EffectContext::random() const {
    return nextRandom();
}

int EffectContext::random(int lo, int hi) const {
    const int r = nextRandom();
    return hi > lo ? lo + r % (hi - lo + 1) : lo;
}

float EffectContext::randomUnit() const {
    return static_cast<float>(nextRandom()) * (1.0f / 32768.0f);
}

bool EffectContext::loadPicture() const {
    const int32_t width = picture.pictureWidth;
    const int32_t height = picture.pictureHeight;
    picture.pictureWidth = 0;
    picture.pictureHeight = 0;
    const PictureLoad load = requestRandomPicture();
    if (picture.pictureWidth > 0 && picture.pictureHeight > 0) {
        return true;
    }
    picture.pictureWidth = width;
    picture.pictureHeight = height;
    // In play a picture still being read leaves the effect the one before, if there is one.
    return load == PictureLoad::pending && width > 0 && height > 0;
}

static_assert(rowsAreIndices(), "catalogue rows must be exactly 0..241 in order, one each");

namespace {

void runEntry(const SoundFrame& sound) {
    const int index = (shared.currentEffect & 0xff) % effectCount;
    const CatalogueEntry& entry = catalogue[index];
    const bool restart = current.restart || current.index != index;
    current.restart = false;
    current.index = index;
    if (!entry.make) {
        current.effect.reset();
        entry.routine();
        return;
    }
    const int n = field.gridSize;
    if (n < minimumEffectGrid || n > planeStride) {
        // No live grid an effect could draw on. The object goes, so that whichever entry is current by the
        // next usable grid starts afresh there rather than an earlier entry's object being stepped.
        current.effect.reset();
        return;
    }
    const int mouseX = shared.mouseX < 0 ? 0 : shared.mouseX >= n ? n - 1 : shared.mouseX;
    const int mouseY = shared.mouseY < 0 ? 0 : shared.mouseY >= n ? n - 1 : shared.mouseY;
    // A resized grid starts the effect afresh, so no effect has to follow a size change of its own.
    const bool fresh = current.counts.beforeStep(restart || !current.effect, n, mouseX, mouseY);
    EffectContext context{planes,
                          n,
                          shared.frameCounter,
                          mouseX,
                          mouseY,
                          picture,
                          current.counts.framesSinceStart(),
                          static_cast<float>(n) / 200.0f,
                          current.counts.framesSinceMouseMoved(),
                          sound};
    if (fresh) {
        current.effect = entry.make();
        current.effect->start(context);
    }
    current.effect->step(context);
}

} // namespace

void runCurrentEffect(const SoundFrame& heard) {
    applyFinishedPicture();
    const SoundFrame sound = withinRange(heard);
    runEntry(sound);
    // Every entry, the older routines too, feels the beat; silence leaves the frame untouched.
    kickOnBeat(sound);
}

void selectEffect(int index) {
    // Only the low byte is stored; every caller passes an index below 242, and a larger low byte is folded
    // into the table so that it can never be indexed beyond its end.
    int lowByte = index & 0xff;
    if (lowByte >= effectCount) {
        lowByte %= effectCount;
    }
    shared.currentEffect = (shared.currentEffect & ~0xff) | lowByte;
    current.restart = true;
}

} // namespace glowfield
