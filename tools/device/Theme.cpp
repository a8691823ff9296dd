#include "Theme.h"

#include "Foundation/PrintableText.h"
#include "ImageIO/PNGCodec.h"
#include "shared/SharedFiles.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr std::array<const char*, 2> switchKeys { SharedFiles::colorSwitchKey, SharedFiles::imageSwitchKey };

std::string quoted(std::string_view key)
{
    return "\"" + Foundation::printableText(key) + "\"";
}

const char* typeName(const PropertyListValue& value)
{
    return std::visit([](const auto& stored) -> const char* {
        using T = std::decay_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, std::string>)
            return "a string";
        else if constexpr (std::is_same_v<T, PropertyListValue::Integer>)
            return "an integer";
        else if constexpr (std::is_same_v<T, double>)
            return "a real";
        else if constexpr (std::is_same_v<T, bool>)
            return "a boolean";
        else if constexpr (std::is_same_v<T, PropertyListValue::Data>)
            return "data";
        else if constexpr (std::is_same_v<T, PropertyListValue::Date>)
            return "a date";
        else if constexpr (std::is_same_v<T, PropertyListValue::Array>)
            return "an array";
        else if constexpr (std::is_same_v<T, PropertyListValue::Dictionary>)
            return "a dictionary";
        else
            return "a UID";
    }, value.storage());
}

std::string numberText(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

std::optional<std::string> componentProblem(std::string_view key, const PropertyListValue& value)
{
    auto* integer = value.get<PropertyListValue::Integer>();
    if (!integer && !value.is<double>())
        return quoted(key) + " is not a number (it is " + typeName(value) + ")";
    double number = value.doubleValue();
    if (!std::isfinite(number) || number < 0 || number > 1 || (integer && integer->isUnsigned))
        return quoted(key) + " is " + numberText(number) + ", outside 0..1";
    return std::nullopt;
}

std::string keyList(std::span<const char* const> keys)
{
    std::string list;
    for (const char* key : keys)
        list += (list.empty() ? "" : ", ") + quoted(key);
    return list;
}

std::optional<std::string> switchesProblem(const PropertyListValue* switches, const PropertyListValue::Dictionary& settings)
{
    const std::string where = std::string(Theme::switchesKey) + ": ";
    if (!switches)
        return std::string("no ") + quoted(Theme::switchesKey) + " (each switch's state, a boolean)";
    auto* states = switches->get<PropertyListValue::Dictionary>();
    if (!states)
        return where + "not a dictionary (it is " + typeName(*switches) + ")";
    for (const auto& [key, value] : *states) {
        if (std::ranges::find(switchKeys, key) == switchKeys.end())
            return where + quoted(key) + " is not a switch (the switches are " + keyList(switchKeys) + ")";
    }
    for (const char* key : switchKeys) {
        auto found = states->find(key);
        if (found == states->end())
            return where + "no state for " + quoted(key) + " (a boolean)";
        auto* on = found->second.get<bool>();
        if (!on)
            return where + quoted(key) + " is not a boolean (it is " + typeName(found->second) + ")";
        // The Settings file's switch key is the switch: the two parts must agree.
        if (*on != settings.contains(key))
            return where + quoted(key) + " is " + (*on ? "on" : "off") + " but " + Theme::settingsKey + (*on ? " does not carry" : " carries") + " it";
    }
    return std::nullopt;
}

}

bool Theme::isSettingsKey(std::string_view key)
{
    return std::ranges::find(switchKeys, key) != switchKeys.end()
        || std::ranges::find(SharedFiles::colorComponentKeys, key) != SharedFiles::colorComponentKeys.end();
}

