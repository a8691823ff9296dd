#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CAShapeLayer.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"
#include "host/HeadlessDisplay.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numbers>

namespace {

CGColorRef rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a = 1)
{
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), { r, g, b, a });
}

CALayerRef layerWithFrame(CGRect frame, CGColorRef background)
{
    auto layer = CALayer::layer();
    layer->setFrame(frame);
    layer->setBackgroundColor(std::move(background));
    return layer;
}

// A display that also keeps the damage of the last frame.
class DamageRecordingDisplay : public HeadlessDisplay {
public:
    void presentDamagedFrame(const CGImageRef& frame, const std::vector<CGRect>& damage) override
    {
        m_damage = damage;
        presentFrame(frame);
    }
    [[nodiscard]] double damagedArea() const
    {
        double area = 0;
        for (const auto& rect : m_damage)
            area += static_cast<double>(rect.size.width * rect.size.height);
        return area;
    }

private:
    std::vector<CGRect> m_damage;
};

::testing::AssertionResult samePixels(const CGImage& actual, const CGImage& expected)
{
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure() << "sizes differ: " << actual.width() << " × " << actual.height() << " against "
                                             << expected.width() << " × " << expected.height();
    for (size_t y = 0; y < actual.height(); ++y) {
        for (size_t x = 0; x < actual.width(); ++x) {
            if (actual.pixelAt(x, y) != expected.pixelAt(x, y))
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << "): " << std::hex << actual.pixelAt(x, y)
                                                     << " against " << expected.pixelAt(x, y);
        }
    }
    return ::testing::AssertionSuccess();
}

class UIScreenDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldBounds = m_screen->bounds();
        m_oldScale = m_screen->scale();
        m_screen->setBounds(CGRectMake(0, 0, 80, 60));
        m_screen->setScale(2);
        m_screen->setDisplay(m_display);
    }
    void TearDown() override
    {
        UIApplication::sharedApplication()->rotateInterfaceToOrientation(UIInterfaceOrientationPortrait);
        for (auto& window : UIApplication::sharedApplication()->windows())
            window->setHidden(true);
        NSRunLoop::mainRunLoop().runOnce(false);
        m_screen->setDisplay(nullptr);
        m_screen->setScale(m_oldScale);
        m_screen->setBounds(m_oldBounds);
    }

    std::shared_ptr<UIScreen> m_screen = UIScreen::mainScreen();
    std::shared_ptr<DamageRecordingDisplay> m_display = std::make_shared<DamageRecordingDisplay>();
    CGRect m_oldBounds {};
    CGFloat m_oldScale = 2;
};

}

