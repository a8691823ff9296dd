#pragma once

#include "CoreGraphics/CGContext.h"

#include <cairo.h>
#include <functional>
#include <optional>

// The Cairo side of a CGContext, for the frameworks that draw text and layers
// into one. The Cairo matrix maps user space to device pixels (y down).
[[nodiscard]] cairo_t* CGContextGetCairo(const CGContextRef&);

// Runs paint, which paints with Cairo's source (text, for instance), as the context paints
// its fills: in the fill colour at the context's alpha, under its blend mode, clip and
// shadow. Cairo's graphics state is restored afterwards.
void CGContextFillWithCairo(const CGContextRef&, const std::function<void(cairo_t*)>& paint);

// Device pixels per point of the context a Cairo context belongs to (its base
// scale); 1 for a Cairo context no CGContext made.
[[nodiscard]] double CGCairoPixelsPerPoint(cairo_t*);

// Makes a pattern colour the source: its image tiles upright from the device
// origin, or from patternOrigin (user space) when given, at the pattern's own
// pixels per point. False, leaving the source alone, for any other colour or an
// image Cairo cannot hold.
bool CGCairoSetPatternSource(cairo_t*, const CGColorRef&, const std::optional<CGPoint>& patternOrigin = std::nullopt);

// A Cairo surface sharing the image's pixels for reading; nullptr when Cairo
// cannot make one (for instance a side over 32767 pixels).
[[nodiscard]] cairo_surface_t* CGImageCreateCairoSurface(const CGImageRef&);
