#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

// The whole screen as JSON, for scripts and tests: the screen's size, scale and
// orientation, every shown window back to front with its views (class, frame in
// screen points, hidden, alpha, background colour, and what each kind shows: titles,
// texts and their colours, image names, tints, selection), and the links opened.
[[nodiscard]] nlohmann::json describeScreen();

enum class TitledViewKind {
    Button,      // buttons, bar buttons and alert buttons
    TabBarItem,
};

// The centres, in screen points, of the shown views of that kind with that title.
[[nodiscard]] std::vector<CGPoint> findTitledViews(const std::string& title, TitledViewKind);

// The centre of a shown photo picker's thumbnail of the file so named, after scrolling the
// grid to bring it fully into view; nullopt when no picker shows such a photo.
[[nodiscard]] std::optional<CGPoint> scrollToPhotoThumbnail(const std::string& fileName);
// The centres of the "Cancel" buttons of shown photo pickers.
[[nodiscard]] std::vector<CGPoint> findPhotoPickerCancel();
