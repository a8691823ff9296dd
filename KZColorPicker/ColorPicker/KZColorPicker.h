#pragma once

#include "KZColorPicker/ColorPicker/HSV.h"
#include "UIKit/UIColor.h"

// Red, green and blue of an RGB colour, the white level thrice for a Monochrome one, black for anything else.
[[nodiscard]] RGBType rgbWithUIColor(const UIColorRef&);
