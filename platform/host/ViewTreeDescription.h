#pragma once

#include "UIKit/UIView.h"

#include <initializer_list>
#include <nlohmann/json_fwd.hpp>

// A view tree as JSON: {"class", "frame":[x,y,w,h], "backgroundColor":null|
// {"space", "components"}, "autoresizingMask", "image":null|{"size":[w,h]}
// (image views only), "subviews":[...]}.
[[nodiscard]] nlohmann::json describeViewTree(const UIView&);
[[nodiscard]] nlohmann::json describeColor(const UIColorRef&);
// CGFloats as the shortest decimals that read back as the same values.
[[nodiscard]] nlohmann::json describeNumbers(std::initializer_list<CGFloat>);
