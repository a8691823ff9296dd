#include "Foundation/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor = -1) : m_descriptor(descriptor) { }
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return m_descriptor; }
    // close() reports write-back errors some file systems only see then.
    [[nodiscard]] bool close()
    {
        int descriptor = m_descriptor;
        m_descriptor = -1;
        return ::close(descriptor) == 0;
    }

private:
    int m_descriptor;
};

bool writeAll(int descriptor, std::span<const std::uint8_t> bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t result = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (result == 0)
            return false;
        written += static_cast<size_t>(result);
    }
    return true;
}

bool syncFolder(const std::filesystem::path& folder)
{
    FileDescriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return descriptor.get() >= 0 && ::fsync(descriptor.get()) == 0;
}

}

bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes)
{
    std::string name = hostPath.filename().string();
    if (name.empty() || name == "." || name == "..")
        return false;
    std::filesystem::path folder = hostPath.parent_path();
    if (folder.empty())
        folder = ".";

    mode_t mode = 0644;
    struct stat existing;
    if (::stat(hostPath.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    // Hidden, next to the target (rename only works within one file system),
    // and short enough for the longest name the target itself may have.
    std::string temporary = (folder / ("." + name.substr(0, 200) + ".XXXXXX")).string();
    FileDescriptor descriptor(::mkostemp(temporary.data(), O_CLOEXEC));
    if (descriptor.get() < 0)
        return false;

    bool written = ::fchmod(descriptor.get(), mode) == 0
        && writeAll(descriptor.get(), bytes)
        && ::fsync(descriptor.get()) == 0;
    written = descriptor.close() && written;
    if (!written || ::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The new content is in place whatever this answers; some file systems
    // cannot sync a folder, and reporting failure now would suggest the old
    // file survived.
    (void)syncFolder(folder);
    return true;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& hostPath, size_t maximumBytes, FileIdentity* identity)
{
    // Non-blocking so that a FIFO in the file's place cannot hang the reader
    // before it is turned away as not a regular file.
    FileDescriptor descriptor(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (descriptor.get() < 0)
        return std::nullopt;
    auto read = FileIdentity::ofDescriptor(descriptor.get());
    if (!read || read->size < 0 || static_cast<std::uint64_t>(read->size) > maximumBytes)
        return std::nullopt;

    // Sized once from the file; it grows only if the file grew while being read.
    std::vector<std::uint8_t> bytes(static_cast<size_t>(read->size));
    size_t filled = 0;
    for (;;) {
        std::uint8_t probe[4096];
        bool full = filled == bytes.size();
        ssize_t result = full ? ::read(descriptor.get(), probe, sizeof probe) : ::read(descriptor.get(), bytes.data() + filled, bytes.size() - filled);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (result == 0)
            break;
        if (full) {
            if (static_cast<size_t>(result) > maximumBytes - filled)
                return std::nullopt;
            bytes.insert(bytes.end(), probe, probe + result);
        }
        filled += static_cast<size_t>(result);
    }
    bytes.resize(filled);
    if (identity) {
        // A file that changed while it was read is not known by its earlier identity.
        auto after = FileIdentity::ofDescriptor(descriptor.get());
        *identity = after && *after == *read && filled == static_cast<size_t>(read->size) ? *read : FileIdentity {};
    }
    return bytes;
}

}
