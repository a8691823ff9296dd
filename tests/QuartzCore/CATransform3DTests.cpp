#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CAPropertyValue.h"
#include "QuartzCore/CATransform3D.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

::testing::AssertionResult affineNear(CGAffineTransform actual, CGAffineTransform expected, double tolerance = 1e-5)
{
    double differences[] = { actual.a - expected.a, actual.b - expected.b, actual.c - expected.c, actual.d - expected.d,
        actual.tx - expected.tx, actual.ty - expected.ty };
    for (double difference : differences) {
        if (!(std::abs(difference) <= tolerance))
            return ::testing::AssertionFailure() << "got (" << actual.a << ", " << actual.b << ", " << actual.c << ", " << actual.d
                                                 << ", " << actual.tx << ", " << actual.ty << ")";
    }
    return ::testing::AssertionSuccess();
}

}

TEST(CATransform3D, MatchesTheAffineFunctionsInTwoDimensions)
{
    struct Case {
        const char* label;
        CATransform3D transform;
        CGAffineTransform affine;
    };
    const CGFloat angle = 0.7f;
    const Case cases[] = {
        { "scale", CATransform3DMakeScale(2, 3, 1), CGAffineTransformMakeScale(2, 3) },
        { "rotation about z", CATransform3DMakeRotation(angle, 0, 0, 1), CGAffineTransformMakeRotation(angle) },
        { "rotation about a long z axis", CATransform3DMakeRotation(angle, 0, 0, 5), CGAffineTransformMakeRotation(angle) },
        { "zero axis", CATransform3DMakeRotation(angle, 0, 0, 0), CGAffineTransformIdentity },
        { "scale then move", CATransform3DConcat(CATransform3DMakeScale(2, 2, 1), CATransform3DMakeTranslation(5, 6, 0)),
            CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2), CGAffineTransformMakeTranslation(5, 6)) },
        { "rotate applies first", CATransform3DRotate(CATransform3DMakeTranslation(5, 6, 0), angle, 0, 0, 1),
            CGAffineTransformRotate(CGAffineTransformMakeTranslation(5, 6), angle) },
        { "inverse", CATransform3DInvert(CATransform3DMakeAffineTransform(CGAffineTransformMake(2, 1, -1, 3, 4, 5))),
            CGAffineTransformInvert(CGAffineTransformMake(2, 1, -1, 3, 4, 5)) },
        { "singular stays", CATransform3DInvert(CATransform3DMakeScale(0, 1, 1)), CGAffineTransformMakeScale(0, 1) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(affineNear(CATransform3DGetAffineTransform(c.transform), c.affine));
    }
    EXPECT_TRUE(CATransform3DIsAffine(CATransform3DMakeAffineTransform(CGAffineTransformMake(1, 2, 3, 4, 5, 6))));
    EXPECT_FALSE(CATransform3DIsAffine(CATransform3DMakeRotation(angle, 1, 0, 0)));
}

TEST(CATransform3D, ComponentsOfThreeDimensionalTurnsRoundTrip)
{
    // x, then y, then z: reading each angle back after writing it, with the others kept.
    CATransform3D t = CATransform3DScale(CATransform3DMakeTranslation(1, 2, 3), 2, 3, 4);
    for (auto [name, value] : { std::pair { "rotation.x", 0.3 }, std::pair { "rotation.y", -0.4 }, std::pair { "rotation.z", 1.1 } }) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(CATransform3DSetComponent(t, name, static_cast<CGFloat>(value)));
        EXPECT_NEAR(*CATransform3DGetComponent(t, name), value, 1e-5);
    }
    EXPECT_NEAR(*CATransform3DGetComponent(t, "rotation.x"), 0.3, 1e-5);
    EXPECT_NEAR(*CATransform3DGetComponent(t, "rotation.y"), -0.4, 1e-5);
    EXPECT_NEAR(*CATransform3DGetComponent(t, "translation.z"), 3, 1e-6);
    EXPECT_FALSE(CATransform3DGetComponent(t, "rotation.w"));
    // A row scaled to nothing gets its direction back from the others.
    CATransform3D flat = CATransform3DMakeScale(0, 1, 1);
    ASSERT_TRUE(CATransform3DSetComponent(flat, "scale.x", 2));
    EXPECT_TRUE(affineNear(CATransform3DGetAffineTransform(flat), CGAffineTransformMakeScale(2, 1)));
}

