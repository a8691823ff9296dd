#include "KeyboardWatch.h"

#include "ChangeCoalescer.h"
#include "ForkedTask.h"
#include "SharedFilesState.h"

#include "Foundation/DeviceRoot.h"
#include "host/FileWatcher.h"
#include "Foundation/OwnedDescriptor.h"
#include "host/PlatformProcess.h"
#include "shared/SharedFiles.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIStringDrawing.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <poll.h>
#include <sstream>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

using Clock = ChangeCoalescer::Clock;

// What the watch waits on: the signals that end it, the shared files, and standard input
// when its end means the parent is gone.
class WatchInputs {
public:
    enum class Wake { Nothing, Stop, Task };

    explicit WatchInputs(const KeyboardWatch::Options& options)
        : m_watcher({ DeviceRoot::resolve(SharedFiles::settingsPath), DeviceRoot::resolve(SharedFiles::backgroundImagePath) })
        , m_coalescer(options.quiet, options.longest)
    {
        // Blocked, so that they end the watch between two steps and never mid-line;
        // ForkedTask unblocks them in its children.
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        for (int signal : { SIGINT, SIGTERM, SIGHUP })
            sigaddset(&stopSignals, signal);
        sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
        m_signals.reset(signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC));
        if (!m_signals)
            throw std::system_error(errno, std::generic_category(), "cannot take signals (signalfd)");
        // The lines' reader gone is told by a failed write rather than by a signal.
        std::signal(SIGPIPE, SIG_IGN);
        struct stat input;
        m_watchInput = fstat(STDIN_FILENO, &input) == 0 && (S_ISFIFO(input.st_mode) || S_ISSOCK(input.st_mode));
    }

    [[nodiscard]] ChangeCoalescer& coalescer() { return m_coalescer; }

    // Waits until something happens or the deadline passes. Changes of the files are noted
    // in the coalescer; task, when not -1, is a descriptor waited on too.
    [[nodiscard]] Wake wait(std::optional<Clock::time_point> deadline, int task)
    {
        pollfd descriptors[4] = { { m_signals.get(), POLLIN, 0 }, { m_watcher.descriptor(), POLLIN, 0 }, { -1, POLLIN, 0 }, { task, POLLIN, 0 } };
        if (m_watchInput)
            descriptors[2].fd = STDIN_FILENO;
        int timeout = -1;
        if (deadline) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
        }
        if (poll(descriptors, 4, timeout) < 0) {
            if (errno == EINTR)
                return Wake::Nothing;
            throw std::system_error(errno, std::generic_category(), "cannot wait for changes (poll)");
        }
        if (descriptors[0].revents) {
            signalfd_siginfo taken;
            (void)!read(m_signals.get(), &taken, sizeof taken);
            return Wake::Stop;
        }
        if (descriptors[1].revents && m_watcher.drainChanges())
            m_coalescer.noteChange(Clock::now());
        if (descriptors[2].revents && inputEnded())
            return Wake::Stop;
        return descriptors[3].revents ? Wake::Task : Wake::Nothing;
    }

private:
    // Reads and drops what a parent sends; true at the end of input.
    bool inputEnded()
    {
        char buffer[4096];
        ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            return false;
        if (count < 0)
            m_watchInput = false;  // unreadable: no longer a sign of anything
        return count == 0;
    }

    FileWatcher m_watcher;
    ChangeCoalescer m_coalescer;
    OwnedDescriptor m_signals;
    bool m_watchInput = false;
};

namespace {

// A descriptor below 3 left closed by whoever started us would be taken by the first
// descriptor opened, and a child's standard streams would then overwrite it.
void openStandardDescriptors()
{
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) < 0 && errno == EBADF)
            (void)open("/dev/null", O_RDWR);
    }
}

std::string dumpLine(const nlohmann::json& line)
{
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}

KeyboardWatch::KeyboardWatch(Options options)
    : m_options(std::move(options))
{
    DeviceRoot::set(m_options.deviceRoot);
    (void)DeviceRoot::current();
}

std::optional<std::string> KeyboardWatch::outProblem() const
{
    std::error_code error;
    auto out = std::filesystem::weakly_canonical(std::filesystem::absolute(m_options.out, error), error);
    for (const char* shared : { SharedFiles::settingsPath, SharedFiles::backgroundImagePath }) {
        if (!error && std::filesystem::weakly_canonical(DeviceRoot::resolve(shared), error) == out)
            return std::string("--out is the shared file ") + shared + ", which the watch would rebuild for ever";
    }
    return std::nullopt;
}

int KeyboardWatch::run(std::ostream& lines)
{
    openStandardDescriptors();
    // fontconfig's configuration and font caches, loaded here where no thread is started for
    // them, are in place in every child forked from now on.
    FcInit();
    WatchInputs inputs(m_options);
    // The first build starts at once.
    inputs.coalescer().noteChange(Clock::now() - m_options.longest);
    for (;;) {
        if (inputs.coalescer().isDue(Clock::now())) {
            inputs.coalescer().startRebuild();
            switch (build(lines, inputs)) {
            case Next::GoOn:
                continue;
            case Next::Stop:
                return 0;
            case Next::OutputClosed:
                std::cerr << "tessary8-keyboard: standard output can no longer be written; the watch ends\n";
                return 1;
            }
        }
        if (inputs.wait(inputs.coalescer().dueTime(), -1) == WatchInputs::Wake::Stop)
            return 0;
    }
}

