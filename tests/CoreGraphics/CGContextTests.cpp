#include "CoreGraphics/CGContext.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace TestSupport;

namespace {

CGColorRef rgb(CGFloat red, CGFloat green, CGFloat blue)
{
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), { red, green, blue, 1 });
}

std::string drawn(const CGContextRef& context)
{
    auto image = CGBitmapContextCreateImage(context);
    return image ? letters(*image) : "no image";
}

}

TEST(CGBitmapContextCreate, RefusesZeroAndOversizedDimensions)
{
    struct Case {
        size_t width, height;
        bool created;
    };
    const Case cases[] = { { 640, 432, true }, { 0, 4, false }, { 4, 0, false }, { 32768, 1, false }, { 20000, 20000, false },
        { std::numeric_limits<size_t>::max(), 2, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        auto context = CGBitmapContextCreate(c.width, c.height);
        EXPECT_EQ(context != nullptr, c.created);
        EXPECT_EQ(CGBitmapContextGetWidth(context), c.created ? c.width : 0);
    }
}

TEST(CGContextFillRect, OriginIsAtTheBottomLeft)
{
    struct Case {
        CGRect rect;
        const char* expected;
    };
    const Case cases[] = {
        { CGRectMake(0, 0, 1, 1), ".../.../B.." },
        { CGRectMake(2, 2, 1, 1), "..B/.../..." },
        { CGRectMake(1, 0, 2, 1), ".../.../.BB" },
        { CGRectMake(1, 1, -1, -1), ".../.../B.." },
        { CGRectNull, ".../.../..." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rect));
        auto context = CGBitmapContextCreate(3, 3);
        CGContextSetFillColorWithColor(context, rgb(0, 0, 1));
        CGContextFillRect(context, c.rect);
        EXPECT_EQ(drawn(context), c.expected);
    }
}

TEST(CGContextDrawImage, DrawsUprightInYUpSpace)
{
    auto picture = imageFromRows({ { opaqueRed, opaqueGreen }, { opaqueBlue, opaqueWhite } });
    struct Case {
        const char* label;
        CGRect rect;
        bool flippedCTM;
        const char* expected;
    };
    const Case cases[] = {
        { "bottom left", CGRectMake(0, 0, 2, 2), false, "..../..../RG../BW.." },
        { "top right", CGRectMake(2, 2, 2, 2), false, "..RG/..BW/..../...." },
        { "stretched", CGRectMake(0, 0, 4, 2), false, "..../..../RRGG/BBWW" },
        // A flipped CTM turns the picture over, as on the platform.
        { "flipped CTM", CGRectMake(0, 0, 2, 2), true, "BW../RG../..../...." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(4, 4);
        CGContextSetInterpolationQuality(context, kCGInterpolationNone);
        if (c.flippedCTM)
            CGContextConcatCTM(context, CGAffineTransformMake(1, 0, 0, -1, 0, 4));
        CGContextDrawImage(context, c.rect, picture);
        EXPECT_EQ(drawn(context), c.expected);
    }
}

TEST(CGContextTransparencyLayer, CompositesOnceWithTheAlphaEvenIfStateIsUnbalancedInside)
{
    // Saves inside the layer; negative: restores.
    for (int saves : { 0, -1, -5, 3 }) {
        SCOPED_TRACE(saves);
        auto context = CGBitmapContextCreate(3, 1);
        CGContextSetFillColorWithColor(context, rgb(1, 0, 0));
        CGContextSaveGState(context);
        CGContextSetAlpha(context, 0.5f);
        CGContextBeginTransparencyLayer(context);
        for (int i = 0; i < saves; ++i)
            CGContextSaveGState(context);
        for (int i = 0; i > saves; --i)
            CGContextRestoreGState(context);
        // Overlapping fills: the overlap must not come out darker.
        CGContextFillRect(context, CGRectMake(0, 0, 2, 1));
        CGContextFillRect(context, CGRectMake(1, 0, 1, 1));
        CGContextEndTransparencyLayer(context);
        CGContextRestoreGState(context);
        CGContextFillRect(context, CGRectMake(2, 0, 1, 1));
        auto image = CGBitmapContextCreateImage(context);
        EXPECT_TRUE(pixelNear(pixelAt(*image, 0, 0), { 128, 0, 0, 128 }));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 1, 0), { 128, 0, 0, 128 }));
        EXPECT_EQ(pixelAt(*image, 2, 0), opaqueRed);
    }
}

TEST(CGContextPatternFill, TilesInDevicePixelsFromTheTopLeftWhateverTheCTM)
{
    auto pattern = CGColorCreateWithPattern(imageFromRows({ { opaqueRed, opaqueBlue } }), 1);
    struct Case {
        const char* label;
        CGAffineTransform ctm;
        CGRect fill;
    };
    const Case cases[] = {
        { "identity", CGAffineTransformIdentity, CGRectMake(0, 0, 4, 2) },
        { "scaled", CGAffineTransformMakeScale(2, 2), CGRectMake(0, 0, 2, 1) },
        { "moved a pixel", CGAffineTransformMakeTranslation(1, 0), CGRectMake(-1, 0, 4, 2) },
        { "mirrored", CGAffineTransformMake(-1, 0, 0, 1, 4, 0), CGRectMake(0, 0, 4, 2) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(4, 2);
        CGContextConcatCTM(context, c.ctm);
        CGContextSetFillColorWithColor(context, pattern);
        CGContextFillRect(context, c.fill);
        EXPECT_EQ(drawn(context), "RBRB/RBRB");
    }
}
