#pragma once

#include "CoreGraphics/CGAffineTransform.h"

#include <optional>
#include <string_view>

// A 4 × 4 matrix acting on row vectors, as CGAffineTransform does: a point goes
// through m11..m44 as (x, y, z, 1) · M. The affine part is m11, m12, m21, m22,
// m41, m42; the compositor draws with that part only.
struct CATransform3D {
    CGFloat m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    CGFloat m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    CGFloat m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    CGFloat m41 = 0, m42 = 0, m43 = 0, m44 = 1;
    constexpr bool operator==(const CATransform3D&) const = default;
};

inline constexpr CATransform3D CATransform3DIdentity {};

[[nodiscard]] constexpr bool CATransform3DIsIdentity(const CATransform3D& t) { return t == CATransform3DIdentity; }
[[nodiscard]] constexpr bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b) { return a == b; }

[[nodiscard]] CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz);
[[nodiscard]] CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz);
// A turn by angle radians about the axis (x, y, z); a zero axis gives the identity.
[[nodiscard]] CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z);

// a then b: a point goes through a first.
[[nodiscard]] CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b);
// The new transform applies the translation (scale, rotation) first, then t.
[[nodiscard]] CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz);
[[nodiscard]] CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz);
[[nodiscard]] CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// A singular matrix is returned unchanged, as the platform does.
[[nodiscard]] CATransform3D CATransform3DInvert(const CATransform3D&);

[[nodiscard]] bool CATransform3DIsAffine(const CATransform3D&);
[[nodiscard]] CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D&);
[[nodiscard]] CATransform3D CATransform3DMakeAffineTransform(CGAffineTransform);
[[nodiscard]] bool CATransform3DIsFinite(const CATransform3D&);

// The parts that the key paths "transform.scale.x", "transform.rotation.z" and
// so on read and write. Scales are the lengths of the first three rows (so a
// 2-D transform (a, b, c, d) has scale.x = √(a² + b²)); rotations are the Euler
// angles of what is left once scale and skew are taken out, applied about x,
// then y, then z (so rotation.z = atan2(b, a) in 2-D); translation is the last row.
// Writing one part keeps the others. Unknown names give nullopt / false.
[[nodiscard]] std::optional<CGFloat> CATransform3DGetComponent(const CATransform3D&, std::string_view name);
[[nodiscard]] bool CATransform3DSetComponent(CATransform3D&, std::string_view name, CGFloat value);

// The transform a fraction of the way from one to the other: translation, scale
// and skew linearly, rotation along the shorter great arc, as the platform
// animates transforms. Matrices with perspective or a zero scale go element by element.
[[nodiscard]] CATransform3D CATransform3DInterpolate(const CATransform3D& from, const CATransform3D& to, double fraction);
