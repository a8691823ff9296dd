#include "Foundation/AtomicFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Foundation::readWholeFile;
using Foundation::TemporaryKind;
using Foundation::writeFileAtomically;

namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int exitStatusOf(pid_t child)
{
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}

TEST(AtomicFile, ReaderNeverSeesAPartialFile)
{
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "settings.plist";
    auto stop = folder.path() / "stop";
    const std::string contents[] = { std::string(100, 'a'), std::string(256 * 1024, 'b') };
    ASSERT_TRUE(writeFileAtomically(file, bytesOf(contents[0])));

    pid_t reader = fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        // Exit codes: 0 all reads whole, 1 a read failed, 2 a partial or mixed read, 3 never read.
        int reads = 0;
        while (!std::filesystem::exists(stop)) {
            auto bytes = readWholeFile(file, 1024 * 1024);
            if (!bytes)
                _exit(1);
            std::string text(bytes->begin(), bytes->end());
            if (text != contents[0] && text != contents[1])
                _exit(2);
            ++reads;
        }
        _exit(reads ? 0 : 3);
    }
    bool allWritten = true;
    for (int i = 1; i <= 300; ++i)
        allWritten = writeFileAtomically(file, bytesOf(contents[i % 2])) && allWritten;
    TestSupport::writeFile(stop, "");
    EXPECT_EQ(exitStatusOf(reader), 0);
    EXPECT_TRUE(allWritten);
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string> { "settings.plist", "stop" }));
}

TEST(AtomicFile, PermissionsOfTheReplacedFileStay)
{
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "private.plist";
    ASSERT_TRUE(writeFileAtomically(file, bytesOf("first")));
    struct stat status;
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(status.st_mode & 07777, 0666u & ~mask) << "a new file follows the umask";

    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(file, bytesOf("second")));
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(TestSupport::readFile(file), "second");
}

TEST(AtomicFile, FailedWritesLeaveNothingBehind)
{
    TestSupport::TemporaryDirectory folder;
    EXPECT_FALSE(writeFileAtomically(folder.path() / "missing" / "x.plist", bytesOf("x")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directory(folder.path() / "taken");
    EXPECT_FALSE(writeFileAtomically(folder.path() / "taken", bytesOf("x")));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string> { "taken" });
}

TEST(AtomicFile, WriteCutShortKeepsTheOldFile)
{
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "settings.plist";
    ASSERT_TRUE(writeFileAtomically(file, bytesOf("old content")));

    // A file size limit makes the write fail part way, as a full disk would (and works for root too).
    pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 1024, 1024 };
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeFileAtomically(file, bytesOf(std::string(64 * 1024, 'n'))) ? 1 : 0);
    }
    EXPECT_EQ(exitStatusOf(writer), 0);
    EXPECT_EQ(TestSupport::readFile(file), "old content");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string> { "settings.plist" });
}

TEST(AtomicFile, ReadsOnlyWholeRegularFilesWithinTheLimit)
{
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "ten";
    TestSupport::writeFile(file, "0123456789");
    auto fifo = folder.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    TestSupport::writeFile(folder.path() / "empty", "");

    struct {
        const char* name;
        std::filesystem::path path;
        size_t limit;
        std::optional<std::string> expected;
    } cases[] = {
        { "at the limit", file, 10, "0123456789" },
        { "over the limit", file, 9, std::nullopt },
        { "empty", folder.path() / "empty", 0, "" },
        { "missing", folder.path() / "missing", 100, std::nullopt },
        { "folder", folder.path(), 100, std::nullopt },
        { "fifo without a writer", fifo, 100, std::nullopt },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto bytes = readWholeFile(entry.path, entry.limit);
        ASSERT_EQ(bytes.has_value(), entry.expected.has_value());
        if (bytes) {
            EXPECT_EQ(std::string(bytes->begin(), bytes->end()), *entry.expected);
        }
    }
}

namespace {

// Reads a FIFO to its end in a thread of its own, so that the writer's open does not wait forever.
std::future<std::string> drain(const std::filesystem::path& fifo)
{
    return std::async(std::launch::async, [fifo] {
        int descriptor = open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
        std::string text;
        char buffer[256];
        ssize_t count;
        while (descriptor >= 0 && (count = read(descriptor, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<size_t>(count));
        if (descriptor >= 0)
            close(descriptor);
        return text;
    });
}

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status.st_mode;
}

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_saved(umask(mask)) { }
    ~UmaskScope() { umask(m_saved); }

private:
    mode_t m_saved;
};

}

