#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <sys/types.h>

namespace Foundation {

// What tells one state of a file from another without reading it: our writers replace files
// by rename (a new inode), and any other writer changes the size or the modification time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};

    [[nodiscard]] static std::optional<FileIdentity> ofPath(const std::filesystem::path& hostPath);
    [[nodiscard]] static std::optional<FileIdentity> ofDescriptor(int descriptor);
    friend bool operator==(const FileIdentity&, const FileIdentity&);
};

}
