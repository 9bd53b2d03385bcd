// The progress line: its text, drawn in place and ended with a newline, and silent for quick work.
#include <cstdio>
#include <string>

#include "app/progress.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::string contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST(ProgressLine, TextWithAndWithoutAKnownEnd) {
    EXPECT_EQ(ProgressLine::text("recording", "frames", 100, 500, 50),
              "recording: 100 of 500 frames, 50.0 per second, 8 s left");
    EXPECT_EQ(ProgressLine::text("recording", "frames", 100, 0, 49.96),
              "recording: 100 frames, 50.0 per second");
    EXPECT_EQ(ProgressLine::text("gallery", "entries", 0, 242, 0), "gallery: 0 of 242 entries");
}

TEST(ProgressLine, DrawnInPlaceAndEndedWithANewline) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        ProgressLine line(out, "gallery", "entries", 2);
        line.update(0);
        line.update(2);
    }
    // The last count is drawn at the end, however soon after the one before.
    const std::string text = contents(out);
    EXPECT_EQ(text.rfind("\rgallery: 0 of 2 entries\rgallery: 2 of 2 entries, ", 0), 0u) << text;
    EXPECT_EQ(text.back(), '\n');
    std::fclose(out);
}

TEST(ProgressLine, QuickWorkAndInactiveLinesShowNothing) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        ProgressLine quick(out, "headless", "frames", 1000, 3600);
        quick.update(1);
        quick.update(1000);
        ProgressLine none;
        none.update(5);
        EXPECT_FALSE(none.active());
    }
    EXPECT_EQ(contents(out), "");
    std::fclose(out);
}

} // namespace
} // namespace glowfield::test
