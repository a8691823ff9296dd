#pragma once

#include <nlohmann/json.hpp>

// Which state of the two shared files a keyboard is built from, without reading them:
// {"settings": S, "backgroundImage": S}, each S the file's identity as
// "device:inode:size:seconds.nanoseconds", or null while it is missing or not a regular file.
// A watcher reports it with every rebuild, so that its reader can tell whether what it shows
// is still what the files hold now.
[[nodiscard]] nlohmann::json sharedFilesState();
