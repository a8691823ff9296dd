#include "ColorTestSupport.h"
#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace ColorTestSupport;
namespace X = UIColor_Expanded;

TEST(UIColorExpanded, EveryColourSpaceModelHasItsName)
{
    struct { UIColorRef color; CGColorSpaceModel model; const char* name; } cases[] = {
        { UIColor::clearColor(), kCGColorSpaceModelMonochrome, "kCGColorSpaceModelMonochrome" },
        { UIColor::colorWithHue(0.3f, 1, 1, 1), kCGColorSpaceModelRGB, "kCGColorSpaceModelRGB" },
        { cmykColor(), kCGColorSpaceModelCMYK, "kCGColorSpaceModelCMYK" },
        { labColor(), kCGColorSpaceModelLab, "kCGColorSpaceModelLab" },
        { deviceNColor(), kCGColorSpaceModelDeviceN, "kCGColorSpaceModelDeviceN" },
        { indexedColor(), kCGColorSpaceModelIndexed, "kCGColorSpaceModelIndexed" },
        { patternColor(), kCGColorSpaceModelPattern, "kCGColorSpaceModelPattern" },
        { unknownModelColor(), kCGColorSpaceModelUnknown, "kCGColorSpaceModelUnknown" },
        { nullptr, kCGColorSpaceModelUnknown, "kCGColorSpaceModelUnknown" },
        { colorIn(std::make_shared<const CGColorSpace>(static_cast<CGColorSpaceModel>(7), 1), { 0, 1 }), static_cast<CGColorSpaceModel>(7),
            "Not a valid color space" },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(X::colorSpaceModel(entry.color), entry.model);
        EXPECT_EQ(X::colorSpaceString(entry.color), entry.name);
        EXPECT_EQ(X::canProvideRGBComponents(entry.color), entry.model == kCGColorSpaceModelRGB || entry.model == kCGColorSpaceModelMonochrome);
    }
}

