#include "CoreGraphics/CGPath.h"
#include "support/GraphicsTestSupport.h"

#include <cmath>
#include <numbers>
#include <string>

using namespace TestSupport;

namespace {

const double pi = std::numbers::pi;

// M, L, Q, C, Z for each element, in order.
std::string shape(const CGPathRef& path)
{
    std::string letters;
    for (auto& element : path->elements())
        letters += "MLQCZ"[element.type];
    return letters;
}

::testing::AssertionResult pointNear(CGPoint actual, CGPoint expected)
{
    if (std::abs(actual.x - expected.x) <= 1e-4 && std::abs(actual.y - expected.y) <= 1e-4)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected " << ::testing::PrintToString(expected);
}

CGPoint P(double x, double y) { return { static_cast<CGFloat>(x), static_cast<CGFloat>(y) }; }

// Every cubic of the path stays within a thousandth of the radius of the circle.
::testing::AssertionResult curvesFollowCircle(const CGPathRef& path, CGPoint centre, double radius)
{
    CGPoint from {};
    for (auto& element : path->elements()) {
        const auto& p = element.points;
        for (double t = 0; element.type == kCGPathElementAddCurveToPoint && t <= 1; t += 0.25) {
            double s = 1 - t;
            auto mix = [&](double a, double b, double c, double d) { return s * s * s * a + 3 * s * s * t * b + 3 * s * t * t * c + t * t * t * d; };
            double distance = std::hypot(mix(from.x, p[0].x, p[1].x, p[2].x) - centre.x, mix(from.y, p[0].y, p[1].y, p[2].y) - centre.y);
            if (std::abs(distance - radius) > 1e-3 * radius)
                return ::testing::AssertionFailure() << "a curve point is " << distance << " from the centre";
        }
        if (!p.empty())
            from = p.back();
    }
    return ::testing::AssertionSuccess();
}

// One point inside rect, from the middle of the left edge, a corner at a time, as the colour controls build it.
CGMutablePathRef roundedRect(CGRect rect, CGFloat radius)
{
    CGFloat left = CGRectGetMinX(rect) + 1, top = CGRectGetMinY(rect) + 1, right = CGRectGetMaxX(rect) - 1, bottom = CGRectGetMaxY(rect) - 1;
    auto path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, left, CGRectGetMidY(rect));
    CGPathAddArcToPoint(path, nullptr, left, top, CGRectGetMidX(rect), top, radius);
    CGPathAddArcToPoint(path, nullptr, right, top, right, CGRectGetMidY(rect), radius);
    CGPathAddArcToPoint(path, nullptr, right, bottom, CGRectGetMidX(rect), bottom, radius);
    CGPathAddArcToPoint(path, nullptr, left, bottom, left, CGRectGetMidY(rect), radius);
    CGPathCloseSubpath(path);
    return path;
}

}

