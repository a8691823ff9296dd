#include "QuartzCore/CATransform3D.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Worked in double precision; stored back as CGFloat once.
using Matrix = std::array<std::array<double, 4>, 4>;
using Vector3 = std::array<double, 3>;

Matrix toMatrix(const CATransform3D& t)
{
    return { { { t.m11, t.m12, t.m13, t.m14 }, { t.m21, t.m22, t.m23, t.m24 }, { t.m31, t.m32, t.m33, t.m34 },
        { t.m41, t.m42, t.m43, t.m44 } } };
}

CATransform3D fromMatrix(const Matrix& m)
{
    auto f = [](double value) { return static_cast<CGFloat>(value); };
    return { f(m[0][0]), f(m[0][1]), f(m[0][2]), f(m[0][3]), f(m[1][0]), f(m[1][1]), f(m[1][2]), f(m[1][3]), f(m[2][0]), f(m[2][1]),
        f(m[2][2]), f(m[2][3]), f(m[3][0]), f(m[3][1]), f(m[3][2]), f(m[3][3]) };
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix c {};
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = 0; j < 4; ++j) {
            double sum = 0;
            for (size_t k = 0; k < 4; ++k)
                sum += a[i][k] * b[k][j];
            c[i][j] = sum;
        }
    }
    return c;
}

Matrix identity()
{
    return toMatrix(CATransform3DIdentity);
}

Matrix transposed(const Matrix& m)
{
    Matrix t {};
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = 0; j < 4; ++j)
            t[i][j] = m[j][i];
    }
    return t;
}

// Row-vector rotation: the transpose of the textbook column-vector matrix, so a
// positive angle about z turns +x towards +y, as CGAffineTransformMakeRotation does.
Matrix rotation(double angle, Vector3 axis)
{
    double length = std::hypot(axis[0], axis[1], axis[2]);
    if (length == 0 || !std::isfinite(length) || !std::isfinite(angle))
        return identity();
    double x = axis[0] / length, y = axis[1] / length, z = axis[2] / length;
    double c = std::cos(angle), s = std::sin(angle), v = 1 - c;
    Matrix m = identity();
    m[0] = { c + x * x * v, y * x * v + z * s, z * x * v - y * s, 0 };
    m[1] = { x * y * v - z * s, c + y * y * v, z * y * v + x * s, 0 };
    m[2] = { x * z * v + y * s, y * z * v - x * s, c + z * z * v, 0 };
    return m;
}

double dot(Vector3 a, Vector3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(Vector3 v) { return std::sqrt(dot(v, v)); }
Vector3 cross(Vector3 a, Vector3 b) { return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] }; }
Vector3 scaled(Vector3 v, double s) { return { v[0] * s, v[1] * s, v[2] * s }; }
Vector3 minus(Vector3 a, Vector3 b) { return { a[0] - b[0], a[1] - b[1], a[2] - b[2] }; }
Vector3 plus(Vector3 a, Vector3 b) { return { a[0] + b[0], a[1] + b[1], a[2] + b[2] }; }

Vector3 row(const Matrix& m, size_t i) { return { m[i][0], m[i][1], m[i][2] }; }
void setRow(Matrix& m, size_t i, Vector3 v)
{
    m[i][0] = v[0];
    m[i][1] = v[1];
    m[i][2] = v[2];
}

// Rows 0–2 times r, leaving the translation row alone: a change of the linear
// part that applies after scale and skew but before translation.
Matrix postRotate(const Matrix& m, const Matrix& r)
{
    Matrix result = multiply(m, r);
    result[3] = m[3];
    return result;
}

// The rotation left once scale and skew are taken out of the upper 3 × 3 rows
// (Gram–Schmidt); nullopt when a row vanishes.
std::optional<Matrix> rotationPart(const Matrix& m)
{
    Vector3 u0 = row(m, 0);
    double l0 = length(u0);
    if (l0 == 0)
        return std::nullopt;
    u0 = scaled(u0, 1 / l0);
    Vector3 u1 = minus(row(m, 1), scaled(u0, dot(u0, row(m, 1))));
    double l1 = length(u1);
    if (l1 == 0)
        return std::nullopt;
    u1 = scaled(u1, 1 / l1);
    Vector3 u2 = minus(minus(row(m, 2), scaled(u0, dot(u0, row(m, 2)))), scaled(u1, dot(u1, row(m, 2))));
    double l2 = length(u2);
    if (l2 == 0)
        u2 = cross(u0, u1);  // a flat transform: any right-handed completion will do
    else
        u2 = scaled(u2, 1 / l2);
    // A mirror image keeps x and y, so the 2-D readings stay those of (a, b, c, d).
    if (dot(u0, cross(u1, u2)) < 0)
        u2 = scaled(u2, -1);
    Matrix r = identity();
    setRow(r, 0, u0);
    setRow(r, 1, u1);
    setRow(r, 2, u2);
    return r;
}