TEST(CATransform3D, InterpolationTurnsRatherThanShrinks)
{
    struct Case {
        const char* label;
        CATransform3D from, to;
        CGAffineTransform half;
    };
    const Case cases[] = {
        { "half a turn", CATransform3DIdentity, CATransform3DMakeRotation(static_cast<CGFloat>(pi / 2), 0, 0, 1),
            CGAffineTransformMakeRotation(static_cast<CGFloat>(pi / 4)) },
        { "scale and move", CATransform3DIdentity,
            CATransform3DConcat(CATransform3DMakeScale(3, 5, 1), CATransform3DMakeTranslation(4, 8, 0)), CGAffineTransformMake(2, 0, 0, 3, 2, 4) },
        { "turn with scale", CATransform3DMakeScale(2, 2, 1),
            CATransform3DRotate(CATransform3DMakeScale(2, 2, 1), static_cast<CGFloat>(2 * pi / 3), 0, 0, 1),
            CGAffineTransformScale(CGAffineTransformMakeRotation(static_cast<CGFloat>(pi / 3)), 2, 2) },
        { "collapsed ends mix element by element", CATransform3DMakeScale(0, 1, 1), CATransform3DMakeScale(2, 1, 1),
            CGAffineTransformMakeScale(1, 1) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(affineNear(CATransform3DGetAffineTransform(CATransform3DInterpolate(c.from, c.to, 0.5)), c.half, 1e-4));
        EXPECT_TRUE(affineNear(CATransform3DGetAffineTransform(CATransform3DInterpolate(c.from, c.to, 1)),
            CATransform3DGetAffineTransform(c.to), 1e-4));
    }
}

TEST(CAPropertyValue, MixesWhatCanMixAndSwitchesHalfwayOtherwise)
{
    auto red = CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 1, 0, 0, 1 });
    auto blue = CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 0, 0, 1, 1 });
    auto grey = CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0.5f, 1 });
    auto mixed = CAPropertyValueInterpolate(red, grey, 0.5);
    ASSERT_TRUE(mixed.get<CGColorRef>());
    EXPECT_EQ((*mixed.get<CGColorRef>())->deviceRGBA(), (std::array<double, 4> { 0.75, 0.25, 0.25, 1 }));
    auto fadeIn = CAPropertyValueInterpolate(CAPropertyValue(), blue, 0.25);
    EXPECT_NEAR((*fadeIn.get<CGColorRef>())->alpha(), 0.25, 1e-6) << "nil colour is transparent";

    EXPECT_EQ(*CAPropertyValueInterpolate(CGRectMake(0, 0, 2, 2), CGRectMake(10, 20, 4, 6), 0.5).get<CGRect>(), CGRectMake(5, 10, 3, 4));
    EXPECT_EQ(*CAPropertyValueInterpolate(CAPropertyValue::Numbers { 0, 1 }, CAPropertyValue::Numbers { 1, 0 }, 0.25).get<CAPropertyValue::Numbers>(),
        (CAPropertyValue::Numbers { 0.25f, 0.75f }));

    struct Case {
        const char* label;
        CAPropertyValue from, to;
    };
    const Case discrete[] = {
        { "booleans", false, true },
        { "different kinds", 1.0, CGPointMake(1, 1) },
        { "arrays of different counts", CAPropertyValue::Numbers { 0 }, CAPropertyValue::Numbers { 0, 1 } },
        { "colour lists of different counts", CAPropertyValue::Colors { red }, CAPropertyValue::Colors { red, blue } },
    };
    for (const auto& c : discrete) {
        SCOPED_TRACE(c.label);
        EXPECT_FALSE(CAPropertyValueCanInterpolate(c.from, c.to));
        EXPECT_TRUE(CAPropertyValueInterpolate(c.from, c.to, 0.49).isEqual(c.from));
        EXPECT_TRUE(CAPropertyValueInterpolate(c.from, c.to, 0.5).isEqual(c.to));
    }
}

TEST(CAPropertyValue, PathsMixPointByPointWhenTheirElementsAgree)
{
    auto square = CGPathCreateMutable();
    CGPathAddRect(square, nullptr, CGRectMake(0, 0, 10, 10));
    auto bigger = CGPathCreateMutable();
    CGPathAddRect(bigger, nullptr, CGRectMake(0, 0, 20, 30));
    auto line = CGPathCreateMutable();
    CGPathMoveToPoint(line, nullptr, 0, 0);
    CGPathAddLineToPoint(line, nullptr, 5, 5);

    auto mixed = CAPropertyValueInterpolate(CGPathRef(square), CGPathRef(bigger), 0.5);
    ASSERT_TRUE(mixed.get<CGPathRef>());
    EXPECT_EQ(CGPathGetBoundingBox(*mixed.get<CGPathRef>()), CGRectMake(0, 0, 15, 20));
    EXPECT_EQ(*CAPropertyValueInterpolate(CGPathRef(square), CGPathRef(line), 0.25).get<CGPathRef>(), square);
}

TEST(CAMediaTimingFunction, NamedCurvesPaceAsThePlatformsDo)
{
    struct Case {
        CAMediaTimingFunctionName name;
        double at25, at50;
    };
    // Values of the cubic Béziers with the platform's control points.
    const Case cases[] = {
        { kCAMediaTimingFunctionLinear, 0.25, 0.5 },
        { kCAMediaTimingFunctionEaseIn, 0.0935, 0.3154 },
        { kCAMediaTimingFunctionEaseOut, 0.3781, 0.6846 },
        { kCAMediaTimingFunctionEaseInEaseOut, 0.1292, 0.5 },
        { kCAMediaTimingFunctionDefault, 0.4085, 0.8024 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto function = CAMediaTimingFunction::functionWithName(c.name);
        EXPECT_NEAR(function->solve(0.25), c.at25, 1e-3);
        EXPECT_NEAR(function->solve(0.5), c.at50, 1e-3);
        EXPECT_EQ(function->solve(-1), 0);
        EXPECT_EQ(function->solve(2), 1);
        EXPECT_EQ(function->solve(std::nan("")), 0);
    }
}
