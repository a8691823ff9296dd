#include "UIKit/UIGraphics.h"
#include "UIKit/UIStringDrawing.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace TestSupport;

namespace {

struct Drawn {
    CGImageRef image;
    CGSize answered;
};

// What draw puts into a clear 200 × 60 UIKit context at scale 1, and what it answered.
Drawn drawn(const std::function<CGSize(const CGContextRef&)>& draw)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(200, 60), false, 1);
    CGSize answered = draw(UIGraphicsGetCurrentContext());
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return { image->CGImage(), answered };
}

// The bounds of the inked pixels between two columns.
struct Ink {
    int left = INT_MAX, right = -1, top = INT_MAX;
    [[nodiscard]] bool isEmpty() const { return right < 0; }
};

Ink inkOf(const CGImage& image, int fromX = 0, int toX = INT_MAX)
{
    Ink ink;
    for (int y = 0; y < int(image.height()); ++y) {
        for (int x = fromX; x < std::min(toX, int(image.width())); ++x) {
            if (pixelAt(image, size_t(x), size_t(y)).alpha > 64)
                ink = { std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y) };
        }
    }
    return ink;
}

::testing::AssertionResult sizeNear(CGSize actual, CGSize expected)
{
    return rectNear({ {}, actual }, { {}, expected });
}

const char* const pangram = "The quick brown fox jumps over the lazy dog";

}

TEST(UIStringDrawing, SizeGrowsWithFontSizeAndText)
{
    struct Case {
        const char* text;
        CGFloat size;
    };
    CGSize previous {};
    for (const auto& c : { Case { "H", 17 }, Case { "Hello", 17 }, Case { "Hello, world", 17 }, Case { "Hello, world", 30 } }) {
        SCOPED_TRACE(testing::Message() << c.text << " at " << c.size);
        auto font = UIFont::systemFontOfSize(c.size);
        CGSize measured = UIStringDrawing::sizeWithFont(c.text, font);
        EXPECT_GT(measured.width, previous.width);
        EXPECT_NEAR(measured.height, font->lineHeight(), 1e-3);
        EXPECT_TRUE(sizeNear(drawn([&](auto&) { return UIStringDrawing::drawAtPoint(c.text, CGPointMake(0, 0), font); }).answered, measured));
        previous = measured;
    }
    // Only the text's own line breaks start lines.
    auto font = UIFont::systemFontOfSize(17);
    EXPECT_TRUE(sizeNear(UIStringDrawing::sizeWithFont("one\ntwo\nthree", font),
        CGSizeMake(UIStringDrawing::sizeWithFont("three", font).width, 3 * font->lineHeight())));
}

TEST(UIStringDrawing, NarrowBoxesWrapIntoWholeLines)
{
    auto font = UIFont::systemFontOfSize(17);
    const CGFloat line = font->lineHeight();
    struct Case {
        const char* label;
        const char* text;
        CGSize box;
        NSLineBreakMode mode;
        double fewestLines, mostLines;  // a fraction where a line is cut
    };
    const Case cases[] = {
        { "words", pangram, CGSizeMake(80, 1000), NSLineBreakByWordWrapping, 3, 10 },
        { "characters", pangram, CGSizeMake(80, FLT_MAX), NSLineBreakByCharWrapping, 3, 10 },
        { "a word longer than the width breaks", "Supercalifragilisticexpialidocious", CGSizeMake(60, 1000), NSLineBreakByWordWrapping, 3, 10 },
        { "the lines that fit", pangram, CGSizeMake(80, 2.5f * line), NSLineBreakByWordWrapping, 2, 2 },
        { "at least one line", pangram, CGSizeMake(80, 2), NSLineBreakByWordWrapping, 1, 1 },
        { "truncation keeps whole lines", pangram, CGSizeMake(80, 2.5f * line), NSLineBreakByTruncatingTail, 2, 2 },
        { "clipping cuts the last line", pangram, CGSizeMake(80, 2.5f * line), NSLineBreakByClipping, 2.5, 2.5 },
        { "no width limit", pangram, CGSizeMake(FLT_MAX, FLT_MAX), NSLineBreakByWordWrapping, 1, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CGSize measured = UIStringDrawing::sizeWithFont(c.text, font, c.box, c.mode);
        double lines = measured.height / line;
        EXPECT_GE(lines, c.fewestLines - 1e-4);
        EXPECT_LE(lines, c.mostLines + 1e-4);
        EXPECT_TRUE(c.mode == NSLineBreakByClipping || std::abs(lines - std::round(lines)) < 1e-4) << lines;
        EXPECT_LE(measured.width, c.box.width);
        EXPECT_TRUE(sizeNear(drawn([&](auto&) { return UIStringDrawing::drawInRect(c.text, { {}, c.box }, font, c.mode); }).answered, measured));
    }
}

TEST(UIStringDrawing, TruncationPutsTheEllipsisWhereTheModeSaysWithinTheWidth)
{
    auto font = UIFont::systemFontOfSize(20);
    const CGRect rect = CGRectMake(10, 5, 120, font->lineHeight());
    const int baseline = int(rect.origin.y + font->ascender());
    struct Case {
        NSLineBreakMode mode;
        bool dotsAtLeft, dotsAtRight;
    };
    for (const auto& c : { Case { NSLineBreakByTruncatingHead, true, false }, Case { NSLineBreakByTruncatingTail, false, true },
             Case { NSLineBreakByTruncatingMiddle, false, false } }) {
        SCOPED_TRACE(c.mode);
        auto [image, answered] = drawn([&](auto&) { return UIStringDrawing::drawInRect("MMMMMMMMMMMMMMMMMMMM", rect, font, c.mode); });
        EXPECT_LE(answered.width, rect.size.width);
        Ink ink = inkOf(*image);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.left, int(rect.origin.x));
        EXPECT_LE(ink.right, int(CGRectGetMaxX(rect)));
        // An M reaches up to the capitals' height at its sides; the ellipsis' dots stay near the baseline.
        auto isDot = [&](int x) { return inkOf(*image, x, x + 2).top > (ink.top + baseline) / 2; };
        EXPECT_EQ(isDot(ink.left), c.dotsAtLeft);
        EXPECT_EQ(isDot(ink.right - 1), c.dotsAtRight);
    }
}

