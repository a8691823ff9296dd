#pragma once

#include "CoreGraphics/CGColor.h"
#include "objc/NSObject.h"

#include <memory>

class UIImage;
class UIColor;
using UIColorRef = std::shared_ptr<UIColor>;

// A colour over a CGColor and its colour space.
class UIColor : public NSObject {
    OBJC_CLASS(UIColor, NSObject)

    [[nodiscard]] static UIColorRef colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    [[nodiscard]] static UIColorRef colorWithWhite(CGFloat white, CGFloat alpha);
    // The platform's HSB to RGB; hue is a fraction of a turn (taken modulo 1), the rest 0..1.
    [[nodiscard]] static UIColorRef colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha);
    [[nodiscard]] static UIColorRef colorWithPatternImage(const std::shared_ptr<UIImage>&);
    [[nodiscard]] static UIColorRef colorWithCGColor(CGColorRef);

    // Monochrome, as on the platform.
    [[nodiscard]] static UIColorRef whiteColor();
    [[nodiscard]] static UIColorRef blackColor();
    [[nodiscard]] static UIColorRef clearColor();
    [[nodiscard]] static UIColorRef grayColor();
    [[nodiscard]] static UIColorRef lightGrayColor();
    [[nodiscard]] static UIColorRef darkGrayColor();
    // RGB.
    [[nodiscard]] static UIColorRef redColor();
    [[nodiscard]] static UIColorRef greenColor();
    [[nodiscard]] static UIColorRef blueColor();

    UIColor(objc::AllocationKey key, CGColorRef color) : NSObject(key), m_color(std::move(color)) { }

    [[nodiscard]] const CGColorRef& CGColor() const { return m_color; }
    [[nodiscard]] UIColorRef colorWithAlphaComponent(CGFloat alpha) const;

private:
    CGColorRef m_color;
};
