#include "UIKit/UIFont.h"
#include "UIKit/UIKit.h"

#include <gtest/gtest.h>
#include <limits>

TEST(UIFont, SystemFontsShareOneSansFamilyAndNameTheirFace)
{
    UIKit::registerClasses();
    auto regular = UIFont::systemFontOfSize(17);
    ASSERT_NE(regular, nullptr);
    EXPECT_EQ(object_getClass(regular), objc_getClass("UIFont"));
    EXPECT_EQ(regular->familyName(), UIFont::fontWithName("sans", 17)->familyName());
    struct Case {
        const char* label;
        UIFontRef font;
        bool sameFaceAsRegular;
    };
    const Case cases[] = {
        { "regular", regular, true },
        { "bold", UIFont::boldSystemFontOfSize(17), false },
        { "semibold, for bar titles", UIFont::systemFontOfSizeWeight(17, UIFontWeightSemibold), false },
        // A family the machine lacks falls back to the one it has.
        { "missing family", UIFont::fontWithName("No Such Family Anywhere", 17), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_NE(c.font, nullptr);
        EXPECT_EQ(c.font->familyName(), regular->familyName());
        EXPECT_EQ(c.font->fontName() == regular->fontName(), c.sameFaceAsRegular) << c.font->fontName();
        // The name finds the face again, at any size.
        auto named = UIFont::fontWithName(c.font->fontName(), 30);
        ASSERT_NE(named, nullptr);
        EXPECT_EQ(named->fontName(), c.font->fontName());
        EXPECT_EQ(named->pointSize(), 30);
        EXPECT_EQ(c.font->fontWithSize(8)->fontName(), c.font->fontName());
    }
}

TEST(UIFont, BadSizesAndNamesGiveNil)
{
    const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN(), infinity = std::numeric_limits<CGFloat>::infinity();
    for (CGFloat size : { nan, infinity, -infinity, CGFloat(-1), CGFloat(0) }) {
        SCOPED_TRACE(size);
        EXPECT_EQ(UIFont::systemFontOfSize(size), nullptr);
        EXPECT_EQ(UIFont::systemFontOfSizeWeight(size, UIFontWeightMedium), nullptr);
        EXPECT_EQ(UIFont::fontWithName("sans", size), nullptr);
        EXPECT_EQ(UIFont::systemFontOfSize(10)->fontWithSize(size), nullptr);
    }
    struct Name {
        const char* name;
        bool namesAFamily;
    };
    // Invalid UTF-8 names a family of replacement characters, which falls back like any missing one.
    for (const auto& c : { Name { "", false }, Name { "   ", false }, Name { "Bold Italic", false }, Name { "\xff\xfe Bold", true } }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UIFont::fontWithName(c.name, 12) != nullptr, c.namesAFamily);
    }
    EXPECT_EQ(UIFont::systemFontOfSize(1e9f)->pointSize(), UIFont::maximumPointSize);
}

TEST(UIFont, MeasuresGrowWithSize)
{
    CGFloat previousLineHeight = 0;
    for (CGFloat size : { 8, 12, 17, 30, 100 }) {
        SCOPED_TRACE(size);
        auto font = UIFont::systemFontOfSize(size);
        EXPECT_GT(font->ascender(), 0);
        EXPECT_LT(font->descender(), 0);
        EXPECT_NEAR(font->ascender() - font->descender(), font->lineHeight(), 1e-3);
        // A line holds the size and some leading, but not twice the size.
        EXPECT_GE(font->lineHeight(), size);
        EXPECT_LT(font->lineHeight(), 2 * size);
        EXPECT_GT(font->lineHeight(), previousLineHeight);
        previousLineHeight = font->lineHeight();
    }
}
