#include "Device.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/LockedUpdate.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "UIKit/PhotoLibrary.h"
#include "UIKit/UIImage.h"
#include "shared/SharedFiles.h"

#include <algorithm>
#include <ctime>
#include <sstream>

namespace Device {

namespace {

bool createFolder(const char* devicePath)
{
    return NSFileManager::defaultManager().createDirectoryAtPath(devicePath, true);
}

std::string describeValue(const PropertyListValue& value)
{
    if (auto* text = value.get<std::string>())
        return "\"" + *text + "\"";
    if (auto* real = value.get<double>())
        return std::to_string(*real) + " (real)";
    if (auto* integer = value.get<PropertyListValue::Integer>())
        return std::to_string(integer->value) + " (integer)";
    if (auto* boolean = value.get<bool>())
        return *boolean ? "true" : "false";
    return "a value of another type (reads as " + std::to_string(value.floatValue()) + ")";
}

const char* orientationName(UIImageOrientation orientation)
{
    switch (orientation) {
    case UIImageOrientationDown: return "Down";
    case UIImageOrientationLeft: return "Left";
    case UIImageOrientationRight: return "Right";
    case UIImageOrientationUpMirrored: return "UpMirrored";
    case UIImageOrientationDownMirrored: return "DownMirrored";
    case UIImageOrientationLeftMirrored: return "LeftMirrored";
    case UIImageOrientationRightMirrored: return "RightMirrored";
    case UIImageOrientationUp: break;
    }
    return "Up";
}

std::string localTimeDescription(std::chrono::system_clock::time_point time)
{
    std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm fields {};
    char text[32] = "unknown";
    if (localtime_r(&seconds, &fields))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

bool isSettingsKey(std::string_view key)
{
    return key == SharedFiles::colorSwitchKey || key == SharedFiles::imageSwitchKey
        || std::ranges::find(SharedFiles::colorComponentKeys, key) != SharedFiles::colorComponentKeys.end();
}

}

std::optional<std::string> install(const std::filesystem::path& builtPlugin)
{
    for (const char* folder : { "/Library/MobileSubstrate/DynamicLibraries", SharedFiles::backgroundImageFolder, PhotoLibrary::folder, "/var/mobile/Library/Preferences" }) {
        if (!createFolder(folder))
            return std::string("cannot create ") + DeviceRoot::resolve(folder).string();
    }
    auto library = Foundation::readWholeFile(builtPlugin, NSData::maximumFileSize);
    if (!library)
        return "cannot read the built plug-in " + builtPlugin.string() + " (build it first, or pass --library)";
    if (!Foundation::writeFileAtomically(DeviceRoot::resolve(pluginPath), *library))
        return "cannot install " + DeviceRoot::resolve(pluginPath).string();

    PropertyListValue::Dictionary filter { { "Bundles", PropertyListValue::Array { "com.apple.UIKit" } } };
    NSMutableDictionary plist({ { "Filter", filter } });
    if (!plist.writeToFile(pluginFilterPath, true))
        return "cannot write " + DeviceRoot::resolve(pluginFilterPath).string();
    return std::nullopt;
}

std::string status(const std::filesystem::path& builtPlugin)
{
    std::ostringstream out;
    auto& files = NSFileManager::defaultManager();
    out << "device root: " << DeviceRoot::current().string() << "\n";
    out << "plug-in " << pluginPath << ": ";
    if (auto installed = Foundation::readWholeFile(DeviceRoot::resolve(pluginPath), NSData::maximumFileSize)) {
        auto built = Foundation::readWholeFile(builtPlugin, NSData::maximumFileSize);
        out << (built && *built != *installed ? "installed, but not the one just built (run tessary8-device init to update it)" : "installed");
    } else {
        out << "not installed";
    }
    out << "\n";
    auto filter = NSDictionary::dictionaryWithContentsOfFile(pluginFilterPath);
    out << "plug-in filter: " << (filter ? "present" : "missing or unreadable") << "\n";
    out << "picture folder: " << (files.fileExistsAtPath(SharedFiles::backgroundImageFolder) ? "present" : "missing") << "\n";

    out << "Settings file " << SharedFiles::settingsPath << ": ";
    if (!files.fileExistsAtPath(SharedFiles::settingsPath)) {
        out << "none (colour and picture switches off)\n";
    } else if (auto settings = NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath)) {
        out << "\n";
        for (auto [label, key] : { std::pair { "colour switch", SharedFiles::colorSwitchKey }, std::pair { "picture switch", SharedFiles::imageSwitchKey } })
            out << "  " << label << " (\"" << key << "\"): " << (settings->objectForKey(key) ? "on" : "off") << "\n";
        for (const char* key : SharedFiles::colorComponentKeys) {
            auto* value = settings->objectForKey(key);
            out << "  " << key << ": " << (value ? describeValue(*value) : "absent (reads as 0)") << "\n";
        }
        for (const auto& [key, value] : settings->entries()) {
            if (!isSettingsKey(key))
                out << "  other key \"" << key << "\": " << describeValue(value) << "\n";
        }
    } else {
        out << "unreadable (reads as if empty)\n";
    }

