#pragma once

// The files through which the settings application and the plug-in meet on the device,
// and the Settings file's keys. The two never call each other, so these names are the
// whole of their contract. Paths are the device's; DeviceRoot places them under a root.

#include <array>
#include <string_view>

namespace SharedFiles {

// A property list: the application writes it, the plug-in reads it for every backdrop.
inline constexpr const char* settingsPath = "/var/mobile/Library/Preferences/com.quarrow.tintwell.plist";
// Writers of the Settings file hold an advisory lock on this file while they read, change
// and replace it (see Foundation::updateDictionaryFile); the plug-in only reads and never locks.
inline constexpr const char* settingsLockPath = "/var/mobile/Library/Preferences/.com.quarrow.tintwell.plist.lock";
inline constexpr const char* backgroundImageFolder = "/Library/Application Support/Tintwell/backImage";
// The saved picture, always a PNG whatever it was chosen from.
inline constexpr const char* backgroundImagePath = "/Library/Application Support/Tintwell/backImage/backimage.png";
static_assert(std::string_view(backgroundImagePath).starts_with(backgroundImageFolder));

// The switches are on while their key is present, whatever it holds.
inline constexpr const char* colorSwitchKey = "open";
inline constexpr const char* imageSwitchKey = "image_open";
// The saved colour's components, 0 to 1.
inline constexpr const char* redKey = "r";
inline constexpr const char* greenKey = "g";
inline constexpr const char* blueKey = "b";
inline constexpr const char* alphaKey = "a";
inline constexpr std::array<const char*, 4> colorComponentKeys { redKey, greenKey, blueKey, alphaKey };

}
