#pragma once

#include "objc/NSObject.h"

#include <array>
#include <memory>

enum CAMediaTimingFunctionName : int {
    kCAMediaTimingFunctionLinear = 0,
    kCAMediaTimingFunctionEaseIn = 1,
    kCAMediaTimingFunctionEaseOut = 2,
    kCAMediaTimingFunctionEaseInEaseOut = 3,
    // The curve of the platform's implicit animations.
    kCAMediaTimingFunctionDefault = 4,
};

class CAMediaTimingFunction;
using CAMediaTimingFunctionRef = std::shared_ptr<const CAMediaTimingFunction>;

// Pacing as a cubic Bézier from (0, 0) to (1, 1) through two control points.
class CAMediaTimingFunction : public NSObject {
    OBJC_CLASS(CAMediaTimingFunction, NSObject)
    // An unknown name gives the linear curve.
    [[nodiscard]] static CAMediaTimingFunctionRef functionWithName(CAMediaTimingFunctionName);
    // Control points' x are clamped to 0..1 so the curve stays a function of time; a NaN becomes 0.
    [[nodiscard]] static CAMediaTimingFunctionRef functionWithControlPoints(float x1, float y1, float x2, float y2);

    CAMediaTimingFunction(objc::AllocationKey, float x1, float y1, float x2, float y2);

    // index 0 is (0, 0), 3 is (1, 1); out of range gives (0, 0).
    [[nodiscard]] std::array<float, 2> controlPointAtIndex(size_t index) const;
    // The paced fraction at a time fraction t, t clamped to 0..1.
    [[nodiscard]] double solve(double t) const;

private:
    float m_x1, m_y1, m_x2, m_y2;
};