struct EulerAngles {
    double x = 0, y = 0, z = 0;
};

// Angles of R = Rx · Ry · Rz in row-vector form, whose first row is (cos y cos z, cos y sin z, −sin y).
EulerAngles eulerAngles(const Matrix& m)
{
    auto r = rotationPart(m);
    if (!r)
        return { 0, 0, std::atan2(m[0][1], m[0][0]) };
    const Matrix& u = *r;
    EulerAngles angles;
    angles.y = std::asin(std::clamp(-u[0][2], -1.0, 1.0));
    if (std::abs(std::cos(angles.y)) > 1e-9) {
        angles.z = std::atan2(u[0][1], u[0][0]);
        angles.x = std::atan2(u[1][2], u[2][2]);
    } else {
        angles.x = std::atan2(-u[2][1], u[1][1]);
    }
    return angles;
}

Matrix axisRotation(char axis, double angle)
{
    return rotation(angle, { axis == 'x' ? 1.0 : 0.0, axis == 'y' ? 1.0 : 0.0, axis == 'z' ? 1.0 : 0.0 });
}

std::optional<double> component(const Matrix& m, std::string_view name)
{
    if (name == "scale.x")
        return length(row(m, 0));
    if (name == "scale.y")
        return length(row(m, 1));
    if (name == "scale.z")
        return length(row(m, 2));
    if (name == "scale")
        return (length(row(m, 0)) + length(row(m, 1)) + length(row(m, 2))) / 3;
    if (name == "rotation.x")
        return eulerAngles(m).x;
    if (name == "rotation.y")
        return eulerAngles(m).y;
    if (name == "rotation.z" || name == "rotation")
        return eulerAngles(m).z;
    if (name == "translation.x")
        return m[3][0];
    if (name == "translation.y")
        return m[3][1];
    if (name == "translation.z")
        return m[3][2];
    return std::nullopt;
}

void setScale(Matrix& m, size_t index, double value)
{
    Vector3 r = row(m, index);
    double l = length(r);
    if (l > 0) {
        setRow(m, index, scaled(r, value / l));
        return;
    }
    // A collapsed row has lost its direction: take the one the other two rows imply.
    Vector3 direction = cross(row(m, (index + 1) % 3), row(m, (index + 2) % 3));
    double dl = length(direction);
    Vector3 axis {};
    axis[index] = 1;
    setRow(m, index, scaled(dl > 0 ? scaled(direction, 1 / dl) : axis, value));
}

struct Quaternion {
    double w = 1, x = 0, y = 0, z = 0;
};

Quaternion quaternionFromRows(const Matrix& r)
{
    // In column-vector form, c[i][j] = r[j][i].
    auto c = [&r](size_t i, size_t j) { return r[j][i]; };
    double trace = c(0, 0) + c(1, 1) + c(2, 2);
    Quaternion q;
    if (trace > 0) {
        double s = std::sqrt(trace + 1) * 2;
        q = { s / 4, (c(2, 1) - c(1, 2)) / s, (c(0, 2) - c(2, 0)) / s, (c(1, 0) - c(0, 1)) / s };
    } else if (c(0, 0) > c(1, 1) && c(0, 0) > c(2, 2)) {
        double s = std::sqrt(1 + c(0, 0) - c(1, 1) - c(2, 2)) * 2;
        q = { (c(2, 1) - c(1, 2)) / s, s / 4, (c(0, 1) + c(1, 0)) / s, (c(0, 2) + c(2, 0)) / s };
    } else if (c(1, 1) > c(2, 2)) {
        double s = std::sqrt(1 + c(1, 1) - c(0, 0) - c(2, 2)) * 2;
        q = { (c(0, 2) - c(2, 0)) / s, (c(0, 1) + c(1, 0)) / s, s / 4, (c(1, 2) + c(2, 1)) / s };
    } else {
        double s = std::sqrt(1 + c(2, 2) - c(0, 0) - c(1, 1)) * 2;
        q = { (c(1, 0) - c(0, 1)) / s, (c(0, 2) + c(2, 0)) / s, (c(1, 2) + c(2, 1)) / s, s / 4 };
    }
    return q;
}

