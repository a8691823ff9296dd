#include "host/Snapshot.h"

#include "Foundation/AtomicFile.h"
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

bool writeViewSnapshot(UIView& view, CGFloat scale, const std::filesystem::path& file)
{
    auto png = UIImagePNGRepresentation(renderViewToImage(view, scale));
    return !png.empty() && Foundation::writeFileAtomically(file, png);
}