TEST(AtomicFile, EachKindOfDestinationIsWrittenWithoutReplacingWhatIsNotARegularFile)
{
    for (auto kind : { TemporaryKind::PreferUnnamed, TemporaryKind::Named }) {
        SCOPED_TRACE(kind == TemporaryKind::Named ? "named temporary" : "unnamed temporary");
        TestSupport::TemporaryDirectory folder;
        auto regular = folder.path() / "regular";
        TestSupport::writeFile(regular, "old");
        auto target = folder.path() / "target";
        TestSupport::writeFile(target, "old");
        std::filesystem::create_symlink(target, folder.path() / "link");
        auto fifo = folder.path() / "fifo";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        auto linkedFifo = folder.path() / "linked-fifo";
        ASSERT_EQ(mkfifo(linkedFifo.c_str(), 0600), 0);
        std::filesystem::create_symlink(linkedFifo, folder.path() / "fifo-link");
        std::filesystem::create_directory(folder.path() / "folder");
        std::filesystem::create_symlink(folder.path() / "nowhere", folder.path() / "dangling");

        struct {
            const char* name;
            std::filesystem::path path;
            std::filesystem::path readBack; // empty when the content goes to a reader
            std::filesystem::path fifo;     // drained while writing
            bool succeeds;
            mode_t type;
        } cases[] = {
            { "regular file", regular, regular, {}, true, S_IFREG },
            { "new name", folder.path() / "new", folder.path() / "new", {}, true, S_IFREG },
            { "FIFO with a reader", fifo, {}, fifo, true, S_IFIFO },
            { "character device", "/dev/null", {}, {}, true, S_IFCHR },
            { "symlink to a regular file", folder.path() / "link", target, {}, true, S_IFLNK },
            { "symlink to a FIFO", folder.path() / "fifo-link", {}, linkedFifo, true, S_IFLNK },
            { "folder", folder.path() / "folder", {}, {}, false, S_IFDIR },
            { "dangling symlink", folder.path() / "dangling", {}, {}, false, S_IFLNK },
        };
        for (auto& entry : cases) {
            SCOPED_TRACE(entry.name);
            std::optional<std::future<std::string>> reader;
            if (!entry.fifo.empty())
                reader = drain(entry.fifo);
            EXPECT_EQ(Foundation::writeFile(entry.path, bytesOf("new"), kind), entry.succeeds);
            if (reader) {
                EXPECT_EQ(reader->get(), "new");
            }
            if (!entry.readBack.empty()) {
                EXPECT_EQ(TestSupport::readFile(entry.readBack), "new");
            }
            EXPECT_EQ(modeOf(entry.path) & S_IFMT, entry.type);
        }
        EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string> { "dangling", "fifo", "fifo-link", "folder", "link", "linked-fifo", "new", "regular", "target" }));
    }
}

TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode)
{
    for (auto kind : { TemporaryKind::PreferUnnamed, TemporaryKind::Named }) {
        SCOPED_TRACE(kind == TemporaryKind::Named ? "named temporary" : "unnamed temporary");
        TestSupport::TemporaryDirectory folder;
        UmaskScope mask(027);
        auto created = folder.path() / "created";
        ASSERT_TRUE(Foundation::writeFile(created, bytesOf("x"), kind));
        EXPECT_EQ(modeOf(created) & 07777, 0640u);

        auto replaced = folder.path() / "replaced";
        TestSupport::writeFile(replaced, "old");
        ASSERT_EQ(chmod(replaced.c_str(), 0604), 0);
        ASSERT_TRUE(Foundation::writeFile(replaced, bytesOf("new"), kind));
        EXPECT_EQ(modeOf(replaced) & 07777, 0604u);
    }
}

TEST(AtomicFile, StaleTemporariesOfTheSameFileAreRemovedOthersKept)
{
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "settings.plist";
    auto makeTemporary = [&](const std::string& name, bool old) {
        auto path = folder.path() / name;
        TestSupport::writeFile(path, "left over");
        if (old) {
            timespec times[2] = { { time(nullptr) - 3600, 0 }, { time(nullptr) - 3600, 0 } };
            EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
    };
    makeTemporary(".settings.plist.Ab3dE9", true);
    makeTemporary(".settings.plist.fresh1", false);
    makeTemporary(".other.plist.Ab3dE9", true);
    makeTemporary(".settings.plist.notours", true);
    // A live writer holds its temporary locked, however old it looks.
    makeTemporary(".settings.plist.Locked", true);
    int held = open((folder.path() / ".settings.plist.Locked").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    // Something else at a temporary's name is never followed or removed.
    std::filesystem::create_symlink(folder.path() / ".other.plist.Ab3dE9", folder.path() / ".settings.plist.Symlnk");

    ASSERT_TRUE(writeFileAtomically(file, bytesOf("new")));
    close(held);
    EXPECT_EQ(namesIn(folder.path()),
        (std::vector<std::string> { ".other.plist.Ab3dE9", ".settings.plist.Locked", ".settings.plist.Symlnk", ".settings.plist.fresh1", ".settings.plist.notours", "settings.plist" }));
}
