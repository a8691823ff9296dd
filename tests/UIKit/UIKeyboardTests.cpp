#include "UIKit/UIKBInputBackdropView.h"
#include "UIKit/UIKeyboard.h"
#include "UIKitTestSupport.h"
#include "objc/message.h"
#include "support/GraphicsTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
CGSize hookedSize(Class, SEL, int orientation) { return CGSizeMake(CGFloat(orientation), 1); }
}

TEST(UIKeyboardSize, PlatformSizesThroughTheRuntime)
{
    struct Case {
        UIInterfaceOrientation orientation;
        CGSize expected;
    };
    SEL selector = sel_registerName("sizeForInterfaceOrientation:");
    for (const auto& c : { Case { UIInterfaceOrientationPortrait, CGSizeMake(320, 216) }, Case { UIInterfaceOrientationPortraitUpsideDown, CGSizeMake(320, 216) },
             Case { UIInterfaceOrientationLandscapeRight, CGSizeMake(480, 162) }, Case { UIInterfaceOrientationLandscapeLeft, CGSizeMake(480, 162) } }) {
        SCOPED_TRACE(c.orientation);
        EXPECT_EQ(UIKeyboard::sizeForInterfaceOrientation(c.orientation), c.expected);
        EXPECT_EQ(objc::send<CGSize(int)>(objc_getClass("UIKeyboard"), selector, int(c.orientation)), c.expected);
    }
    // What the runtime answers is what the keyboard uses.
    UIKitTestSupport::ScopedImplementation hook(class_getClassMethod(objc_getClass("UIKeyboard"), selector), reinterpret_cast<IMP>(&hookedSize));
    EXPECT_EQ(UIKeyboard::sizeForInterfaceOrientation(UIInterfaceOrientationLandscapeLeft), CGSizeMake(4, 1));
    EXPECT_EQ(UIKeyboard::show(UIInterfaceOrientationPortrait)->frame(), CGRectMake(0, 0, 1, 1));
}

TEST(UIKeyboardShow, BuildsTheBackdropUnderTheKeyplane)
{
    struct Case {
        UIInterfaceOrientation orientation;
        std::optional<CGRect> backdropFrame;
        CGRect bounds, expectedBackdropFrame;
    };
    const Case cases[] = {
        { UIInterfaceOrientationPortrait, std::nullopt, CGRectMake(0, 0, 320, 216), CGRectMake(0, 0, 320, 216) },
        { UIInterfaceOrientationLandscapeLeft, std::nullopt, CGRectMake(0, 0, 480, 162), CGRectMake(0, 0, 480, 162) },
        { UIInterfaceOrientationPortrait, CGRectMake(-10, -20, 1024, 1024), CGRectMake(0, 0, 320, 216), CGRectMake(-10, -20, 1024, 1024) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.expectedBackdropFrame));
        auto keyboard = UIKeyboard::show(c.orientation, c.backdropFrame);
        EXPECT_EQ(keyboard->bounds(), c.bounds);
        EXPECT_TRUE(keyboard->isLightKeyboard());
        ASSERT_NE(keyboard->backdrop(), nullptr);
        EXPECT_EQ(keyboard->subviews(), (std::vector<UIViewRef> { keyboard->backdrop(), keyboard->keyplane() }));
        EXPECT_EQ(object_getClass(keyboard->backdrop()), objc_getClass("UIKBInputBackdropView"));
        EXPECT_EQ(keyboard->backdrop()->frame(), c.expectedBackdropFrame);
        EXPECT_EQ(keyboard->keyplane()->frame(), c.bounds);
    }
}

TEST(UIKeyboardRendering, LightKeysOverTheBackdropAtScale2)
{
    auto keyboard = UIKeyboard::show(UIInterfaceOrientationPortrait);
    auto image = UIKitTestSupport::render(*keyboard, 2);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width(), 640u);
    ASSERT_EQ(image->height(), 432u);

    auto& keys = keyboard->keyplane()->keys();
    auto key = [&](const std::string& legend) {
        auto found = std::find_if(keys.begin(), keys.end(), [&](auto& k) { return k.legend == legend; });
        EXPECT_NE(found, keys.end()) << legend;
        return found == keys.end() ? CGRectZero : found->frame;
    };
    CGRect q = key("Q"), w = key("W"), a = key("A"), space = key("space"), enter = key("return");
    const Pixel backdrop { 209, 213, 219, 255 };
    struct Case {
        const char* label;
        CGPoint point;
        Pixel expected;
    };
    const Case cases[] = {
        { "between Q and W", CGPointMake((CGRectGetMaxX(q) + CGRectGetMinX(w)) / 2, CGRectGetMidY(q)), backdrop },
        { "between the top rows", CGPointMake(CGRectGetMidX(a), (CGRectGetMaxY(q) + 1 + CGRectGetMinY(a)) / 2), backdrop },
        // Key centres hold the legends: probe the centre line above the text.
        { "space bar", CGPointMake(CGRectGetMidX(space), CGRectGetMinY(space) + 4), opaqueWhite },
        { "Q key face", CGPointMake(CGRectGetMinX(q) + 3, CGRectGetMidY(q)), opaqueWhite },
        { "return key", CGPointMake(CGRectGetMidX(enter), CGRectGetMinY(enter) + 4), { 171, 179, 186, 255 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(pixelNear(pixelAt(*image, size_t(c.point.x * 2), size_t(c.point.y * 2)), c.expected));
    }
}
