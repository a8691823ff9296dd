#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The application's bundle: the folder its resources (pictures) are read from,
// on this machine. A program sets it at start; TESSARY8_BUNDLE overrides it.
class NSBundle {
public:
    static NSBundle& mainBundle();

    void setResourcePath(std::filesystem::path);
    [[nodiscard]] std::filesystem::path resourcePath() const;
    // The file of a resource, when it exists.
    [[nodiscard]] std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type) const;

private:
    std::filesystem::path m_resourcePath;
};