TEST(UIColorExpanded, ComponentsAreReadOnlyWhereTheColourHasThem)
{
    struct { const char* name; UIColorRef color; std::optional<std::array<CGFloat, 4>> rgba; } cases[] = {
        { "RGB", UIColor::colorWithRed(0.2f, 0.4f, 0.6f, 0.5f), { { 0.2f, 0.4f, 0.6f, 0.5f } } },
        // A grey reports its white for each of red, green and blue.
        { "grey", UIColor::colorWithWhite(0.25f, 0.75f), { { 0.25f, 0.25f, 0.25f, 0.75f } } },
        { "out of range", UIColor::colorWithRed(-1, 2, 0.5f, 3), { { -1, 2, 0.5f, 3 } } },
        { "CMYK", cmykColor(), std::nullopt },
        { "pattern", patternColor(), std::nullopt },
        { "nil", nullptr, std::nullopt },
        // Fewer components than the space names: refused instead of read past their end.
        { "RGB with three components", colorIn(CGColorSpaceCreateDeviceRGB(), { 0.1f, 0.2f, 0.3f }), std::nullopt },
        { "Monochrome with one component", colorIn(CGColorSpaceCreateDeviceGray(), { 0.5f }), std::nullopt },
    };
    ScopedAssertionRecorder recorder;
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        std::array<CGFloat, 4> read { -7, -7, -7, -7 };
        EXPECT_EQ(X::red(entry.color, &read[0], &read[1], &read[2], &read[3]), entry.rgba.has_value());
        EXPECT_EQ(read, entry.rgba.value_or(std::array<CGFloat, 4> { -7, -7, -7, -7 }));
        if (!entry.rgba)
            continue;
        EXPECT_TRUE(X::red(entry.color, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ((std::array { X::red(entry.color), X::green(entry.color), X::blue(entry.color), X::alpha(entry.color) }), *entry.rgba);
        EXPECT_EQ(X::arrayFromRGBAComponents(entry.color), entry.rgba);
    }
    // Answering false is not a broken precondition.
    EXPECT_TRUE(recorder.take().empty());
    EXPECT_EQ(X::white(UIColor::colorWithWhite(0.25f, 0.75f)), 0.25f);
    EXPECT_EQ(X::alpha(patternColor()), 1);
    EXPECT_EQ(X::green(colorIn(CGColorSpaceCreateDeviceRGB(), { 0.25f, 0.5f })), 0.5f);
    EXPECT_EQ(X::blue(colorIn(CGColorSpaceCreateDeviceRGB(), { 0.25f, 0.5f })), 0);
}

TEST(UIColorExpanded, BrokenPreconditionsAreReportedAndGiveTheFailureValue)
{
    const char* arithmetic = "Must be a RGB color to use arithmatic operations";
    auto grey = UIColor::colorWithWhite(0.5f, 1);
    // failed runs the operation and answers whether it gave its failure value.
    struct { const char* method; const char* message; std::function<bool(const UIColorRef&)> failed; } operations[] = {
        { "arrayFromRGBAComponents", "Must be an RGB color to use -arrayFromRGBAComponents", [](auto& c) { return !X::arrayFromRGBAComponents(c); } },
        { "red", "Must be an RGB color to use -red", [](auto& c) { return X::red(c) == 0; } },
        { "green", "Must be an RGB color to use -green", [](auto& c) { return X::green(c) == 0; } },
        { "blue", "Must be an RGB color to use -blue", [](auto& c) { return X::blue(c) == 0; } },
        { "rgbHex", "Must be a RGB color to use rgbHex", [](auto& c) { return X::rgbHex(c) == 0; } },
        { "rgbaHex", "Must be a RGB color to use rgbaHex", [](auto& c) { return X::rgbaHex(c) == 0; } },
        { "stringFromColor", "Must be an RGB color to use -stringFromColor", [](auto& c) { return !X::stringFromColor(c); } },
        { "colorByLuminanceMapping", arithmetic, [](auto& c) { return !X::colorByLuminanceMapping(c); } },
        { "colorByMultiplyingByRed:green:blue:alpha:", arithmetic, [](auto& c) { return !X::colorByMultiplyingBy(c, 1); } },
        { "colorByAddingRed:green:blue:alpha:", arithmetic, [](auto& c) { return !X::colorByAddingRed(c, 0, 0, 0, 0); } },
        { "colorByLighteningToRed:green:blue:alpha:", arithmetic, [](auto& c) { return !X::colorByLighteningTo(c, 0); } },
        { "colorByDarkeningToRed:green:blue:alpha:", arithmetic, [](auto& c) { return !X::colorByDarkeningToRed(c, 1, 1, 1, 1); } },
        { "colorByMultiplyingByColor:", arithmetic, [grey](auto& c) { return !X::colorByMultiplyingByColor(c, grey); } },
        { "colorByAddingColor:", arithmetic, [grey](auto& c) { return !X::colorByAddingColor(c, grey); } },
        { "colorByLighteningToColor:", arithmetic, [grey](auto& c) { return !X::colorByLighteningToColor(c, grey); } },
        { "colorByDarkeningToColor:", arithmetic, [grey](auto& c) { return !X::colorByDarkeningToColor(c, grey); } },
    };
    ScopedAssertionRecorder recorder;
    for (auto& receiver : { cmykColor(), patternColor(), unknownModelColor(), UIColorRef() }) {
        for (auto& operation : operations) {
            SCOPED_TRACE(testing::Message() << X::colorSpaceString(receiver) << " " << operation.method);
            EXPECT_TRUE(operation.failed(receiver));
            auto failures = recorder.take();
            ASSERT_EQ(failures.size(), 1u);
            EXPECT_EQ(failures[0].method, operation.method);
            EXPECT_EQ(failures[0].object, receiver.get());
            EXPECT_EQ(failures[0].description, operation.message);
            EXPECT_TRUE(failures[0].fileName.ends_with("UIColor-Expanded.cpp")) << failures[0].fileName;
        }
    }
    for (auto& operation : operations) {
        (void)operation.failed(UIColor::colorWithRed(0.5f, 0.5f, 0.5f, 1));
        (void)operation.failed(grey);
    }
    EXPECT_TRUE(recorder.take().empty());

    auto rgb = UIColor::redColor();
    EXPECT_EQ(X::white(rgb), 0);
    auto failures = recorder.take();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].method, "white");
    EXPECT_EQ(failures[0].description, "Must be a Monochrome color to use -white");
    // A by-colour operation with an unreadable argument is nil, but the receiver broke nothing.
    EXPECT_FALSE(X::colorByAddingColor(rgb, cmykColor()));
    EXPECT_FALSE(X::colorByDarkeningToColor(rgb, nullptr));
    EXPECT_TRUE(recorder.take().empty());
}

