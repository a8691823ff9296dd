#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// An immutable bitmap: 8 bits per component, RGB with premultiplied alpha,
// one native-endian 32-bit word per pixel with alpha in the top byte (Cairo's
// ARGB32), rows packed without padding.
class CGImage {
public:
    // Larger images are refused by every decoder and by create().
    static constexpr size_t maximumPixelCount = 100'000'000;

    // nullptr when a dimension is 0, the pixel count is over the limit, or the
    // buffer does not hold width × height pixels.
    [[nodiscard]] static std::shared_ptr<const CGImage> create(size_t width, size_t height, std::vector<std::uint32_t> premultipliedARGB);

    CGImage(size_t width, size_t height, std::vector<std::uint32_t> pixels);

    [[nodiscard]] size_t width() const { return m_width; }
    [[nodiscard]] size_t height() const { return m_height; }
    [[nodiscard]] static constexpr size_t bitsPerComponent() { return 8; }
    [[nodiscard]] static constexpr size_t bitsPerPixel() { return 32; }
    [[nodiscard]] size_t bytesPerRow() const { return m_width * 4; }
    [[nodiscard]] std::span<const std::uint32_t> pixels() const { return m_pixels; }
    [[nodiscard]] std::uint32_t pixelAt(size_t x, size_t y) const { return m_pixels[y * m_width + x]; }
    [[nodiscard]] bool isOpaque() const;

private:
    size_t m_width;
    size_t m_height;
    std::vector<std::uint32_t> m_pixels;
};

using CGImageRef = std::shared_ptr<const CGImage>;

[[nodiscard]] size_t CGImageGetWidth(const CGImageRef&);
[[nodiscard]] size_t CGImageGetHeight(const CGImageRef&);
// The part of the image inside rect (in pixels, rounded outward, clipped to the image); nullptr when nothing remains.
[[nodiscard]] CGImageRef CGImageCreateWithImageInRect(const CGImageRef&, CGRect rect);

// Straight (unpremultiplied) RGBA bytes and back, for codecs.
[[nodiscard]] std::vector<std::uint8_t> CGImageCopyStraightRGBA(const CGImage&);
[[nodiscard]] std::vector<std::uint32_t> CGPixelsFromStraightRGBA(std::span<const std::uint8_t> rgba);
