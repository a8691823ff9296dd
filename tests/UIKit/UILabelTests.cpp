#include "UIKit/UILabel.h"
#include "UIKitTestSupport.h"
#include "host/Snapshot.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>

using namespace TestSupport;
using UIKitTestSupport::render;

namespace {

const char* const pangram = "The quick brown fox jumps over the lazy dog";
// The brackets come from a fallback font whose lines are taller.
const char* const bracketed = "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!";

// The rows and columns with ink, at the rendering's scale.
struct Ink {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
};

Ink inkOf(const CGImage& image)
{
    Ink ink;
    for (int y = 0; y < int(image.height()); ++y) {
        for (int x = 0; x < int(image.width()); ++x) {
            if (pixelAt(image, size_t(x), size_t(y)).alpha > 64)
                ink = { std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y), std::max(ink.bottom, y) };
        }
    }
    return ink;
}

UILabelRef labelWithText(const char* text, CGRect frame, CGFloat fontSize = 17)
{
    auto label = UILabel::initWithFrame(frame);
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    return label;
}

}

TEST(UILabel, StartsAsThePlatformsLabelsDoAndFallsBackToThat)
{
    auto label = UILabel::initWithFrame(CGRectMake(0, 0, 100, 30));
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_FALSE(label->backgroundColor());
    for (bool afterNonsense : { false, true }) {
        SCOPED_TRACE(afterNonsense);
        EXPECT_TRUE(CGColorEqualToColor(label->textColor()->CGColor(), UIColor::blackColor()->CGColor()));
        EXPECT_EQ(label->font()->description() + " " + std::to_string(label->font()->pointSize()), UIFont::systemFontOfSize(17)->description() + " 17.000000");
        EXPECT_EQ(label->textAlignment(), NSTextAlignmentLeft);
        EXPECT_EQ(label->lineBreakMode(), NSLineBreakByTruncatingTail);
        label->setTextColor(nullptr);
        label->setFont(nullptr);
        label->setTextAlignment(static_cast<NSTextAlignment>(9));
        label->setLineBreakMode(static_cast<NSLineBreakMode>(-1));
    }
    label->setNumberOfLines(-3);
    EXPECT_EQ(label->numberOfLines(), 0);
    label->setText(pangram);
    label->setNumberOfLines(INT_MAX);
    EXPECT_GT(label->sizeThatFits(CGSizeMake(100, 0)).height, 2 * label->font()->lineHeight());
    // Inside another view, it leaves touches to that view.
    auto holder = UIView::initWithFrame(CGRectMake(0, 0, 100, 30));
    holder->addSubview(label);
    EXPECT_EQ(holder->hitTest(CGPointMake(10, 10), nullptr), holder);
}

