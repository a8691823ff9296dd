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
// A new file's mode follows the umask; a replaced file keeps its mode. A symlink
// to a regular file stays, its target is replaced. A FIFO, a device or a symlink
// to one is written into directly; a folder or a dangling symlink is refused.
// Temporaries that killed writers left of the same file are removed on the way.
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes);

enum class TemporaryKind {
    PreferUnnamed, // O_TMPFILE where the file system has it, linked just before the rename
    Named,         // always ".NAME.XXXXXX", as on file systems without O_TMPFILE
};
[[nodiscard]] bool writeFile(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes, TemporaryKind);

// Reads a whole regular file of at most maximumBytes; nullopt otherwise
// (missing, a folder, unreadable, too large). identity, when given, receives the state of the
// file that was read, or an empty identity when the file changed while it was read.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& hostPath, size_t maximumBytes,
    FileIdentity* identity = nullptr);

}
