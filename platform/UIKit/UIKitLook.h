#pragma once

#include "UIKit/UIColor.h"

// How iOS 7 draws its standard bars and buttons on the phone, in points, in one place.
namespace UIKitLook {

[[nodiscard]] inline UIColorRef defaultTintColor() { return UIColor::colorWithRed(0, 122.0f / 255, 1, 1); }
[[nodiscard]] inline UIColorRef disabledColor() { return UIColor::colorWithRed(146.0f / 255, 146.0f / 255, 146.0f / 255, 1); }
// A bar without a bar tint: near-white, seen through where the bar is translucent.
[[nodiscard]] inline UIColorRef defaultBarColor() { return UIColor::colorWithRed(247.0f / 255, 247.0f / 255, 247.0f / 255, 1); }
[[nodiscard]] inline UIColorRef hairlineColor() { return UIColor::colorWithRed(0, 0, 0, 0.3f); }

inline constexpr CGFloat hairlineWidth = 0.5f;
inline constexpr CGFloat navigationBarHeight = 44;
inline constexpr CGFloat landscapeNavigationBarHeight = 32;
inline constexpr CGFloat tabBarHeight = 49;
// How opaque a translucent bar's colour is: a tinted navigation bar, an untinted one, the tab bar.
inline constexpr CGFloat tintedBarOpacity = 0.85f;
inline constexpr CGFloat untintedBarOpacity = 0.82f;
inline constexpr CGFloat tabBarOpacity = 0.9f;
// Bar buttons: title size, distance from the screen edge, least touch width.
inline constexpr CGFloat barButtonFontSize = 17;
inline constexpr CGFloat barButtonEdgeMargin = 8;
inline constexpr CGFloat barButtonMinimumWidth = 44;
inline constexpr CGFloat navigationTitleFontSize = 17;
// Tab bar items: the image area at the top, the title below.
inline constexpr CGFloat tabImageSide = 30;
inline constexpr CGFloat tabImageTop = 4;
inline constexpr CGFloat tabTitleFontSize = 10;
inline constexpr CGFloat tabTitleBottom = 2;
// A pressed plain button shows its title at this opacity.
inline constexpr CGFloat highlightedTitleOpacity = 0.2f;

}
