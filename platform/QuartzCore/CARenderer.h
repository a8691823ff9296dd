#pragma once

#include "CoreGraphics/CGContext.h"

#include <cairo.h>
#include <memory>
#include <vector>

class CALayer;

// Which values a layer tree is drawn with: what code set (the platform's
// renderInContext) or what the screen shows at the animation clock's time.
enum class CALayerTree : unsigned char {
    Model,
    Presentation,
};

// The compositor. Draws a layer and its sublayers into a UIKit (y-down)
// context whose user space is the layer's own bounds coordinates; the layer's
// own position and transform are not applied. Each layer draws, in order: its
// background colour (rounded by cornerRadius), its contents (an image under
// the gravity, a gradient, a shape), its sublayers by zPosition and then in
// order, each placed by its position, anchor point and the affine part of its
// transform, and its border; all of it clipped to the (rounded) bounds with
// masksToBounds, and composited at once with the layer's opacity. Hidden
// layers and their trees are skipped. The renderer only reads the tree: laying
// it out and displaying it is the commit's work (or renderInContext's).
class CARenderer {
public:
    static void render(const CALayer&, const CGContextRef&, CALayerTree = CALayerTree::Presentation);

    // How a layer is drawn, for whoever follows the compositor's walk (CADamageTracker).
    // The values drawn: the layer's own, or a presentation copy (kept in holder) while it animates.
    [[nodiscard]] static const CALayer& shownLayer(const CALayer& model, CALayerTree, std::shared_ptr<CALayer>& holder);
    // The opacity it is composited with (a fading hidden change included); 0 when it is not drawn.
    [[nodiscard]] static double drawnOpacity(const CALayer& shown);
    // From the superlayer's bounds space into the layer's.
    [[nodiscard]] static cairo_matrix_t placement(const CALayer& shown);
    // By zPosition, then in order.
    [[nodiscard]] static std::vector<const CALayer*> sublayersInDrawingOrder(const CALayer& model);

private:
    static void drawLayer(const CALayer&, const CGContextRef&, CALayerTree, bool placeInSuperlayer);
};
