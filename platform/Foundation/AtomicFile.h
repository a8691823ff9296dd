#pragma once

#include "Foundation/FileIdentity.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace Foundation {

// Writes a whole file so that a reader sees either the old content or the new,
// never a part: a temporary file in the same folder, flushed to disk, renamed
// over the target. On failure the temporary file is removed, the old file stays,
// and false is answered. The folder is not created.
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes);

// Reads a whole regular file of at most maximumBytes; nullopt otherwise
// (missing, a folder, unreadable, too large). identity, when given, receives the state of the
// file that was read, or an empty identity when the file changed while it was read.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& hostPath, size_t maximumBytes,
    FileIdentity* identity = nullptr);

}
