#include "app/image/Rotation.h"

#include "CoreGraphics/CGContext.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIView.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double pi = 3.141592653589793;

}

float DegreesToRadians(float degrees)
{
    // Multiplied first, then divided, in double precision, as the category writes it.
    return static_cast<float>(static_cast<double>(degrees) * pi / 180.0);
}

float RadiansToDegrees(float radians)
{
    return static_cast<float>(static_cast<double>(radians * 180.0f) / pi);
}

namespace Rotation {

namespace {

// The bounding box of the turned picture, as a view turned by the angle reports its frame.
CGSize turnedSize(const UIImage& image, float degrees)
{
    CGSize size = image.size();
    auto box = UIView::initWithFrame(CGRectMake(0, 0, size.width, size.height));
    box->setTransform(CGAffineTransformMakeRotation(DegreesToRadians(degrees)));
    return box->frame().size;
}

// Draws the picture turned about the centre of a box of that size, into a top-down context
// whose user space is the box's.
void drawTurned(const CGContextRef& context, const UIImage& image, float degrees, CGSize box)
{
    CGSize size = image.size();
    CGContextTranslateCTM(context, box.width / 2, box.height / 2);
    CGContextRotateCTM(context, DegreesToRadians(degrees));
    // The bitmap's rows run bottom-up: the flip brings it upright in this top-down context.
    CGContextScaleCTM(context, 1.0, -1.0);
    CGContextDrawImage(context, CGRectMake(-size.width / 2, -size.height / 2, size.width, size.height), image.CGImage());
}

// The turned picture is drawn in square tiles of a fixed grid, each into a tile-sized
// bitmap whose origin is the tile's. A pixel thus comes out the same whichever part of the
// turned picture is asked for: Cairo's sampling depends on where the device origin lies,
// and here it always lies at the pixel's own tile.
constexpr size_t tileSide = 512;

// The pixels of the part (whole pixels inside the turned picture's grid) of the picture
// turned about the centre of a box of that size.
UIImageRef drawTurnedPart(const UIImage& image, float degrees, CGSize box, CGRect part)
{
    auto width = static_cast<size_t>(part.size.width);
    auto height = static_cast<size_t>(part.size.height);
    auto left = static_cast<size_t>(part.origin.x);
    auto top = static_cast<size_t>(part.origin.y);
    if (!width || !height || width > CGImage::maximumPixelCount / height)
        return nullptr;
    CGContextRef tile = CGBitmapContextCreate(tileSide, tileSide);
    if (!tile)
        return nullptr;
    std::vector<std::uint32_t> pixels(width * height);
    for (size_t tileTop = top / tileSide * tileSide; tileTop < top + height; tileTop += tileSide) {
        for (size_t tileLeft = left / tileSide * tileSide; tileLeft < left + width; tileLeft += tileSide) {
            CGContextClearRect(tile, CGRectMake(0, 0, tileSide, tileSide));
            CGContextSaveGState(tile);
            // Top-down, as an image context is, with the tile's origin at the device's.
            CGContextTranslateCTM(tile, 0, static_cast<CGFloat>(tileSide));
            CGContextScaleCTM(tile, 1, -1);
            CGContextTranslateCTM(tile, -static_cast<CGFloat>(tileLeft), -static_cast<CGFloat>(tileTop));
            drawTurned(tile, image, degrees, box);
            CGContextRestoreGState(tile);
            CGImageRef drawn = CGBitmapContextCreateImage(tile);
            if (!drawn)
                return nullptr;
            size_t fromX = std::max(left, tileLeft), toX = std::min(left + width, tileLeft + tileSide);
            size_t fromY = std::max(top, tileTop), toY = std::min(top + height, tileTop + tileSide);
            for (size_t y = fromY; y < toY; ++y) {
                auto row = drawn->row(y - tileTop).subspan(fromX - tileLeft, toX - fromX);
                std::copy(row.begin(), row.end(), pixels.begin() + static_cast<std::ptrdiff_t>((y - top) * width + (fromX - left)));
            }
        }
    }
    return UIImage::imageWithCGImage(CGImage::create(width, height, std::move(pixels)), 1, UIImageOrientationUp);
}

// The turned picture's pixel grid, as an image context of the box's size would round it.
CGRect turnedGrid(CGSize box)
{
    CGSize pixels = UIGraphicsImageContextPixelSize(box, 1);
    return CGRectMake(0, 0, pixels.width, pixels.height);
}

}

UIImageRef imageRotatedByDegrees(const UIImageRef& image, float degrees)
{
    if (!image || !image->CGImage())
        return nullptr;
    CGSize box = turnedSize(*image, degrees);
    return drawTurnedPart(*image, degrees, box, turnedGrid(box));
}

UIImageRef partOfImageRotatedByRadians(const UIImageRef& image, float radians, CGRect rect)
{
    if (!image || !image->CGImage() || std::isnan(rect.origin.x) || std::isnan(rect.origin.y) || std::isnan(rect.size.width)
        || std::isnan(rect.size.height))
        return nullptr;
    float degrees = RadiansToDegrees(radians);
    CGSize box = turnedSize(*image, degrees);
    CGRect part = CGRectIntersection(CGRectIntegral(rect), turnedGrid(box));
    if (CGRectIsNull(part) || CGRectIsEmpty(part))
        return nullptr;
    return drawTurnedPart(*image, degrees, box, part);
}

UIImageRef imageRotatedByRadians(const UIImageRef& image, float radians)
{
    return imageRotatedByDegrees(image, RadiansToDegrees(radians));
}

}
