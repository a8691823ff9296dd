#include "KeyboardPreview.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/NSRunLoop.h"
#include "SharedFilesState.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A keyboard's PNG at scale 4 is a few megabytes; a report line (its view tree and log) far less.
constexpr size_t maximumPictureBytes = 64 * 1024 * 1024;
constexpr size_t maximumReportLine = 8 * 1024 * 1024;
// How long the keyboard process has to end on SIGTERM before it is killed.
constexpr auto endingTime = std::chrono::seconds(2);

void closeDescriptor(int& descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

std::string describeStatus(int status)
{
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("signal ") + ::strsignal(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}

KeyboardPreview::KeyboardPreview(Options options, std::function<void()> onUpdate)
    : m_options(std::move(options))
    , m_onUpdate(std::move(onUpdate))
{
}

std::unique_ptr<KeyboardPreview> KeyboardPreview::start(const Options& options, std::function<void()> onUpdate, std::string& error)
{
    std::unique_ptr<KeyboardPreview> preview(new KeyboardPreview(options, std::move(onUpdate)));
    if (!preview->spawn(error))
        return nullptr;
    return preview;
}

KeyboardPreview::~KeyboardPreview()
{
    stop();
}

std::filesystem::path KeyboardPreview::programBesideExecutable(const char* name)
{
    std::error_code failed;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::filesystem::path(name) : executable.parent_path() / name;
}

bool KeyboardPreview::spawn(std::string& error)
{
    std::error_code failed;
    auto temporary = std::filesystem::temp_directory_path(failed);
    std::string folderTemplate = ((failed ? std::filesystem::path("/tmp") : temporary) / "tessary8-preview-XXXXXX").string();
    if (!::mkdtemp(folderTemplate.data())) {
        error = "cannot make a folder for the preview in " + temporary.string() + ": " + std::strerror(errno);
        return false;
    }
    m_folder = folderTemplate;
    m_picture = m_folder / "keyboard.png";

    int reports[2], input[2];
    if (::pipe2(reports, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(m_stopDescriptors, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        ::close(reports[0]);
        ::close(reports[1]);
        return false;
    }

    std::string scale = std::to_string(m_options.scale);
    std::vector<std::string> arguments { m_options.keyboardProgram.string(), "--watch", "--out", m_picture.string(), "--scale", scale };
    if (!m_options.deviceRoot.empty())
        arguments.insert(arguments.end(), { "--root", m_options.deviceRoot.string() });
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, reports[1], STDOUT_FILENO);
    // Its log lines and failures come in its reports; the plug-in's log on every build would
    // only fill the terminal.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that ending it ends whatever it started for its builds.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : { SIGINT, SIGTERM, SIGPIPE, SIGCHLD })
        sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    int spawned = ::posix_spawn(&m_process, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(reports[1]);
    m_inputDescriptor = input[1];
    if (spawned != 0) {
        m_process = -1;
        ::close(reports[0]);
        error = "cannot start " + m_options.keyboardProgram.string() + ": " + std::strerror(spawned);
        return false;
    }

    auto& loop = NSRunLoop::mainRunLoop();
    m_source = loop.addSource([this] { takeReports(); });
    m_reader = std::thread([this, descriptor = reports[0], stop = m_stopDescriptors[0]] { readReports(descriptor, stop); });
    return true;
}

void KeyboardPreview::stop()
{
    if (m_reader.joinable()) {
        char byte = 0;
        while (::write(m_stopDescriptors[1], &byte, 1) < 0 && errno == EINTR) {
        }
        m_reader.join();
    }
    closeDescriptor(m_inputDescriptor);
    if (m_process > 0) {
        ::kill(-m_process, SIGTERM);
        auto deadline = std::chrono::steady_clock::now() + endingTime;
        int status;
        pid_t ended;
        while ((ended = ::waitpid(m_process, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (ended == 0) {
            ::kill(-m_process, SIGKILL);
            while (::waitpid(m_process, &status, 0) < 0 && errno == EINTR) {
            }
        }
        m_process = -1;
    }
    closeDescriptor(m_stopDescriptors[0]);
    closeDescriptor(m_stopDescriptors[1]);
    if (m_source)
        NSRunLoop::mainRunLoop().removeSource(std::exchange(m_source, 0));
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void KeyboardPreview::readReports(int reportDescriptor, int stopDescriptor)
{
    std::string pending;
    bool discarding = false;
    char buffer[65536];
    for (;;) {
        pollfd watched[2] { { reportDescriptor, POLLIN, 0 }, { stopDescriptor, POLLIN, 0 } };
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[1].revents)
            break;
        ssize_t count = ::read(reportDescriptor, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count <= 0)
            break;
        std::vector<std::string> lines;
        for (std::string_view rest(buffer, static_cast<size_t>(count)); !rest.empty();) {
            size_t end = rest.find('\n');
            auto piece = rest.substr(0, end);
            // A line past the cap is no report of ours: it is dropped whole.
            if (!discarding)
                pending.append(piece);
            if (pending.size() > maximumReportLine) {
                pending.clear();
                discarding = true;
            }
            if (end == std::string_view::npos)
                break;
            if (!discarding)
                lines.push_back(std::exchange(pending, {}));
            discarding = false;
            rest.remove_prefix(end + 1);
        }
        if (lines.empty())
            continue;
        {
            std::lock_guard guard(m_inbox->lock);
            for (auto& line : lines)
                m_inbox->lines.push_back(std::move(line));
        }
        m_inbox->arrived.notify_all();
        NSRunLoop::mainRunLoop().signalSource(m_source);
    }
    ::close(reportDescriptor);
    {
        std::lock_guard guard(m_inbox->lock);
        m_inbox->ended = true;
    }
    m_inbox->arrived.notify_all();
    NSRunLoop::mainRunLoop().signalSource(m_source);
}

void KeyboardPreview::takeReports()
{
    std::deque<std::string> lines;
    {
        std::lock_guard guard(m_inbox->lock);
        lines.swap(m_inbox->lines);
    }
    // Only the newest build matters: the picture file holds it already.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        auto report = nlohmann::json::parse(*line, nullptr, false);
        if (report.is_object() && report.contains("build")) {
            apply(report);
            if (m_onUpdate)
                m_onUpdate();
            return;
        }
    }
}

void KeyboardPreview::apply(const nlohmann::json& report)
{
    Build build;
    build.files = report.contains("files") ? report["files"] : nlohmann::json();
    if (report.contains("error")) {
        build.error = report["error"].is_string() ? report["error"].get<std::string>() : "the keyboard could not be built";
    } else if (auto png = Foundation::readWholeFile(m_picture, maximumPictureBytes)) {
        build.image = UIImage::imageWithData(*png);
        build.png = std::move(*png);
        if (!build.image)
            build.error = "the keyboard's picture does not decode";
    } else {
        build.error = "the keyboard's picture cannot be read";
    }
    // A failed build leaves the last good picture on show, with the reason.
    if (!build.image && m_latest) {
        build.image = m_latest->image;
        build.png = m_latest->png;
    }
    m_latest = std::move(build);
}

bool KeyboardPreview::waitUntilCurrent(double timeoutSeconds)
{
    auto deadline = std::chrono::steady_clock::now()
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    for (;;) {
        takeReports();
        if (m_latest && m_latest->files == sharedFilesState())
            return true;
        std::unique_lock guard(m_inbox->lock);
        if (m_inbox->lines.empty() && m_inbox->ended)
            return false;
        // Woken by a report, or every so often to look at the files again.
        auto until = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
        m_inbox->arrived.wait_until(guard, until, [&] { return !m_inbox->lines.empty() || m_inbox->ended; });
        if (std::chrono::steady_clock::now() >= deadline && m_inbox->lines.empty())
            return false;
    }
}

std::optional<std::string> KeyboardPreview::failure()
{
    {
        std::lock_guard guard(m_inbox->lock);
        if (!m_inbox->ended)
            return std::nullopt;
    }
    // Its output ends as it exits; its status follows a moment later.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (m_process > 0) {
        int status = 0;
        if (::waitpid(m_process, &status, WNOHANG) == m_process) {
            m_process = -1;
            m_endStatus = describeStatus(status);
        } else if (std::chrono::steady_clock::now() >= deadline) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return "the keyboard process ended" + (m_endStatus.empty() ? std::string() : " (" + m_endStatus + ")");
}