Matrix rowsFromQuaternion(const Quaternion& q)
{
    double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z, wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix r = identity();
    // The transpose of the column-vector matrix.
    r[0] = { 1 - 2 * (yy + zz), 2 * (xy + wz), 2 * (xz - wy), 0 };
    r[1] = { 2 * (xy - wz), 1 - 2 * (xx + zz), 2 * (yz + wx), 0 };
    r[2] = { 2 * (xz + wy), 2 * (yz - wx), 1 - 2 * (xx + yy), 0 };
    return r;
}

Quaternion slerp(Quaternion a, Quaternion b, double t)
{
    double d = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
    if (d < 0) {
        b = { -b.w, -b.x, -b.y, -b.z };
        d = -d;
    }
    double wa, wb;
    if (d > 0.9995) {
        wa = 1 - t;
        wb = t;
    } else {
        double theta = std::acos(d);
        double sine = std::sin(theta);
        wa = std::sin((1 - t) * theta) / sine;
        wb = std::sin(t * theta) / sine;
    }
    Quaternion q { wa * a.w + wb * b.w, wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z };
    double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return { q.w / n, q.x / n, q.y / n, q.z / n };
}

// upper 3 × 3 = L · R with L lower triangular (scales on the diagonal, skews below) and R a rotation.
struct Decomposition {
    Vector3 translation {};
    Vector3 scale {};
    Vector3 skew {};  // xy, xz, yz
    Quaternion rotation;
};

std::optional<Decomposition> decompose(Matrix m)
{
    if (m[0][3] != 0 || m[1][3] != 0 || m[2][3] != 0 || m[3][3] == 0)
        return std::nullopt;
    for (auto& r : m) {
        for (auto& value : r)
            value /= m[3][3];
    }
    Decomposition d;
    d.translation = row(m, 3);
    Vector3 r0 = row(m, 0), r1 = row(m, 1), r2 = row(m, 2);
    d.scale[0] = length(r0);
    if (d.scale[0] == 0)
        return std::nullopt;
    Vector3 u0 = scaled(r0, 1 / d.scale[0]);
    d.skew[0] = dot(u0, r1);
    Vector3 v1 = minus(r1, scaled(u0, d.skew[0]));
    d.scale[1] = length(v1);
    if (d.scale[1] == 0)
        return std::nullopt;
    Vector3 u1 = scaled(v1, 1 / d.scale[1]);
    d.skew[0] /= d.scale[1];
    d.skew[1] = dot(u0, r2);
    d.skew[2] = dot(u1, r2);
    Vector3 v2 = minus(minus(r2, scaled(u0, d.skew[1])), scaled(u1, d.skew[2]));
    d.scale[2] = length(v2);
    if (d.scale[2] == 0)
        return std::nullopt;
    Vector3 u2 = scaled(v2, 1 / d.scale[2]);
    d.skew[1] /= d.scale[2];
    d.skew[2] /= d.scale[2];
    if (dot(u0, cross(u1, u2)) < 0) {
        d.scale = scaled(d.scale, -1);
        u0 = scaled(u0, -1);
        u1 = scaled(u1, -1);
        u2 = scaled(u2, -1);
    }
    Matrix r = identity();
    setRow(r, 0, u0);
    setRow(r, 1, u1);
    setRow(r, 2, u2);
    d.rotation = quaternionFromRows(r);
    return d;
}

Matrix recompose(const Decomposition& d)
{
    Matrix r = rowsFromQuaternion(d.rotation);
    Vector3 u0 = row(r, 0), u1 = row(r, 1), u2 = row(r, 2);
    Matrix m = identity();
    setRow(m, 0, scaled(u0, d.scale[0]));
    setRow(m, 1, scaled(plus(u1, scaled(u0, d.skew[0])), d.scale[1]));
    setRow(m, 2, scaled(plus(plus(u2, scaled(u0, d.skew[1])), scaled(u1, d.skew[2])), d.scale[2]));
    setRow(m, 3, d.translation);
    return m;
}

}

CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz)
{
    CATransform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz)
{
    CATransform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z)
{
    return fromMatrix(rotation(angle, { x, y, z }));
}

CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b)
{
    return fromMatrix(multiply(toMatrix(a), toMatrix(b)));
}

CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz)
{
    return CATransform3DConcat(CATransform3DMakeTranslation(tx, ty, tz), t);
}

CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz)
{
    return CATransform3DConcat(CATransform3DMakeScale(sx, sy, sz), t);
}

CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z)
{
    return CATransform3DConcat(CATransform3DMakeRotation(angle, x, y, z), t);
}

