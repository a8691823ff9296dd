#include "Foundation/FileIdentity.h"

#include <sys/stat.h>

namespace Foundation {

namespace {

std::optional<FileIdentity> identityOf(const struct stat& status)
{
    if (!S_ISREG(status.st_mode))
        return std::nullopt;
    return FileIdentity { status.st_dev, status.st_ino, status.st_size, status.st_mtim };
}

}

std::optional<FileIdentity> FileIdentity::ofPath(const std::filesystem::path& hostPath)
{
    struct stat status;
    if (::stat(hostPath.c_str(), &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

std::optional<FileIdentity> FileIdentity::ofDescriptor(int descriptor)
{
    struct stat status;
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

bool operator==(const FileIdentity& a, const FileIdentity& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec
        && a.modified.tv_nsec == b.modified.tv_nsec;
}

}
