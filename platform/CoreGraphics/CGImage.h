#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGGeometry.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// An immutable bitmap: 8 bits per component, RGB with premultiplied alpha,
// one native-endian 32-bit word per pixel with alpha in the top byte (Cairo's
// ARGB32). An image cut out of another shares its pixels: rows are then spaced
// by the whole image's width (rowLength), not by their own.
class CGImage {
public:
    // Larger images are refused by every decoder and by create().
    static constexpr size_t maximumPixelCount = 100'000'000;

    // nullptr when a dimension is 0, the pixel count is over the limit, or the
    // buffer does not hold width × height pixels.
    [[nodiscard]] static std::shared_ptr<const CGImage> create(size_t width, size_t height, std::vector<std::uint32_t> premultipliedARGB);

    CGImage(size_t width, size_t height, std::shared_ptr<const std::vector<std::uint32_t>> storage, size_t offset, size_t rowLength);

    [[nodiscard]] size_t width() const { return m_width; }
    [[nodiscard]] size_t height() const { return m_height; }
    [[nodiscard]] static constexpr size_t bitsPerComponent() { return 8; }
    [[nodiscard]] static constexpr size_t bitsPerPixel() { return 32; }
    [[nodiscard]] size_t bytesPerRow() const { return m_rowLength * 4; }
    // Pixels from one row to the next (the width, unless the image shares a larger one's pixels).
    [[nodiscard]] size_t rowLength() const { return m_rowLength; }
    [[nodiscard]] std::span<const std::uint32_t> row(size_t y) const { return { m_storage->data() + m_offset + y * m_rowLength, m_width }; }
    // The first pixel; rows follow bytesPerRow() apart.
    [[nodiscard]] const std::uint32_t* data() const { return m_storage->data() + m_offset; }
    // All pixels as one span, for an image whose rows are packed (isPacked()); empty otherwise.
    [[nodiscard]] std::span<const std::uint32_t> pixels() const;
    [[nodiscard]] bool isPacked() const { return m_rowLength == m_width; }
    [[nodiscard]] std::uint32_t pixelAt(size_t x, size_t y) const { return row(y)[x]; }
    // Every pixel's alpha is 255; found once, then remembered.
    [[nodiscard]] bool isOpaque() const;
    // Whether the two share their pixels (one was cut out of the other, or both of a third).
    [[nodiscard]] bool sharesPixelsWith(const CGImage& other) const { return m_storage == other.m_storage; }

private:
    friend std::shared_ptr<const CGImage> CGImageCreateWithImageInRect(const std::shared_ptr<const CGImage>&, CGRect);

    size_t m_width;
    size_t m_height;
    std::shared_ptr<const std::vector<std::uint32_t>> m_storage;
    size_t m_offset;
    size_t m_rowLength;
    // -1 not yet known, else whether the image is opaque.
    mutable std::atomic<signed char> m_opaque { -1 };
};

using CGImageRef = std::shared_ptr<const CGImage>;

// How a bitmap's pixels are laid out, as the platform names it: the alpha information in the
// low bits, the byte order above.
enum CGImageAlphaInfo : std::uint32_t {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGImageAlphaOnly = 7,
};
using CGBitmapInfo = std::uint32_t;
inline constexpr CGBitmapInfo kCGBitmapAlphaInfoMask = 0x1F;
inline constexpr CGBitmapInfo kCGBitmapFloatComponents = 1 << 8;
inline constexpr CGBitmapInfo kCGBitmapByteOrderMask = 0x7000;
inline constexpr CGBitmapInfo kCGBitmapByteOrderDefault = 0;
inline constexpr CGBitmapInfo kCGBitmapByteOrder16Little = 1 << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder32Little = 2 << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder16Big = 3 << 12;
inline constexpr CGBitmapInfo kCGBitmapByteOrder32Big = 4 << 12;

[[nodiscard]] size_t CGImageGetWidth(const CGImageRef&);
[[nodiscard]] size_t CGImageGetHeight(const CGImageRef&);
// Every image here is 8 bits per component, device RGB, premultiplied alpha first in a
// little-endian 32-bit word; 0 and nil for no image.
[[nodiscard]] size_t CGImageGetBitsPerComponent(const CGImageRef&);
[[nodiscard]] size_t CGImageGetBitsPerPixel(const CGImageRef&);
[[nodiscard]] size_t CGImageGetBytesPerRow(const CGImageRef&);
[[nodiscard]] CGBitmapInfo CGImageGetBitmapInfo(const CGImageRef&);
[[nodiscard]] CGImageAlphaInfo CGImageGetAlphaInfo(const CGImageRef&);
[[nodiscard]] CGColorSpaceRef CGImageGetColorSpace(const CGImageRef&);
// The part of the image inside rect (in pixels, rounded outward, clipped to the image), sharing
// its pixels; nullptr when nothing remains.
[[nodiscard]] CGImageRef CGImageCreateWithImageInRect(const CGImageRef&, CGRect rect);

// Straight (unpremultiplied) RGBA bytes and back, for codecs.
[[nodiscard]] std::vector<std::uint8_t> CGImageCopyStraightRGBA(const CGImage&);
[[nodiscard]] std::vector<std::uint32_t> CGPixelsFromStraightRGBA(std::span<const std::uint8_t> rgba);
// The same where a decoder wrote the RGBA bytes into the pixel buffer itself.
void CGPremultiplyStraightRGBAInPlace(std::span<std::uint32_t> pixels);
