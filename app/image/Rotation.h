#pragma once

#include "UIKit/UIImage.h"

// Angle conversions, in single precision as the category computes them.
extern "C" float DegreesToRadians(float degrees);
extern "C" float RadiansToDegrees(float radians);

// The Rotation category of the platform's picture class: the whole picture turned by an
// angle, drawn into a new upright picture of scale 1 just large enough to hold it. The
// bitmap is drawn as stored (the picture's own orientation and scale play no part), so it
// is meant for pictures already upright. At angle 0 the picture comes back unchanged; at
// other angles it turns about its centre the way a view whose transform is that rotation
// turns. nil when there is no picture or nothing to draw into.
namespace Rotation {

[[nodiscard]] UIImageRef imageRotatedByDegrees(const UIImageRef&, float degrees);
[[nodiscard]] UIImageRef imageRotatedByRadians(const UIImageRef&, float radians);

// The part of imageRotatedByRadians(image, radians) inside rect (pixels of the turned picture,
// rounded outward and clipped to it), pixel for pixel, computing only that part: how the
// cropper cuts a large photo without turning all of it. nil when nothing of it remains.
[[nodiscard]] UIImageRef partOfImageRotatedByRadians(const UIImageRef&, float radians, CGRect rect);

}
