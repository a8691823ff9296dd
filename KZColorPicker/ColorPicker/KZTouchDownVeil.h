#pragma once

#include "QuartzCore/CAShapeLayer.h"

// The dark veil the swatch and the compare view lay over themselves while a
// finger is down: a shape layer at opacity 0, raised to 0.2 at once (a
// 0.001 s transaction) when tracking begins, faded out with the default
// implicit animation when it ends or is cancelled.
namespace KZTouchDownVeil {

[[nodiscard]] CAShapeLayerRef addTo(CALayer& layer);
void show(const CAShapeLayerRef& veil);
void hide(const CAShapeLayerRef& veil);

}
