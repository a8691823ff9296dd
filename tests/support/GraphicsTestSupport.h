#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGImage.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

inline void PrintTo(const CGPoint& p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const CGSize& s, std::ostream* out) { *out << s.width << " x " << s.height; }
inline void PrintTo(const CGRect& r, std::ostream* out)
{
    *out << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height << ")";
}

namespace TestSupport {

inline ::testing::AssertionResult rectNear(CGRect actual, CGRect expected, double tolerance = 1e-3)
{
    auto near = [&](double a, double b) { return std::abs(a - b) <= tolerance || (std::isinf(a) && a == b); };
    if (near(actual.origin.x, expected.origin.x) && near(actual.origin.y, expected.origin.y) && near(actual.size.width, expected.size.width)
        && near(actual.size.height, expected.size.height))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected " << ::testing::PrintToString(expected);
}

// One pixel's premultiplied components, 0..255.
struct Pixel {
    int red = 0, green = 0, blue = 0, alpha = 0;
    bool operator==(const Pixel&) const = default;
};
inline void PrintTo(const Pixel& p, std::ostream* out) { *out << "rgba(" << p.red << ", " << p.green << ", " << p.blue << ", " << p.alpha << ")"; }

inline constexpr Pixel opaqueRed { 255, 0, 0, 255 }, opaqueGreen { 0, 255, 0, 255 }, opaqueBlue { 0, 0, 255, 255 },
    opaqueWhite { 255, 255, 255, 255 }, opaqueBlack { 0, 0, 0, 255 }, transparent {};

// Both pictures there, of one size, with every stored pixel equal.
inline bool samePixels(const CGImageRef& a, const CGImageRef& b)
{
    if (!a || !b || a->width() != b->width() || a->height() != b->height())
        return false;
    for (size_t y = 0; y < a->height(); ++y) {
        auto rowA = a->row(y), rowB = b->row(y);
        if (!std::equal(rowA.begin(), rowA.end(), rowB.begin()))
            return false;
    }
    return true;
}

inline Pixel pixelAt(const CGImage& image, size_t x, size_t y)
{
    std::uint32_t word = image.pixelAt(x, y);
    return { int((word >> 16) & 0xff), int((word >> 8) & 0xff), int(word & 0xff), int(word >> 24) };
}

inline ::testing::AssertionResult pixelNear(Pixel actual, Pixel expected, int tolerance = 1)
{
    if (std::abs(actual.red - expected.red) <= tolerance && std::abs(actual.green - expected.green) <= tolerance
        && std::abs(actual.blue - expected.blue) <= tolerance && std::abs(actual.alpha - expected.alpha) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected " << ::testing::PrintToString(expected);
}

// The image as letters, rows from the top joined by '/': R G B W K for the opaque
// primaries, white and black, '.' for transparent, '?' for anything else.
inline std::string letters(const CGImage& image)
{
    std::string text;
    for (size_t y = 0; y < image.height(); ++y) {
        text += y ? "/" : "";
        for (size_t x = 0; x < image.width(); ++x) {
            Pixel p = pixelAt(image, x, y);
            text += p == opaqueRed ? 'R' : p == opaqueGreen ? 'G' : p == opaqueBlue ? 'B' : p == opaqueWhite ? 'W' : p == opaqueBlack ? 'K'
                : p.alpha ? '?' : '.';
        }
    }
    return text;
}

// An image from rows of pixels, top row first.
inline CGImageRef imageFromRows(const std::vector<std::vector<Pixel>>& rows)
{
    std::vector<std::uint32_t> pixels;
    for (auto& row : rows) {
        for (auto& p : row)
            pixels.push_back(std::uint32_t(p.alpha) << 24 | std::uint32_t(p.red) << 16 | std::uint32_t(p.green) << 8 | std::uint32_t(p.blue));
    }
    return CGImage::create(rows.empty() ? 0 : rows.front().size(), rows.size(), std::move(pixels));
}

}
