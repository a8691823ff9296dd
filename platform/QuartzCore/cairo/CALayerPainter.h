#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGImage.h"

#include <cairo.h>

class CALayer;
class CAGradientLayer;
class CAShapeLayer;

// What the compositor draws of a layer between its background and its sublayers,
// in the layer's bounds coordinates: the contents image under the gravity (new
// contents dissolving over the old while that runs), then, for the layer classes
// that draw one, the gradient or the shape. The model classes only hold values,
// but for the pixels a gradient layer's gradient was last drawn into, which are
// kept with the layer and drawn again only when something they depend on changes.
class CALayerPainter {
public:
    static void paintContents(const CALayer&, cairo_t*);
    // Where the contents image goes under the layer's gravity, in its bounds coordinates.
    [[nodiscard]] static CGRect contentsRect(const CALayer&, const CGImage&);
    // A rectangle holding everything the layer paints itself (background, contents, gradient,
    // shape with its stroke, border), in its bounds coordinates, not clipped.
    [[nodiscard]] static CGRect drawnExtent(const CALayer&);

private:
    static void paintContentsImage(const CALayer&, cairo_t*);
    // Whether the image, about to be painted through the current matrix and clip, can be
    // copied (CAIRO_OPERATOR_SOURCE) for the very pixels compositing it would give.
    static bool copiesPixels(cairo_t*, const CGImage&);
    static void paintGradient(const CAGradientLayer&, cairo_t*);
    // The gradient from the pixels the layer keeps (drawn again when it changed); false, drawing
    // nothing, where those would not be the very pixels of a fill.
    static bool paintDrawnGradient(const CAGradientLayer&, cairo_t*);
    static void fillGradient(const CAGradientLayer&, cairo_t*);
    static void paintShape(const CAShapeLayer&, cairo_t*);
};
