#include "substrate/Loader.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSFileManager.h"
#include "objc/runtime.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace substrate {

namespace {

struct LoaderState {
    std::mutex lock;
    bool loaded = false;
    std::vector<Loader::LoadedLibrary> libraries;
};

LoaderState& loaderState()
{
    static LoaderState state;
    return state;
}

const PropertyListValue::Array* listOf(const PropertyListValue::Dictionary& filter, const char* key)
{
    auto found = filter.find(key);
    return found == filter.end() ? nullptr : found->second.get<PropertyListValue::Array>();
}

bool listMatches(const PropertyListValue::Array& list, auto&& matches)
{
    return std::any_of(list.begin(), list.end(), [&](const PropertyListValue& entry) {
        auto* text = entry.get<std::string>();
        return text && matches(*text);
    });
}

bool filterMatches(const NSDictionary& plist, const Loader::Process& process)
{
    auto* filterValue = plist.objectForKey("Filter");
    auto* filter = filterValue ? filterValue->get<PropertyListValue::Dictionary>() : nullptr;
    if (!filter)
        return false;

    std::vector<bool> results;
    if (auto* bundles = listOf(*filter, "Bundles")) {
        results.push_back(listMatches(*bundles, [&](const std::string& bundle) {
            return std::find(process.bundles.begin(), process.bundles.end(), bundle) != process.bundles.end();
        }));
    }
    if (auto* executables = listOf(*filter, "Executables"))
        results.push_back(listMatches(*executables, [&](const std::string& name) { return name == process.executable; }));
    if (auto* classes = listOf(*filter, "Classes"))
        results.push_back(listMatches(*classes, [](const std::string& name) { return objc_getClass(name.c_str()) != nullptr; }));
    if (results.empty())
        return false;

    auto* mode = filter->find("Mode") != filter->end() ? filter->at("Mode").get<std::string>() : nullptr;
    if (mode && *mode == "Any")
        return std::find(results.begin(), results.end(), true) != results.end();
    return std::find(results.begin(), results.end(), false) == results.end();
}

// Opened without blocking and without following a link, so that a FIFO, a device
// or a link planted in the folder is turned away before anything reads from it.
int openRegularFile(const std::string& hostPath)
{
    int descriptor = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (descriptor < 0)
        return -1;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

// Anything present but not a plain file is worth a line; a missing filter is not.
bool isPresentButNotRegular(const std::string& hostPath)
{
    struct stat status;
    return ::lstat(hostPath.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

bool safeMode()
{
    const char* value = std::getenv("TESSARY8_SAFE_MODE");
    return value && std::strcmp(value, "1") == 0;
}

}

void Loader::loadLibraries(const Process& process)
{
    {
        std::lock_guard lock(loaderState().lock);
        if (loaderState().loaded)
            return;
        loaderState().loaded = true;
    }
    if (safeMode()) {
        std::fprintf(stderr, "%s: safe mode: no plug-in libraries loaded\n", process.executable.c_str());
        return;
    }

    const std::string folder = libraryFolder;
    for (const auto& name : NSFileManager::defaultManager().contentsOfDirectoryAtPath(folder)) {
        if (name.size() <= 6 || name.compare(name.size() - 6, 6, ".dylib") != 0)
            continue;
        std::string libraryPath = folder + "/" + name;
        std::string filterPath = folder + "/" + name.substr(0, name.size() - 6) + ".plist";
        auto skip = [&](const std::string& path) {
            std::fprintf(stderr, "%s: skipped %s: not a regular file\n", process.executable.c_str(), path.c_str());
        };
        if (isPresentButNotRegular(DeviceRoot::resolve(filterPath))) {
            skip(filterPath);
            continue;
        }
        auto filter = NSDictionary::dictionaryWithContentsOfFile(filterPath);
        if (!filter || !filterMatches(*filter, process))
            continue;
        int descriptor = openRegularFile(DeviceRoot::resolve(libraryPath));
        if (descriptor < 0) {
            int openError = errno;
            if (isPresentButNotRegular(DeviceRoot::resolve(libraryPath)))
                skip(libraryPath);
            else
                std::fprintf(stderr, "%s: failed to load %s: %s\n", process.executable.c_str(), libraryPath.c_str(), std::strerror(openError));
            continue;
        }
        // dlopen goes through the descriptor just checked, so the file cannot be
        // swapped for a FIFO in between. Library initialisers run inside dlopen,
        // on this thread, with no loader lock held.
        std::string descriptorPath = "/proc/self/fd/" + std::to_string(descriptor);
        void* handle = dlopen(descriptorPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        ::close(descriptor);
        if (!handle) {
            const char* reason = dlerror();
            std::fprintf(stderr, "%s: failed to load %s: %s\n", process.executable.c_str(), libraryPath.c_str(), reason ? reason : "unknown error");
            continue;
        }
        std::lock_guard lock(loaderState().lock);
        loaderState().libraries.push_back({ libraryPath, handle });
    }
}

std::vector<Loader::LoadedLibrary> Loader::loadedLibraries()
{
    std::lock_guard lock(loaderState().lock);
    return loaderState().libraries;
}

void* Loader::findSymbol(const char* name)
{
    for (const auto& library : loadedLibraries()) {
        if (void* symbol = dlsym(library.handle, name))
            return symbol;
    }
    return nullptr;
}

}
