#include "host/FileWatcher.h"

#include "Foundation/AtomicFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// The kernel queues an event before the call that caused it returns, so every step's
// changes are there to drain as soon as it is done: no waiting anywhere.
struct Paths {
    fs::path base;
    fs::path folder() const { return base / "a" / "b"; }
    fs::path file() const { return folder() / "settings.plist"; }
    fs::path otherFile() const { return base / "c" / "picture.png"; }
};

void writeInPlace(const fs::path& file, const std::string& text)
{
    // As a text editor saving over the file: the same inode, truncated and written.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

void writeAtomically(const fs::path& file, const std::string& text)
{
    ASSERT_TRUE(Foundation::writeFileAtomically(file, { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() }));
}

struct Step {
    const char* what;
    std::function<void(const Paths&)> action;
    bool changes;
};

struct Case {
    const char* name;
    std::function<void(const Paths&)> before;  // the folders and files there when the watch starts
    std::vector<Step> steps;
};

void withBothFiles(const Paths& paths)
{
    fs::create_directories(paths.folder());
    fs::create_directories(paths.otherFile().parent_path());
    writeInPlace(paths.file(), "first");
    writeInPlace(paths.otherFile(), "picture");
}

void nothing(const Paths&) { }

// The watched file is a relative symlink to a file in a folder of its own.
void withLinkedFile(const Paths& paths)
{
    withBothFiles(paths);
    fs::create_directories(paths.base / "elsewhere");
    writeInPlace(paths.base / "elsewhere" / "real.plist", "real");
    fs::remove(paths.file());
    fs::create_symlink("../../elsewhere/real.plist", paths.file());
}

TEST(FileWatcher, ToldOfEveryKindOfChangeToTheFilesAndOfNothingElse)
{
    const Case cases[] = {
        { "written in place", withBothFiles, { { "write", [](const Paths& p) { writeInPlace(p.file(), "second"); }, true } } },
        { "replaced by rename", withBothFiles, { { "atomic write", [](const Paths& p) { writeAtomically(p.file(), "second"); }, true } } },
        { "the other file replaced", withBothFiles, { { "atomic write", [](const Paths& p) { writeAtomically(p.otherFile(), "other"); }, true } } },
        { "deleted and created again", withBothFiles,
            { { "delete", [](const Paths& p) { fs::remove(p.file()); }, true },
                { "create", [](const Paths& p) { writeInPlace(p.file(), "again"); }, true },
                { "write", [](const Paths& p) { writeInPlace(p.file(), "and again"); }, true } } },
        { "mode changed", withBothFiles, { { "chmod", [](const Paths& p) { fs::permissions(p.file(), fs::perms::owner_read); }, true } } },
        { "unrelated files in the folder", withBothFiles,
            { { "another file written", [](const Paths& p) { writeInPlace(p.folder() / "other.txt", "x"); }, false },
                { "another file replaced", [](const Paths& p) { writeAtomically(p.folder() / "other.txt", "y"); }, false },
                { "another file deleted", [](const Paths& p) { fs::remove(p.folder() / "other.txt"); }, false },
                { "a folder beside", [](const Paths& p) { fs::create_directory(p.folder() / "sub"); }, false },
                { "a file above", [](const Paths& p) { writeInPlace(p.base / "a" / "note", "x"); }, false },
                { "the file read", [](const Paths& p) { (void)TestSupport::readFile(p.file()); }, false } } },
        { "folders created later, several levels", nothing,
            { { "base only", [](const Paths&) { }, false },
                { "first level", [](const Paths& p) { fs::create_directory(p.base / "a"); }, true },
                { "second level", [](const Paths& p) { fs::create_directory(p.folder()); }, true },
                { "file created", [](const Paths& p) { writeInPlace(p.file(), "new"); }, true },
                { "file written", [](const Paths& p) { writeAtomically(p.file(), "newer"); }, true } } },
        { "folders and file created at once", nothing,
            { { "mkdir -p and write", [](const Paths& p) {
                   fs::create_directories(p.folder());
                   writeInPlace(p.file(), "new");
               }, true },
                { "file written", [](const Paths& p) { writeInPlace(p.file(), "newer"); }, true } } },
        { "folder removed and created again", withBothFiles,
            { { "removed", [](const Paths& p) { fs::remove_all(p.base / "a"); }, true },
                { "created again", [](const Paths& p) { fs::create_directories(p.folder()); }, true },
                { "file written", [](const Paths& p) { writeInPlace(p.file(), "back"); }, true },
                { "unrelated file", [](const Paths& p) { writeInPlace(p.folder() / "other.txt", "x"); }, false } } },
        { "folder on the way renamed away and another put in its place", withBothFiles,
            { { "renamed", [](const Paths& p) { fs::rename(p.base / "a", p.base / "old"); }, true },
                { "old place written", [](const Paths& p) { writeInPlace(p.base / "old" / "b" / "settings.plist", "x"); }, false },
                { "new folder moved in", [](const Paths& p) {
                     fs::create_directories(p.base / "new" / "b");
                     fs::rename(p.base / "new", p.base / "a");
                 }, true },
                { "file written", [](const Paths& p) { writeInPlace(p.file(), "here"); }, true } } },
        { "a file that is a symlink", withLinkedFile,
            { { "target written in place", [](const Paths& p) { writeInPlace(p.base / "elsewhere" / "real.plist", "x"); }, true },
                { "target replaced by rename", [](const Paths& p) { writeAtomically(p.base / "elsewhere" / "real.plist", "y"); }, true },
                { "link made to lead elsewhere", [](const Paths& p) {
                     writeInPlace(p.base / "c" / "next.plist", "next");
                     fs::create_symlink("../../c/next.plist", p.folder() / "link.tmp");
                     fs::rename(p.folder() / "link.tmp", p.file());
                 }, true },
                { "old target written", [](const Paths& p) { writeInPlace(p.base / "elsewhere" / "real.plist", "z"); }, false },
                { "new target written", [](const Paths& p) { writeInPlace(p.base / "c" / "next.plist", "w"); }, true } } },
        { "a file where a folder belongs", nothing,
            { { "file named as the folder", [](const Paths& p) { writeInPlace(p.base / "a", "x"); }, true },
                { "replaced by the folder", [](const Paths& p) {
                     fs::remove(p.base / "a");
                     fs::create_directories(p.folder());
                 }, true },
                { "file written", [](const Paths& p) { writeInPlace(p.file(), "here"); }, true } } },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        TestSupport::TemporaryDirectory folder;
        Paths paths { folder.path() };
        entry.before(paths);
        FileWatcher watcher({ paths.file(), paths.otherFile() });
        for (const auto& step : entry.steps) {
            SCOPED_TRACE(step.what);
            step.action(paths);
            EXPECT_EQ(watcher.drainChanges(), step.changes);
            EXPECT_FALSE(watcher.drainChanges()) << "drained already";
        }
    }
}

TEST(FileWatcher, ToldOfWritesBeforeTheWriterCloses)
{
    TestSupport::TemporaryDirectory folder;
    Paths paths { folder.path() };
    withBothFiles(paths);
    FileWatcher watcher({ paths.file() });
    int descriptor = open(paths.file().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(write(descriptor, "x", 1), 1);
    EXPECT_TRUE(watcher.drainChanges());
    close(descriptor);
    EXPECT_TRUE(watcher.drainChanges());
}

TEST(FileWatcher, LostEventsCountAsAChangeAndTheWatchGoesOn)
{
    TestSupport::TemporaryDirectory folder;
    Paths paths { folder.path() };
    withBothFiles(paths);
    FileWatcher watcher({ paths.file() });
    // Unrelated names only, alternating so that the kernel merges none, past its queue's length.
    auto limit = std::stoi(TestSupport::readFile("/proc/sys/fs/inotify/max_queued_events"));
    for (int event = 0; event <= limit / 2 + 1; ++event) {
        writeInPlace(paths.folder() / "noise", "");
        fs::remove(paths.folder() / "noise");
    }
    EXPECT_TRUE(watcher.drainChanges());
    EXPECT_FALSE(watcher.drainChanges());
    writeAtomically(paths.file(), "after");
    EXPECT_TRUE(watcher.drainChanges());
}

TEST(FileWatcher, DescriptorIsNonBlockingAndClosedOnExecAndNeverLeaks)
{
    auto openDescriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    TestSupport::TemporaryDirectory folder;
    Paths paths { folder.path() };
    {
        FileWatcher watcher({ paths.file() });
        EXPECT_TRUE(fcntl(watcher.descriptor(), F_GETFL) & O_NONBLOCK);
        EXPECT_TRUE(fcntl(watcher.descriptor(), F_GETFD) & FD_CLOEXEC);
        EXPECT_FALSE(watcher.drainChanges());
    }
    auto before = openDescriptors();
    for (int cycle = 0; cycle < 100; ++cycle) {
        FileWatcher watcher({ paths.file(), paths.otherFile() });
        // Re-armed deeper and back, so that watches are added and dropped on the way.
        fs::create_directories(paths.folder());
        EXPECT_TRUE(watcher.drainChanges());
        fs::remove_all(paths.base / "a");
        EXPECT_TRUE(watcher.drainChanges());
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(FileWatcher, WatchesEveryExistingFolderOnTheWayOnce)
{
    TestSupport::TemporaryDirectory folder;
    Paths paths { folder.path() };
    auto depth = static_cast<size_t>(std::distance(folder.path().begin(), folder.path().end()));  // "/" and each folder to base
    FileWatcher watcher({ paths.file(), paths.otherFile(), paths.folder() / "another" });
    EXPECT_EQ(watcher.watchedFolderCount(), depth);
    fs::create_directories(paths.folder());
    EXPECT_TRUE(watcher.drainChanges());
    EXPECT_EQ(watcher.watchedFolderCount(), depth + 2);
    fs::remove_all(paths.base / "a");
    EXPECT_TRUE(watcher.drainChanges());
    EXPECT_EQ(watcher.watchedFolderCount(), depth);
}

}
