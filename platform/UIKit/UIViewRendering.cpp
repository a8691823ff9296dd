#include "UIKit/UIViewRendering.h"

#include "UIKit/UIGraphics.h"

UIImageRef renderViewToImage(UIView& view, CGFloat scale)
{
    CGRect bounds = view.bounds();
    UIGraphicsBeginImageContextWithOptions(bounds.size, false, scale);
    if (CGContextRef context = UIGraphicsGetCurrentContext()) {
        CGContextTranslateCTM(context, -bounds.origin.x, -bounds.origin.y);
        view.renderInContext(context);
    }
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