TEST(CGPathAddArcToPoint, TangentPointsFollowArct)
{
    // From (0, 0) to the corner (10, 0), then towards `to`.
    struct Case {
        const char* label;
        CGPoint to;
        CGFloat radius;
        const char* shape;
        CGPoint first, second, centre;  // tangent points and the circle's centre
    };
    const double t60 = 1 / std::tan(pi / 6), t135 = std::tan(pi / 8);  // tangent distances of a unit circle
    const Case cases[] = {
        { "square corner, turning left", { 10, 10 }, 2, "MLC", { 8, 0 }, { 10, 2 }, { 8, 2 } },
        { "square corner, turning right", { 10, -10 }, 2, "MLC", { 8, 0 }, { 10, -2 }, { 8, -2 } },
        { "radius the edge's length: no line", { 10, 10 }, 10, "MC", { 0, 0 }, { 10, 10 }, { 0, 10 } },
        // Not clamped: the tangent points lie past both segments.
        { "radius past the edges", { 10, 10 }, 20, "MLC", { -10, 0 }, { 10, 20 }, { -10, 20 } },
        { "135° corner", { 20, 10 }, 1, "MLC", P(10 - t135, 0), P(10 + t135 / std::sqrt(2), t135 / std::sqrt(2)), P(10 - t135, 1) },
        // A 120° turn takes two curves.
        { "60° corner", P(5, 5 * std::sqrt(3)), 1, "MLCC", P(10 - t60, 0), P(10 - t60 / 2, t60 * std::sqrt(3) / 2), P(10 - t60, 1) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto path = CGPathCreateMutable();
        CGPathMoveToPoint(path, nullptr, 0, 0);
        CGPathAddArcToPoint(path, nullptr, 10, 0, c.to.x, c.to.y, c.radius);
        ASSERT_EQ(shape(path), c.shape);
        EXPECT_TRUE(pointNear(path->elements()[c.shape[1] == 'L' ? 1 : 0].points[0], c.first));
        EXPECT_TRUE(pointNear(CGPathGetCurrentPoint(path), c.second));
        EXPECT_TRUE(curvesFollowCircle(path, c.centre, c.radius));
    }
}

TEST(CGPathAddArcToPoint, DegenerateCornersAddALineToTheCorner)
{
    struct Case {
        const char* label;
        CGPoint start, to;
        CGFloat radius;
    };
    const Case cases[] = {
        { "radius 0", { 0, 0 }, { 10, 10 }, 0 },
        { "negative radius", { 0, 0 }, { 10, 10 }, -3 },
        { "collinear, going on", { 0, 0 }, { 20, 0 }, 2 },
        { "collinear, turning back", { 0, 0 }, { 5, 0 }, 2 },
        { "current point at the corner", { 10, 0 }, { 10, 10 }, 2 },
        { "second point at the corner", { 0, 0 }, { 10, 0 }, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto path = CGPathCreateMutable();
        CGPathMoveToPoint(path, nullptr, c.start.x, c.start.y);
        CGPathAddArcToPoint(path, nullptr, 10, 0, c.to.x, c.to.y, c.radius);
        ASSERT_EQ(shape(path), "ML");
        EXPECT_EQ(path->elements()[1].points, std::vector { CGPointMake(10, 0) });
    }
    // Without a current point nothing is added.
    auto empty = CGPathCreateMutable();
    CGPathAddArcToPoint(empty, nullptr, 10, 0, 10, 10, 2);
    CGPathAddLineToPoint(empty, nullptr, 1, 1);
    EXPECT_TRUE(CGPathIsEmpty(empty));
}

TEST(CGPathAddArcToPoint, RoundedRectangleRunsClockwiseOnScreenFromTheLeftEdge)
{
    // y grows downward as in a view: clockwise on screen is up the left edge, then right along the top.
    auto path = roundedRect(CGRectMake(0, 0, 36, 36), 6);
    ASSERT_EQ(shape(path), "MLCLCLCLCZ");
    const CGPoint ends[] = { { 1, 18 }, { 1, 7 }, { 7, 1 }, { 29, 1 }, { 35, 7 }, { 35, 29 }, { 29, 35 }, { 7, 35 }, { 1, 29 } };
    for (size_t i = 0; i < std::size(ends); ++i)
        EXPECT_TRUE(pointNear(path->elements()[i].points.back(), ends[i])) << i;
    // The top-left corner's curve runs from (1, 7) towards the corner and on to (7, 1).
    EXPECT_LT(path->elements()[2].points[0].y, 7);
    EXPECT_LT(path->elements()[2].points[1].x, 7);

    auto square = roundedRect(CGRectMake(0, 0, 36, 36), 0);
    EXPECT_EQ(shape(square), "MLLLLZ");
    EXPECT_EQ(square->elements()[1].points[0], CGPointMake(1, 1));
    EXPECT_EQ(square->elements()[3].points[0], CGPointMake(35, 35));
}

TEST(CGPathAddArc, ClockwiseMeansDecreasingAngles)
{
    struct Case {
        double start, end;
        bool clockwise;
        const char* shape;
        CGPoint second;  // end of the first curve
    };
    const Case cases[] = {
        { 0, pi / 2, false, "MC", { 0, 10 } },
        { 0, pi / 2, true, "MCCC", { 0, -10 } },
        { 0, 2 * pi, false, "MCCCC", { 0, 10 } },
        { 0, 5 * pi, false, "MCCCC", { 0, 10 } },
        { 0, 2 * pi, true, "M", { 10, 0 } },  // a whole turn backwards is no turn
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " to " << c.end << (c.clockwise ? " clockwise" : ""));
        auto path = CGPathCreateMutable();
        CGPathAddArc(path, nullptr, 0, 0, 10, static_cast<CGFloat>(c.start), static_cast<CGFloat>(c.end), c.clockwise);
        ASSERT_EQ(shape(path), c.shape);
        EXPECT_TRUE(pointNear(path->elements()[std::min<size_t>(1, path->elements().size() - 1)].points.back(), c.second));
        EXPECT_TRUE(curvesFollowCircle(path, CGPointZero, 10));
    }
}

TEST(CGPath, RectangleEllipseAndBoundingBoxes)
{
    auto rect = CGPathCreateMutable();
    CGPathAddRect(rect, nullptr, CGRectMake(4, 6, -3, -4));
    auto m = CGAffineTransformMakeTranslation(5, 5);
    auto ellipse = CGPathCreateMutable();
    CGPathAddEllipseInRect(ellipse, &m, CGRectMake(0, 0, 20, 10));
    auto curve = CGPathCreateMutable();
    CGPathMoveToPoint(curve, nullptr, 0, 0);
    CGPathAddCurveToPoint(curve, nullptr, 0, 10, 10, 10, 10, 0);
    struct Case {
        const char* label;
        CGPathRef path;
        const char* shape;
        CGPoint start;
        CGRect box;
    };
    const Case cases[] = {
        { "rectangle, standardised", rect, "MLLLZ", { 1, 2 }, CGRectMake(1, 2, 3, 4) },
        { "ellipse from its right, moved", ellipse, "MCCCCZ", { 25, 10 }, CGRectMake(5, 5, 20, 10) },
        { "control points count", curve, "MC", { 0, 0 }, CGRectMake(0, 0, 10, 10) },
        { "rounded rectangle", roundedRect(CGRectMake(0, 0, 36, 36), 6), "MLCLCLCLCZ", { 1, 18 }, CGRectMake(1, 1, 34, 34) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(shape(c.path), c.shape);
        EXPECT_EQ(c.path->elements()[0].points[0], c.start);
        EXPECT_TRUE(rectNear(CGPathGetBoundingBox(c.path), c.box));
    }
    EXPECT_TRUE(CGRectIsNull(CGPathGetBoundingBox(CGPathCreateMutable())));
    // Anticlockwise in y-up space: the first quarter ends at the top.
    EXPECT_TRUE(pointNear(ellipse->elements()[1].points[2], { 15, 15 }));
}
