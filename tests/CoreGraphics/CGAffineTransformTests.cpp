#include "CoreGraphics/CGAffineTransform.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <numbers>

using TestSupport::rectNear;

namespace {
const CGFloat halfPi = static_cast<CGFloat>(std::numbers::pi / 2);
}

TEST(CGAffineTransform, ConcatOrderRotationAndInversion)
{
    const auto translate = CGAffineTransformMakeTranslation(10, 0);
    const auto scale = CGAffineTransformMakeScale(2, 3);
    struct Case {
        const char* label;
        CGAffineTransform transform;
        CGPoint point, expected;
    };
    const Case cases[] = {
        { "translate then scale", CGAffineTransformConcat(translate, scale), CGPointMake(1, 1), CGPointMake(22, 3) },
        { "scale then translate", CGAffineTransformConcat(scale, translate), CGPointMake(1, 1), CGPointMake(12, 3) },
        // The modifying forms put the new step before the transform they are given.
        { "Translate of a scale", CGAffineTransformTranslate(scale, 10, 0), CGPointMake(1, 1), CGPointMake(22, 3) },
        { "Rotate of a translation", CGAffineTransformRotate(translate, halfPi), CGPointMake(1, 1), CGPointMake(9, 1) },
        { "quarter turn of x", CGAffineTransformMakeRotation(halfPi), CGPointMake(1, 0), CGPointMake(0, 1) },
        { "quarter turn of y", CGAffineTransformMakeRotation(halfPi), CGPointMake(0, 1), CGPointMake(-1, 0) },
        { "inverse", CGAffineTransformInvert(CGAffineTransformMake(1, 2, 3, 4, 5, 6)), CGPointMake(9, 12), CGPointMake(1, 1) },
        { "singular stays as it is", CGAffineTransformInvert(CGAffineTransformMake(1, 2, 2, 4, 5, 6)), CGPointMake(1, 1), CGPointMake(8, 12) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CGPoint p = CGPointApplyAffineTransform(c.point, c.transform);
        EXPECT_NEAR(p.x, c.expected.x, 1e-4);
        EXPECT_NEAR(p.y, c.expected.y, 1e-4);
    }
    EXPECT_EQ(CGSizeApplyAffineTransform(CGSizeMake(3, 4), CGAffineTransformConcat(scale, translate)), CGSizeMake(6, 12));
}

TEST(CGAffineTransform, RectsMapToTheBoundingBoxOfTheirCorners)
{
    const CGFloat root2 = std::sqrt(CGFloat(2));
    struct Case {
        const char* label;
        CGRect rect;
        CGAffineTransform transform;
        CGRect expected;
    };
    const Case cases[] = {
        { "mirror", CGRectMake(1, 2, 3, 4), CGAffineTransformMakeScale(-1, 1), CGRectMake(-4, 2, 3, 4) },
        { "quarter turn", CGRectMake(0, 0, 100, 50), CGAffineTransformMakeRotation(halfPi), CGRectMake(-50, 0, 50, 100) },
        { "eighth turn", CGRectMake(0, 0, 2, 2), CGAffineTransformMakeRotation(halfPi / 2), CGRectMake(-root2, 0, 2 * root2, 2 * root2) },
        { "negative size", CGRectMake(4, 6, -3, -4), CGAffineTransformMakeTranslation(1, 1), CGRectMake(2, 3, 3, 4) },
        { "null", CGRectNull, CGAffineTransformMakeScale(2, 2), CGRectNull },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(rectNear(CGRectApplyAffineTransform(c.rect, c.transform), c.expected));
    }
}
