#pragma once

#include "CoreGraphics/CGContext.h"
#include "UIKit/UIImage.h"

// UIKit drawing contexts: y grows downward from the top left, in points.
// Contexts are a per-thread stack, as on the platform.

// A scale of 0 (or one that is not a positive number) means the main screen's scale.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
[[nodiscard]] UIImageRef UIGraphicsGetImageFromCurrentImageContext();
// The pixel size an image context of that size in points gets at the scale: whole pixels,
// rounded up, but not for a rounding error past a whole number.
[[nodiscard]] CGSize UIGraphicsImageContextPixelSize(CGSize, CGFloat scale);
void UIGraphicsEndImageContext();

[[nodiscard]] CGContextRef UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(CGContextRef);
void UIGraphicsPopContext();