TEST(UILabel, EveryChangeOfWhatIsDrawnAsksForDisplay)
{
    struct Case {
        const char* label;
        std::function<void(UILabel&)> change;
    };
    const Case cases[] = {
        { "text", [](UILabel& l) { l.setText("other"); } },
        { "colour", [](UILabel& l) { l.setTextColor(UIColor::redColor()); } },
        { "font", [](UILabel& l) { l.setFont(UIFont::systemFontOfSize(30)); } },
        { "alignment", [](UILabel& l) { l.setTextAlignment(NSTextAlignmentRight); } },
        { "lines", [](UILabel& l) { l.setNumberOfLines(2); } },
        { "line breaks", [](UILabel& l) { l.setLineBreakMode(NSLineBreakByClipping); } },
        { "size", [](UILabel& l) { l.setFrame(CGRectMake(0, 0, 120, 40)); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto label = labelWithText("Hello", CGRectMake(0, 0, 100, 30));
        ASSERT_TRUE(render(*label));
        EXPECT_FALSE(label->layer()->needsDisplay());
        c.change(*label);
        EXPECT_TRUE(label->layer()->needsDisplay());
    }
}

TEST(UILabel, TextSitsCentredVerticallyAndAlignedBetweenTheSides)
{
    const double halfText = UIStringDrawing::sizeWithFont("HH", UIFont::systemFontOfSize(17)).width / 2;
    struct Case {
        NSTextAlignment alignment;
        double inkCentre;
    };
    for (const auto& c : { Case { NSTextAlignmentLeft, halfText }, Case { NSTextAlignmentCenter, 100 }, Case { NSTextAlignmentRight, 200 - halfText } }) {
        SCOPED_TRACE(c.alignment);
        auto label = labelWithText("HH", CGRectMake(0, 0, 200, 60));
        label->setTextAlignment(c.alignment);
        CGFloat line = label->font()->lineHeight();
        CGRect text = label->textRectForBounds(label->bounds());
        EXPECT_TRUE(rectNear(text, CGRectMake(0, std::round(60 - line) / 2, 200, line), 0.5));
        auto image = render(*label);
        ASSERT_TRUE(image);
        Ink ink = inkOf(*image);
        EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, c.inkCentre, 2);
        // Capitals stand on the baseline of the centred line.
        EXPECT_GE(ink.top, int(CGRectGetMinY(text)));
        EXPECT_LE(ink.bottom, int(CGRectGetMinY(text) + label->font()->ascender()) + 1);
        EXPECT_EQ(pixelAt(*image, 100, 2), transparent) << "no background of its own";
    }
}

TEST(UILabel, LinesAreMeasuredAndDrawnWithinTheCountAndTheBounds)
{
    const CGFloat line = UIFont::systemFontOfSize(17)->lineHeight(), smallLine = UIFont::systemFontOfSize(13)->lineHeight();
    const CGSize whole = UIStringDrawing::sizeWithFont(pangram, UIFont::systemFontOfSize(17));
    const int wrapped = int(std::lround(UIStringDrawing::sizeWithFont(pangram, UIFont::systemFontOfSize(17), CGSizeMake(110, 1000)).height / line));
    const CGFloat tall = UIStringDrawing::sizeWithFont(bracketed, UIFont::systemFontOfSize(13), CGSizeMake(238, 1000)).height;
    struct Case {
        const char* label;
        const char* text;
        int lines;
        CGSize bounds;
        CGFloat drawnHeight;  // of the text rectangle in those bounds
        CGSize fits;          // sizeThatFits(bounds), the width at most this where lines wrap
        CGFloat fontSize = 17;
    };
    const Case cases[] = {
        { "one line, which fits at its whole width", pangram, 1, CGSizeMake(110, 200), line, CGSizeMake(std::ceil(whole.width), std::ceil(line)) },
        { "two lines", pangram, 2, CGSizeMake(110, 200), 2 * line, CGSizeMake(110, std::ceil(2 * line)) },
        { "as many as the text needs", pangram, 0, CGSizeMake(110, 200), wrapped * line, CGSizeMake(110, std::ceil(wrapped * line)) },
        { "as many as the bounds hold", pangram, 0, CGSizeMake(110, 3.5f * line), 3 * line, CGSizeMake(110, std::ceil(wrapped * line)) },
        { "the bounds win over the count", pangram, 4, CGSizeMake(110, 2.5f * line), 2 * line, CGSizeMake(110, std::ceil(4 * line)) },
        { "no text", "", 1, CGSizeMake(110, 40), 0, CGSizeZero },
        // The brackets' line is taller: every line must still come out.
        { "lines of different heights", bracketed, 0, CGSizeMake(238, std::ceil(tall)), tall, CGSizeMake(238, std::ceil(tall)), 13 },
        { "as many as counted, of different heights", bracketed, int(tall / smallLine), CGSizeMake(238, 200), tall, CGSizeMake(238, std::ceil(tall)), 13 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto label = labelWithText(c.text, { CGPointZero, c.bounds }, c.fontSize);
        label->setNumberOfLines(c.lines);
        CGRect text = label->textRectForBounds(label->bounds());
        EXPECT_NEAR(text.size.height, c.drawnHeight, 1e-3);
        CGSize fits = label->sizeThatFits(c.bounds);
        EXPECT_EQ(fits.height, c.fits.height);
        EXPECT_TRUE(c.lines == 1 ? fits.width == c.fits.width : fits.width <= c.fits.width) << fits.width;
        auto image = render(*label);
        Ink ink = inkOf(*image);
        EXPECT_TRUE(!*c.text || (ink.top >= int(CGRectGetMinY(text)) && ink.bottom <= int(std::ceil(CGRectGetMaxY(text))))) << ink.top << "-" << ink.bottom;
        EXPECT_TRUE(!*c.text || ink.bottom - ink.top > c.drawnHeight - 1.5 * line) << "the last line is drawn";
        label->sizeToFit();
        EXPECT_TRUE(rectNear(label->frame(), { CGPointZero, fits }));
    }
}

TEST(UILabel, TextDrawsInItsColourAndEmojiInTheirOwn)
{
    auto label = labelWithText("\u2588\u2588", CGRectMake(0, 0, 80, 40));  // full blocks: solid ink
    label->setTextColor(UIColor::colorWithRed(1, 0, 0, 1));
    auto image = render(*label);
    Ink ink = inkOf(*image);
    EXPECT_TRUE(pixelNear(pixelAt(*image, size_t(ink.left + 4), size_t((ink.top + ink.bottom) / 2)), opaqueRed));

    auto emojiFont = UIFont::fontWithName("Noto Color Emoji", 20);
    if (!emojiFont || emojiFont->familyName() != "Noto Color Emoji")
        GTEST_SKIP() << "no colour emoji font (Debian: fonts-noto-color-emoji)";
    label = labelWithText("Smile \U0001F604", CGRectMake(0, 0, 160, 44), 28);
    image = render(*label, 2);
    // The face is yellow though the text is black.
    int yellow = 0;
    for (size_t y = 0; y < image->height(); ++y) {
        for (size_t x = 0; x < image->width(); ++x) {
            Pixel p = pixelAt(*image, x, y);
            yellow += p.alpha > 200 && p.red > 150 && p.green > 100 && p.blue < 80;
        }
    }
    EXPECT_GT(yellow, 100);
    EXPECT_TRUE(writeViewSnapshot(*label, 2, binaryDirectory() / "label-emoji.png"));
}
