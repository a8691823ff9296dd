#pragma once

#include "Foundation/PropertyList.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// A look to share: the Settings keys the system uses and the background picture, as one
// XML property list that any property-list tool reads:
//
//   Format           "Tessary8 theme"
//   Version          1 (an integer)
//   Switches         { "open": boolean, "image_open": boolean }, both always present
//   Settings         the Settings file's "open", "image_open", "r", "g", "b", "a" that are
//                    present, each as stored; a switch key exactly when its switch is on
//   BackgroundImage  the Background image file's bytes (data), only when there is a picture
//
// The switches are on while their key is present, so a theme says each one's state
// explicitly: an off switch's key is removed on import.
struct Theme {
    static constexpr const char* formatKey = "Format";
    static constexpr const char* formatName = "Tessary8 theme";
    static constexpr const char* versionKey = "Version";
    static constexpr std::int64_t version = 1;
    static constexpr const char* switchesKey = "Switches";
    static constexpr const char* settingsKey = "Settings";
    static constexpr const char* backgroundImageKey = "BackgroundImage";
    // The platform's parser reads no larger property list.
    static constexpr size_t maximumFileSize = PropertyListValue::maximumFileSize;

    PropertyListValue::Dictionary settings;
    std::optional<PropertyListValue::Data> backgroundImage;

    [[nodiscard]] bool switchIsOn(const char* switchKey) const { return settings.contains(switchKey); }

    // Whether the system reads this key from the Settings file.
    [[nodiscard]] static bool isSettingsKey(std::string_view);

    // What is wrong with the Settings keys ("\"r\" is 2, outside 0..1"); nullopt when a theme
    // may carry them. Only the system's keys, components numbers in 0..1.
    [[nodiscard]] static std::optional<std::string> settingsProblem(const PropertyListValue::Dictionary&);
    // nullopt when the bytes are a PNG that decodes within the decoder's limits.
    [[nodiscard]] static std::optional<std::string> pictureProblem(std::span<const std::uint8_t>);

    // The theme in a file, every part checked (the picture decoded); else what is wrong with it.
    [[nodiscard]] static std::variant<Theme, std::string> fromBytes(std::span<const std::uint8_t>);
    [[nodiscard]] std::string toXML() const;
};
