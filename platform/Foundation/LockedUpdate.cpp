#include "Foundation/LockedUpdate.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/OwnedDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

namespace {

class FileLock {
public:
    explicit FileLock(const std::filesystem::path& hostPath)
        // Never truncated or written: it only carries the lock. 0666 lets the umask decide who may take it.
        : m_descriptor(::open(hostPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0666))
    {
        struct stat status;
        if (m_descriptor && (::fstat(m_descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode)))
            m_descriptor.reset();
        while (m_descriptor && ::flock(m_descriptor.get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                m_descriptor.reset();
        }
    }

    [[nodiscard]] bool held() const { return static_cast<bool>(m_descriptor); }

private:
    OwnedDescriptor m_descriptor;
};

}

LockedUpdateResult updateDictionaryFile(std::string_view devicePath, std::string_view lockDevicePath, bool startIfMissing,
    const std::function<void(NSMutableDictionary&)>& change)
{
    FileLock lock(DeviceRoot::resolve(lockDevicePath));
    if (!lock.held())
        return LockedUpdateResult::Unwritable;

    std::error_code error;
    bool exists = std::filesystem::exists(std::filesystem::symlink_status(DeviceRoot::resolve(devicePath), error));
    auto dictionary = exists ? NSMutableDictionary::dictionaryWithContentsOfFile(devicePath) : nullptr;
    if (!dictionary) {
        if (exists)
            return LockedUpdateResult::Unparsable;
        if (!startIfMissing)
            return LockedUpdateResult::Missing;
        dictionary = NSMutableDictionary::dictionary();
    }
    change(*dictionary);
    return dictionary->writeToFile(devicePath, true) ? LockedUpdateResult::Written : LockedUpdateResult::Unwritable;
}

}
