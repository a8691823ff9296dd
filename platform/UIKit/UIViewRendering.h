#pragma once

#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"

// Renders a view and its subviews as they would appear on screen, at scale
// pixels per point (0: the screen's); nullptr when the size is impossible.
[[nodiscard]] UIImageRef renderViewToImage(UIView&, CGFloat scale);
