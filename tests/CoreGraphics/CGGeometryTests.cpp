#include "CoreGraphics/CGGeometry.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

TEST(CGRect, InsetIntersectionUnionIntegralStandardize)
{
    const CGRect square = CGRectMake(0, 0, 10, 10);
    struct Case {
        const char* label;
        CGRect result, expected;
    };
    const Case cases[] = {
        { "inset shrinks", CGRectInset(square, 2, 3), CGRectMake(2, 3, 6, 4) },
        { "negative inset grows", CGRectInset(square, -2, -1), CGRectMake(-2, -1, 14, 12) },
        { "inset to the middle is empty", CGRectInset(square, 5, 5), CGRectMake(5, 5, 0, 0) },
        { "inset past the middle is null", CGRectInset(square, 6, 0), CGRectNull },
        { "inset of a negative size", CGRectInset(CGRectMake(10, 10, -10, -10), 1, 1), CGRectMake(1, 1, 8, 8) },
        { "overlap", CGRectIntersection(square, CGRectMake(5, -5, 10, 10)), CGRectMake(5, 0, 5, 5) },
        { "disjoint intersect to null", CGRectIntersection(square, CGRectMake(11, 0, 5, 5)), CGRectNull },
        { "intersection with null", CGRectIntersection(CGRectNull, square), CGRectNull },
        { "intersection of negative sizes", CGRectIntersection(CGRectMake(10, 10, -10, -10), CGRectMake(12, 8, -4, -4)), CGRectMake(8, 4, 2, 4) },
        { "union", CGRectUnion(CGRectMake(0, 0, 1, 1), CGRectMake(5, 6, 1, 2)), CGRectMake(0, 0, 6, 8) },
        { "union with null", CGRectUnion(CGRectNull, CGRectMake(4, 6, -3, -4)), CGRectMake(1, 2, 3, 4) },
        { "null with union", CGRectUnion(CGRectMake(1, 2, 3, 4), CGRectNull), CGRectMake(1, 2, 3, 4) },
        { "integral rounds outward", CGRectIntegral(CGRectMake(0.5f, 1.25f, 2, 3.5f)), CGRectMake(0, 1, 3, 4) },
        { "integral below zero", CGRectIntegral(CGRectMake(-0.5f, -1.5f, 1, 1)), CGRectMake(-1, -2, 2, 2) },
        { "integral of null", CGRectIntegral(CGRectNull), CGRectNull },
        { "standardize", CGRectStandardize(CGRectMake(10, 10, -4, 6)), CGRectMake(6, 10, 4, 6) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(CGRectIsNull(c.expected) ? CGRectIsNull(c.result) : c.result == c.expected) << testing::PrintToString(c.result);
    }
    EXPECT_EQ(CGRectGetMaxY(CGRectMake(10, 10, 4, -6)), 10);
    EXPECT_TRUE(CGRectContainsPoint(square, CGPointMake(0, 0)));
    EXPECT_FALSE(CGRectContainsPoint(square, CGPointMake(10, 5)));
}
