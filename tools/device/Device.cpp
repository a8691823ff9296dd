#include "Device.h"

#include "FileProblems.h"
#include "Theme.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/LockedUpdate.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/PrintableText.h"
#include "UIKit/PhotoLibrary.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "shared/SharedFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sstream>

namespace Device {

using namespace FileProblems;

namespace {

bool createFolder(const char* devicePath)
{
    return NSFileManager::defaultManager().createDirectoryAtPath(devicePath, true);
}

// The keyboard shows a PNG's pixels as stored, so a photo's EXIF turn is applied before it is
// stored, as the image tab does.
UIImageRef upright(const UIImageRef& image)
{
    if (image->imageOrientation() == UIImageOrientationUp)
        return image;
    CGSize size = image->size();
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    image->drawInRect(CGRectMake(0, 0, size.width, size.height));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return drawn;
}

std::string describeValue(const PropertyListValue& value)
{
    if (auto* text = value.get<std::string>())
        return "\"" + Foundation::printableText(*text) + "\"";
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

}

std::optional<std::string> install(const std::filesystem::path& builtPlugin)
{
    for (const char* folder : { "/Library/MobileSubstrate/DynamicLibraries", SharedFiles::backgroundImageFolder, PhotoLibrary::folder, "/var/mobile/Library/Preferences" }) {
        if (!createFolder(folder))
            return std::string("cannot create ") + DeviceRoot::resolve(folder).string();
    }
    auto library = Foundation::readWholeFile(builtPlugin, NSData::maximumFileSize);
    if (!library) {
        if (isMissing(builtPlugin))
            return "the built plug-in " + builtPlugin.string() + " is missing (build it first, or pass --library)";
        return "cannot read the built plug-in " + builtPlugin.string() + ": " + readProblem(builtPlugin).value_or("too large");
    }
    static constexpr std::uint8_t elfMagic[] = { 0x7f, 'E', 'L', 'F' };
    if (library->size() < sizeof elfMagic || !std::equal(std::begin(elfMagic), std::end(elfMagic), library->begin()))
        return builtPlugin.string() + " is not a shared library (no ELF header)";
    if (!Foundation::writeFileAtomically(DeviceRoot::resolve(pluginPath), *library))
        return writeFailure(pluginPath);

    PropertyListValue::Dictionary filter { { "Bundles", PropertyListValue::Array { "com.apple.UIKit" } } };
    NSMutableDictionary plist({ { "Filter", filter } });
    if (!plist.writeToFile(pluginFilterPath, true))
        return writeFailure(pluginFilterPath);
    return std::nullopt;
}

std::string status(const std::filesystem::path& builtPlugin)
{
    std::ostringstream out;
    auto& files = NSFileManager::defaultManager();
    out << "device root: " << Foundation::printableText(DeviceRoot::current().string()) << "\n";
    out << "plug-in " << pluginPath << ": ";
    if (auto installed = Foundation::readWholeFile(DeviceRoot::resolve(pluginPath), NSData::maximumFileSize)) {
        auto built = Foundation::readWholeFile(builtPlugin, NSData::maximumFileSize);
        out << (built && *built != *installed ? "installed, but not the one just built (run tessary8-device init to update it)" : "installed");
    } else {
        auto failure = readFailure(pluginPath);
        out << (failure == "missing" ? "not installed" : failure);
    }
    out << "\n";
    auto filter = NSDictionary::dictionaryWithContentsOfFile(pluginFilterPath);
    out << "plug-in filter: " << (filter ? "present" : readFailure(pluginFilterPath)) << "\n";
    out << "picture folder: ";
    if (files.fileExistsAtPath(SharedFiles::backgroundImageFolder))
        out << "present\n";
    else if (isMissing(DeviceRoot::resolve(SharedFiles::backgroundImageFolder)))
        out << "missing\n";
    else
        out << "unusable: " << std::strerror(errno) << "\n";

    out << "Settings file " << SharedFiles::settingsPath << ": ";
    if (isMissing(DeviceRoot::resolve(SharedFiles::settingsPath))) {
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
            if (!Theme::isSettingsKey(key))
                out << "  other key \"" << Foundation::printableText(key) << "\": " << describeValue(value) << "\n";
        }
    } else {
        out << readFailure(SharedFiles::settingsPath) << " (reads as if empty)\n";
    }

    out << "Background image file " << SharedFiles::backgroundImagePath << ": ";
    if (isMissing(DeviceRoot::resolve(SharedFiles::backgroundImagePath)))
        out << "none\n";
    else if (auto image = UIImage::imageWithContentsOfFile(SharedFiles::backgroundImagePath))
        out << CGImageGetWidth(image->CGImage()) << " x " << CGImageGetHeight(image->CGImage()) << " pixels\n";
    else if (auto problem = readProblem(DeviceRoot::resolve(SharedFiles::backgroundImagePath)))
        out << "unreadable: " << *problem << " (shows nothing)\n";
    else
        out << "not a picture that decodes (shows nothing)\n";
    return out.str();
}

std::optional<std::string> apply(const SettingsChange& change)
{
    if (change.image) {
        auto bytes = Foundation::readWholeFile(*change.image, NSData::maximumFileSize);
        if (!bytes)
            return "cannot read " + change.image->string() + ": " + readProblem(*change.image).value_or("too large");
        auto image = UIImage::imageWithData(*bytes);
        if (!image)
            return change.image->string() + " is not a picture that decodes (a PNG, JPEG or HEIC)";
        NSData png(UIImagePNGRepresentation(upright(image)));
        if (png.length() == 0)
            return "cannot encode " + change.image->string() + " as PNG";
        if (!png.writeToFile(SharedFiles::backgroundImagePath, true))
            return writeFailure(SharedFiles::backgroundImagePath);
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
    case Foundation::LockedUpdateResult::Missing: {
        auto failure = readFailure(SharedFiles::settingsPath);
        if (failure == "missing")
            return std::string("a switch changes an existing Settings file only; save a colour first (--color)");
        return "cannot use the Settings file (" + failure + "); it is left alone";
    }
    case Foundation::LockedUpdateResult::Unwritable:
        // Without the lock nothing was read either; a file that cannot even be read says so.
        if (auto failure = readFailure(SharedFiles::settingsPath); failure.starts_with("unreadable"))
            return "cannot use the Settings file (" + failure + "); it is left alone";
        return lockedWriteFailure(SharedFiles::settingsPath, SharedFiles::settingsLockPath);
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
