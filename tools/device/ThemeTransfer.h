#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

// Moving a look between devices as one theme file (see Theme.h). Each answers an error
// message, or nothing on success.
namespace ThemeTransfer {

// Writes the device's look to file ("-": standardOutput), atomically over a regular file.
// A device with neither Settings file nor picture gives an empty look: both switches off,
// no colour, no picture. A Settings file or picture that cannot be read, or that a theme
// cannot carry (so that import would refuse it), is refused with its cause.
[[nodiscard]] std::optional<std::string> exportTheme(const std::string& file, std::ostream& standardOutput);

// Applies a theme: every part of the file and the device's files are checked before
// anything is written. Then the picture (when the theme has one; else the device's stays)
// and then the Settings keys in one locked write: the carried keys are set, a switch that
// is off loses its key, keys the theme does not carry stay. Each write is atomic, so an
// interrupted import leaves the old look or the new picture with the old Settings; a
// Settings write that fails puts the old picture back.
[[nodiscard]] std::optional<std::string> importTheme(const std::filesystem::path& file);

}
