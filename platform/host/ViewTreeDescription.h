#pragma once

#include "UIKit/UIView.h"

#include <nlohmann/json_fwd.hpp>

// A view tree as JSON: {"class", "frame":[x,y,w,h], "backgroundColor":null|
// {"space", "components"}, "autoresizingMask", "image":null|{"size":[w,h]}
// (image views only), "subviews":[...]}.
[[nodiscard]] nlohmann::json describeViewTree(const UIView&);
[[nodiscard]] nlohmann::json describeColor(const UIColorRef&);