TEST(UIColorExpanded, PackedValuesClampAndRound)
{
    struct { const char* name; UIColorRef color; std::uint32_t rgb, rgba; const char* hex; } cases[] = {
        { "opaque red", UIColor::colorWithRed(1, 0, 0, 1), 0xFF0000, 0xFF0000FF, "FF0000" },
        // 0.5 × 255 rounds up to 128.
        { "half-transparent red", UIColor::colorWithRed(1, 0, 0, 0.5f), 0xFF0000, 0xFF000080, "FF000080" },
        { "leading zeros", UIColor::colorWithRed(0, 0, 1.0f / 255, 1), 0x000001, 0x000001FF, "000001" },
        { "either side of a half step", UIColor::colorWithRed(0.001f, 0.49f / 255, 0.51f / 255, 1), 0x000001, 0x000001FF, "000001" },
        { "out of range", UIColor::colorWithRed(-0.5f, 1.5f, 0.5f, 2), 0x00FF80, 0x00FF80FF, "00FF80FF" },
        { "infinite", UIColor::colorWithRed(-INFINITY, INFINITY, 1, 1), 0x00FFFF, 0x00FFFFFF, "00FFFF" },
        { "not a number", UIColor::colorWithRed(NAN, 1, 1, NAN), 0x00FFFF, 0x00FFFF00, "00FFFF00" },
        { "grey", UIColor::colorWithWhite(0.5f, 0.25f), 0x808080, 0x80808040, "80808040" },
        { "clear", UIColor::clearColor(), 0, 0, "00000000" },
        { "CMYK", cmykColor(), 0, 0, "000000" },
    };
    ScopedAssertionRecorder recorder;
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(X::rgbHex(entry.color), entry.rgb);
        EXPECT_EQ(X::rgbaHex(entry.color), entry.rgba);
        EXPECT_EQ(X::hexStringFromColor(entry.color), entry.hex);
    }
    EXPECT_TRUE(isRGB(X::colorWithRGBHex(0xFF123456), { 0x12 / 255.0f, 0x34 / 255.0f, 0x56 / 255.0f, 1 }));
    EXPECT_TRUE(isRGB(X::colorWithRGBAHex(0x11223344), { 0x11 / 255.0f, 0x22 / 255.0f, 0x33 / 255.0f, 0x44 / 255.0f }));
    // Packing undoes unpacking, and hexadecimal text undoes both, for a fixed spread of values.
    std::uint32_t value = 0x9E3779B9;
    for (int i = 0; i < 2000; ++i) {
        value = value * 1664525u + 1013904223u;
        SCOPED_TRACE(value);
        EXPECT_EQ(X::rgbHex(X::colorWithRGBHex(value)), value & 0xFFFFFF);
        EXPECT_EQ(X::rgbaHex(X::colorWithRGBAHex(value)), value);
        EXPECT_EQ(X::rgbaHex(X::colorWithHexString(X::hexStringFromColor(X::colorWithRGBAHex(value)))), value);
    }
}