TEST(UIStringDrawing, AlignmentMovesTheInkBetweenTheSides)
{
    auto font = UIFont::systemFontOfSize(20);
    const CGRect rect = CGRectMake(10, 5, 180, 30);
    const double halfWidth = UIStringDrawing::sizeWithFont("HH", font).width / 2;
    struct Case {
        NSTextAlignment alignment;
        double expectedInkCentre;
    };
    for (const auto& c : { Case { NSTextAlignmentLeft, CGRectGetMinX(rect) + halfWidth }, Case { NSTextAlignmentCenter, CGRectGetMidX(rect) },
             Case { NSTextAlignmentRight, CGRectGetMaxX(rect) - halfWidth } }) {
        SCOPED_TRACE(c.alignment);
        Ink ink = inkOf(*drawn([&](auto&) { return UIStringDrawing::drawInRect("HH", rect, font, NSLineBreakByWordWrapping, c.alignment); }).image);
        EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, c.expectedInkCentre, 3);
    }
}

TEST(UIStringDrawing, TextTakesTheContextsFillColourAndAlpha)
{
    auto font = UIFont::systemFontOfSize(40);
    struct Case {
        const char* label;
        CGColorRef fill;
        CGFloat alpha;
        Pixel expected;
    };
    const Case cases[] = {
        { "black until set", nullptr, 1, opaqueBlack },
        { "red", CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 1, 0, 0, 1 }), 1, opaqueRed },
        { "blue at half alpha", CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 0, 0, 1, 1 }), 0.5f, { 0, 0, 128, 128 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        // A full block covers its middle whole.
        auto [image, answered] = drawn([&](const CGContextRef& context) {
            if (c.fill)
                CGContextSetFillColorWithColor(context, c.fill);
            CGContextSetAlpha(context, c.alpha);
            return UIStringDrawing::drawAtPoint("\u2588", CGPointMake(5, 5), font);
        });
        EXPECT_TRUE(pixelNear(pixelAt(*image, size_t(5 + answered.width / 2), size_t(5 + font->ascender() / 2)), c.expected));
    }
}

