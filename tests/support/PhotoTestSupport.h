#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/CGImagePropertyOrientation.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace PhotoTestSupport {

// 'R', 'G' or 'B' for an opaque pixel within tolerance of that primary in every channel, '?' otherwise.
inline char primaryLetter(std::uint32_t pixel, int tolerance)
{
    constexpr std::array<std::pair<char, std::uint32_t>, 3> primaries { { { 'R', 0xffff0000 }, { 'G', 0xff00ff00 }, { 'B', 0xff0000ff } } };
    for (auto [letter, primary] : primaries) {
        bool near = true;
        for (int shift = 0; shift < 32; shift += 8)
            near = near && std::abs(int((pixel >> shift) & 0xff) - int((primary >> shift) & 0xff)) <= tolerance;
        if (near)
            return letter;
    }
    return '?';
}

// The colours at the four corners, inset from each side: top left, top right, bottom left, bottom right.
inline std::string cornerLetters(const CGImage& image, size_t inset, int tolerance)
{
    const size_t right = image.width() - 1 - inset, bottom = image.height() - 1 - inset;
    return { primaryLetter(image.pixelAt(inset, inset), tolerance), primaryLetter(image.pixelAt(right, inset), tolerance),
        primaryLetter(image.pixelAt(inset, bottom), tolerance), primaryLetter(image.pixelAt(right, bottom), tolerance) };
}

// Where PhotoSamples::cornerPicture's red (stored top left) and green (stored top right)
// squares show once each EXIF orientation is applied, as cornerLetters reads them.
struct OrientedCorners {
    CGImagePropertyOrientation orientation;
    const char* corners;
    bool sidesSwap;
};
inline constexpr std::array<OrientedCorners, 8> orientedCorners { {
    { kCGImagePropertyOrientationUp, "RGBB", false },
    { kCGImagePropertyOrientationUpMirrored, "GRBB", false },
    { kCGImagePropertyOrientationDown, "BBGR", false },
    { kCGImagePropertyOrientationDownMirrored, "BBRG", false },
    { kCGImagePropertyOrientationLeftMirrored, "RBGB", true },
    { kCGImagePropertyOrientationRight, "BRBG", true },
    { kCGImagePropertyOrientationRightMirrored, "BGBR", true },
    { kCGImagePropertyOrientationLeft, "GBRB", true },
} };

}
