#include "UIKit/UIGraphics.h"

#include "UIKit/UIScreen.h"

#include <cmath>
#include <vector>

namespace {

struct ImageContext {
    CGContextRef context;
    CGFloat scale;
    bool isImageContext;
};

std::vector<ImageContext>& contextStack()
{
    thread_local std::vector<ImageContext> stack;
    return stack;
}

}

CGSize UIGraphicsImageContextPixelSize(CGSize size, CGFloat scale)
{
    // A turned rectangle's bounding box lands a rounding error past a whole number: that does not gain a pixel.
    auto pixels = [scale](CGFloat points) { return static_cast<CGFloat>(std::ceil(static_cast<double>(points) * scale - 1e-3)); };
    return CGSizeMake(pixels(size.width), pixels(size.height));
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale)
{
    if (scale <= 0 || !std::isfinite(scale))
        scale = UIScreen::mainScreen()->scale();
    CGSize pixels = UIGraphicsImageContextPixelSize(size, scale);
    double width = pixels.width;
    double height = pixels.height;
    CGContextRef context;
    if (width >= 1 && height >= 1 && width <= 32767 && height <= 32767)
        context = CGBitmapContextCreate(static_cast<size_t>(width), static_cast<size_t>(height));
    if (context) {
        CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
        CGContextScaleCTM(context, scale, -scale);
        // Shadow offsets and blurs are in points, as they are for the screen.
        CGContextSetBaseScale(context, scale);
        if (opaque) {
            CGContextSetFillColorWithColor(context, CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0, 1 }));
            CGContextFillRect(context, CGRectMake(0, 0, size.width, size.height));
        }
    }
    // An impossible size still pushes an entry, so begin and end stay paired.
    contextStack().push_back({ context, scale, true });
}

UIImageRef UIGraphicsGetImageFromCurrentImageContext()
{
    if (contextStack().empty() || !contextStack().back().isImageContext || !contextStack().back().context)
        return nullptr;
    auto& top = contextStack().back();
    return UIImage::imageWithCGImage(CGBitmapContextCreateImage(top.context), top.scale, UIImageOrientationUp);
}

void UIGraphicsEndImageContext()
{
    if (!contextStack().empty() && contextStack().back().isImageContext)
        contextStack().pop_back();
}

CGContextRef UIGraphicsGetCurrentContext()
{
    return contextStack().empty() ? nullptr : contextStack().back().context;
}

void UIGraphicsPushContext(CGContextRef context)
{
    contextStack().push_back({ std::move(context), 1, false });
}

void UIGraphicsPopContext()
{
    if (!contextStack().empty() && !contextStack().back().isImageContext)
        contextStack().pop_back();
}
