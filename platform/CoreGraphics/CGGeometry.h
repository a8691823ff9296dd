#pragma once

#include "CoreGraphics/CGBase.h"
#include "objc/encoding.h"

#include <algorithm>
#include <cmath>
#include <limits>

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    constexpr bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;
    constexpr bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    constexpr bool operator==(const CGRect&) const = default;
};

namespace objc {
template<> struct TypeEncoding<CGPoint> {
    static constexpr auto value = EncodingText { "{CGPoint=" } + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value + EncodingText { "}" };
};
template<> struct TypeEncoding<CGSize> {
    static constexpr auto value = EncodingText { "{CGSize=" } + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value + EncodingText { "}" };
};
template<> struct TypeEncoding<CGRect> {
    static constexpr auto value = EncodingText { "{CGRect=" } + TypeEncoding<CGPoint>::value + TypeEncoding<CGSize>::value + EncodingText { "}" };
};
}

inline constexpr CGPoint CGPointZero {};
inline constexpr CGSize CGSizeZero {};
inline constexpr CGRect CGRectZero {};
// The null rectangle: what an intersection of disjoint rectangles gives.
inline constexpr CGRect CGRectNull { { std::numeric_limits<CGFloat>::infinity(), std::numeric_limits<CGFloat>::infinity() }, {} };

[[nodiscard]] constexpr CGPoint CGPointMake(CGFloat x, CGFloat y) { return { x, y }; }
[[nodiscard]] constexpr CGSize CGSizeMake(CGFloat width, CGFloat height) { return { width, height }; }
[[nodiscard]] constexpr CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) { return { { x, y }, { width, height } }; }

// A rectangle with a negative size covers the same area as its standardised form.
[[nodiscard]] constexpr CGRect CGRectStandardize(CGRect rect)
{
    if (rect.size.width < 0) {
        rect.origin.x += rect.size.width;
        rect.size.width = -rect.size.width;
    }
    if (rect.size.height < 0) {
        rect.origin.y += rect.size.height;
        rect.size.height = -rect.size.height;
    }
    return rect;
}

[[nodiscard]] constexpr bool CGRectIsNull(CGRect rect) { return std::isinf(rect.origin.x) || std::isinf(rect.origin.y); }
[[nodiscard]] constexpr bool CGRectIsEmpty(CGRect rect) { return CGRectIsNull(rect) || rect.size.width == 0 || rect.size.height == 0; }
[[nodiscard]] constexpr CGFloat CGRectGetMinX(CGRect rect) { return CGRectStandardize(rect).origin.x; }
[[nodiscard]] constexpr CGFloat CGRectGetMinY(CGRect rect) { return CGRectStandardize(rect).origin.y; }
[[nodiscard]] constexpr CGFloat CGRectGetMaxX(CGRect rect) { auto r = CGRectStandardize(rect); return r.origin.x + r.size.width; }
[[nodiscard]] constexpr CGFloat CGRectGetMaxY(CGRect rect) { auto r = CGRectStandardize(rect); return r.origin.y + r.size.height; }
[[nodiscard]] constexpr CGFloat CGRectGetMidX(CGRect rect) { auto r = CGRectStandardize(rect); return r.origin.x + r.size.width / 2; }
[[nodiscard]] constexpr CGFloat CGRectGetMidY(CGRect rect) { auto r = CGRectStandardize(rect); return r.origin.y + r.size.height / 2; }
[[nodiscard]] constexpr CGFloat CGRectGetWidth(CGRect rect) { return CGRectStandardize(rect).size.width; }
[[nodiscard]] constexpr CGFloat CGRectGetHeight(CGRect rect) { return CGRectStandardize(rect).size.height; }

[[nodiscard]] constexpr CGRect CGRectOffset(CGRect rect, CGFloat dx, CGFloat dy)
{
    rect = CGRectStandardize(rect);
    return CGRectMake(rect.origin.x + dx, rect.origin.y + dy, rect.size.width, rect.size.height);
}

// Negative insets grow the rectangle; an inset past the middle gives the null rectangle.
[[nodiscard]] constexpr CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy)
{
    rect = CGRectStandardize(rect);
    CGRect inset = CGRectMake(rect.origin.x + dx, rect.origin.y + dy, rect.size.width - 2 * dx, rect.size.height - 2 * dy);
    if (inset.size.width < 0 || inset.size.height < 0)
        return CGRectNull;
    return inset;
}

[[nodiscard]] constexpr bool CGRectContainsPoint(CGRect rect, CGPoint point)
{
    rect = CGRectStandardize(rect);
    return point.x >= rect.origin.x && point.x < rect.origin.x + rect.size.width && point.y >= rect.origin.y
        && point.y < rect.origin.y + rect.size.height;
}

[[nodiscard]] constexpr CGRect CGRectIntersection(CGRect a, CGRect b)
{
    if (CGRectIsNull(a) || CGRectIsNull(b))
        return CGRectNull;
    a = CGRectStandardize(a);
    b = CGRectStandardize(b);
    CGFloat minX = std::max(a.origin.x, b.origin.x);
    CGFloat minY = std::max(a.origin.y, b.origin.y);
    CGFloat maxX = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (maxX < minX || maxY < minY)
        return CGRectNull;
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

// Whether the two share some area; rectangles that only touch do not.
[[nodiscard]] constexpr bool CGRectIntersectsRect(CGRect a, CGRect b)
{
    CGRect common = CGRectIntersection(a, b);
    return !CGRectIsNull(common) && common.size.width > 0 && common.size.height > 0;
}

[[nodiscard]] constexpr CGRect CGRectUnion(CGRect a, CGRect b)
{
    if (CGRectIsNull(a))
        return CGRectStandardize(b);
    if (CGRectIsNull(b))
        return CGRectStandardize(a);
    CGFloat minX = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    CGFloat minY = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    CGFloat maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

// The smallest rectangle with whole-number edges that contains rect.
[[nodiscard]] inline CGRect CGRectIntegral(CGRect rect)
{
    if (CGRectIsNull(rect))
        return rect;
    rect = CGRectStandardize(rect);
    CGFloat minX = std::floor(rect.origin.x);
    CGFloat minY = std::floor(rect.origin.y);
    CGFloat maxX = std::ceil(rect.origin.x + rect.size.width);
    CGFloat maxY = std::ceil(rect.origin.y + rect.size.height);
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
