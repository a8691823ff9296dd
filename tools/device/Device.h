#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Preparing and inspecting a simulated device: what installing the package
// does, and what the shared files hold.
namespace Device {

inline constexpr const char* pluginPath = "/Library/MobileSubstrate/DynamicLibraries/Tessary8.dylib";
inline constexpr const char* pluginFilterPath = "/Library/MobileSubstrate/DynamicLibraries/Tessary8.plist";

// Installs the plug-in (the built library under its install name) with its
// filter and creates the folders the system expects. Safe to repeat. Answers
// an error message, or nothing on success.
[[nodiscard]] std::optional<std::string> install(const std::filesystem::path& builtPlugin);

// A readable account of what is installed (and whether it is the plug-in just
// built: a stale copy is built against another platform and must be replaced)
// and what the two shared files hold.
[[nodiscard]] std::string status(const std::filesystem::path& builtPlugin);

// Changes the Settings file as the application's own writers do: a colour save
// creates the file when it is missing; a switch changes an existing file only.
struct SettingsChange {
    std::optional<std::array<float, 4>> color;
    std::optional<bool> colorSwitch;
    std::optional<bool> imageSwitch;
    std::optional<std::filesystem::path> image;  // any image file on this machine, stored as the PNG
};
[[nodiscard]] std::optional<std::string> apply(const SettingsChange&);

// Copies pictures into the photo library as a camera would, each as the camera folder's next
// IMG_NNNN with its format's extension, saying on out where each went. Every file is checked
// first: if one is not a decodable PNG, JPEG or HEIC, nothing is copied.
[[nodiscard]] std::optional<std::string> addPhotos(const std::vector<std::filesystem::path>& files, std::ostream& out);

// The photo library, oldest first: each picture's name, stored size, orientation and date.
[[nodiscard]] std::string describePhotos();

}