TEST_F(UIScreenDamage, EachFrameDrawnIncrementallyMatchesOneDrawnAfresh)
{
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 80, 60));
    window->setBackgroundColor(UIColor::colorWithCGColor(rgba(1, 1, 1)));
    auto panel = UIView::initWithFrame(CGRectMake(4, 4, 20, 14));
    panel->setBackgroundColor(UIColor::colorWithCGColor(rgba(0.2, 0.4, 0.9)));
    window->addSubview(panel);
    auto square = layerWithFrame(CGRectMake(2, 2, 6, 6), rgba(0.9, 0.1, 0.1));
    panel->layer()->addSublayer(square);
    auto gradient = CAGradientLayer::layer();
    gradient->setFrame(CGRectMake(26, 2, 10, 24));
    gradient->setColors({ rgba(1, 1, 0), rgba(0, 0.5, 0.5, 0.5) });
    window->layer()->addSublayer(gradient);
    auto shape = CAShapeLayer::layer();
    shape->setFrame(CGRectMake(60, 45, 10, 8));
    auto triangle = CGPathCreateMutable();
    CGPathMoveToPoint(triangle, nullptr, 0, 8);
    CGPathAddLineToPoint(triangle, nullptr, 5, 0);
    CGPathAddLineToPoint(triangle, nullptr, 12, 8);
    CGPathCloseSubpath(triangle);
    shape->setPath(triangle);
    shape->setStrokeColor(rgba(0, 0, 0));
    shape->setLineWidth(1.5);
    window->layer()->addSublayer(shape);
    auto badge = layerWithFrame(CGRectMake(45, 5, 8, 8), rgba(1, 0.5, 0));
    window->layer()->addSublayer(badge);
    window->makeKeyAndVisible();
    NSRunLoop::mainRunLoop().runOnce(false);
    ASSERT_TRUE(m_display->lastFrame());

    CALayerRef added;
    struct Step {
        const char* label;
        std::function<void()> change;
        bool partial;  // whether less than the whole screen is redrawn
    };
    const Step steps[] = {
        { "move", [&] { square->setPosition(CGPointMake(16, 10)); }, true },
        { "recolour", [&] { panel->setBackgroundColor(UIColor::colorWithCGColor(rgba(0.1, 0.8, 0.3))); }, true },
        { "add a sublayer reaching out of its superlayer", [&] {
             added = layerWithFrame(CGRectMake(15, 8, 12, 9), rgba(0.5, 0, 0.5, 0.7));
             panel->layer()->addSublayer(added);
         },
            true },
        { "opacity of a layer over its sublayers", [&] { panel->setAlpha(0.6f); }, true },
        { "hide", [&] { square->setHidden(true); }, true },
        { "show again", [&] { square->setHidden(false); }, true },
        { "raise below a sibling by zPosition", [&] { square->setZPosition(2); }, true },
        { "gradient colours", [&] { gradient->setColors({ rgba(0, 0, 1), rgba(1, 0, 0) }); }, true },
        { "shape's stroke (a path: the whole frame)", [&] { shape->setLineWidth(3); }, false },
        { "mask to bounds", [&] { panel->setClipsToBounds(true); }, true },
        { "remove", [&] { added->removeFromSuperlayer(); }, true },
        { "opacity back to 1", [&] { panel->setAlpha(1); }, true },
        { "animation, start", [&] {
             auto slide = CABasicAnimation::animationWithKeyPath("position");
             slide->setFromValue(CAPropertyValue(CGPointMake(4, 4)));
             slide->setDuration(1);
             square->addAnimation(slide, "slide");
         },
            true },
        { "animation, a step", [] { CAAnimationClock::shared().advance(0.3); }, true },
        { "animation, another step", [] { CAAnimationClock::shared().advance(0.3); }, true },
        { "animation, its end", [] { CAAnimationClock::shared().advance(1); }, true },
        { "turn (the whole frame)", [&] { square->setAffineTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 5))); }, false },
        { "move the window", [&] { window->setFrame(CGRectMake(3, 1, 80, 60)); }, false },
        { "rotation of the screen", [] { UIApplication::sharedApplication()->rotateInterfaceToOrientation(UIInterfaceOrientationLandscapeLeft); },
            false },
        { "recolour after the rotation", [&] { badge->setBackgroundColor(rgba(0, 1, 0)); }, true },
    };
    double screenArea = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        auto frames = m_screen->frameCount();
        auto before = m_display->lastFrame();
        // Changes show at once: implicit animations would hold the old look at this clock's time.
        CATransaction::setDisableActions(true);
        step.change();
        NSRunLoop::mainRunLoop().runOnce(false);
        ASSERT_EQ(m_screen->frameCount(), frames + 1);
        auto fresh = m_screen->compositeFrame();
        ASSERT_TRUE(fresh);
        EXPECT_TRUE(samePixels(*m_display->lastFrame(), *fresh));
        screenArea = static_cast<double>(fresh->width() * fresh->height());
        if (step.partial) {
            EXPECT_GT(m_display->damagedArea(), 0);
            EXPECT_LT(m_display->damagedArea(), screenArea);
        }
        // A frame handed out never changes afterwards.
        if (before && before != m_display->lastFrame()) {
            EXPECT_FALSE(samePixels(*before, *m_display->lastFrame()));
        }
    }
}

TEST_F(UIScreenDamage, FramesWhereNothingOnScreenChangedPresentNothing)
{
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 40, 30));
    window->setBackgroundColor(UIColor::colorWithCGColor(rgba(1, 1, 1)));
    auto offscreen = UIView::initWithFrame(CGRectMake(90, 70, 10, 10));
    offscreen->setBackgroundColor(UIColor::colorWithCGColor(rgba(1, 0, 0)));
    window->addSubview(offscreen);
    window->makeKeyAndVisible();
    NSRunLoop::mainRunLoop().runOnce(false);
    auto frames = m_screen->frameCount();

    const std::pair<const char*, std::function<void()>> changes[] = {
        { "nothing at all", [] {} },
        { "a colour off the screen", [&] { offscreen->setBackgroundColor(UIColor::colorWithCGColor(rgba(0, 1, 0))); } },
        { "a view moved off the screen", [&] { offscreen->setFrame(CGRectMake(100, 40, 10, 10)); } },
        { "the same colour again", [&] { window->setBackgroundColor(UIColor::colorWithCGColor(rgba(1, 1, 1))); } },
    };
    for (const auto& [label, change] : changes) {
        SCOPED_TRACE(label);
        change();
        NSRunLoop::mainRunLoop().runOnce(false);
        EXPECT_EQ(m_screen->frameCount(), frames);
    }
}