std::optional<std::string> Theme::settingsProblem(const PropertyListValue::Dictionary& settings)
{
    for (const auto& [key, value] : settings) {
        if (!isSettingsKey(key)) {
            std::vector<const char*> known(switchKeys.begin(), switchKeys.end());
            known.insert(known.end(), SharedFiles::colorComponentKeys.begin(), SharedFiles::colorComponentKeys.end());
            return quoted(key) + " is not a key the system reads (those are " + keyList(known) + ")";
        }
        if (std::ranges::find(switchKeys, key) == switchKeys.end()) {
            if (auto problem = componentProblem(key, value))
                return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Theme::pictureProblem(std::span<const std::uint8_t> bytes)
{
    if (!ImageIO::isPNG(bytes))
        return std::string("not a PNG");
    if (!ImageIO::readPNGProperties(bytes))
        return "a PNG whose header does not read or whose size is over the decoder's limits (" + std::to_string(ImageIO::maximumPNGDimension)
            + " pixels a side, " + std::to_string(CGImage::maximumPixelCount) + " pixels)";
    if (!ImageIO::decodePNG(bytes))
        return std::string("a PNG that does not decode (damaged or truncated)");
    return std::nullopt;
}

std::variant<Theme, std::string> Theme::fromBytes(std::span<const std::uint8_t> bytes)
{
    auto root = PropertyListValue::fromBytes(bytes);
    if (!root)
        return std::string("not a property list (truncated or damaged)");
    auto* entries = root->get<PropertyListValue::Dictionary>();
    if (!entries)
        return "not a theme (its root is " + std::string(typeName(*root)) + ", not a dictionary)";
    auto entry = [&](const char* key) -> const PropertyListValue* {
        auto found = entries->find(key);
        return found == entries->end() ? nullptr : &found->second;
    };

    auto* format = entry(formatKey);
    if (!format || !format->get<std::string>() || *format->get<std::string>() != formatName)
        return "not a theme (its " + quoted(formatKey) + " is not " + quoted(formatName) + ")";
    auto* versionValue = entry(versionKey);
    auto* versionNumber = versionValue ? versionValue->get<PropertyListValue::Integer>() : nullptr;
    if (!versionNumber)
        return "its " + quoted(versionKey) + " is " + (versionValue ? std::string("not an integer") : std::string("missing"));
    if (versionNumber->isUnsigned || versionNumber->value != version)
        return "a theme of version "
            + (versionNumber->isUnsigned ? std::to_string(static_cast<std::uint64_t>(versionNumber->value)) : std::to_string(versionNumber->value)) + ", which this tool does not read (it reads version " + std::to_string(version) + ")";
    for (const auto& [key, value] : *entries) {
        if (key != formatKey && key != versionKey && key != switchesKey && key != settingsKey && key != backgroundImageKey)
            return quoted(key) + " is not part of a theme of version " + std::to_string(version);
    }

    Theme theme;
    if (auto* settings = entry(settingsKey)) {
        auto* carried = settings->get<PropertyListValue::Dictionary>();
        if (!carried)
            return std::string(settingsKey) + ": not a dictionary (it is " + typeName(*settings) + ")";
        if (auto problem = settingsProblem(*carried))
            return std::string(settingsKey) + ": " + *problem;
        theme.settings = *carried;
    }
    if (auto problem = switchesProblem(entry(switchesKey), theme.settings))
        return *problem;
    if (auto* picture = entry(backgroundImageKey)) {
        auto* data = picture->get<PropertyListValue::Data>();
        if (!data)
            return std::string(backgroundImageKey) + ": not data (it is " + typeName(*picture) + ")";
        if (auto problem = pictureProblem(*data))
            return std::string(backgroundImageKey) + ": " + *problem;
        theme.backgroundImage = *data;
    }
    return theme;
}

std::string Theme::toXML() const
{
    PropertyListValue::Dictionary switches;
    for (const char* key : switchKeys)
        switches.emplace(key, switchIsOn(key));
    PropertyListValue::Dictionary entries {
        { formatKey, formatName },
        { versionKey, PropertyListValue::integer(version) },
        { switchesKey, switches },
        { settingsKey, settings },
    };
    if (backgroundImage)
        entries.emplace(backgroundImageKey, PropertyListValue(PropertyListValue::Storage(*backgroundImage)));
    return PropertyListValue(entries).toXML();
}
