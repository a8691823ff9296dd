#include "ForkedTask.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Waits for the child's end, as the watch does (the tests give it ten seconds).
bool waitForEnd(ForkedTask& task)
{
    for (int turn = 0; turn < 100; ++turn) {
        pollfd answer { task.descriptor(), POLLIN, 0 };
        poll(&answer, 1, 100);
        if (task.readAvailable())
            return true;
    }
    return false;
}

bool noChildLeft()
{
    int status = 0;
    return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

TEST(ForkedTask, AnswersTheChildsTextOrWhyThereIsNone)
{
    struct Case {
        const char* name;
        std::function<std::string()> work;
        std::optional<std::string> answer;
        const char* failureSays;
    };
    const std::string large(300 * 1024, 'x');
    const Case cases[] = {
        { "a line", [] { return std::string("{\"size\":[320,216]}"); }, "{\"size\":[320,216]}", "" },
        { "more than a pipe holds", [&] { return large; }, large, "" },
        { "nothing", [] { return std::string(); }, std::nullopt, "no answer" },
        // The default action, as without the sanitizers, whose handler would exit instead.
        { "a crash",
            []() -> std::string {
                std::signal(SIGSEGV, SIG_DFL);
                std::raise(SIGSEGV);
                return "unreached";
            },
            std::nullopt, "signal 11" },
        { "an abort", []() -> std::string { std::abort(); }, std::nullopt, "signal 6" },
        { "an exception", []() -> std::string { throw std::runtime_error("no keyboard"); }, std::nullopt, "status 1" },
        { "an exit of its own", []() -> std::string { std::_Exit(3); }, std::nullopt, "status 3" },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        ForkedTask task([&] { return entry.work; });
        task.start();
        ASSERT_TRUE(waitForEnd(task));
        auto outcome = task.finish();
        EXPECT_EQ(outcome.answer, entry.answer);
        EXPECT_NE(outcome.failure.find(entry.failureSays), std::string::npos) << outcome.failure;
        EXPECT_TRUE(noChildLeft());
    }
}

TEST(ForkedTask, AChildStillWorkingIsKilledAndReaped)
{
    {
        ForkedTask task([] {
            return [] {
                pause();
                return std::string("late");
            };
        });
        task.start();
        EXPECT_FALSE(task.readAvailable());
        auto outcome = task.finish();
        EXPECT_FALSE(outcome.answer);
        EXPECT_EQ(outcome.failure, "stopped");
    }
    EXPECT_TRUE(noChildLeft());
    {
        // Given up without finish(): the task's end kills and reaps it.
        ForkedTask task([] {
            return [] {
                pause();
                return std::string();
            };
        });
        task.start();
    }
    EXPECT_TRUE(noChildLeft());
    {
        // Prepared and never started.
        ForkedTask task([] { return [] { return std::string("never"); }; });
    }
    EXPECT_TRUE(noChildLeft());
}

TEST(ForkedTask, PreparesAheadAndWorksOnlyOnceStarted)
{
    TestSupport::TemporaryDirectory folder;
    auto prepared = folder.path() / "prepared";
    auto worked = folder.path() / "worked";
    ForkedTask task([&] {
        TestSupport::writeFile(prepared, "");
        return [&] {
            TestSupport::writeFile(worked, "");
            return std::string("done");
        };
    });
    for (int turn = 0; turn < 1000 && !std::filesystem::exists(prepared); ++turn)
        usleep(10000);
    EXPECT_TRUE(std::filesystem::exists(prepared));
    EXPECT_FALSE(task.readAvailable());
    EXPECT_FALSE(std::filesystem::exists(worked));
    task.start();
    ASSERT_TRUE(waitForEnd(task));
    EXPECT_EQ(task.finish().answer, "done");
    EXPECT_TRUE(std::filesystem::exists(worked));
}

TEST(ForkedTask, AChildThatDiedBeforeItsStartIsToldByItsEnd)
{
    ForkedTask task([]() -> ForkedTask::Work { throw std::runtime_error("no platform"); });
    for (int turn = 0; turn < 1000 && !task.readAvailable(); ++turn)
        usleep(10000);
    EXPECT_TRUE(task.readAvailable());
    // Starting it is harmless: no signal, and the outcome says what happened.
    task.start();
    EXPECT_NE(task.finish().failure.find("status 1"), std::string::npos);
    EXPECT_TRUE(noChildLeft());
}

TEST(ForkedTask, TheChildRunsWithSignalsUnblockedAndWritesNothingToTheParentsOutput)
{
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    ForkedTask task([] {
        return [] {
            sigset_t mask;
            sigprocmask(SIG_SETMASK, nullptr, &mask);
            // Standard output is standard error in the child.
            struct stat output, error;
            bool sameStream = fstat(1, &output) == 0 && fstat(2, &error) == 0 && output.st_dev == error.st_dev && output.st_ino == error.st_ino;
            return std::string(sigismember(&mask, SIGTERM) ? "blocked" : "unblocked") + (sameStream ? "" : ", own output");
        };
    });
    task.start();
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    ASSERT_TRUE(waitForEnd(task));
    EXPECT_EQ(task.finish().answer, "unblocked");
}

}
