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

// Rows and columns holding pixels with some ink, at scale 1.
struct Ink {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    [[nodiscard]] bool isEmpty() const { return right < 0; }
    [[nodiscard]] double centreX() const { return (left + right + 1) / 2.0; }
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

UILabelRef labelWithText(const char* text, CGRect frame)
{
    auto label = UILabel::initWithFrame(frame);
    label->setText(text);
    return label;
}

bool hasColourEmojiFont()
{
    auto font = UIFont::fontWithName("Noto Color Emoji", 20);
    return font && font->familyName() == "Noto Color Emoji";
}

}

TEST(UILabel, StartsAsThePlatformsLabelsDo)
{
    auto label = UILabel::initWithFrame(CGRectMake(0, 0, 100, 30));
    EXPECT_EQ(label->text(), "");
    EXPECT_TRUE(CGColorEqualToColor(label->textColor()->CGColor(), UIColor::blackColor()->CGColor()));
    EXPECT_EQ(label->font()->pointSize(), 17);
    EXPECT_EQ(label->font()->description(), UIFont::systemFontOfSize(17)->description());
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentLeft);
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_EQ(label->lineBreakMode(), NSLineBreakByTruncatingTail);
    EXPECT_FALSE(label->backgroundColor());
    EXPECT_FALSE(label->isOpaque());
    EXPECT_FALSE(label->isUserInteractionEnabled());

    // A nil colour or font and values out of range fall back to the defaults.
    label->setTextColor(nullptr);
    label->setFont(nullptr);
    label->setNumberOfLines(-3);
    label->setTextAlignment(static_cast<NSTextAlignment>(9));
    label->setLineBreakMode(static_cast<NSLineBreakMode>(-1));
    EXPECT_TRUE(label->textColor() && label->font());
    EXPECT_EQ(label->font()->pointSize(), 17);
    EXPECT_EQ(label->numberOfLines(), 0);
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentLeft);
    EXPECT_EQ(label->lineBreakMode(), NSLineBreakByTruncatingTail);
    label->setText(pangram);
    label->setNumberOfLines(INT_MAX);
    EXPECT_TRUE(render(*label));
    EXPECT_GT(label->sizeThatFits(CGSizeMake(100, 0)).height, 2 * label->font()->lineHeight());

    // A label inside another view leaves touches to it.
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
    const CGRect frame = CGRectMake(0, 0, 200, 60);
    const double textWidth = UIStringDrawing::sizeWithFont("HH", UIFont::systemFontOfSize(17)).width;
    struct Case {
        NSTextAlignment alignment;
        double inkCentre;
    };
    for (const auto& c : { Case { NSTextAlignmentLeft, textWidth / 2 }, Case { NSTextAlignmentCenter, 100 },
             Case { NSTextAlignmentRight, 200 - textWidth / 2 } }) {
        SCOPED_TRACE(c.alignment);
        auto label = labelWithText("HH", frame);
        label->setTextAlignment(c.alignment);
        auto lineHeight = label->font()->lineHeight();
        EXPECT_TRUE(rectNear(label->textRectForBounds(label->bounds()), CGRectMake(0, std::round(60 - lineHeight) / 2, 200, lineHeight), 0.5));
        auto image = render(*label);
        ASSERT_TRUE(image);
        Ink ink = inkOf(*image);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_NEAR(ink.centreX(), c.inkCentre, 2);
        // Capitals stand on the baseline, within the line centred in the bounds.
        CGRect line = label->textRectForBounds(label->bounds());
        EXPECT_GE(ink.top, int(CGRectGetMinY(line)));
        EXPECT_LE(ink.bottom, int(CGRectGetMinY(line) + label->font()->ascender()) + 1);
        EXPECT_EQ(pixelAt(*image, 100, 2), transparent) << "no background of its own";
    }
}

