#pragma once

#include "Foundation/NSBundle.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIViewRendering.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace PickerControlTestSupport {

// Counts the value-changed events a control sends.
struct ValueChangedCounter {
    int count = 0;
    void valueChanged(const std::shared_ptr<UIControl>&) { ++count; }
    template<class Control>
    static std::shared_ptr<ValueChangedCounter> listenTo(const std::shared_ptr<Control>& control)
    {
        auto counter = std::make_shared<ValueChangedCounter>();
        control->addTarget(counter, &ValueChangedCounter::valueChanged, UIControlEventValueChanged);
        return counter;
    }
};

// Bundle pictures come from the ones the build drew; layers built before commitLayers()
// take no implicit animation, as on screen.
class PickerControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
        CATransaction::flush();
    }
    void TearDown() override
    {
        EXPECT_EQ(CATransaction::depth(), 0u) << "a transaction was left open";
        CATransaction::flush();
        NSBundle::mainBundle().setResourcePath({});
    }
    static void commitLayers() { CATransaction::flush(); }
};

// The pixel under a point of the view rendered at the screen's scale of 2.
inline TestSupport::Pixel pixelAtPoint(const UIImageRef& rendering, CGFloat x, CGFloat y)
{
    return TestSupport::pixelAt(*rendering->CGImage(), static_cast<size_t>(x * 2), static_cast<size_t>(y * 2));
}
inline bool isNearWhite(TestSupport::Pixel p) { return p.red > 235 && p.green > 235 && p.blue > 235 && p.alpha == 255; }

}
