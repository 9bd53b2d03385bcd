// The stroke font, the message texts and the stroke reader that both lettering effects use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "effects/lettering.h"

namespace glowfield {
namespace {

std::vector<StrokePoint> pointsOf(const char* text) {
    std::vector<StrokePoint> points;
    forEachStrokePoint(text, [&points](const StrokePoint& point) { points.push_back(point); });
    return points;
}

int polylineCount(const char* text) {
    int count = 0;
    for (const StrokePoint& point : pointsOf(text)) {
        count += point.joined ? 0 : 1;
    }
    return count;
}

TEST(LetterStrokes, EachLetterHasItsNumberOfPolylines) {
    // H, I and K have three polylines; A, B, E, F, G, Q, R, T, X and Y two; the rest one.
    const int expected[letterCount] = {2, 2, 1, 1, 2, 2, 2, 3, 3, 1, 3, 1, 1,
                                       1, 1, 1, 2, 2, 1, 2, 1, 1, 1, 2, 2, 1};
    for (int letter = 0; letter < letterCount; ++letter) {
        EXPECT_EQ(polylineCount(letterStrokes[letter]), expected[letter]) << char('A' + letter);
    }
}

TEST(LetterStrokes, FirstPointsAndStrokeStartsAreReadFromTheText) {
    const std::vector<StrokePoint> a = pointsOf(letterStrokes[0]);
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[0].x, 176);
    EXPECT_EQ(a[0].y, 182);
    EXPECT_FALSE(a[0].joined);
    EXPECT_TRUE(a[1].joined);
    EXPECT_TRUE(a[2].joined);
    // The bar of the A starts a new polyline at (132, 158).
    EXPECT_EQ(a[3].x, 132);
    EXPECT_EQ(a[3].y, 158);
    EXPECT_FALSE(a[3].joined);
    EXPECT_TRUE(a[4].joined);

    const std::vector<StrokePoint> z = pointsOf(letterStrokes[25]);
    ASSERT_EQ(z.size(), 6u);
    EXPECT_EQ(z.back().x, 171);
    EXPECT_EQ(z.back().y, 180);
}

TEST(LetterStrokes, EveryPointLiesInTheDesignBox) {
    int most = 0;
    for (const char* strokes : letterStrokes) {
        const std::vector<StrokePoint> points = pointsOf(strokes);
        most = std::max(most, static_cast<int>(points.size()));
        for (const StrokePoint& point : points) {
            EXPECT_TRUE(point.hasY) << strokes;
            EXPECT_GE(point.x, 111) << strokes;
            EXPECT_LE(point.x, 189) << strokes;
            EXPECT_GE(point.y, 113) << strokes;
            EXPECT_LE(point.y, 182) << strokes;
        }
    }
    EXPECT_EQ(most, maxLetterPoints);
}

TEST(MessageTable, HoldsTheTwelveTextsOfCapitalsAndSpaces) {
    EXPECT_STREQ(messageTable[0], "BO SELECTA");
    EXPECT_STREQ(messageTable[11], "THIS IS COOL");
    for (const char* message : messageTable) {
        ASSERT_GT(std::strlen(message), 0u);
        for (const char* c = message; *c != '\0'; ++c) {
            EXPECT_TRUE((*c >= 'A' && *c <= 'Z') || (*c == ' ' && c[1] != ' ')) << message;
        }
    }
}

TEST(StrokeReader, JoinsFollowDashesAndSpacesStartNewPolylines) {
    const std::vector<StrokePoint> points = pointsOf("1,2-3,4 5,6-7,8-9,10");
    ASSERT_EQ(points.size(), 5u);
    const bool joined[5] = {false, true, false, true, true};
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].joined, joined[i]) << i;
        EXPECT_EQ(points[i].x, static_cast<int>(2 * i + 1)) << i;
        EXPECT_EQ(points[i].y, static_cast<int>(2 * i + 2)) << i;
    }
}

TEST(StrokeReader, EndsOfTheText) {
    EXPECT_TRUE(pointsOf("").empty());
    EXPECT_TRUE(pointsOf(nullptr).empty());

    // A trailing separator ends the letter: the character after it is the terminator.
    EXPECT_EQ(pointsOf("10,20-").size(), 1u);
    EXPECT_EQ(pointsOf("10,20 ").size(), 1u);

    // An x with no ',' after it is handed over alone, and nothing follows it.
    const std::vector<StrokePoint> dangling = pointsOf("10,20-30");
    ASSERT_EQ(dangling.size(), 2u);
    EXPECT_TRUE(dangling[0].hasY);
    EXPECT_FALSE(dangling[1].hasY);
    EXPECT_EQ(dangling[1].x, 30);
    EXPECT_TRUE(dangling[1].joined);
    EXPECT_EQ(strokePointCount("10,20-30"), 1);
}

TEST(StrokeReader, NumbersTakeASignAndSaturate) {
    const std::vector<StrokePoint> points = pointsOf("-12,7 1000000000123,5");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, -12);
    EXPECT_EQ(points[0].y, 7);
    EXPECT_EQ(points[1].x, 2147483647);
    EXPECT_EQ(points[1].y, 5);
}

} // namespace
} // namespace glowfield
