#include "Device.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "UIKit/UIImage.h"

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

}

std::optional<std::string> install(const std::filesystem::path& builtPlugin)
{
    for (const char* folder : { "/Library/MobileSubstrate/DynamicLibraries", backgroundImageFolder, photoLibraryFolder, "/var/mobile/Library/Preferences" }) {
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
    out << "picture folder: " << (files.fileExistsAtPath(backgroundImageFolder) ? "present" : "missing") << "\n";

    out << "Settings file " << settingsPath << ": ";
    if (!files.fileExistsAtPath(settingsPath)) {
        out << "none (colour and picture switches off)\n";
    } else if (auto settings = NSDictionary::dictionaryWithContentsOfFile(settingsPath)) {
        out << "\n";
        out << "  colour switch (\"open\"): " << (settings->objectForKey("open") ? "on" : "off") << "\n";
        out << "  picture switch (\"image_open\"): " << (settings->objectForKey("image_open") ? "on" : "off") << "\n";
        for (const char* key : { "r", "g", "b", "a" }) {
            auto* value = settings->objectForKey(key);
            out << "  " << key << ": " << (value ? describeValue(*value) : "absent (reads as 0)") << "\n";
        }
        for (const auto& [key, value] : settings->entries()) {
            if (key != "open" && key != "image_open" && key != "r" && key != "g" && key != "b" && key != "a")
                out << "  other key \"" << key << "\": " << describeValue(value) << "\n";
        }
    } else {
        out << "unreadable (reads as if empty)\n";
    }

    out << "Background image file " << backgroundImagePath << ": ";
    if (!files.fileExistsAtPath(backgroundImagePath))
        out << "none\n";
    else if (auto image = UIImage::imageWithContentsOfFile(backgroundImagePath))
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
        if (png.length() == 0 || !png.writeToFile(backgroundImagePath, true))
            return "cannot write " + DeviceRoot::resolve(backgroundImagePath).string() + " (run tessary8-device init first)";
    }
    if (change.color) {
        auto& files = NSFileManager::defaultManager();
        auto settings = files.fileExistsAtPath(settingsPath) ? NSDictionary::dictionaryWithContentsOfFile(settingsPath) : NSMutableDictionary::dictionary();
        if (!settings)
            return "the Settings file exists but does not parse; it is left alone";
        const char* keys[] = { "r", "g", "b", "a" };
        for (size_t i = 0; i < 4; ++i)
            settings->setObjectForKey(PropertyListValue((*change.color)[i]), keys[i]);
        if (!settings->writeToFile(settingsPath, true))
            return "cannot write " + DeviceRoot::resolve(settingsPath).string();
    }
    for (auto [value, key] : { std::pair { change.colorSwitch, "open" }, std::pair { change.imageSwitch, "image_open" } }) {
        if (!value)
            continue;
        auto settings = NSDictionary::dictionaryWithContentsOfFile(settingsPath);
        if (!settings)
            return std::string("a switch changes an existing Settings file only; save a colour first (--color)");
        if (*value)
            settings->setObjectForKey(PropertyListValue("1"), key);
        else
            settings->removeObjectForKey(key);
        if (!settings->writeToFile(settingsPath, true))
            return "cannot write " + DeviceRoot::resolve(settingsPath).string();
    }
    return std::nullopt;
}

}
