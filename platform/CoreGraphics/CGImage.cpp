#include "CoreGraphics/CGImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::shared_ptr<const CGImage> CGImage::create(size_t width, size_t height, std::vector<std::uint32_t> premultipliedARGB)
{
    if (!width || !height || width > maximumPixelCount / height || premultipliedARGB.size() != width * height)
        return nullptr;
    auto storage = std::make_shared<const std::vector<std::uint32_t>>(std::move(premultipliedARGB));
    return std::make_shared<const CGImage>(width, height, std::move(storage), 0, width);
}

CGImage::CGImage(size_t width, size_t height, std::shared_ptr<const std::vector<std::uint32_t>> storage, size_t offset, size_t rowLength)
    : m_width(width)
    , m_height(height)
    , m_storage(std::move(storage))
    , m_offset(offset)
    , m_rowLength(rowLength)
{
}

std::span<const std::uint32_t> CGImage::pixels() const
{
    if (!isPacked())
        return {};
    return { data(), m_width * m_height };
}

bool CGImage::isOpaque() const
{
    signed char known = m_opaque.load(std::memory_order_relaxed);
    if (known >= 0)
        return known != 0;
    bool opaque = true;
    for (size_t y = 0; y < m_height && opaque; ++y) {
        auto pixels = row(y);
        opaque = std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t pixel) { return (pixel >> 24) == 0xff; });
    }
    m_opaque.store(opaque ? 1 : 0, std::memory_order_relaxed);
    return opaque;
}

size_t CGImageGetWidth(const CGImageRef& image)
{
    return image ? image->width() : 0;
}

size_t CGImageGetHeight(const CGImageRef& image)
{
    return image ? image->height() : 0;
}

size_t CGImageGetBitsPerComponent(const CGImageRef& image)
{
    return image ? CGImage::bitsPerComponent() : 0;
}

size_t CGImageGetBitsPerPixel(const CGImageRef& image)
{
    return image ? CGImage::bitsPerPixel() : 0;
}

size_t CGImageGetBytesPerRow(const CGImageRef& image)
{
    return image ? image->bytesPerRow() : 0;
}

CGBitmapInfo CGImageGetBitmapInfo(const CGImageRef& image)
{
    return image ? kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little : 0;
}

CGColorSpaceRef CGImageGetColorSpace(const CGImageRef& image)
{
    return image ? CGColorSpaceCreateDeviceRGB() : nullptr;
}

CGImageAlphaInfo CGImageGetAlphaInfo(const CGImageRef& image)
{
    return image ? kCGImageAlphaPremultipliedFirst : kCGImageAlphaNone;
}

CGImageRef CGImageCreateWithImageInRect(const CGImageRef& image, CGRect rect)
{
    // NaN survives the rounding and clipping below, and has no pixel position.
    if (!image || std::isnan(rect.origin.x) || std::isnan(rect.origin.y) || std::isnan(rect.size.width) || std::isnan(rect.size.height))
        return nullptr;
    CGRect bounds = CGRectMake(0, 0, static_cast<CGFloat>(image->width()), static_cast<CGFloat>(image->height()));
    CGRect cut = CGRectIntersection(CGRectIntegral(rect), bounds);
    if (CGRectIsEmpty(cut))
        return nullptr;
    auto left = static_cast<size_t>(cut.origin.x);
    auto top = static_cast<size_t>(cut.origin.y);
    auto width = std::min(static_cast<size_t>(cut.size.width), image->width() - left);
    auto height = std::min(static_cast<size_t>(cut.size.height), image->height() - top);
    return std::make_shared<const CGImage>(width, height, image->m_storage, image->m_offset + top * image->m_rowLength + left, image->m_rowLength);
}

std::vector<std::uint8_t> CGImageCopyStraightRGBA(const CGImage& image)
{
    std::vector<std::uint8_t> rgba(image.width() * image.height() * 4);
    size_t at = 0;
    for (size_t y = 0; y < image.height(); ++y) {
        for (std::uint32_t pixel : image.row(y)) {
            unsigned alpha = pixel >> 24;
            auto unpremultiply = [alpha](unsigned component) -> std::uint8_t {
                return alpha ? static_cast<std::uint8_t>(std::min(255u, (component * 255 + alpha / 2) / alpha)) : 0;
            };
            rgba[at++] = unpremultiply((pixel >> 16) & 0xff);
            rgba[at++] = unpremultiply((pixel >> 8) & 0xff);
            rgba[at++] = unpremultiply(pixel & 0xff);
            rgba[at++] = static_cast<std::uint8_t>(alpha);
        }
    }
    return rgba;
}

void CGPremultiplyStraightRGBAInPlace(std::span<std::uint32_t> pixels)
{
    for (std::uint32_t& pixel : pixels) {
        std::uint8_t rgba[4];
        std::memcpy(rgba, &pixel, 4);
        unsigned alpha = rgba[3];
        if (alpha == 255) {
            pixel = 0xff000000u | (unsigned { rgba[0] } << 16) | (unsigned { rgba[1] } << 8) | rgba[2];
            continue;
        }
        auto premultiply = [alpha](unsigned component) { return (component * alpha + 127) / 255; };
        pixel = (alpha << 24) | (premultiply(rgba[0]) << 16) | (premultiply(rgba[1]) << 8) | premultiply(rgba[2]);
    }
}

std::vector<std::uint32_t> CGPixelsFromStraightRGBA(std::span<const std::uint8_t> rgba)
{
    std::vector<std::uint32_t> pixels(rgba.size() / 4);
    std::memcpy(pixels.data(), rgba.data(), pixels.size() * 4);
    CGPremultiplyStraightRGBAInPlace(pixels);
    return pixels;
}
