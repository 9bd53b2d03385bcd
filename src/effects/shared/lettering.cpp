// The stroke font and the message texts. Both are constant data of the program; nothing loads or changes
// them.
#include "effects/shared/lettering.h"

#include <initializer_list>

#include "field/field.h"
#include "field/numeric.h"

namespace glowfield {

constexpr const char* const letterStrokes[letterCount] = {
    "176,182-148,114-122,182 132,158-166,158",                                                         // A
    "129,179-129,118-156,118-167,126-167,138-156,147-169,154-170,171-158,179-129,179 156,147-129,147", // B
    "174,133-168,122-158,117-142,117-132,124-125,136-124,158-130,171-141,179-149,180-164,178-172,170-174,"
    "164",                                                                     // C
    "127,177-127,117-152,117-167,125-174,139-173,159-166,172-154,177-127,177", // D
    "170,118-129,118-129,179-170,179 170,148-129,148",                         // E
    "132,178-132,117-170,117 132,148-165,148",                                 // F
    "175,131-169,122-158,116-142,116-131,122-123,134-122,158-130,172-143,179-160,179-177,167-177,152-157,"
    "152 "
    "177,167-177,180",                                         // G
    "127,116-127,179 172,116-172,179 127,146-172,146",         // H
    "150,115-150,178 139,115-165,115 139,178-165,178",         // I
    "159,116-159,165-154,175-146,178-137,177-131,170-130,164", // J
    "127,180-127,117 169,117-127,158 172,180-143,142",         // K
    "133,113-133,176-168,176",                                 // L
    "122,178-122,118-127,117-149,178-171,117-177,117-177,178", // M
    "127,180-127,117-172,180-172,117",                         // N
    "141,116-159,116-169,122-177,133-178,151-175,164-166,174-155,179-142,179-130,171-123,158-122,141-127,"
    "127-"
    "135,119-141,116",                                         // O
    "130,180-130,118-160,118-172,126-173,141-164,150-130,150", // P
    "139,114-157,114-170,122-176,137-176,155-169,168-155,177-139,176-126,167-121,154-121,134-128,121-139,"
    "114 "
    "156,164-178,180",                                                                         // Q
    "126,179-126,117-160,117-170,123-171,136-165,145-154,148-126,148 154,148-165,158-173,179", // R
    "125,163-129,171-139,178-158,178-168,171-171,162-168,153-155,147-132,140-127,130-131,122-141,116-157,"
    "116-"
    "167,123-169,131",                                                 // S
    "124,120-175,120 150,120-150,182",                                 // T
    "126,116-126,166-134,177-144,180-156,180-167,173-170,165-170,116", // U
    "123,116-149,181-175,116",                                         // V
    "111,117-128,180-149,117-171,180-189,117",                         // W
    "127,117-175,182 127,182-175,117",                                 // X
    "125,117-150,152-150,181 150,152-174,117",                         // Y
    "126,118-168,118-168,124-124,176-124,180-171,180",                 // Z
};

constexpr const char* const messageTable[messageCount] = {
    "BO SELECTA", "SPHERE",    "CHECK IT OUT", "ITS THE DOGS", "HAPPY WANDERS", "STEADY J",
    "GROOVY",     "CHILL OUT", "RELAX",        "UNWIND",       "STAY HOOPY",    "THIS IS COOL",
};

void darkenField() {
    const int n = field.gridSize;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            const int cell = cellAt(x, y);
            for (float* plane : {planes.red, planes.green, planes.blue}) {
                plane[cell] = toFloat((static_cast<double>(plane[cell]) - 120) * 0.5);
            }
        }
    }
}

namespace {

constexpr int mostLetterPoints() {
    int most = 0;
    for (const char* strokes : letterStrokes) {
        const int count = strokePointCount(strokes);
        most = count > most ? count : most;
    }
    return most;
}

constexpr int longestMessage() {
    int longest = 0;
    for (const char* message : messageTable) {
        int length = 0;
        while (message[length] != '\0') {
            ++length;
        }
        longest = length > longest ? length : longest;
    }
    return longest;
}

} // namespace

// The flying-letter effect sizes its stroke-point slots by this bound.
static_assert(mostLetterPoints() == maxLetterPoints);
// A message model (point 0 unused, the stroke points, then 700 dots) always fits the model slots.
static_assert(1 + longestMessage() * maxLetterPoints + 700 <= modelCapacity);

} // namespace glowfield
