#pragma once

#include "CoreGraphics/CGGeometry.h"

// [ a  b  0 ]
// [ c  d  0 ]   points are row vectors: (x', y') = (a·x + c·y + tx, b·x + d·y + ty)
// [ tx ty 1 ]
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    constexpr bool operator==(const CGAffineTransform&) const = default;
};

namespace objc {
template<> struct TypeEncoding<CGAffineTransform> {
    static constexpr auto value = EncodingText { "{CGAffineTransform=" } + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value
        + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value + TypeEncoding<CGFloat>::value + EncodingText { "}" };
};
}

inline constexpr CGAffineTransform CGAffineTransformIdentity {};

[[nodiscard]] constexpr CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty)
{
    return { a, b, c, d, tx, ty };
}
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty) { return { 1, 0, 0, 1, tx, ty }; }
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) { return { sx, 0, 0, sy, 0, 0 }; }
[[nodiscard]] inline CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle)
{
    CGFloat sine = std::sin(angle);
    CGFloat cosine = std::cos(angle);
    return { cosine, sine, -sine, cosine, 0, 0 };
}

[[nodiscard]] constexpr bool CGAffineTransformIsIdentity(CGAffineTransform t) { return t == CGAffineTransformIdentity; }

// t1 then t2: a point goes through t1 first.
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2)
{
    return { t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d, t1.c * t2.a + t1.d * t2.c, t1.c * t2.b + t1.d * t2.d,
        t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty };
}

// The new transform applies the translation (or scale, rotation) first, then t.
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty)
{
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy)
{
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}
[[nodiscard]] inline CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, CGFloat angle)
{
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}

// A singular transform is returned unchanged, as the platform does.
[[nodiscard]] constexpr CGAffineTransform CGAffineTransformInvert(CGAffineTransform t)
{
    CGFloat determinant = t.a * t.d - t.b * t.c;
    if (determinant == 0)
        return t;
    return { t.d / determinant, -t.b / determinant, -t.c / determinant, t.a / determinant, (t.c * t.ty - t.d * t.tx) / determinant,
        (t.b * t.tx - t.a * t.ty) / determinant };
}

[[nodiscard]] constexpr CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t)
{
    return { t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty };
}
[[nodiscard]] constexpr CGSize CGSizeApplyAffineTransform(CGSize s, CGAffineTransform t)
{
    return { t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height };
}
// The bounding box of the transformed corners.
[[nodiscard]] constexpr CGRect CGRectApplyAffineTransform(CGRect rect, CGAffineTransform t)
{
    if (CGRectIsNull(rect))
        return rect;
    rect = CGRectStandardize(rect);
    CGPoint corners[4] = { CGPointApplyAffineTransform(rect.origin, t),
        CGPointApplyAffineTransform({ CGRectGetMaxX(rect), rect.origin.y }, t),
        CGPointApplyAffineTransform({ rect.origin.x, CGRectGetMaxY(rect) }, t),
        CGPointApplyAffineTransform({ CGRectGetMaxX(rect), CGRectGetMaxY(rect) }, t) };
    CGFloat minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (auto& corner : corners) {
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}
