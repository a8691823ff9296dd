#pragma once

#include <string>
#include <string_view>
#include <vector>

// File operations on device paths.
class NSFileManager {
public:
    static NSFileManager& defaultManager();

    [[nodiscard]] bool fileExistsAtPath(std::string_view devicePath) const;
    [[nodiscard]] bool fileExistsAtPath(std::string_view devicePath, bool& isDirectory) const;
    bool createDirectoryAtPath(std::string_view devicePath, bool withIntermediateDirectories) const;
    [[nodiscard]] std::vector<std::string> contentsOfDirectoryAtPath(std::string_view devicePath) const;  // sorted names
};
