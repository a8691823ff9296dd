#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGImage.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Printers, so that failures show geometry instead of raw bytes.
inline void PrintTo(const CGPoint& point, std::ostream* out)
{
    *out << "(" << point.x << ", " << point.y << ")";
}
inline void PrintTo(const CGSize& size, std::ostream* out)
{
    *out << size.width << " x " << size.height;
}
inline void PrintTo(const CGRect& rect, std::ostream* out)
{
    *out << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", " << rect.size.height << ")";
}
inline void PrintTo(const CGAffineTransform& t, std::ostream* out)
{
    *out << "[" << t.a << ", " << t.b << ", " << t.c << ", " << t.d << ", " << t.tx << ", " << t.ty << "]";
}

namespace TestSupport {

inline ::testing::AssertionResult rectNear(CGRect actual, CGRect expected, double tolerance = 1e-4)
{
    const double pairs[4][2] = { { actual.origin.x, expected.origin.x }, { actual.origin.y, expected.origin.y },
        { actual.size.width, expected.size.width }, { actual.size.height, expected.size.height } };
    for (auto& pair : pairs) {
        if (!(std::abs(pair[0] - pair[1]) <= tolerance)) {
            return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected "
                                                 << ::testing::PrintToString(expected);
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult pointNear(CGPoint actual, CGPoint expected, double tolerance = 1e-4)
{
    if (std::abs(actual.x - expected.x) <= tolerance && std::abs(actual.y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected " << ::testing::PrintToString(expected);
}

// One pixel's premultiplied components, 0..255.
struct Pixel {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    bool operator==(const Pixel&) const = default;
};

inline void PrintTo(const Pixel& pixel, std::ostream* out)
{
    *out << "rgba(" << pixel.red << ", " << pixel.green << ", " << pixel.blue << ", " << pixel.alpha << ")";
}

inline Pixel pixelAt(const CGImage& image, size_t x, size_t y)
{
    std::uint32_t word = image.pixelAt(x, y);
    return { static_cast<int>((word >> 16) & 0xff), static_cast<int>((word >> 8) & 0xff), static_cast<int>(word & 0xff),
        static_cast<int>(word >> 24) };
}

inline std::uint32_t packedPixel(Pixel pixel)
{
    return (static_cast<std::uint32_t>(pixel.alpha) << 24) | (static_cast<std::uint32_t>(pixel.red) << 16)
        | (static_cast<std::uint32_t>(pixel.green) << 8) | static_cast<std::uint32_t>(pixel.blue);
}

// Within tolerance on every component.
inline ::testing::AssertionResult pixelNear(Pixel actual, Pixel expected, int tolerance = 1)
{
    if (std::abs(actual.red - expected.red) <= tolerance && std::abs(actual.green - expected.green) <= tolerance
        && std::abs(actual.blue - expected.blue) <= tolerance && std::abs(actual.alpha - expected.alpha) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(actual) << ", expected " << ::testing::PrintToString(expected);
}

// An image from rows of opaque or premultiplied pixels, top row first.
inline CGImageRef imageFromRows(const std::vector<std::vector<Pixel>>& rows)
{
    std::vector<std::uint32_t> pixels;
    for (auto& row : rows) {
        for (auto& pixel : row)
            pixels.push_back(packedPixel(pixel));
    }
    return CGImage::create(rows.empty() ? 0 : rows.front().size(), rows.size(), std::move(pixels));
}

inline constexpr Pixel opaqueRed { 255, 0, 0, 255 };
inline constexpr Pixel opaqueGreen { 0, 255, 0, 255 };
inline constexpr Pixel opaqueBlue { 0, 0, 255, 255 };
inline constexpr Pixel opaqueWhite { 255, 255, 255, 255 };
inline constexpr Pixel opaqueBlack { 0, 0, 0, 255 };
inline constexpr Pixel transparent { 0, 0, 0, 0 };

}
