#include "SharedFilesState.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/FileIdentity.h"
#include "shared/SharedFiles.h"

#include <cstdio>

namespace {

nlohmann::json identityOf(const char* devicePath)
{
    auto identity = Foundation::FileIdentity::ofPath(DeviceRoot::resolve(devicePath));
    if (!identity)
        return nullptr;
    char text[96];
    std::snprintf(text, sizeof text, "%llu:%llu:%lld:%lld.%09ld", static_cast<unsigned long long>(identity->device),
        static_cast<unsigned long long>(identity->inode), static_cast<long long>(identity->size),
        static_cast<long long>(identity->modified.tv_sec), identity->modified.tv_nsec);
    return text;
}

}

nlohmann::json sharedFilesState()
{
    return { { "settings", identityOf(SharedFiles::settingsPath) },
        { "backgroundImage", identityOf(SharedFiles::backgroundImagePath) } };
}
