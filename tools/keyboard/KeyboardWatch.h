#pragma once

#include "ForkedTask.h"
#include "KeyboardHost.h"

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

class WatchInputs;

// tessary8-keyboard --watch: shows a keyboard, writes it to a file, and builds it again
// whenever one of the two shared files changes, each time as a newly opened application
// would show it. Each build runs in a child process forked from this one, which never starts
// the platform or lets the loader inject a plug-in itself: what a plug-in remembers for the
// rest of its process ends with each build. The next build's child is made as soon as a
// build ends: it starts the platform process (the loader injects the plug-ins, which read
// the shared files only when a keyboard is shown) and waits, so that a change has only the
// keyboard to wait for. One JSON line per build goes to the given stream (see lineFormat()).
class KeyboardWatch {
public:
    struct Options {
        std::string out;                   // a file name, never "-"
        std::filesystem::path deviceRoot;  // empty: the default root
        KeyboardHost::Options keyboard;
        // A burst of changes is built once, when it has been quiet this long...
        std::chrono::milliseconds quiet { 25 };
        // ...but no later than this after its first change.
        std::chrono::milliseconds longest { 80 };
        // A build that takes longer is killed and reported as failed.
        std::chrono::milliseconds timeLimit { 10000 };
    };

    // Picks the device root; throws std::runtime_error when there is none.
    explicit KeyboardWatch(Options);

    // Why out cannot be built into, if it cannot: one of the shared files would rebuild for ever.
    [[nodiscard]] std::optional<std::string> outProblem() const;

    // Builds until SIGINT, SIGTERM or SIGHUP, or until standard input ends when it is a pipe
    // or a socket (a parent's end closing: the parent is gone). Answers the exit status: 0
    // then, 1 when the lines can no longer be written.
    [[nodiscard]] int run(std::ostream& lines);

    // What the lines hold, for --help.
    [[nodiscard]] static const char* lineFormat();

private:
    enum class Next { GoOn, Stop, OutputClosed };
    [[nodiscard]] Next build(std::ostream& lines, WatchInputs&);
    // The child ready for the next build: the waiting one, or a new one.
    [[nodiscard]] std::unique_ptr<ForkedTask> takeBuildProcess();
    // In the child: the platform process, then the build to run when started.
    [[nodiscard]] ForkedTask::Work prepareBuild() const;
    [[nodiscard]] std::string buildInThisProcess() const;

    Options m_options;
    int m_builds = 0;
    std::unique_ptr<ForkedTask> m_nextBuild;
};
