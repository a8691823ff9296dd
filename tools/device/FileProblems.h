#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Why the device tool cannot read or write a file, in the system's words, so that every
// subcommand names the real cause the same way.
namespace FileProblems {

[[nodiscard]] bool isMissing(const std::filesystem::path& hostPath);

// nullopt when the file opens as a regular file, so that a failed read of such a file is the
// content's fault; else the system's reason, or "not a regular file".
[[nodiscard]] std::optional<std::string> readProblem(const std::filesystem::path& hostPath);

// As readProblem, naming what stands there instead (a FIFO is never waited on), and
// refusing a file larger than maximumBytes before any of it is read.
[[nodiscard]] std::optional<std::string> inputFileProblem(const std::filesystem::path& hostPath, size_t maximumBytes);

// Standard input to its end, or why not: the system's reason, or that it runs past
// maximumBytes (nothing more is read then).
[[nodiscard]] std::variant<std::vector<std::uint8_t>, std::string> readStandardInput(size_t maximumBytes);

// A device file that did not read: "missing", "unreadable: REASON" or "does not parse".
[[nodiscard]] std::string readFailure(const char* devicePath);

// A failed write, naming the folder's fault when there is one.
[[nodiscard]] std::string hostWriteFailure(const std::filesystem::path& hostPath);
// The same for a device path; a missing folder asks for tessary8-device init.
[[nodiscard]] std::string writeFailure(const char* devicePath);
// A locked update that could not write: the writers' lock file beside the file when that is
// what stands in the way, else as writeFailure.
[[nodiscard]] std::string lockedWriteFailure(const char* devicePath, const char* lockDevicePath);

}
