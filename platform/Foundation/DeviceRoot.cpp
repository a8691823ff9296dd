#include "Foundation/DeviceRoot.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
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

bool isSet(const char* value)
{
    return value && *value;
}

bool isAbsolute(const char* value)
{
    return isSet(value) && *value == '/';
}

// Accounts without a home name a folder that does not exist (/nonexistent).
bool isUsableHome(const char* value)
{
    std::error_code error;
    return isAbsolute(value) && std::filesystem::is_directory(value, error);
}

}

std::filesystem::path defaultRootFor(const Environment& environment)
{
    if (isSet(environment.root))
        return std::filesystem::absolute(environment.root);
    // The XDG rules ask for a relative value to be ignored.
    if (isAbsolute(environment.dataHome))
        return std::filesystem::path(environment.dataHome) / "tessary8" / "device";
    const char* home = isAbsolute(environment.home) ? environment.home
        : isUsableHome(environment.passwordHome)    ? environment.passwordHome
                                                    : nullptr;
    if (!home)
        return {};
    return std::filesystem::path(home) / ".local" / "share" / "tessary8" / "device";
}

std::filesystem::path defaultRoot()
{
    Environment environment { std::getenv("TESSARY8_ROOT"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), nullptr };
    if (!isSet(environment.root) && !isAbsolute(environment.dataHome) && !isAbsolute(environment.home)) {
        if (const passwd* entry = ::getpwuid(::getuid()))
            environment.passwordHome = entry->pw_dir;
    }
    return defaultRootFor(environment);
}

const char* noRootMessage()
{
    return "no home folder to keep the device in: pass --root FOLDER (or set TESSARY8_ROOT)";
}

std::filesystem::path current()
{
    std::lock_guard lock(rootLock());
    if (!chosenRoot().empty())
        return chosenRoot();
    auto root = defaultRoot();
    if (root.empty())
        throw std::runtime_error(noRootMessage());
    return root;
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
