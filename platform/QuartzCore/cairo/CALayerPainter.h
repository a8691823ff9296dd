#pragma once

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

private:
    static void paintContentsImage(const CALayer&, cairo_t*);
    static void paintGradient(const CAGradientLayer&, cairo_t*);
    static void paintShape(const CAShapeLayer&, cairo_t*);
};
