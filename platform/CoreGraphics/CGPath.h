#pragma once

#include "CoreGraphics/CGAffineTransform.h"

#include <memory>
#include <vector>

// A path: subpaths of lines, quadratic and cubic curves. Arcs are stored as the
// cubic curves that approximate them, as the platform does, so a path can be
// read back element by element.
enum CGPathElementType : int {
    kCGPathElementMoveToPoint = 0,
    kCGPathElementAddLineToPoint = 1,
    kCGPathElementAddQuadCurveToPoint = 2,
    kCGPathElementAddCurveToPoint = 3,
    kCGPathElementCloseSubpath = 4,
};

struct CGPathElement {
    CGPathElementType type;
    std::vector<CGPoint> points;  // 1 for move and line, 2 for quad, 3 for cubic, 0 for close
    bool operator==(const CGPathElement&) const = default;
};

class CGPath;
using CGPathRef = std::shared_ptr<const CGPath>;
using CGMutablePathRef = std::shared_ptr<CGPath>;

class CGPath {
public:
    [[nodiscard]] const std::vector<CGPathElement>& elements() const { return m_elements; }
    [[nodiscard]] bool isEmpty() const { return m_elements.empty(); }
    [[nodiscard]] CGPoint currentPoint() const { return m_current; }

    // Used by the CGPath functions; they keep the current point and subpath start.
    void append(CGPathElement);

private:
    std::vector<CGPathElement> m_elements;
    CGPoint m_current {};
    CGPoint m_subpathStart {};
};

[[nodiscard]] CGMutablePathRef CGPathCreateMutable();
[[nodiscard]] CGMutablePathRef CGPathCreateMutableCopy(const CGPathRef&);
// m, when given, transforms the points before they are added.
void CGPathMoveToPoint(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddLineToPoint(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat x, CGFloat y);
void CGPathAddQuadCurveToPoint(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGPathAddCurveToPoint(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
    CGFloat y);
// PostScript's arct: a line from the current point towards (x1, y1), then an arc
// of the radius tangent to the lines current→(x1, y1) and (x1, y1)→(x2, y2),
// ending on the second line. The radius is not clamped; with radius 0 or
// collinear points it adds a line to (x1, y1).
void CGPathAddArcToPoint(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
void CGPathAddArc(const CGMutablePathRef&, const CGAffineTransform* m, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle,
    CGFloat endAngle, bool clockwise);
void CGPathAddRect(const CGMutablePathRef&, const CGAffineTransform* m, CGRect);
void CGPathAddEllipseInRect(const CGMutablePathRef&, const CGAffineTransform* m, CGRect);
void CGPathCloseSubpath(const CGMutablePathRef&);

[[nodiscard]] bool CGPathIsEmpty(const CGPathRef&);
[[nodiscard]] CGPoint CGPathGetCurrentPoint(const CGPathRef&);
// The smallest rectangle holding every point, control points included; CGRectNull for an empty path.
[[nodiscard]] CGRect CGPathGetBoundingBox(const CGPathRef&);
// The platform's release for paths made by functions named new…: nothing to do with shared ownership.
inline void CGPathRelease(const CGPathRef&) { }
