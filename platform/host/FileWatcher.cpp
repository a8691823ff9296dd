#include "host/FileWatcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/inotify.h>
#include <system_error>

namespace {

// Everything that changes a name in a folder or a file's content or mode, and the folder's
// own end. Reads (IN_ACCESS, IN_OPEN, IN_CLOSE_NOWRITE) are left out: a build reads the very
// files watched. IN_ONLYDIR makes a file where a folder should be fail like a missing folder.
constexpr std::uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB
    | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

// Events that mean the watched folder itself is gone or no longer where it was.
constexpr std::uint32_t folderEndMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

}

FileWatcher::FileWatcher(const std::vector<std::filesystem::path>& files)
    : m_inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (!m_inotify)
        throw std::system_error(errno, std::generic_category(), "cannot watch files (inotify)");
    for (const auto& file : files) {
        auto absolute = std::filesystem::absolute(file).lexically_normal();
        if (absolute.has_filename())
            m_files.push_back(std::move(absolute));
    }
    arm();
}

namespace {

// Links followed from one file at most: a loop of links ends here.
constexpr int maximumLinks = 8;

// The file and, when it is a symlink, what it leads to, link after link: writers replace a
// link's target, which the link's folder never hears of.
std::vector<std::filesystem::path> withLinkTargets(const std::filesystem::path& file)
{
    std::vector<std::filesystem::path> paths { file };
    std::error_code error;
    for (int links = 0; links < maximumLinks && std::filesystem::is_symlink(paths.back(), error); ++links) {
        auto target = std::filesystem::read_symlink(paths.back(), error);
        if (error || target.empty())
            break;
        auto next = (paths.back().parent_path() / target).lexically_normal();
        if (!next.has_filename())
            break;
        paths.push_back(std::move(next));
    }
    return paths;
}

}

void FileWatcher::arm()
{
    std::map<int, std::vector<std::string>> watches;
    auto watch = [&](const std::filesystem::path& folder) { return inotify_add_watch(m_inotify.get(), folder.c_str(), watchMask); };
    std::vector<std::filesystem::path> files;
    for (const auto& file : m_files) {
        auto paths = withLinkTargets(file);
        files.insert(files.end(), paths.begin(), paths.end());
    }
    for (const auto& file : files) {
        auto folder = file.root_path();
        int folderWatch = watch(folder);
        auto relative = file.relative_path();
        for (auto part = relative.begin(); part != relative.end(); ++part) {
            bool isFile = std::next(part) == relative.end();
            if (folderWatch >= 0)
                watches[folderWatch].push_back(part->string());
            if (isFile)
                break;
            folder /= *part;
            folderWatch = watch(folder);
            // The folder above tells when a missing one appears; an unreadable one is passed over.
            if (folderWatch < 0 && (errno == ENOENT || errno == ENOTDIR))
                break;
        }
    }
    // Adding a folder already watched answers its descriptor again; those no longer on the
    // way are dropped, and their IN_IGNORED, not being in the table any more, is passed over.
    for (const auto& [descriptor, names] : m_watches) {
        if (!watches.contains(descriptor))
            inotify_rm_watch(m_inotify.get(), descriptor);
    }
    m_watches = std::move(watches);
}

bool FileWatcher::takeEvent(int watch, std::uint32_t mask, const char* name, bool& rearm) const
{
    if (mask & IN_Q_OVERFLOW) {
        rearm = true;
        return true;
    }
    auto names = m_watches.find(watch);
    if (names == m_watches.end())
        return false;
    if (mask & folderEndMask) {
        rearm = true;
        return true;
    }
    // A folder on the way came, went or was replaced: the watches below it move. So do they
    // when a file turns into a link, or a link is made to lead elsewhere.
    bool changed = std::find(names->second.begin(), names->second.end(), name) != names->second.end();
    rearm = rearm || changed;
    return changed;
}

bool FileWatcher::drainChanges()
{
    bool changed = false;
    bool rearm = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        ssize_t length = ::read(m_inotify.get(), buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            const char* name = event.len ? buffer + offset + sizeof(inotify_event) : "";
            changed = takeEvent(event.wd, event.mask, name, rearm) || changed;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
    if (rearm)
        arm();
    return changed;
}
