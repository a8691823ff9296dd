#pragma once

#include <cstdint>

// How a picture's stored pixels are to be turned for display, valued as the EXIF
// Orientation tag: which side of the display the stored first row and first column lie on.
enum CGImagePropertyOrientation : std::uint32_t {
    kCGImagePropertyOrientationUp = 1,            // row 0 at the top, column 0 at the left
    kCGImagePropertyOrientationUpMirrored = 2,    // row 0 at the top, column 0 at the right
    kCGImagePropertyOrientationDown = 3,          // row 0 at the bottom, column 0 at the right
    kCGImagePropertyOrientationDownMirrored = 4,  // row 0 at the bottom, column 0 at the left
    kCGImagePropertyOrientationLeftMirrored = 5,  // row 0 at the left, column 0 at the top
    kCGImagePropertyOrientationRight = 6,         // row 0 at the right, column 0 at the top
    kCGImagePropertyOrientationRightMirrored = 7, // row 0 at the right, column 0 at the bottom
    kCGImagePropertyOrientationLeft = 8,          // row 0 at the left, column 0 at the bottom
};
