#pragma once

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGPath.h"

#include <cairo.h>

// Cairo helpers the compositor and the layer classes share.
namespace CairoLayerDrawing {

// The corner radius the platform draws: not below 0 and not past half the shorter side.
[[nodiscard]] double effectiveCornerRadius(CGFloat radius, CGRect rect);
// Whether every point of the user-space rectangle lands within that range on the device.
[[nodiscard]] bool isWithinDeviceRange(cairo_t*, CGRect);
// Adds a rectangle with quarter-circle corners of the radius (0: square corners).
// Cairo keeps device coordinates in fixed point (about ±8 million pixels) and flattens
// arcs into pieces of a fraction of a pixel, so a rectangle reaching past a few million
// pixels would overflow, or take forever to round: such a rectangle is cut down to what
// the clip can show (plus the margin, for a stroke) and loses its rounding.
void addRoundedRect(cairo_t*, CGRect, double radius, double margin = 0);
// Adds the path's elements; false (and nothing added) when a point is not finite.
bool addPath(cairo_t*, const CGPath&);
// nil is transparent. A pattern colour tiles its image one image pixel to a device pixel,
// from the device point where patternOrigin (user space) lands; its alpha is left to the caller.
void setSourceColor(cairo_t*, const CGColorRef&, CGPoint patternOrigin = {});
// Fills and clears the current path with the colour, a pattern colour's alpha included.
void fillPath(cairo_t*, const CGColorRef&, CGPoint patternOrigin = {}, cairo_fill_rule_t = CAIRO_FILL_RULE_WINDING);
// Applies the transform unless the resulting device matrix would be singular or not finite
// (Cairo would put the whole context in an error state); answers whether it did.
bool transformIfInvertible(cairo_t*, const cairo_matrix_t&);

}
