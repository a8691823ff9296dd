#include "Foundation/DeviceRoot.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace DeviceRoot {

namespace {

std::mutex& rootLock()
{
    static std::mutex lock;
    return lock;
}

std::filesystem::path& chosenRoot()
{
    static std::filesystem::path root;
    return root;
}

const char* nonEmptyEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}

std::filesystem::path defaultRoot()
{
    if (const char* root = nonEmptyEnvironment("TESSARY8_ROOT"))
        return std::filesystem::absolute(root);
    if (const char* data = nonEmptyEnvironment("XDG_DATA_HOME"))
        return std::filesystem::path(data) / "tessary8" / "device";
    const char* home = nonEmptyEnvironment("HOME");
    return std::filesystem::path(home ? home : "/tmp") / ".local" / "share" / "tessary8" / "device";
}

std::filesystem::path current()
{
    std::lock_guard lock(rootLock());
    if (chosenRoot().empty())
        return defaultRoot();
    return chosenRoot();
}

void set(const std::filesystem::path& root)
{
    std::lock_guard lock(rootLock());
    chosenRoot() = root.empty() ? root : std::filesystem::absolute(root);
}

std::filesystem::path resolve(std::string_view devicePath)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= devicePath.size()) {
        size_t end = devicePath.find('/', start);
        if (end == std::string_view::npos)
            end = devicePath.size();
        std::string_view part = devicePath.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::filesystem::path resolved = current();
    for (auto part : parts)
        resolved /= std::filesystem::path(part);
    return resolved;
}

}
