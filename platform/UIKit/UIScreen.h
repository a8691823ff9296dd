#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "objc/NSObject.h"

#include <memory>

// The phone's screen: 320 × 480 points at two pixels per point unless a
// program or test says otherwise.
class UIScreen : public NSObject {
    OBJC_CLASS(UIScreen, NSObject)
    [[nodiscard]] static const std::shared_ptr<UIScreen>& mainScreen();

    [[nodiscard]] CGFloat scale() const { return m_scale; }
    void setScale(CGFloat scale) { m_scale = scale > 0 ? scale : 1; }
    [[nodiscard]] CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds) { m_bounds = bounds; }

private:
    CGFloat m_scale = 2;
    CGRect m_bounds = CGRectMake(0, 0, 320, 480);
};