    out << "Background image file " << SharedFiles::backgroundImagePath << ": ";
    if (!files.fileExistsAtPath(SharedFiles::backgroundImagePath))
        out << "none\n";
    else if (auto image = UIImage::imageWithContentsOfFile(SharedFiles::backgroundImagePath))
        out << CGImageGetWidth(image->CGImage()) << " x " << CGImageGetHeight(image->CGImage()) << " pixels\n";
    else
        out << "unreadable (shows nothing)\n";
    return out.str();
}

std::optional<std::string> apply(const SettingsChange& change)
{
    if (change.image) {
        auto bytes = Foundation::readWholeFile(*change.image, NSData::maximumFileSize);
        auto image = bytes ? UIImage::imageWithData(*bytes) : nullptr;
        if (!image)
            return "cannot read " + change.image->string() + " as an image";
        NSData png(UIImagePNGRepresentation(image));
        if (png.length() == 0 || !png.writeToFile(SharedFiles::backgroundImagePath, true))
            return "cannot write " + DeviceRoot::resolve(SharedFiles::backgroundImagePath).string() + " (run tessary8-device init first)";
    }
    if (!change.color && !change.colorSwitch && !change.imageSwitch)
        return std::nullopt;
    // One locked write for the colour and both switches, so that racing writers lose nothing.
    auto result = Foundation::updateDictionaryFile(SharedFiles::settingsPath, SharedFiles::settingsLockPath, change.color.has_value(), [&](NSMutableDictionary& settings) {
        if (change.color) {
            for (size_t i = 0; i < SharedFiles::colorComponentKeys.size(); ++i)
                settings.setObjectForKey(PropertyListValue((*change.color)[i]), SharedFiles::colorComponentKeys[i]);
        }
        for (auto [value, key] : { std::pair { change.colorSwitch, SharedFiles::colorSwitchKey }, std::pair { change.imageSwitch, SharedFiles::imageSwitchKey } }) {
            if (!value)
                continue;
            if (*value)
                settings.setObjectForKey(PropertyListValue("1"), key);
            else
                settings.removeObjectForKey(key);
        }
    });
    switch (result) {
    case Foundation::LockedUpdateResult::Written:
        break;
    case Foundation::LockedUpdateResult::Unparsable:
        if (change.color)
            return std::string("the Settings file exists but does not parse; it is left alone");
        [[fallthrough]];
    case Foundation::LockedUpdateResult::Missing:
        return std::string("a switch changes an existing Settings file only; save a colour first (--color)");
    case Foundation::LockedUpdateResult::Unwritable:
        return "cannot write " + DeviceRoot::resolve(SharedFiles::settingsPath).string();
    }
    return std::nullopt;
}

std::optional<std::string> addPhotos(const std::vector<std::filesystem::path>& files, std::ostream& out)
{
    std::vector<std::vector<std::uint8_t>> photos;
    for (const auto& file : files) {
        auto bytes = Foundation::readWholeFile(file, PhotoLibrary::maximumPhotoFileSize);
        if (!bytes)
            return "cannot read " + file.string() + " (missing, not a regular file, or larger than "
                + std::to_string(PhotoLibrary::maximumPhotoFileSize >> 20) + " MiB); nothing was added";
        if (!PhotoLibrary::photoFormat(*bytes))
            return file.string() + " is not a photo (a PNG, JPEG or HEIC that decodes); nothing was added";
        photos.push_back(std::move(*bytes));
    }
    for (size_t i = 0; i < files.size(); ++i) {
        auto addition = PhotoLibrary::addPhoto(photos[i]);
        if (!addition.error.empty())
            return files[i].string() + ": " + addition.error;
        out << files[i].string() << " -> " << addition.devicePath << "\n";
    }
    return std::nullopt;
}

std::string describePhotos()
{
    auto photos = PhotoLibrary::photos();
    std::ostringstream out;
    out << "photo library " << PhotoLibrary::folder << ": ";
    if (photos.empty())
        out << "no photos\n";
    else
        out << photos.size() << (photos.size() == 1 ? " photo" : " photos") << ", oldest first\n";
    const std::string prefix = std::string(PhotoLibrary::folder) + "/";
    for (const auto& photo : photos) {
        const auto& properties = photo.properties;
        out << photo.devicePath.substr(prefix.size()) << "  " << properties.width << " x " << properties.height << "  " << orientationName(photo.orientation())
            << "  " << (properties.dateTaken ? properties.dateTaken->description() + " (taken)" : localTimeDescription(photo.date) + " (file modified)") << "\n";
    }
    return out.str();
}

}
