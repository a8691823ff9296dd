#include "Foundation/NSFileManager.h"

#include "Foundation/DeviceRoot.h"

#include <algorithm>
#include <filesystem>

NSFileManager& NSFileManager::defaultManager()
{
    static NSFileManager manager;
    return manager;
}

bool NSFileManager::fileExistsAtPath(std::string_view devicePath) const
{
    bool isDirectory = false;
    return fileExistsAtPath(devicePath, isDirectory);
}

bool NSFileManager::fileExistsAtPath(std::string_view devicePath, bool& isDirectory) const
{
    std::error_code error;
    auto status = std::filesystem::status(DeviceRoot::resolve(devicePath), error);
    if (error || !std::filesystem::exists(status))
        return false;
    isDirectory = std::filesystem::is_directory(status);
    return true;
}

bool NSFileManager::createDirectoryAtPath(std::string_view devicePath, bool withIntermediateDirectories) const
{
    auto folder = DeviceRoot::resolve(devicePath);
    std::error_code error;
    if (withIntermediateDirectories) {
        std::filesystem::create_directories(folder, error);
        return !error && std::filesystem::is_directory(folder, error);
    }
    return std::filesystem::create_directory(folder, error) && !error;
}

std::vector<std::string> NSFileManager::contentsOfDirectoryAtPath(std::string_view devicePath) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(DeviceRoot::resolve(devicePath), error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
