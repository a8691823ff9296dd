#include "support/InteractiveProcess.h"

#include "support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

InteractiveProcess::InteractiveProcess(const std::vector<std::string>& arguments)
{
    std::signal(SIGPIPE, SIG_IGN);
    char errorTemplate[] = "/tmp/tessary8-stderr-XXXXXX";
    int errorFile = mkstemp(errorTemplate);
    m_errorFile = errorTemplate;
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        dup2(errorFile, 2);
        close(toChild[1]);
        close(fromChild[0]);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(errorFile);
    close(toChild[0]);
    close(fromChild[1]);
    m_input = toChild[1];
    m_output = fromChild[0];
}

InteractiveProcess::~InteractiveProcess()
{
    finish();
    unlink(m_errorFile.c_str());
}

std::string InteractiveProcess::ask(const std::string& command)
{
    std::string line = command + "\n";
    if (m_input < 0 || write(m_input, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return "<no answer>";
    for (;;) {
        auto newline = m_pending.find('\n');
        if (newline != std::string::npos) {
            std::string answer = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return answer;
        }
        char buffer[65536];
        ssize_t count = read(m_output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return "<no answer>";
        m_pending.append(buffer, static_cast<size_t>(count));
    }
}

std::optional<std::string> InteractiveProcess::readLine(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto newline = m_pending.find('\n');
        if (newline != std::string::npos) {
            std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (m_output < 0 || left <= 0)
            return std::nullopt;
        pollfd output { m_output, POLLIN, 0 };
        int ready = poll(&output, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[65536];
        ssize_t count = read(m_output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return std::nullopt;
        m_pending.append(buffer, static_cast<size_t>(count));
    }
}

int InteractiveProcess::stop(int signal)
{
    if (m_pid <= 0)
        return -1;
    kill(m_pid, signal);
    return reap();
}

int InteractiveProcess::finish()
{
    if (m_pid <= 0)
        return -1;
    if (m_input >= 0)
        close(m_input);
    m_input = -1;
    return reap();
}

int InteractiveProcess::reap()
{
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
    m_pid = -1;
    if (m_input >= 0)
        close(m_input);
    m_input = -1;
    if (m_output >= 0)
        close(m_output);
    m_output = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string InteractiveProcess::standardError() const
{
    return readFile(m_errorFile);
}

}
