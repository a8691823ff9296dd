#include "UIKit/UIGeometry.h"

#include <gtest/gtest.h>

TEST(UIGeometryStrings, PlatformTextForms)
{
    EXPECT_EQ(NSStringFromCGSize({ 320, 216 }), "{320, 216}");
    EXPECT_EQ(NSStringFromCGSize({ 0.5f, 1 }), "{0.5, 1}");
    EXPECT_EQ(NSStringFromCGSize({ -0.25f, static_cast<CGFloat>(0.1) }), "{-0.25, 0.1}");
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(1.5f, -2, 320, 216)), "{{1.5, -2}, {320, 216}}");
}
