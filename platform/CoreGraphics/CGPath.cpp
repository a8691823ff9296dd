#include "CoreGraphics/CGPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <optional>

namespace {

// Arc geometry is worked out in double precision and rounded to CGFloat once, when a point is stored.
struct Vector {
    double x = 0;
    double y = 0;
};

Vector operator+(Vector a, Vector b) { return { a.x + b.x, a.y + b.y }; }
Vector operator-(Vector a, Vector b) { return { a.x - b.x, a.y - b.y }; }
Vector operator*(Vector a, double s) { return { a.x * s, a.y * s }; }

constexpr double quarterTurn = std::numbers::pi / 2;
constexpr double fullTurn = 2 * std::numbers::pi;

constexpr size_t pointCount(CGPathElementType type)
{
    switch (type) {
    case kCGPathElementMoveToPoint:
    case kCGPathElementAddLineToPoint: return 1;
    case kCGPathElementAddQuadCurveToPoint: return 2;
    case kCGPathElementAddCurveToPoint: return 3;
    case kCGPathElementCloseSubpath: return 0;
    }
    return SIZE_MAX;
}

bool isFinite(CGPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

template<typename... Values>
bool allFinite(Values... values)
{
    return (std::isfinite(static_cast<double>(values)) && ...);
}

CGPoint transformed(const CGAffineTransform* m, Vector v)
{
    if (m)
        v = { m->a * v.x + m->c * v.y + m->tx, m->b * v.x + m->d * v.y + m->ty };
    return { static_cast<CGFloat>(v.x), static_cast<CGFloat>(v.y) };
}

// The path's current point in the space the caller's coordinates are in; nullopt when m cannot be undone.
std::optional<Vector> untransformedCurrentPoint(const CGPath& path, const CGAffineTransform* m)
{
    Vector current { path.currentPoint().x, path.currentPoint().y };
    if (!m)
        return current;
    double determinant = static_cast<double>(m->a) * m->d - static_cast<double>(m->b) * m->c;
    if (determinant == 0 || !std::isfinite(determinant))
        return std::nullopt;
    Vector p = current - Vector { m->tx, m->ty };
    return Vector { (m->d * p.x - m->c * p.y) / determinant, (m->a * p.y - m->b * p.x) / determinant };
}

void report(const char* function, const char* problem)
{
    std::fprintf(stderr, "%s: %s.\n", function, problem);
}

// Adds one element after the checks every public entry shares; false when it was refused.
bool add(CGPath& path, CGPathElement element, const char* function)
{
    for (auto& point : element.points) {
        if (!isFinite(point)) {
            report(function, "invalid value (not a finite number)");
            return false;
        }
    }
    if (element.type != kCGPathElementMoveToPoint && path.isEmpty()) {
        // The platform logs this and leaves the path alone rather than guessing a start.
        report(function, "no current point");
        return false;
    }
    path.append(std::move(element));
    return true;
}

void addLine(CGPath& path, const CGAffineTransform* m, Vector to, const char* function)
{
    add(path, { kCGPathElementAddLineToPoint, { transformed(m, to) } }, function);
}

// A circular arc as cubic curves of at most a quarter turn each. The current point is
// already at the arc's start; `end` pins the last point so that it matches what the
// caller computed for it exactly. Positive sweeps run anticlockwise in y-up space.
void addArcCurves(CGPath& path, const CGAffineTransform* m, Vector centre, double radius, double startAngle, double sweep, Vector end,
    const char* function)
{
    if (sweep == 0)
        return;
    // The slack keeps a quarter turn given in float from costing a second curve.
    int segments = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / quarterTurn - 1e-6)));
    double step = sweep / segments;
    // Distance of each control point from its end, as a fraction of the radius; signed with the step.
    double kappa = 4.0 / 3.0 * std::tan(step / 4);
    auto onCircle = [&](double angle) { return centre + Vector { std::cos(angle), std::sin(angle) } * radius; };
    auto tangent = [&](double angle) { return Vector { -std::sin(angle), std::cos(angle) } * (kappa * radius); };
    for (int i = 0; i < segments; ++i) {
        double a0 = startAngle + step * i;
        double a1 = a0 + step;
        Vector from = onCircle(a0);
        Vector to = i == segments - 1 ? end : onCircle(a1);
        if (!add(path, { kCGPathElementAddCurveToPoint, { transformed(m, from + tangent(a0)), transformed(m, to - tangent(a1)), transformed(m, to) } },
                function))
            return;
    }
}

