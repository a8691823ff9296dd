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
// that draw one, the gradient or the shape. The model classes only hold values.
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
    static void paintGradient(const CAGradientLayer&, cairo_t*);
    static void paintShape(const CAShapeLayer&, cairo_t*);
};
