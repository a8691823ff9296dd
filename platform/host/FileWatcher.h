#pragma once

#include "Foundation/OwnedDescriptor.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Tells from the kernel's file notifications (inotify), without polling, when any of a few
// files may have changed: written in place, replaced by a rename, deleted, created. Every
// existing folder on the way to each file is watched, from the file system's root down, so
// folders created later at any depth, and folders removed or renamed at any level, re-arm
// the watches deeper or higher. A folder the process may not read is passed over (its
// changes go unseen; those below it are still watched). A symlink on the way is followed
// when the watches are armed; a file that is a symlink is watched with its target (link
// after link, eight at most), and any change to a watched name re-arms the watches.
class FileWatcher {
public:
    // Relative paths are taken from the current folder. Throws std::system_error when the
    // kernel gives no inotify instance (the per-user limit, say).
    explicit FileWatcher(const std::vector<std::filesystem::path>& files);

    // For poll(): readable while events are pending. Non-blocking and close-on-exec.
    [[nodiscard]] int descriptor() const { return m_inotify.get(); }
    // Reads every pending event without blocking, re-arms when folders came or went, and
    // answers whether one of the files may have changed since the last call. Lost events
    // (the kernel's queue overflowed) count as a change.
    [[nodiscard]] bool drainChanges();
    // How many folders are watched now.
    [[nodiscard]] size_t watchedFolderCount() const { return m_watches.size(); }

private:
    void arm();
    [[nodiscard]] bool takeEvent(int watch, std::uint32_t mask, const char* name, bool& rearm) const;

    std::vector<std::filesystem::path> m_files;
    OwnedDescriptor m_inotify;
    // By watch descriptor, the names that matter in that folder: a watched file, or the next
    // folder on the way to one.
    std::map<int, std::vector<std::string>> m_watches;
};