// A move to `start` on an empty path, else a line to it unless the path is already there.
bool joinTo(CGPath& path, const CGAffineTransform* m, Vector start, const char* function)
{
    CGPoint point = transformed(m, start);
    if (path.isEmpty())
        return add(path, { kCGPathElementMoveToPoint, { point } }, function);
    if (path.currentPoint() != point)
        return add(path, { kCGPathElementAddLineToPoint, { point } }, function);
    return true;
}

}

void CGPath::append(CGPathElement element)
{
    if (element.points.size() != pointCount(element.type) || !std::ranges::all_of(element.points, isFinite))
        return;
    if (element.type != kCGPathElementMoveToPoint && m_elements.empty())
        return;
    if (element.type == kCGPathElementCloseSubpath) {
        // A second close in a row would be an empty subpath.
        if (m_elements.back().type == kCGPathElementCloseSubpath)
            return;
        m_elements.push_back(std::move(element));
        m_current = m_subpathStart;
        return;
    }
    // Drawing on after a close starts a new subpath where the closed one began, and says so.
    if (element.type != kCGPathElementMoveToPoint && m_elements.back().type == kCGPathElementCloseSubpath)
        m_elements.push_back({ kCGPathElementMoveToPoint, { m_subpathStart } });
    m_current = element.points.back();
    if (element.type == kCGPathElementMoveToPoint)
        m_subpathStart = m_current;
    m_elements.push_back(std::move(element));
}

CGMutablePathRef CGPathCreateMutable()
{
    return std::make_shared<CGPath>();
}

CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef& path)
{
    return path ? std::make_shared<CGPath>(*path) : nullptr;
}

void CGPathMoveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y)
{
    if (path)
        add(*path, { kCGPathElementMoveToPoint, { transformed(m, { x, y }) } }, __func__);
}

void CGPathAddLineToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y)
{
    if (path)
        addLine(*path, m, { x, y }, __func__);
}

void CGPathAddQuadCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (path)
        add(*path, { kCGPathElementAddQuadCurveToPoint, { transformed(m, { cpx, cpy }), transformed(m, { x, y }) } }, __func__);
}

void CGPathAddCurveToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y,
    CGFloat x, CGFloat y)
{
    if (path) {
        add(*path, { kCGPathElementAddCurveToPoint, { transformed(m, { cp1x, cp1y }), transformed(m, { cp2x, cp2y }), transformed(m, { x, y }) } },
            __func__);
    }
}

void CGPathAddArcToPoint(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    const char* function = __func__;
    if (!path)
        return;
    if (path->isEmpty()) {
        report(function, "no current point");
        return;
    }
    if (!allFinite(x1, y1, x2, y2, radius)) {
        report(function, "invalid value (not a finite number)");
        return;
    }
    Vector corner { x1, y1 };
    double r = radius;
    if (r < 0) {
        // No circle has a negative radius: the corner stays square.
        report(function, "negative radius");
        r = 0;
    }
    // A singular m leaves no space to work the circle out in: the corner stays square too.
    auto current = untransformedCurrentPoint(*path, m);
    if (!current || r == 0) {
        addLine(*path, m, corner, function);
        return;
    }
    Vector toStart = *current - corner;
    Vector toEnd = Vector { x2, y2 } - corner;
    double startLength = std::hypot(toStart.x, toStart.y);
    double endLength = std::hypot(toEnd.x, toEnd.y);
    if (startLength == 0 || endLength == 0) {
        addLine(*path, m, corner, function);
        return;
    }
    Vector u = toStart * (1 / startLength);
    Vector v = toEnd * (1 / endLength);
    // Sine and cosine of the angle between the two lines at the corner.
    double cross = u.x * v.y - u.y * v.x;
    double dot = u.x * v.x + u.y * v.y;
    if (std::abs(cross) <= 1e-12) {
        // Collinear: no circle touches both lines at one point each.
        addLine(*path, m, corner, function);
        return;
    }
    // Each tangent point lies r / tan(θ / 2) from the corner, written so that right angles come out exact.
    // Like arct, nothing stops it from lying past the end of a segment.
    double tangentDistance = r * (1 + dot) / std::abs(cross);
    Vector tangentStart = corner + u * tangentDistance;
    Vector tangentEnd = corner + v * tangentDistance;
    // The centre is r away from the first line, on the side the second line leaves toward.
    double side = cross > 0 ? 1 : -1;
    Vector centre = tangentStart + Vector { -u.y, u.x } * (r * side);
    // Turning left (centre left of the direction of travel) is an anticlockwise arc in y-up space.
    double sweep = (std::numbers::pi - std::atan2(std::abs(cross), dot)) * -side;
    double startAngle = std::atan2(tangentStart.y - centre.y, tangentStart.x - centre.x);

    CGPoint start = transformed(m, tangentStart);
    if (path->currentPoint() != start)
        add(*path, { kCGPathElementAddLineToPoint, { start } }, function);
    addArcCurves(*path, m, centre, r, startAngle, sweep, tangentEnd, function);
}

