#include "ForkedTask.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace {

void becomeChild(pid_t parent)
{
    // Killed with the parent, which is its only reader; a parent gone already makes the work useless.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(1);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal : { SIGINT, SIGTERM, SIGHUP, SIGPIPE })
        std::signal(signal, SIG_DFL);
    int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing >= 0) {
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

// Blocks until the parent starts the work; false when it never will.
bool awaitStart(int startEnd)
{
    char go = 0;
    ssize_t count;
    do
        count = read(startEnd, &go, 1);
    while (count < 0 && errno == EINTR);
    return count == 1;
}

bool writeAll(int descriptor, const std::string& text)
{
    for (size_t written = 0; written < text.size();) {
        ssize_t count = write(descriptor, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

[[noreturn]] void runChild(const std::function<ForkedTask::Work()>& prepare, int answerEnd, int startEnd)
{
    int status = 0;
    try {
        auto work = prepare();
        if (!awaitStart(startEnd))
            _exit(0);
        if (!writeAll(answerEnd, work()))
            status = 1;
    } catch (const std::exception& error) {
        std::cerr << "tessary8-keyboard: " << error.what() << "\n";
        status = 1;
    } catch (...) {
        status = 1;
    }
    std::cerr.flush();
    std::fflush(nullptr);
    // No exit handlers or static destructors: they belong to the parent's copy of the program.
    _exit(status);
}

}

ForkedTask::ForkedTask(const std::function<Work()>& prepare)
{
    int answerEnds[2];
    if (pipe2(answerEnds, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot make a pipe");
    m_answerPipe.reset(answerEnds[0]);
    OwnedDescriptor answerEnd(answerEnds[1]);
    // A socket, so that starting a child that died meanwhile is an error and not SIGPIPE.
    int startEnds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, startEnds) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot make a socket pair");
    m_startSocket.reset(startEnds[0]);
    OwnedDescriptor startEnd(startEnds[1]);
    // Whatever the parent's buffers hold would be written twice otherwise.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    pid_t parent = getpid();
    m_child = fork();
    if (m_child < 0)
        throw std::system_error(errno, std::generic_category(), "cannot start a process");
    if (m_child == 0) {
        m_answerPipe.reset();
        m_startSocket.reset();
        becomeChild(parent);
        runChild(prepare, answerEnd.get(), startEnd.get());
    }
    fcntl(m_answerPipe.get(), F_SETFL, fcntl(m_answerPipe.get(), F_GETFL) | O_NONBLOCK);
}

ForkedTask::~ForkedTask()
{
    if (m_child > 0)
        (void)finish();
}

void ForkedTask::start()
{
    if (!m_startSocket)
        return;
    const char go = 1;
    (void)send(m_startSocket.get(), &go, 1, MSG_NOSIGNAL);
    m_startSocket.reset();
}

bool ForkedTask::readAvailable()
{
    char buffer[64 * 1024];
    while (!m_closed) {
        ssize_t count = read(m_answerPipe.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            break;
        if (count <= 0) {
            m_closed = true;
            break;
        }
        if (m_answer.size() + static_cast<size_t>(count) > maximumAnswerBytes)
            m_tooLong = true;
        else
            m_answer.append(buffer, static_cast<size_t>(count));
    }
    return m_closed;
}

ForkedTask::Outcome ForkedTask::finish()
{
    if (m_child <= 0)
        return { std::nullopt, "the build process has been reaped already" };
    bool stopped = !m_closed;
    if (stopped)
        kill(m_child, SIGKILL);
    int status = 0;
    while (waitpid(m_child, &status, 0) < 0 && errno == EINTR) { }
    m_child = -1;
    m_answerPipe.reset();
    m_startSocket.reset();
    if (stopped)
        return { std::nullopt, "stopped" };
    if (WIFSIGNALED(status))
        return { std::nullopt, "the build process was ended by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")" };
    if (WEXITSTATUS(status) != 0)
        return { std::nullopt, "the build process ended with status " + std::to_string(WEXITSTATUS(status)) };
    if (m_tooLong)
        return { std::nullopt, "the build process answered more than " + std::to_string(maximumAnswerBytes) + " bytes" };
    if (m_answer.empty())
        return { std::nullopt, "the build process gave no answer" };
    return { std::move(m_answer), {} };
}
