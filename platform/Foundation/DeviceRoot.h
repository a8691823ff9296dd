#pragma once

// The simulated device's file system. The system's code names files by their
// absolute device paths ("/var/mobile/Library/Preferences/..."); every such path
// lives under one device root folder on this machine, chosen once per process:
// --root, else TESSARY8_ROOT, else $XDG_DATA_HOME/tessary8/device
// (~/.local/share/tessary8/device).

#include <filesystem>
#include <string_view>

namespace DeviceRoot {

[[nodiscard]] std::filesystem::path defaultRoot();  // from the environment
[[nodiscard]] std::filesystem::path current();
void set(const std::filesystem::path& root);        // an empty path restores the default

// Maps a device path to the file on this machine. ".." never leaves the root,
// and a relative path is taken from the device's top folder.
[[nodiscard]] std::filesystem::path resolve(std::string_view devicePath);

}
