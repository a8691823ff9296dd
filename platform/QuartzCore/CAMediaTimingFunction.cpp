#include "QuartzCore/CAMediaTimingFunction.h"

#include <algorithm>
#include <cmath>

namespace {

float sanitized(float value, float low, float high)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, low, high);
}

// One coordinate of the cubic with end points 0 and 1.
double bezier(double p1, double p2, double t)
{
    double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}

double bezierSlope(double p1, double p2, double t)
{
    double u = 1 - t;
    return 3 * u * u * p1 + 6 * u * t * (p2 - p1) + 3 * t * t * (1 - p2);
}

}

CAMediaTimingFunction::CAMediaTimingFunction(objc::AllocationKey key, float x1, float y1, float x2, float y2)
    : NSObject(key)
    , m_x1(sanitized(x1, 0, 1))
    , m_y1(sanitized(y1, -1e6f, 1e6f))
    , m_x2(sanitized(x2, 0, 1))
    , m_y2(sanitized(y2, -1e6f, 1e6f))
{
}

CAMediaTimingFunctionRef CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName name)
{
    // The platform's published control points.
    switch (name) {
    case kCAMediaTimingFunctionEaseIn: return functionWithControlPoints(0.42f, 0, 1, 1);
    case kCAMediaTimingFunctionEaseOut: return functionWithControlPoints(0, 0, 0.58f, 1);
    case kCAMediaTimingFunctionEaseInEaseOut: return functionWithControlPoints(0.42f, 0, 0.58f, 1);
    case kCAMediaTimingFunctionDefault: return functionWithControlPoints(0.25f, 0.1f, 0.25f, 1);
    case kCAMediaTimingFunctionLinear:
    default: return functionWithControlPoints(0, 0, 1, 1);
    }
}

CAMediaTimingFunctionRef CAMediaTimingFunction::functionWithControlPoints(float x1, float y1, float x2, float y2)
{
    return objc::alloc<CAMediaTimingFunction>(x1, y1, x2, y2);
}

std::array<float, 2> CAMediaTimingFunction::controlPointAtIndex(size_t index) const
{
    switch (index) {
    case 1: return { m_x1, m_y1 };
    case 2: return { m_x2, m_y2 };
    case 3: return { 1, 1 };
    default: return { 0, 0 };
    }
}

double CAMediaTimingFunction::solve(double t) const
{
    if (!(t > 0))
        return 0;
    if (t >= 1)
        return 1;
    // Find the curve parameter whose x is t: Newton's method, then bisection if it strays.
    double s = t;
    for (int i = 0; i < 8; ++i) {
        double error = bezier(m_x1, m_x2, s) - t;
        if (std::abs(error) < 1e-7)
            return bezier(m_y1, m_y2, s);
        double slope = bezierSlope(m_x1, m_x2, s);
        if (std::abs(slope) < 1e-6)
            break;
        s -= error / slope;
        if (s < 0 || s > 1)
            break;
    }
    double low = 0, high = 1;
    s = t;
    for (int i = 0; i < 60 && high - low > 1e-9; ++i) {
        if (bezier(m_x1, m_x2, s) < t)
            low = s;
        else
            high = s;
        s = (low + high) / 2;
    }
    return bezier(m_y1, m_y2, s);
}
