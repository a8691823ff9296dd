#include "CoreGraphics/CGColor.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

TEST(CGColorCreate, TakesTheSpaceComponentsThenAlpha)
{
    struct Case {
        const char* label;
        CGColorSpaceRef space;
        size_t colorComponents;
    };
    const Case cases[] = {
        { "gray", CGColorSpaceCreateDeviceGray(), 1 },
        { "RGB", CGColorSpaceCreateDeviceRGB(), 3 },
        { "CMYK", CGColorSpaceCreateDeviceCMYK(), 4 },
        { "DeviceN", CGColorSpaceCreateDeviceN(2), 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<CGFloat> components(c.colorComponents, 0.25f);
        components.push_back(0.75f);
        auto color = CGColorCreate(c.space, components);
        ASSERT_NE(color, nullptr);
        EXPECT_EQ(CGColorGetNumberOfComponents(color), c.colorComponents + 1);
        EXPECT_EQ(CGColorGetAlpha(color), 0.75f);
        EXPECT_EQ(CGColorGetAlpha(CGColorCreateCopyWithAlpha(color, 0.5f)), 0.5f);
        components.pop_back();
        EXPECT_EQ(CGColorCreate(c.space, components), nullptr) << "without alpha";
    }
    EXPECT_EQ(CGColorCreate(nullptr, { 1, 1 }), nullptr);
    EXPECT_EQ(CGColorCreate(CGColorSpaceCreatePattern(nullptr), { 1 }), nullptr);
}

TEST(CGColorDeviceRGBA, ConvertsEverySpaceAndClamps)
{
    const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN();
    struct Case {
        const char* label;
        CGColorRef color;
        std::array<double, 4> expected;
    };
    const Case cases[] = {
        { "gray", CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0.5f, 1 }), { 0.5, 0.5, 0.5, 1 } },
        { "RGB", CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 0.25f, 0.5f, 0.75f, 0.5f }), { 0.25, 0.5, 0.75, 0.5 } },
        { "RGB out of range", CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 2, -1, 0.5f, 3 }), { 1, 0, 0.5, 1 } },
        { "RGB not a number", CGColorCreate(CGColorSpaceCreateDeviceRGB(), { nan, 1, nan, nan }), { 0, 1, 0, 0 } },
        { "CMYK red", CGColorCreate(CGColorSpaceCreateDeviceCMYK(), { 0, 1, 1, 0, 1 }), { 1, 0, 0, 1 } },
        { "CMYK half black", CGColorCreate(CGColorSpaceCreateDeviceCMYK(), { 0, 0, 0, 0.5f, 0.25f }), { 0.5, 0.5, 0.5, 0.25 } },
        { "Lab lightness", CGColorCreate(CGColorSpaceCreateLab(), { 50, 20, -20, 1 }), { 0.5, 0.5, 0.5, 1 } },
        { "pattern", CGColorCreateWithPattern(TestSupport::imageFromRows({ { TestSupport::opaqueRed } }), 0.5f), { 0, 0, 0, 0.5 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto rgba = c.color->deviceRGBA();
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(rgba[i], c.expected[i], 1e-6) << "component " << i;
    }
}
