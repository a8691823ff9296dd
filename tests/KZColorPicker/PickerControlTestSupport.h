#pragma once

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

// The pixel under a point of the view rendered at the screen's scale of 2.
inline TestSupport::Pixel pixelAtPoint(const UIImageRef& rendering, CGFloat x, CGFloat y)
{
    return TestSupport::pixelAt(*rendering->CGImage(), static_cast<size_t>(x * 2), static_cast<size_t>(y * 2));
}
inline bool isNearWhite(TestSupport::Pixel p) { return p.red > 235 && p.green > 235 && p.blue > 235 && p.alpha == 255; }

}
