// The stroke font and the stroke reader that both lettering effects use.
#include <gtest/gtest.h>

#include <vector>

#include "effects/shared/lettering.h"

namespace glowfield {
namespace {

std::vector<StrokePoint> pointsOf(const char* text) {
    std::vector<StrokePoint> points;
    forEachStrokePoint(text, [&points](const StrokePoint& point) { points.push_back(point); });
    return points;
}

TEST(LetterStrokes, PolylinesPerLetterAndFirstPoints) {
    // H, I and K have three polylines; A, B, E, F, G, Q, R, T, X and Y two; the rest one.
    const int polylines[letterCount] = {2, 2, 1, 1, 2, 2, 2, 3, 3, 1, 3, 1, 1,
                                        1, 1, 1, 2, 2, 1, 2, 1, 1, 1, 2, 2, 1};
    for (int letter = 0; letter < letterCount; ++letter) {
        int starts = 0;
        for (const StrokePoint& point : pointsOf(letterStrokes[letter])) {
            starts += point.joined ? 0 : 1;
        }
        EXPECT_EQ(starts, polylines[letter]) << char('A' + letter);
    }
    // The A starts at (176, 182); its bar is a new polyline from (132, 158).
    const std::vector<StrokePoint> a = pointsOf(letterStrokes[0]);
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[0].x, 176);
    EXPECT_EQ(a[0].y, 182);
    EXPECT_EQ(a[3].x, 132);
    EXPECT_EQ(a[3].y, 158);
    EXPECT_STREQ(messageTable[11], "THIS IS COOL");
}

TEST(StrokeReader, JoinsStrokeStartsAndTheEndOfALetter) {
    const std::vector<StrokePoint> points = pointsOf("1,2-3,4 5,6-7,8-9,10");
    ASSERT_EQ(points.size(), 5u);
    const bool joined[5] = {false, true, false, true, true};
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].joined, joined[i]) << i;
        EXPECT_EQ(points[i].x, static_cast<int>(2 * i + 1)) << i;
        EXPECT_EQ(points[i].y, static_cast<int>(2 * i + 2)) << i;
    }
    EXPECT_TRUE(pointsOf("").empty());
    // A separator right before the terminator ends the letter.
    EXPECT_EQ(strokePointCount("10,20-"), 1);
    EXPECT_EQ(strokePointCount("10,20 "), 1);
    // An x with no ',' after it is handed over alone, and the letter ends there.
    const std::vector<StrokePoint> dangling = pointsOf("10,20-30");
    ASSERT_EQ(dangling.size(), 2u);
    EXPECT_FALSE(dangling[1].hasY);
    EXPECT_EQ(dangling[1].x, 30);
    // Numbers far beyond any coordinate saturate.
    EXPECT_EQ(pointsOf("1000000000123,5")[0].x, 2147483647);
}

} // namespace
} // namespace glowfield