TEST(UIColorExpanded, HexadecimalText)
{
    struct { const char* text; std::optional<std::vector<CGFloat>> rgba; } cases[] = {
        { "00FF00", { { 0, 1, 0, 1 } } }, { "00ff0080", { { 0, 1, 0, 128.0f / 255 } } }, { "#00FF00", std::nullopt }, { "", std::nullopt },
        { "-00FF00", std::nullopt },
        // Six characters, wherever the number stops; the prefix and white space count too.
        { "FF00zz", { { 0, 1, 0, 1 } } }, { "0000FFzz", { { 0, 0, 0, 1 } } }, { "0x00FF00", { { 0, 0, 1, 0 } } },
        { " 00FF00", { { 0, 0, 1, 0 } } }, { "FFF", { { 0, 0, 0x0F / 255.0f, 1 } } },
        // More than 32 bits saturate.
        { "123456789", { { 1, 1, 1, 1 } } },
        // Length counts UTF-16 units: "€" is one, "😀" two, so both of these are six long.
        { "abcde\u20AC", { { 0x0A / 255.0f, 0xBC / 255.0f, 0xDE / 255.0f, 1 } } },
        { "abcd\U0001F600", { { 0, 0xAB / 255.0f, 0xCD / 255.0f, 1 } } },
        { "abcd\u00E9", { { 0, 0, 0xAB / 255.0f, 0xCD / 255.0f } } },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        auto color = X::colorWithHexString(entry.text);
        if (entry.rgba) {
            EXPECT_TRUE(isRGB(color, *entry.rgba));
        } else {
            EXPECT_FALSE(color);
        }
    }
}

TEST(UIColorExpanded, BraceText)
{
    // Model Unknown stands for nil.
    struct { std::string text; CGColorSpaceModel model; std::vector<CGFloat> components; } cases[] = {
        { "{0.5, 1}", kCGColorSpaceModelMonochrome, { 0.5f, 1 } },
        { "{1,0,0,1}", kCGColorSpaceModelRGB, { 1, 0, 0, 1 } },
        { " \t{ 0.25 ,0.5 ,\n 0.75, 1e-1 } \n", kCGColorSpaceModelRGB, { 0.25f, 0.5f, 0.75f, 0.1f } },
        { "{-1, 2}", kCGColorSpaceModelMonochrome, { -1, 2 } },
        { "{1,0,0}", kCGColorSpaceModelUnknown, {} }, { "{1,0,0,1,0}", kCGColorSpaceModelUnknown, {} },
        { "{1,0,0,1} x", kCGColorSpaceModelUnknown, {} }, { "{1,0,0,1}}", kCGColorSpaceModelUnknown, {} },
        { "{0.5}", kCGColorSpaceModelUnknown, {} }, { "{}", kCGColorSpaceModelUnknown, {} }, { "", kCGColorSpaceModelUnknown, {} },
        { "0.5, 1}", kCGColorSpaceModelUnknown, {} }, { "{0.5 1}", kCGColorSpaceModelUnknown, {} },
        { "{0.5,}", kCGColorSpaceModelUnknown, {} }, { "{0.5;1}", kCGColorSpaceModelUnknown, {} },
        { "{0.5, 1", kCGColorSpaceModelUnknown, {} }, { std::string("{0.5, 1}\0", 9), kCGColorSpaceModelUnknown, {} },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        auto color = X::colorWithString(entry.text);
        if (entry.model == kCGColorSpaceModelUnknown) {
            EXPECT_FALSE(color);
        } else {
            EXPECT_TRUE(hasComponents(color, entry.model, entry.components));
        }
    }
    for (auto& [color, text] : { std::pair { UIColor::colorWithRed(0.12345f, 0.9999f, -0.5f, 0), "{0.123, 1.000, -0.500, 0.000}" },
             std::pair { UIColor::colorWithWhite(0.5f, 1), "{0.500, 1.000}" } }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(X::stringFromColor(color), text);
        EXPECT_EQ(X::stringFromColor(X::colorWithString(text)), text);
    }
}

