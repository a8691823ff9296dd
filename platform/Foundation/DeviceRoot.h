#pragma once

// The simulated device's file system. The system's code names files by their
// absolute device paths ("/var/mobile/Library/Preferences/..."); every such path
// lives under one device root folder on this machine, chosen once per process:
// --root, else TESSARY8_ROOT, else $XDG_DATA_HOME/tessary8/device
// (~/.local/share/tessary8/device). The home folder is $HOME, else the one the
// password database names; with neither there is no default root, and programs
// refuse to start rather than fall back to a folder other users could write to.

#include <filesystem>
#include <string_view>

namespace DeviceRoot {

// What the default root is chosen from; null or empty entries are unset.
struct Environment {
    const char* root = nullptr;          // TESSARY8_ROOT
    const char* dataHome = nullptr;      // XDG_DATA_HOME, ignored unless absolute
    const char* home = nullptr;          // HOME, ignored unless absolute
    const char* passwordHome = nullptr;  // the user's entry in the password database
};

// Empty when there is no usable home folder.
[[nodiscard]] std::filesystem::path defaultRootFor(const Environment&);
[[nodiscard]] std::filesystem::path defaultRoot();  // from this process's environment
[[nodiscard]] const char* noRootMessage();
// Throws std::runtime_error (noRootMessage) when no root was set and there is no default.
[[nodiscard]] std::filesystem::path current();
void set(const std::filesystem::path& root);        // an empty path restores the default

// Maps a device path to the file on this machine. ".." never leaves the root,
// and a relative path is taken from the device's top folder.
[[nodiscard]] std::filesystem::path resolve(std::string_view devicePath);

}