void CGPathAddArc(const CGMutablePathRef& path, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle,
    CGFloat endAngle, bool clockwise)
{
    const char* function = __func__;
    if (!path)
        return;
    if (!allFinite(x, y, radius, startAngle, endAngle)) {
        report(function, "invalid value (not a finite number)");
        return;
    }
    if (radius < 0) {
        report(function, "negative radius");
        return;
    }
    // Clockwise is meant in y-up space, where it makes angles decrease. In a flipped (UIKit)
    // space the same arc looks anticlockwise on screen. A difference of a full turn or more
    // gives the whole circle; otherwise the sweep is the difference reduced to one turn.
    double start = startAngle;
    double difference = clockwise ? start - endAngle : endAngle - start;
    // A float 2π is a little over the real one: a difference that close to whole turns is taken as whole turns.
    double turns = std::round(difference / fullTurn);
    if (std::abs(difference - turns * fullTurn) <= 1e-6 * std::max(1.0, std::abs(difference)))
        difference = turns * fullTurn;
    double sweep = difference >= fullTurn ? fullTurn : std::fmod(difference, fullTurn);
    if (sweep < 0)
        sweep += fullTurn;
    if (clockwise)
        sweep = -sweep;

    Vector centre { x, y };
    auto onCircle = [&](double angle) { return centre + Vector { std::cos(angle), std::sin(angle) } * static_cast<double>(radius); };
    if (joinTo(*path, m, onCircle(start), function))
        addArcCurves(*path, m, centre, radius, start, sweep, onCircle(start + sweep), function);
}

void CGPathAddRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect)
{
    if (!path || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    double minX = rect.origin.x, minY = rect.origin.y;
    double maxX = minX + rect.size.width, maxY = minY + rect.size.height;
    if (!add(*path, { kCGPathElementMoveToPoint, { transformed(m, { minX, minY }) } }, __func__))
        return;
    addLine(*path, m, { maxX, minY }, __func__);
    addLine(*path, m, { maxX, maxY }, __func__);
    addLine(*path, m, { minX, maxY }, __func__);
    CGPathCloseSubpath(path);
}

void CGPathAddEllipseInRect(const CGMutablePathRef& path, const CGAffineTransform* m, CGRect rect)
{
    if (!path || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    double rx = rect.size.width / 2.0, ry = rect.size.height / 2.0;
    Vector centre { rect.origin.x + rx, rect.origin.y + ry };
    // A quarter of the unit circle from (1, 0) to (0, 1), then turned a quarter at a time: anticlockwise in y-up space from the right.
    constexpr double kappa = 4.0 / 3.0 * (std::numbers::sqrt2 - 1);
    auto at = [&](double x, double y) { return centre + Vector { x * rx, y * ry }; };
    if (!add(*path, { kCGPathElementMoveToPoint, { transformed(m, at(1, 0)) } }, __func__))
        return;
    double cosine = 1, sine = 0;
    for (int quarter = 0; quarter < 4; ++quarter) {
        // Rotating (1, 0), (1, κ), (κ, 1), (0, 1) by the quarter turns done so far.
        auto turned = [&](double x, double y) { return at(x * cosine - y * sine, x * sine + y * cosine); };
        CGPathElement curve { kCGPathElementAddCurveToPoint,
            { transformed(m, turned(1, kappa)), transformed(m, turned(kappa, 1)), transformed(m, turned(0, 1)) } };
        if (!add(*path, std::move(curve), __func__))
            return;
        double nextCosine = -sine;
        sine = cosine;
        cosine = nextCosine;
    }
    CGPathCloseSubpath(path);
}

void CGPathCloseSubpath(const CGMutablePathRef& path)
{
    if (path && !path->isEmpty())
        path->append({ kCGPathElementCloseSubpath, {} });
}

bool CGPathIsEmpty(const CGPathRef& path)
{
    return !path || path->isEmpty();
}

CGPoint CGPathGetCurrentPoint(const CGPathRef& path)
{
    return path && !path->isEmpty() ? path->currentPoint() : CGPointZero;
}

CGRect CGPathGetBoundingBox(const CGPathRef& path)
{
    if (!path || path->isEmpty())
        return CGRectNull;
    CGPoint first = path->elements().front().points.front();
    CGFloat minX = first.x, maxX = first.x, minY = first.y, maxY = first.y;
    for (auto& element : path->elements()) {
        for (auto& point : element.points) {
            minX = std::min(minX, point.x);
            maxX = std::max(maxX, point.x);
            minY = std::min(minY, point.y);
            maxY = std::max(maxY, point.y);
        }
    }
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
