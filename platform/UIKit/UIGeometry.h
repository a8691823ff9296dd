#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "Foundation/NSString.h"

// The platform's text forms: "{320, 216}", "{{0, 0}, {320, 216}}". Numbers are
// written in their shortest form that reads back as the same CGFloat.
[[nodiscard]] NSString NSStringFromCGPoint(CGPoint);
[[nodiscard]] NSString NSStringFromCGSize(CGSize);
[[nodiscard]] NSString NSStringFromCGRect(CGRect);
[[nodiscard]] NSString NSStringFromCGAffineTransform(CGAffineTransform);