TEST(UIStringDrawing, HostileInputIsSafe)
{
    auto font = UIFont::systemFontOfSize(17);
    const std::string replacement = "\uFFFD";
    struct Text {
        const char* label;
        std::string text, asDrawn;
    };
    const Text texts[] = {
        { "stray byte", "a\xff" "b", "a" + replacement + "b" },
        { "cut sequence", "a\xe2\x82", "a" + replacement + replacement },
        { "overlong slash", "\xc0\xaf", replacement + replacement },
        { "embedded nul", std::string("a\0b", 3), "a" + replacement + "b" },
    };
    for (const auto& c : texts) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(sizeNear(UIStringDrawing::sizeWithFont(c.text, font), UIStringDrawing::sizeWithFont(c.asDrawn, font)));
        EXPECT_FALSE(inkOf(*drawn([&](auto&) { return UIStringDrawing::drawAtPoint(c.text, CGPointMake(0, 0), font); }).image).isEmpty());
    }

    const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN(), infinity = std::numeric_limits<CGFloat>::infinity();
    struct Geometry {
        const char* label;
        CGRect rect;
        bool usableOrigin, usableSize;
    };
    const Geometry geometries[] = {
        { "NaN origin", CGRectMake(nan, 0, 100, 30), false, true },
        { "infinite origin", CGRectMake(-infinity, 0, 100, 30), false, true },
        { "null rect", CGRectNull, false, false },
        { "NaN width", CGRectMake(0, 0, nan, 30), true, false },
        { "infinite height", CGRectMake(0, 0, 100, infinity), true, false },
        { "negative width", CGRectMake(100, 0, -100, 30), true, false },
        { "zero height", CGRectMake(0, 0, 100, 0), true, false },
    };
    for (const auto& c : geometries) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(UIStringDrawing::sizeWithFont(pangram, font, c.rect.size) != CGSizeZero, c.usableSize);
        auto [image, answered] = drawn([&](const CGContextRef& context) {
            EXPECT_EQ(UIStringDrawing::drawAtPoint(pangram, c.rect.origin, font) != CGSizeZero, c.usableOrigin);
            CGContextClearRect(context, CGRectMake(0, 0, 200, 60));
            return UIStringDrawing::drawInRect(pangram, c.rect, font);
        });
        EXPECT_EQ(answered, CGSizeZero);
        EXPECT_TRUE(inkOf(*image).isEmpty());
    }
    // Cairo's device coordinates wrap around past 2^23 pixels or so: text out there must not land here.
    for (CGFloat x : { CGFloat(1 << 24) + 10, CGFloat(1LL << 32) + 10, std::numeric_limits<CGFloat>::max() }) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(inkOf(*drawn([&](auto&) { return UIStringDrawing::drawAtPoint(pangram, CGPointMake(x, 5), font); }).image).isEmpty());
    }
    EXPECT_EQ(UIStringDrawing::sizeWithFont(pangram, nullptr), CGSizeZero);
    EXPECT_EQ(UIStringDrawing::drawAtPoint(pangram, CGPointMake(0, 0), font), CGSizeZero) << "no current context";
}

TEST(UIStringDrawing, HugeTextIsCutToWhatIsLaidOut)
{
    auto repeated = [](std::string_view piece, size_t count) {
        std::string text;
        while (count--)
            text += piece;
        return text;
    };
    const size_t length = UIStringDrawing::maximumTextLength, paragraphs = size_t(UIStringDrawing::maximumParagraphCount);
    struct Case {
        const char* label;
        std::string text, laidOut;
        CGFloat fontSize;
    };
    const Case cases[] = {
        { "words past the length", repeated("words ", length), repeated("words ", length).substr(0, length), 12 },
        { "one overlong word, broken in a column", repeated("W", length), repeated("W", length), 12 },
        { "lines past the paragraph count", repeated("line\n", 2 * paragraphs), repeated("line\n", paragraphs - 1) + "line", 12 },
        // A million points at one em per byte.
        { "a big font's text", repeated("W", 8192), repeated("W", 4096), 256 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto font = UIFont::systemFontOfSize(c.fontSize);
        for (CGSize box : { CGSizeMake(300, FLT_MAX), CGSizeMake(FLT_MAX, FLT_MAX) }) {
            CGSize measured = UIStringDrawing::sizeWithFont(c.text, font, box);
            EXPECT_TRUE(sizeNear(measured, UIStringDrawing::sizeWithFont(c.laidOut, font, box)));
            EXPECT_LE(measured.width, box.width);
        }
    }
}

TEST(UIStringDrawing, EmojiDrawInColour)
{
    if (!haveProgram("fc-list") || runCommand("fc-list ':charset=1f604:color=true' family").output.empty())
        GTEST_SKIP() << "no colour emoji font (Debian: fonts-noto-color-emoji)";
    auto [image, answered] = drawn([&](auto&) { return UIStringDrawing::drawAtPoint("\U0001F604", CGPointMake(5, 5), UIFont::systemFontOfSize(40)); });
    // Black text is grey at its edges at most; the face is yellow.
    int colourful = 0;
    for (size_t y = 0; y < image->height(); ++y) {
        for (size_t x = 0; x < image->width(); ++x) {
            Pixel p = pixelAt(*image, x, y);
            colourful += std::max({ p.red, p.green, p.blue }) - std::min({ p.red, p.green, p.blue }) > 80;
        }
    }
    EXPECT_GT(colourful, 100);
}
