#include "app/commands.h"

#include <algorithm>

#include "app/switching.h"
#include "effects/catalogue.h"
#include "field/field.h"
#include "field/random.h"

namespace glowfield {

// The fixed tour that key '.' steps through, one entry per press.
const uint8_t effectSequence[effectSequenceLength] = {
    134, 53,  111, 155, 138, 70,  52,  124, 149, 92,  148, 66,  49,  7,   119, 98,  111, 130, 150, 55,
    79,  28,  29,  90,  108, 140, 141, 144, 63,  20,  122, 37,  143, 28,  132, 61,  112, 32,  82,  140,
    88,  123, 146, 24,  116, 50,  110, 109, 139, 138, 59,  52,  48,  145, 86,  144, 138, 128, 115, 150,
    157, 105, 107, 105, 36,  46,  105, 52,  137, 6,   73,  94,  1,   94,  1,   94,  1,   124, 138, 66,
    106, 43,  5,   122, 75,  31,  58,  85,  148, 93,  135, 131, 137, 108, 135, 61,  113, 152, 27,  118,
    31,  71,  20,  119, 146, 70,  143, 118, 143, 118, 28,  142, 44,  104, 136, 86,  120, 84,  117, 125,
    129, 137, 77,  112, 150, 89,  87,  106, 57,  83,  119, 138, 147, 13,  102, 103, 3,   108, 70,  127,
    99,  56,  123, 92,  153, 94,  74,  92,  18,  121, 27,  117, 122, 126, 91,  76,  34,  15,  1,   30,
    98,  8,   115, 81,  4,   120, 141, 5,   113, 67,  48,  99,  158, 2,   42,  16,  151, 151, 151, 151,
};

namespace {

// Applies an operation to all six planes of every live cell, X in the outer loop.
template <typename Operation> void forEveryCell(Operation operation) {
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            for (int p = 0; p < 6; ++p) {
                all[p][cell] = operation(p, all[p][cell]);
            }
        }
    }
    field.scanX = static_cast<uint8_t>(n);
    field.scanY = static_cast<uint8_t>(n);
}

void halveColoursStopMotion() {
    forEveryCell([](int plane, float v) { return plane < 3 ? static_cast<float>(v * 0.5) : 0.0f; });
}

// The field moves 5 cells to the left; column 0 is not written and the last 5 columns keep their values.
void shiftLeft() {
    float* const all[6] = {planes.red,         planes.green,         planes.blue,
                           planes.redVelocity, planes.greenVelocity, planes.blueVelocity};
    const int n = field.gridSize;
    for (int x = 6; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            for (float* plane : all) {
                plane[cellAt(x - 5, y)] = plane[cellAt(x, y)];
            }
        }
    }
    shared.scratchX = n - 6;
    shared.scratchY = n - 1;
}

void typeDigit(Session& session, int digit) {
    session.typedNumber = session.typedNumber * 10 + digit;
    ++session.digitCount;
    if (session.digitCount == 3) {
        selectEffect(session.typedNumber % effectCount);
        session.digitCount = 0;
        session.typedNumber = 0;
    }
}

void stepSequence(Session& session) {
    // After the last entry the tour starts again at the first; entries the viewer left out are passed over.
    for (int step = 0; step < effectSequenceLength; ++step) {
        if (session.sequenceCursor >= effectSequenceLength || session.sequenceCursor < 0) {
            session.sequenceCursor = 0;
        }
        ++session.sequenceCursor;
        const int entry = effectSequence[session.sequenceCursor - 1];
        if (isPlayable(session, entry)) {
            selectEffect(entry);
            return;
        }
    }
    // None of the tour is playable: the next playable entry after the current one, in index order.
    const std::vector<int>& entries = session.playable;
    const int current = shared.currentEffect & 0xff;
    const auto next = std::upper_bound(entries.begin(), entries.end(), current);
    selectEffect(next != entries.end() ? *next : entries.front());
}

} // namespace

bool pressKey(Session& session, int code) {
    switch (code) {
    case 13:
        halveColoursStopMotion();
        return true;
    case 27:
        session.quitRequested = true;
        return true;
    case ' ':
        selectEffect(playableEntryFor(session, nextRandom()));
        session.digitCount = 0;
        session.typedNumber = 0;
        return true;
    case '.':
        stepSequence(session);
        return true;
    case 'i':
        forEveryCell([](int, float v) { return -v; });
        return true;
    case 'l':
        shiftLeft();
        return true;
    case 'k':
        session.locked = !session.locked;
        return true;
    case 'n':
        session.namesShown = !session.namesShown;
        return true;
    case 'm':
        forEveryCell([](int, float v) { return static_cast<float>(v * 2.0); });
        return true;
    case 'z':
        shared.switchPeriod = 3000000;
        session.sequenceCursor = 0;
        selectEffect(0);
        shared.frameCounter = 1;
        return true;
    default:
        if (code >= '0' && code <= '9') {
            typeDigit(session, code - '0');
            return true;
        }
        return false;
    }
}

void moveMouse(uint32_t pixelX, uint32_t pixelY) {
    const uint32_t n = field.gridSize;
    if (n == 0) {
        return;
    }
    const uint32_t cellWidth = field.cellWidth > 0 ? field.cellWidth : 1;
    const uint32_t cellHeight = field.cellHeight > 0 ? field.cellHeight : 1;
    shared.mouseX = static_cast<int32_t>((pixelX / cellWidth) % n);
    shared.mouseY = static_cast<int32_t>((n + pixelY / cellHeight) % n);
}

} // namespace glowfield
