#pragma once

#include "CoreGraphics/CGContext.h"

#include <cairo.h>

// The Cairo side of a CGContext, for the frameworks that draw text and layers
// into one. The Cairo matrix maps user space to device pixels (y down).
[[nodiscard]] cairo_t* CGContextGetCairo(const CGContextRef&);

// A Cairo surface sharing the image's pixels for reading; nullptr when Cairo
// cannot make one (for instance a side over 32767 pixels).
[[nodiscard]] cairo_surface_t* CGImageCreateCairoSurface(const CGImageRef&);
