#include "Foundation/NSBundle.h"

#include <cstdlib>

NSBundle& NSBundle::mainBundle()
{
    static NSBundle bundle;
    return bundle;
}

void NSBundle::setResourcePath(std::filesystem::path path)
{
    m_resourcePath = std::move(path);
}

std::filesystem::path NSBundle::resourcePath() const
{
    if (const char* overridden = std::getenv("TESSARY8_BUNDLE"); overridden && *overridden)
        return overridden;
    return m_resourcePath;
}

std::optional<std::filesystem::path> NSBundle::pathForResource(std::string_view name, std::string_view type) const
{
    auto folder = resourcePath();
    if (folder.empty() || name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    std::string fileName(name);
    if (!type.empty())
        fileName += "." + std::string(type);
    auto file = folder / fileName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    return file;
}
