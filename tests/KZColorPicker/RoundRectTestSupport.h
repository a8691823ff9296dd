#pragma once

#include "CoreGraphics/CGPath.h"
#include "Foundation/NSBundle.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIImage.h"
#include "host/TouchInjector.h"
#include "support/GraphicsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

namespace RoundRectTestSupport {

// A path as its elements' letters (M L Q C Z) and end points, to a thousandth:
// "M1,18 L1,8 C8,1 … Z".
inline std::string describe(const CGPathRef& path)
{
    std::ostringstream text;
    auto number = [](CGFloat value) {
        double rounded = std::round(static_cast<double>(value) * 1000) / 1000;
        return rounded == 0 ? 0.0 : rounded;
    };
    bool first = true;
    for (auto& element : path->elements()) {
        text << (first ? "" : " ") << "MLQCZ"[element.type];
        first = false;
        if (!element.points.empty())
            text << number(element.points.back().x) << "," << number(element.points.back().y);
    }
    return text.str();
}

// Pictures come from the bundle the build draws; layers made in a test are committed
// before it acts, as after the event that built them.
class TouchUpInsideCounter {
public:
    int count = 0;
    void tapped(const std::shared_ptr<UIControl>&) { ++count; }
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
        CATransaction::flush();
    }
    void TearDown() override
    {
        CATransaction::flush();
        NSBundle::mainBundle().setResourcePath({});
    }

    // Puts a control into a window-sized root, counts its touch-ups inside, lays it out and commits it.
    template<class Control>
    std::shared_ptr<Control> placeInWindow(std::shared_ptr<Control> control)
    {
        m_root = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
        m_root->addSubview(control);
        control->addTarget(m_counter, &TouchUpInsideCounter::tapped, UIControlEventTouchUpInside);
        control->layoutIfNeeded();
        CATransaction::flush();
        return control;
    }

    // Presses the control at down (root coordinates) and ends the touch with finish: the veil
    // shows at once (a 0.001 s transaction) and fades back with the default animation.
    template<class Control>
    void expectVeilCycle(const std::shared_ptr<Control>& control, CGPoint down, void (*finish)(TouchInjector&), int touchUpsInside)
    {
        m_counter->count = 0;
        auto veil = control->touchDownLayer();
        TouchInjector finger(m_root);
        ASSERT_EQ(finger.touchDown(down), control);
        EXPECT_FLOAT_EQ(veil->opacity(), 0.2f);
        auto fadeIn = veil->animationForKey("opacity");
        ASSERT_TRUE(fadeIn);
        EXPECT_DOUBLE_EQ(fadeIn->duration(), 0.001);
        CATransaction::flush();

        finish(finger);
        EXPECT_EQ(veil->opacity(), 0);
        auto fadeOut = veil->animationForKey("opacity");
        ASSERT_TRUE(fadeOut);
        EXPECT_DOUBLE_EQ(fadeOut->duration(), CATransaction::defaultAnimationDuration);
        EXPECT_EQ(m_counter->count, touchUpsInside);
        CATransaction::flush();
    }

    UIViewRef m_root;
    std::shared_ptr<TouchUpInsideCounter> m_counter = std::make_shared<TouchUpInsideCounter>();
};

// The pixel at a point of a rendering made at the given scale.
inline TestSupport::Pixel pixelAtPoint(const UIImage& image, CGFloat x, CGFloat y)
{
    CGFloat scale = image.scale();
    return TestSupport::pixelAt(*image.CGImage(), static_cast<size_t>(x * scale), static_cast<size_t>(y * scale));
}

// How many different pixels the rectangle (in points) holds.
inline size_t distinctPixels(const UIImage& image, CGRect rect)
{
    std::set<std::tuple<int, int, int, int>> seen;
    CGFloat scale = image.scale();
    for (auto y = static_cast<size_t>(CGRectGetMinY(rect) * scale); y < static_cast<size_t>(CGRectGetMaxY(rect) * scale); ++y) {
        for (auto x = static_cast<size_t>(CGRectGetMinX(rect) * scale); x < static_cast<size_t>(CGRectGetMaxX(rect) * scale); ++x) {
            auto p = TestSupport::pixelAt(*image.CGImage(), x, y);
            seen.insert({ p.red, p.green, p.blue, p.alpha });
        }
    }
    return seen.size();
}

}