TEST(UIColorExpanded, Arithmetic)
{
    auto color = UIColor::colorWithRed(0.6f, 0.3f, 0.1f, 0.5f);
    struct { const char* name; UIColorRef result; std::vector<CGFloat> rgba; } cases[] = {
        { "multiplying by 2", X::colorByMultiplyingBy(color, 2.0f), { 1.0f, 0.6f, 0.2f, 0.5f } },
        { "multiplying by components", X::colorByMultiplyingByRed(color, 0.5f, 2, -1, 4), { 0.3f, 0.6f, 0, 1 } },
        { "multiplying by a grey", X::colorByMultiplyingByColor(color, UIColor::colorWithWhite(0.5f, 0.1f)), { 0.3f, 0.15f, 0.05f, 0.5f } },
        { "adding", X::colorByAdding(color, 0.1f), { 0.7f, 0.4f, 0.2f, 0.5f } },
        { "adding components", X::colorByAddingRed(color, 0.5f, -0.5f, 0.2f, 0.25f), { 1, 0, 0.3f, 0.75f } },
        { "adding a colour", X::colorByAddingColor(color, UIColor::colorWithRed(0.1f, 0.1f, 0.1f, 0)), { 0.7f, 0.4f, 0.2f, 0.5f } },
        { "lightening past 1", X::colorByLighteningTo(color, 2), { 2, 2, 2, 0.5f } },
        { "lightening to components", X::colorByLighteningToRed(color, 0.5f, 0.5f, 0.5f, 0), { 0.6f, 0.5f, 0.5f, 0.5f } },
        { "lightening to a colour", X::colorByLighteningToColor(color, UIColor::colorWithRed(0.7f, 0, 0.2f, 0.9f)), { 0.7f, 0.3f, 0.2f, 0.5f } },
        { "darkening", X::colorByDarkeningTo(color, 0.2f), { 0.2f, 0.2f, 0.1f, 0.5f } },
        { "darkening below 0", X::colorByDarkeningToRed(color, 0.5f, 0.5f, -1, 1), { 0.5f, 0.3f, -1, 0.5f } },
        { "darkening to a colour", X::colorByDarkeningToColor(color, UIColor::colorWithRed(0.7f, 0, 0.2f, 0.1f)), { 0.6f, 0, 0.1f, 0.5f } },
        { "adding to a grey", X::colorByAdding(UIColor::colorWithWhite(0.5f, 0.25f), 0.25f), { 0.75f, 0.75f, 0.75f, 0.25f } },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(isRGB(entry.result, entry.rgba));
    }
    auto luminance = [](const UIColorRef& c) { return X::colorByLuminanceMapping(c); };
    EXPECT_TRUE(hasComponents(luminance(UIColor::colorWithRed(1, 0, 0, 0.3f)), kCGColorSpaceModelMonochrome, { 0.2126f, 0.3f }));
    EXPECT_TRUE(hasComponents(luminance(UIColor::colorWithRed(0, 1, 0, 1)), kCGColorSpaceModelMonochrome, { 0.7152f, 1 }));
    EXPECT_TRUE(hasComponents(luminance(UIColor::colorWithRed(0, 0, 1, 0)), kCGColorSpaceModelMonochrome, { 0.0722f, 0 }));
    // The weights sum to 1, so a grey keeps its level.
    for (CGFloat white : { 0.0f, 0.3f, 0.5f, 1.0f })
        EXPECT_NEAR(X::white(luminance(UIColor::colorWithWhite(white, 1))), white, 1e-6);
}

TEST(UIColorExpanded, RandomColoursAreOpaqueRGBWithIndependentComponents)
{
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 200; ++i) {
        auto color = X::randomColor();
        ASSERT_EQ(X::colorSpaceModel(color), kCGColorSpaceModelRGB);
        EXPECT_EQ(X::alpha(color), 1);
        for (CGFloat component : { X::red(color), X::green(color), X::blue(color) })
            EXPECT_TRUE(component >= 0 && component <= 1) << component;
        seen.insert(X::rgbHex(color));
    }
    // 200 draws of 24 bits collide with a chance of about one in 800.
    EXPECT_GE(seen.size(), 198u);
}
