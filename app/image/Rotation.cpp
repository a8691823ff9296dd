#include "app/image/Rotation.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/UIView.h"

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

UIImageRef imageRotatedByDegrees(const UIImageRef& image, float degrees)
{
    if (!image || !image->CGImage())
        return nullptr;
    CGSize size = image->size();
    // The bounding box of the turned picture, as a view turned by the angle reports its frame.
    auto box = UIView::initWithFrame(CGRectMake(0, 0, size.width, size.height));
    box->setTransform(CGAffineTransformMakeRotation(DegreesToRadians(degrees)));
    CGSize rotatedSize = box->frame().size;
    box.reset();

    UIGraphicsBeginImageContextWithOptions(rotatedSize, false, 1.0);
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (context) {
        CGContextTranslateCTM(context, rotatedSize.width / 2, rotatedSize.height / 2);
        CGContextRotateCTM(context, DegreesToRadians(degrees));
        // The bitmap's rows run bottom-up: the flip brings it upright in this top-down context.
        CGContextScaleCTM(context, 1.0, -1.0);
        CGContextDrawImage(context, CGRectMake(-size.width / 2, -size.height / 2, size.width, size.height), image->CGImage());
    }
    UIImageRef rotated = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return rotated;
}

UIImageRef imageRotatedByRadians(const UIImageRef& image, float radians)
{
    return imageRotatedByDegrees(image, RadiansToDegrees(radians));
}

}