CATransform3D CATransform3DInvert(const CATransform3D& t)
{
    // Gauss–Jordan with partial pivoting on [M | I].
    Matrix a = toMatrix(t);
    Matrix inverse = identity();
    for (size_t column = 0; column < 4; ++column) {
        size_t pivot = column;
        for (size_t r = column + 1; r < 4; ++r) {
            if (std::abs(a[r][column]) > std::abs(a[pivot][column]))
                pivot = r;
        }
        if (a[pivot][column] == 0 || !std::isfinite(a[pivot][column]))
            return t;
        std::swap(a[pivot], a[column]);
        std::swap(inverse[pivot], inverse[column]);
        double scale = 1 / a[column][column];
        for (size_t j = 0; j < 4; ++j) {
            a[column][j] *= scale;
            inverse[column][j] *= scale;
        }
        for (size_t r = 0; r < 4; ++r) {
            if (r == column || a[r][column] == 0)
                continue;
            double factor = a[r][column];
            for (size_t j = 0; j < 4; ++j) {
                a[r][j] -= factor * a[column][j];
                inverse[r][j] -= factor * inverse[column][j];
            }
        }
    }
    return fromMatrix(inverse);
}

bool CATransform3DIsAffine(const CATransform3D& t)
{
    return t.m13 == 0 && t.m14 == 0 && t.m23 == 0 && t.m24 == 0 && t.m31 == 0 && t.m32 == 0 && t.m33 == 1 && t.m34 == 0 && t.m43 == 0
        && t.m44 == 1;
}

CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t)
{
    return CGAffineTransformMake(t.m11, t.m12, t.m21, t.m22, t.m41, t.m42);
}

CATransform3D CATransform3DMakeAffineTransform(CGAffineTransform a)
{
    CATransform3D t;
    t.m11 = a.a;
    t.m12 = a.b;
    t.m21 = a.c;
    t.m22 = a.d;
    t.m41 = a.tx;
    t.m42 = a.ty;
    return t;
}

bool CATransform3DIsFinite(const CATransform3D& t)
{
    for (const auto& r : toMatrix(t)) {
        for (double value : r) {
            if (!std::isfinite(value))
                return false;
        }
    }
    return true;
}

std::optional<CGFloat> CATransform3DGetComponent(const CATransform3D& t, std::string_view name)
{
    auto value = component(toMatrix(t), name);
    if (!value)
        return std::nullopt;
    return static_cast<CGFloat>(*value);
}

bool CATransform3DSetComponent(CATransform3D& t, std::string_view name, CGFloat value)
{
    Matrix m = toMatrix(t);
    if (name == "scale.x" || name == "scale.y" || name == "scale.z") {
        setScale(m, static_cast<size_t>(name.back() - 'x'), value);
    } else if (name == "scale") {
        for (size_t i = 0; i < 3; ++i)
            setScale(m, i, value);
    } else if (name == "rotation.z" || name == "rotation") {
        m = postRotate(m, axisRotation('z', value - eulerAngles(m).z));
    } else if (name == "rotation.y") {
        // With R = Rx·Ry·Rz, changing y alone is R · Rz⁻¹ · Ry(Δ) · Rz.
        EulerAngles angles = eulerAngles(m);
        Matrix rz = axisRotation('z', angles.z);
        m = postRotate(m, multiply(multiply(transposed(rz), axisRotation('y', value - angles.y)), rz));
    } else if (name == "rotation.x") {
        EulerAngles angles = eulerAngles(m);
        Matrix ryz = multiply(axisRotation('y', angles.y), axisRotation('z', angles.z));
        m = postRotate(m, multiply(multiply(transposed(ryz), axisRotation('x', value - angles.x)), ryz));
    } else if (name == "translation.x" || name == "translation.y" || name == "translation.z") {
        m[3][static_cast<size_t>(name.back() - 'x')] = value;
    } else {
        return false;
    }
    t = fromMatrix(m);
    return true;
}

CATransform3D CATransform3DInterpolate(const CATransform3D& from, const CATransform3D& to, double fraction)
{
    Matrix a = toMatrix(from), b = toMatrix(to);
    auto da = decompose(a), db = decompose(b);
    if (!da || !db) {
        Matrix m {};
        for (size_t i = 0; i < 4; ++i) {
            for (size_t j = 0; j < 4; ++j)
                m[i][j] = a[i][j] + (b[i][j] - a[i][j]) * fraction;
        }
        return fromMatrix(m);
    }
    auto mix = [fraction](Vector3 p, Vector3 q) { return plus(p, scaled(minus(q, p), fraction)); };
    Decomposition d;
    d.translation = mix(da->translation, db->translation);
    d.scale = mix(da->scale, db->scale);
    d.skew = mix(da->skew, db->skew);
    d.rotation = slerp(da->rotation, db->rotation, fraction);
    return fromMatrix(recompose(d));
}
