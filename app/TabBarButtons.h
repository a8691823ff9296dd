#pragma once

#include "UIKit/UIBarButtonItem.h"
#include "UIKit/UIColor.h"

#include <optional>
#include <string>
#include <string_view>

// What both tabs share: the red bar buttons, the "TurnOn"/"TurnOff" switch that
// keeps one key of the Settings file, and the alert after a save.
namespace TabBarButtons {

constexpr const char* turnOnTitle = "TurnOn";
constexpr const char* turnOffTitle = "TurnOff";

[[nodiscard]] UIColorRef red();

// Whether the Settings file holds the switch's key; a missing or unreadable file is off.
[[nodiscard]] bool isSwitchOn(std::string_view key);

// The switch's title for the state the Settings file holds now.
void showSwitchState(UIBarButtonItem& button, std::string_view key);

// Flips the title and sets or removes the key. An unreadable Settings file is left as it
// is, so the title changes but nothing is written over what cannot be read.
void flipSwitch(UIBarButtonItem& button, std::string_view key);

// The alert after a save: "Save Success", or "Save Failed" with what went wrong.
void showSaveResult(const std::optional<std::string>& failure);

}
