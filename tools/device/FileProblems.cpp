#include "FileProblems.h"

#include "Foundation/DeviceRoot.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileProblems {

namespace {

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a file";
}

// Opened without blocking, so that a FIFO in the file's place cannot hang the tool.
std::optional<std::string> statusProblem(const std::filesystem::path& hostPath, struct stat& status)
{
    int descriptor = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0)
        return std::string(std::strerror(errno));
    bool known = ::fstat(descriptor, &status) == 0;
    int error = errno;
    ::close(descriptor);
    if (!known)
        return std::string(std::strerror(error));
    return std::nullopt;
}

}

bool isMissing(const std::filesystem::path& hostPath)
{
    struct stat status;
    return ::lstat(hostPath.c_str(), &status) != 0 && errno == ENOENT;
}

std::optional<std::string> readProblem(const std::filesystem::path& hostPath)
{
    struct stat status;
    if (auto problem = statusProblem(hostPath, status))
        return problem;
    if (!S_ISREG(status.st_mode))
        return std::string("not a regular file");
    return std::nullopt;
}

std::optional<std::string> inputFileProblem(const std::filesystem::path& hostPath, size_t maximumBytes)
{
    struct stat status;
    if (auto problem = statusProblem(hostPath, status))
        return problem;
    if (!S_ISREG(status.st_mode))
        return std::string("not a regular file (") + kindOf(status.st_mode) + ")";
    if (static_cast<std::uintmax_t>(status.st_size) > maximumBytes)
        return "larger than " + std::to_string(maximumBytes >> 20) + " MiB (" + std::to_string(status.st_size) + " bytes)";
    return std::nullopt;
}

std::variant<std::vector<std::uint8_t>, std::string> readStandardInput(size_t maximumBytes)
{
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> buffer(64 * 1024);
    for (;;) {
        ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::string(std::strerror(errno));
        if (count == 0)
            return bytes;
        if (bytes.size() + static_cast<size_t>(count) > maximumBytes)
            return "larger than " + std::to_string(maximumBytes >> 20) + " MiB";
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + count);
    }
}

std::string readFailure(const char* devicePath)
{
    auto hostPath = DeviceRoot::resolve(devicePath);
    if (isMissing(hostPath))
        return "missing";
    if (auto problem = readProblem(hostPath))
        return "unreadable: " + *problem;
    return "does not parse";
}

std::string hostWriteFailure(const std::filesystem::path& hostPath)
{
    auto folder = hostPath.parent_path().empty() ? std::filesystem::path(".") : hostPath.parent_path();
    std::string failure = "cannot write " + hostPath.string();
    if (isMissing(folder))
        return failure + ": " + std::strerror(ENOENT);
    struct stat status;
    if (::stat(folder.c_str(), &status) != 0)
        return failure + ": " + std::strerror(errno);
    if (!S_ISDIR(status.st_mode))
        return failure + ": " + std::strerror(ENOTDIR);
    if (::access(folder.c_str(), W_OK) != 0)
        return failure + ": " + std::strerror(errno);
    if (::stat(hostPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return failure + ": " + std::strerror(EISDIR);
    return failure;
}

std::string writeFailure(const char* devicePath)
{
    auto hostPath = DeviceRoot::resolve(devicePath);
    if (isMissing(hostPath.parent_path()))
        return "cannot write " + hostPath.string() + ": its folder is missing (run tessary8-device init first)";
    return hostWriteFailure(hostPath);
}

std::string lockedWriteFailure(const char* devicePath, const char* lockDevicePath)
{
    auto lock = DeviceRoot::resolve(lockDevicePath);
    if (auto problem = isMissing(lock) ? std::nullopt : readProblem(lock))
        return "cannot take the writers' lock " + lock.string() + ": " + *problem;
    return writeFailure(devicePath);
}

}
