#include "Foundation/AtomicFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Foundation::readWholeFile;
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
    EXPECT_EQ(status.st_mode & 07777, 0644u);

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
