#pragma once

#include "KeyboardPreview.h"

#include <string>

// The preview as the window shows it beside the phone: the keyboard at the bottom, where it
// sits on the phone, under a caption saying which switches are on.
namespace PreviewPanel {

// The panel's width in points: a portrait keyboard with a margin on either side.
inline constexpr CGFloat width = 360;

// "Use Color: On · Use Image: Off", as the Settings file says now.
[[nodiscard]] std::string caption();

// The panel height points tall at the window's scale; the keyboard shown is the build's,
// with its error, if any, under the caption.
[[nodiscard]] CGImageRef draw(const std::optional<KeyboardPreview::Build>&, CGFloat height, CGFloat scale);

}