TEST(UILabel, NumberOfLinesBoundsWhatIsMeasuredAndDrawn)
{
    auto font = UIFont::systemFontOfSize(17);
    const CGFloat line = font->lineHeight();
    const int wrapped = int(std::lround(UIStringDrawing::sizeWithFont(pangram, font, CGSizeMake(110, 1000)).height / line));
    ASSERT_GE(wrapped, 4);
    struct Case {
        const char* label;
        int lines;
        CGFloat height;  // of the label
        int expectedLines;
    };
    const Case cases[] = {
        { "one line by default", 1, 200, 1 },
        { "two lines", 2, 200, 2 },
        { "as many as the text needs", 0, 200, wrapped },
        { "as many as the bounds hold", 0, 3.5f * line, 3 },
        { "the bounds win over the count", 4, 2.5f * line, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto label = labelWithText(pangram, CGRectMake(0, 0, 110, c.height));
        label->setNumberOfLines(c.lines);
        CGRect text = label->textRectForBounds(label->bounds());
        EXPECT_NEAR(text.size.height / line, c.expectedLines, 1e-3);
        auto image = render(*label);
        ASSERT_TRUE(image);
        Ink ink = inkOf(*image);
        EXPECT_GE(ink.top, int(CGRectGetMinY(text)));
        EXPECT_LE(ink.bottom, int(std::ceil(CGRectGetMaxY(text))));
        EXPECT_GT(ink.bottom - ink.top, (c.expectedLines - 1) * line);
        EXPECT_LE(ink.right, 110);
    }
}

TEST(UILabel, SizeThatFitsMeasuresTheTextInWholePoints)
{
    auto font = UIFont::systemFontOfSize(17);
    const CGSize whole = UIStringDrawing::sizeWithFont(pangram, font);
    // The brackets come from a fallback font whose lines are taller.
    const char* const bracketed = "You can press \u3010turn on\u3011button and reopen you application to see the new keyboard now!";
    const CGSize wrapped = UIStringDrawing::sizeWithFont(bracketed, UIFont::systemFontOfSize(13), CGSizeMake(238, 10000));
    // A taller line adds less than a line.
    const int wrappedLines = int(wrapped.height / UIFont::systemFontOfSize(13)->lineHeight());
    struct Case {
        const char* label;
        const char* text;
        int lines;
        CGSize offered;
        CGSize expected;  // the width is an upper bound where lines wrap
        CGFloat fontSize = 17;
    };
    const Case cases[] = {
        { "a single line takes its whole width", pangram, 1, CGSizeMake(50, 10), CGSizeMake(std::ceil(whole.width), std::ceil(whole.height)) },
        { "no text, no size", "", 1, CGSizeMake(50, 10), CGSizeZero },
        { "two lines within the width", pangram, 2, CGSizeMake(120, 0), CGSizeMake(120, std::ceil(2 * font->lineHeight())) },
        { "unlimited lines without a width are one", pangram, 0, CGSizeZero, CGSizeMake(std::ceil(whole.width), std::ceil(whole.height)) },
        { "lines of different heights", bracketed, 0, CGSizeMake(238, 0), CGSizeMake(238, std::ceil(wrapped.height)), 13 },
        { "as many lines as counted, of different heights", bracketed, wrappedLines, CGSizeMake(238, 0), CGSizeMake(238, std::ceil(wrapped.height)), 13 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto label = labelWithText(c.text, { CGPointMake(5, 7), c.offered });
        label->setNumberOfLines(c.lines);
        label->setFont(UIFont::systemFontOfSize(c.fontSize));
        CGSize fits = label->sizeThatFits(c.offered);
        EXPECT_EQ(fits.height, c.expected.height);
        if (c.offered.width > 0 && c.lines != 1)
            EXPECT_LE(fits.width, c.expected.width);
        else
            EXPECT_EQ(fits.width, c.expected.width);
        label->sizeToFit();
        EXPECT_TRUE(rectNear(label->frame(), { CGPointMake(5, 7), fits }));
        // Sized to fit, the label draws every line it measured.
        EXPECT_NEAR(label->textRectForBounds(label->bounds()).size.height, fits.height, 1);

    }
}

TEST(UILabel, TextDrawsInItsColourAndEmojiInTheirOwn)
{
    auto label = labelWithText("\u2588\u2588", CGRectMake(0, 0, 80, 40));  // full blocks: solid ink
    label->setTextColor(UIColor::colorWithRed(1, 0, 0, 1));
    auto image = render(*label);
    ASSERT_TRUE(image);
    Ink ink = inkOf(*image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(pixelNear(pixelAt(*image, size_t(ink.left + 4), size_t((ink.top + ink.bottom) / 2)), opaqueRed));

    if (!hasColourEmojiFont())
        GTEST_SKIP() << "no colour emoji font (Debian: fonts-noto-color-emoji)";
    label->setText("Smile \U0001F604");
    label->setTextColor(UIColor::blackColor());
    label->setFont(UIFont::systemFontOfSize(28));
    label->setFrame(CGRectMake(0, 0, 160, 44));
    image = render(*label, 2);
    ASSERT_TRUE(image);
    // The face is yellow whatever the text colour: some pixels are far from grey.
    int coloured = 0;
    for (size_t y = 0; y < image->height(); ++y) {
        for (size_t x = 0; x < image->width(); ++x) {
            Pixel p = pixelAt(*image, x, y);
            coloured += p.alpha > 200 && p.red > 150 && p.green > 100 && p.blue < 80;
        }
    }
    EXPECT_GT(coloured, 100);
    EXPECT_TRUE(writeViewSnapshot(*label, 2, binaryDirectory() / "label-emoji.png"));
}
