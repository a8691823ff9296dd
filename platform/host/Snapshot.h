#pragma once

#include "UIKit/UIView.h"

#include <filesystem>

// Writes the view's rendering (renderViewToImage) as a PNG file on this machine; answers success.
[[nodiscard]] bool writeViewSnapshot(UIView&, CGFloat scale, const std::filesystem::path& file);
