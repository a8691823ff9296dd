#pragma once

#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"

#include <filesystem>

// Renders a view and its subviews as they would appear on screen, at scale
// pixels per point; nullptr when the size is impossible.
[[nodiscard]] UIImageRef renderViewToImage(UIView&, CGFloat scale);
// Writes the rendering as a PNG file on this machine; answers success.
[[nodiscard]] bool writeViewSnapshot(UIView&, CGFloat scale, const std::filesystem::path& file);
