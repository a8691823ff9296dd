#pragma once

#include "UIKit/UIView.h"

#include <filesystem>

#include <cstdint>
#include <vector>

// The view's rendering (renderViewToImage) as PNG bytes; empty when it cannot be encoded.
[[nodiscard]] std::vector<std::uint8_t> viewSnapshotPNG(UIView&, CGFloat scale);
// Writes viewSnapshotPNG as a file on this machine; answers success.
[[nodiscard]] bool writeViewSnapshot(UIView&, CGFloat scale, const std::filesystem::path& file);
