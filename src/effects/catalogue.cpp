#include "effects/catalogue.h"

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

void runCurrentEffect(const SoundFrame& sound) {
    applyFinishedPicture();
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
        return; // no live grid an effect could draw on
    }
    const int mouseX = shared.mouseX < 0 ? 0 : shared.mouseX >= n ? n - 1 : shared.mouseX;
    const int mouseY = shared.mouseY < 0 ? 0 : shared.mouseY >= n ? n - 1 : shared.mouseY;
    const bool fresh = restart || !current.effect;
    if (fresh) {
        current.stepsSinceStart = 0;
        current.framesSinceMouseMoved = EffectContext::never;
    } else if (mouseX != current.lastMouseX || mouseY != current.lastMouseY) {
        current.framesSinceMouseMoved = 0;
    } else if (current.framesSinceMouseMoved != EffectContext::never) {
        ++current.framesSinceMouseMoved;
    }
    current.lastMouseX = mouseX;
    current.lastMouseY = mouseY;
    EffectContext context{planes,
                          n,
                          shared.frameCounter,
                          mouseX,
                          mouseY,
                          picture,
                          current.stepsSinceStart,
                          static_cast<float>(n) / 200.0f,
                          current.framesSinceMouseMoved,
                          sound};
    if (fresh) {
        current.effect = entry.make();
        current.effect->start(context);
    }
    current.effect->step(context);
    if (current.stepsSinceStart != EffectContext::never) {
        ++current.stepsSinceStart;
    }
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
