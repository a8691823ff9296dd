#pragma once

#include <functional>
#include <string_view>

class NSMutableDictionary;

namespace Foundation {

enum class LockedUpdateResult {
    Written,
    Missing,    // and not to be started afresh
    Unparsable, // left alone
    Unwritable, // the lock file or the new file could not be written
};

// Read-modify-write of a property-list file, serialised among the writers that pass the
// same lock file (an advisory flock on a file beside it, so the file itself is still
// replaced by rename and readers, which never lock, see whole files). A missing file
// is started from an empty dictionary when startIfMissing; change() runs under the lock.
// Paths are device paths.
[[nodiscard]] LockedUpdateResult updateDictionaryFile(std::string_view devicePath, std::string_view lockDevicePath, bool startIfMissing,
    const std::function<void(NSMutableDictionary&)>& change);

}