KeyboardWatch::Next KeyboardWatch::build(std::ostream& lines, WatchInputs& inputs)
{
    int number = ++m_builds;
    // Before the build reads them: a reader comparing this with the files' state now knows
    // whether the picture is current.
    auto files = sharedFilesState();
    std::optional<std::string> answer;
    std::string failure;
    try {
        auto task = takeBuildProcess();
        auto limit = Clock::now() + m_options.timeLimit;
        bool ended = false;
        while (!ended && Clock::now() < limit) {
            switch (inputs.wait(limit, task->descriptor())) {
            case WatchInputs::Wake::Stop:
                return Next::Stop;  // the task kills and reaps its child
            case WatchInputs::Wake::Task:
                ended = task->readAvailable();
                break;
            case WatchInputs::Wake::Nothing:
                break;
            }
        }
        auto outcome = task->finish();
        answer = std::move(outcome.answer);
        failure = ended ? outcome.failure
                        : "the build took longer than " + std::to_string(m_options.timeLimit.count()) + " ms and was stopped";
    } catch (const std::system_error& error) {
        failure = error.what();
    }

    nlohmann::json line;
    if (answer) {
        auto report = nlohmann::json::parse(*answer, nullptr, false);
        if (report.is_discarded() || !report.is_object())
            failure = "the build process answered no JSON object";
        else if (report.contains("error"))
            failure = report["error"].is_string() ? report["error"].get<std::string>() : report["error"].dump();
        else {
            line = std::move(report);
            line["build"] = number;
            line["out"] = m_options.out;
            line["files"] = files;
        }
    }
    if (!failure.empty())
        line = { { "build", number }, { "error", failure }, { "files", files } };
    lines << dumpLine(line) << std::endl;
    if (!lines)
        return Next::OutputClosed;
    try {
        // Made now, it prepares while the watch waits for the next change.
        m_nextBuild = std::make_unique<ForkedTask>([this] { return prepareBuild(); });
    } catch (const std::system_error&) {
        // The next build makes its own, or says why it cannot.
    }
    return Next::GoOn;
}

std::unique_ptr<ForkedTask> KeyboardWatch::takeBuildProcess()
{
    auto task = std::move(m_nextBuild);
    // One that ended while it waited (killed from outside, say) is reaped and replaced.
    if (task && task->readAvailable())
        task.reset();
    if (!task)
        task = std::make_unique<ForkedTask>([this] { return prepareBuild(); });
    task->start();
    return task;
}

ForkedTask::Work KeyboardWatch::prepareBuild() const
{
    try {
        PlatformProcess::start({ "tessary8-keyboard", m_options.deviceRoot });
        // The keys' legends are the first text the process draws: finding and loading the
        // system font (Pango's font map, its own fontconfig thread, FreeType) is done here,
        // ahead, in a scratch picture. Text touches nothing a plug-in replaces.
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(320, 40), false, m_options.keyboard.scale);
        (void)UIStringDrawing::drawAtPoint("QWERTYUIOPASDFGHJKLZXCVBNM 123 space return", CGPointZero, UIFont::systemFontOfSize(20));
        UIGraphicsEndImageContext();
    } catch (const std::exception& error) {
        return [message = std::string(error.what())] { return dumpLine({ { "error", message } }); };
    }
    return [this] { return buildInThisProcess(); };
}

std::string KeyboardWatch::buildInThisProcess() const
{
    try {
        KeyboardHost host(m_options.keyboard);
        host.show();
        std::ostringstream unused;  // out is a file, never "-"
        if (!host.writeShot(m_options.out, unused))
            return dumpLine({ { "error", "could not write " + m_options.out } });
        return host.report();
    } catch (const std::exception& error) {
        return dumpLine({ { "error", error.what() } });
    }
}

const char* KeyboardWatch::lineFormat()
{
    return "With --watch, one JSON line per build on standard output, flushed:\n"
           "  {\"build\": N, \"out\": FILE, \"files\": STATE, \"size\", \"lightKeyboard\", \"GlobalisSwitch\", \"log\", \"backdrop\": as the report}\n"
           "or, when a build failed (the watch goes on):\n"
           "  {\"build\": N, \"error\": TEXT, \"files\": STATE}\n"
           "N counts builds from 1. STATE is {\"settings\": ID, \"backgroundImage\": ID}, each ID the file's\n"
           "\"device:inode:size:seconds.nanoseconds\" (null while missing) as read just before the build started:\n"
           "when it differs from the files' state now, a newer build is on its way.\n"
           "The watch ends with status 0 on SIGINT, SIGTERM or SIGHUP, or when standard input is a pipe or a\n"
           "socket and reaches its end (so a parent that goes away ends it); with 1 when standard output fails.";
}
