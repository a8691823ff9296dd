#include "Foundation/AtomicFile.h"

#include "Foundation/OwnedDescriptor.h"
#include "Foundation/Random.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Foundation {

namespace {

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
    OwnedDescriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return descriptor.get() >= 0 && ::fsync(descriptor.get()) == 0;
}

// Long enough that no live writer, however slow its disk, still holds a temporary this old.
constexpr auto staleTemporaryAge = std::chrono::minutes(10);
constexpr size_t temporarySuffixLength = 6;

std::string temporaryPrefix(const std::string& name)
{
    // Hidden, and short enough for the longest name the target itself may have.
    return "." + name.substr(0, 200) + ".";
}

std::string randomSuffix()
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (size_t i = 0; i < temporarySuffixLength; ++i)
        suffix += alphabet[arc4random_uniform(sizeof(alphabet) - 1)];
    return suffix;
}

bool isTemporaryOf(const std::string& entry, const std::string& prefix)
{
    if (entry.size() != prefix.size() + temporarySuffixLength || !entry.starts_with(prefix))
        return false;
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A writer killed between creating and renaming its temporary leaves it behind. One is
// ours to remove when it is a plain file, old, and no writer holds its lock.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return;
    auto threshold = std::chrono::system_clock::now() - staleTemporaryAge;
    for (auto& entry : entries) {
        std::string entryName = entry.path().filename().string();
        if (!isTemporaryOf(entryName, prefix))
            continue;
        OwnedDescriptor descriptor(::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat status;
        if (descriptor.get() < 0 || ::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        auto modified = std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec);
        if (modified > threshold || ::flock(descriptor.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        ::unlink(entry.path().c_str());
    }
}

// Devices, FIFOs and the like are written into as they are: renaming over one would
// replace it with a regular file (as root even /dev/null).
bool writeInPlace(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes)
{
    OwnedDescriptor descriptor(::open(hostPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (descriptor.get() < 0)
        return false;
    bool written = writeAll(descriptor.get(), bytes);
    return descriptor.close() && written;
}

struct Temporary {
    OwnedDescriptor descriptor;
    bool unnamed { false };
    std::filesystem::path path;
};

// Gives the temporary a name of its own that nobody else holds; linkat never replaces.
bool linkUnnamed(Temporary& temporary, const std::filesystem::path& folder, const std::string& prefix)
{
    std::string procPath = "/proc/self/fd/" + std::to_string(temporary.descriptor.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = folder / (prefix + randomSuffix());
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.path = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool createNamed(Temporary& temporary, const std::filesystem::path& folder, const std::string& prefix)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = folder / (prefix + randomSuffix());
        // O_EXCL never follows whatever already sits at the name; 0666 lets the umask decide.
        int descriptor = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (descriptor >= 0) {
            temporary.descriptor = OwnedDescriptor(descriptor);
            temporary.path = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Writes the temporary and puts it in the target's place; false leaves no temporary behind.
bool replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, const struct stat* existing, bool preferUnnamed)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string prefix = temporaryPrefix(target.filename().string());
    removeStaleTemporaries(folder, prefix);

    Temporary temporary;
    if (preferUnnamed) {
        int descriptor = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            temporary.descriptor = OwnedDescriptor(descriptor);
            temporary.unnamed = true;
        }
    }
    if (!temporary.unnamed && !createNamed(temporary, folder, prefix))
        return false;

    // The lock tells removeStaleTemporaries this writer is alive.
    bool written = ::flock(temporary.descriptor.get(), LOCK_EX) == 0;
    if (existing) {
        // Keep the replaced file's owner where allowed, and its mode; chmod last,
        // since a change of owner clears the set-id bits.
        (void)::fchown(temporary.descriptor.get(), existing->st_uid, existing->st_gid);
        written = written && ::fchmod(temporary.descriptor.get(), existing->st_mode & 07777) == 0;
    }
    written = written && writeAll(temporary.descriptor.get(), bytes) && ::fsync(temporary.descriptor.get()) == 0;
    // Without /proc an unnamed temporary cannot be given a name; fall back to a named one.
    if (written && temporary.unnamed && !linkUnnamed(temporary, folder, prefix))
        return replace(target, bytes, existing, false);
    if (!written) {
        if (!temporary.unnamed)
            ::unlink(temporary.path.c_str());
        return false;
    }
    if (::rename(temporary.path.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.path.c_str());
        return false;
    }
    if (!temporary.descriptor.close())
        return false;
    // The new content is in place whatever this answers; some file systems
    // cannot sync a folder, and reporting failure now would suggest the old
    // file survived.
    (void)syncFolder(folder);
    return true;
}

}

bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes)
{
    return writeFile(hostPath, bytes, TemporaryKind::PreferUnnamed);
}

bool writeFile(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes, TemporaryKind kind)
{
    std::string name = hostPath.filename().string();
    if (name.empty() || name == "." || name == "..")
        return false;

    struct stat existing;
    if (::stat(hostPath.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            return false;
        // A dangling symlink is left alone rather than replaced by a file.
        struct stat link;
        if (::lstat(hostPath.c_str(), &link) == 0)
            return false;
        return replace(hostPath, bytes, nullptr, kind == TemporaryKind::PreferUnnamed);
    }
    if (S_ISDIR(existing.st_mode))
        return false;
    if (!S_ISREG(existing.st_mode))
        return writeInPlace(hostPath, bytes);

    // A symlink stays a symlink: its final target is what gets replaced.
    std::error_code error;
    auto target = std::filesystem::canonical(hostPath, error);
    if (error)
        return false;
    return replace(target, bytes, &existing, kind == TemporaryKind::PreferUnnamed);
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& hostPath, size_t maximumBytes, FileIdentity* identity)
{
    // Non-blocking so that a FIFO in the file's place cannot hang the reader
    // before it is turned away as not a regular file.
    OwnedDescriptor descriptor(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
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
