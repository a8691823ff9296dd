#include "ThemeTransfer.h"

#include "FileProblems.h"
#include "Theme.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/LockedUpdate.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "host/CommandLineOutput.h"
#include "shared/SharedFiles.h"

#include <sys/stat.h>
#include <system_error>

namespace ThemeTransfer {

using namespace FileProblems;

namespace {

constexpr const char* nothingChanged = "; nothing was changed";

std::string settingsFileName()
{
    return std::string("the Settings file ") + SharedFiles::settingsPath;
}

std::string pictureFileName()
{
    return std::string("the Background image file ") + SharedFiles::backgroundImagePath;
}

bool isFolder(const std::filesystem::path& hostPath)
{
    struct stat status;
    return ::stat(hostPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The device's Settings keys that a theme carries, or why they cannot be read.
std::optional<std::string> readSettings(PropertyListValue::Dictionary& settings)
{
    auto hostPath = DeviceRoot::resolve(SharedFiles::settingsPath);
    if (isMissing(hostPath))
        return std::nullopt;
    if (auto problem = inputFileProblem(hostPath, PropertyListValue::maximumFileSize))
        return "cannot read " + settingsFileName() + ": " + *problem;
    auto bytes = Foundation::readWholeFile(hostPath, PropertyListValue::maximumFileSize);
    if (!bytes)
        return "cannot read " + settingsFileName() + ": it changed while it was read";
    auto root = PropertyListValue::fromBytes(*bytes);
    if (!root)
        return settingsFileName() + " does not parse as a property list";
    auto* entries = root->get<PropertyListValue::Dictionary>();
    if (!entries)
        return settingsFileName() + " is not a dictionary";
    for (const auto& [key, value] : *entries) {
        if (Theme::isSettingsKey(key))
            settings.emplace(key, value);
    }
    if (auto problem = Theme::settingsProblem(settings))
        return settingsFileName() + ": " + *problem + ", which a theme cannot carry";
    return std::nullopt;
}

// The device's picture, nothing when there is none, or why it cannot be read.
std::optional<std::string> readPicture(std::optional<std::vector<std::uint8_t>>& picture, size_t maximumBytes)
{
    auto hostPath = DeviceRoot::resolve(SharedFiles::backgroundImagePath);
    if (isMissing(hostPath))
        return std::nullopt;
    if (auto problem = inputFileProblem(hostPath, maximumBytes)) {
        if (problem->starts_with("larger than"))
            return pictureFileName() + " is " + *problem + ", more than a theme may hold";
        return "cannot read " + pictureFileName() + ": " + *problem;
    }
    picture = Foundation::readWholeFile(hostPath, maximumBytes);
    if (!picture)
        return "cannot read " + pictureFileName() + ": it changed while it was read";
    return std::nullopt;
}

// Why the device cannot take the theme's Settings keys; checked before anything is written.
std::optional<std::string> settingsWriteProblem(const Theme& theme)
{
    auto hostPath = DeviceRoot::resolve(SharedFiles::settingsPath);
    if (isMissing(hostPath)) {
        if (!theme.settings.empty() && !isFolder(hostPath.parent_path()))
            return writeFailure(SharedFiles::settingsPath);
        return std::nullopt;
    }
    if (!NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath))
        return "cannot use " + settingsFileName() + " (" + readFailure(SharedFiles::settingsPath) + ")";
    return std::nullopt;
}

bool restorePicture(const std::optional<std::vector<std::uint8_t>>& old)
{
    auto hostPath = DeviceRoot::resolve(SharedFiles::backgroundImagePath);
    if (old)
        return Foundation::writeFileAtomically(hostPath, *old);
    std::error_code error;
    std::filesystem::remove(hostPath, error);
    return !error;
}

}

std::optional<std::string> exportTheme(const std::string& file, std::ostream& standardOutput)
{
    Theme theme;
    if (auto problem = readSettings(theme.settings))
        return "export: " + *problem;
    if (auto problem = readPicture(theme.backgroundImage, Theme::maximumFileSize))
        return "export: " + *problem;
    if (theme.backgroundImage) {
        if (auto problem = Theme::pictureProblem(*theme.backgroundImage))
            return "export: " + pictureFileName() + " is " + *problem + ", which a theme cannot carry";
    }
    auto xml = theme.toXML();
    if (xml.size() > Theme::maximumFileSize)
        return "export: the theme would be " + std::to_string(xml.size()) + " bytes, more than the " + std::to_string(Theme::maximumFileSize >> 20)
            + " MiB a theme may hold (the picture is " + std::to_string(theme.backgroundImage->size()) + " bytes)";
    if (!writeCommandLineOutput(file, { reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size() }, standardOutput))
        return "export: " + (file == "-" ? std::string("cannot write to standard output") : hostWriteFailure(file));
    return std::nullopt;
}

std::optional<std::string> importTheme(const std::filesystem::path& file)
{
    bool fromStandardInput = file == "-";
    const std::string name = "import: " + (fromStandardInput ? std::string("standard input") : file.string()) + ": ";
    std::optional<std::vector<std::uint8_t>> bytes;
    if (fromStandardInput) {
        auto input = readStandardInput(Theme::maximumFileSize);
        if (auto* problem = std::get_if<std::string>(&input))
            return name + *problem;
        bytes = std::move(std::get<std::vector<std::uint8_t>>(input));
    } else {
        if (auto problem = inputFileProblem(file, Theme::maximumFileSize))
            return name + *problem;
        bytes = Foundation::readWholeFile(file, Theme::maximumFileSize);
        if (!bytes)
            return name + "it changed while it was read";
    }
    auto read = Theme::fromBytes(*bytes);
    if (auto* problem = std::get_if<std::string>(&read))
        return name + *problem;
    const auto& theme = std::get<Theme>(read);

    std::optional<std::vector<std::uint8_t>> oldPicture;
    if (theme.backgroundImage) {
        if (auto problem = readPicture(oldPicture, NSData::maximumFileSize))
            return "import: " + *problem + nothingChanged;
        if (!isFolder(DeviceRoot::resolve(SharedFiles::backgroundImageFolder)))
            return "import: " + writeFailure(SharedFiles::backgroundImagePath) + nothingChanged;
    }
    if (auto problem = settingsWriteProblem(theme))
        return "import: " + *problem + nothingChanged;

    if (theme.backgroundImage && !Foundation::writeFileAtomically(DeviceRoot::resolve(SharedFiles::backgroundImagePath), *theme.backgroundImage))
        return "import: " + writeFailure(SharedFiles::backgroundImagePath) + nothingChanged;
    // Only a theme that sets a key starts a Settings file: turning switches off needs none.
    auto result = Foundation::updateDictionaryFile(SharedFiles::settingsPath, SharedFiles::settingsLockPath, !theme.settings.empty(), [&](NSMutableDictionary& settings) {
        for (const auto& [key, value] : theme.settings)
            settings.setObjectForKey(value, key);
        for (const char* key : { SharedFiles::colorSwitchKey, SharedFiles::imageSwitchKey }) {
            if (!theme.switchIsOn(key))
                settings.removeObjectForKey(key);
        }
    });
    if (result == Foundation::LockedUpdateResult::Written || (result == Foundation::LockedUpdateResult::Missing && theme.settings.empty()))
        return std::nullopt;
    std::string failure = "cannot use " + settingsFileName() + " (" + readFailure(SharedFiles::settingsPath) + ")";
    if (result == Foundation::LockedUpdateResult::Unwritable)
        failure = lockedWriteFailure(SharedFiles::settingsPath, SharedFiles::settingsLockPath);
    if (theme.backgroundImage && !restorePicture(oldPicture))
        return "import: " + failure + "; the theme's picture was written and the old one could not be put back";
    return "import: " + failure + nothingChanged;
}

}
