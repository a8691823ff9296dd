#include "host/DesktopURLOpener.h"

#include "Foundation/NSLog.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Schemes are letters, digits, "+", "-" and "."; anything else is not asked about.
bool isScheme(const std::string& scheme)
{
    return !scheme.empty() && scheme.size() <= 64
        && std::all_of(scheme.begin(), scheme.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; });
}

// Runs a program with the arguments and no shell. With firstLine it waits and answers
// whether the program succeeded, and its first line of output; without, it only
// answers whether the program started, and a thread of its own reaps it.
bool runProgram(std::vector<std::string> arguments, std::string* firstLine)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipeEnds[2] = { -1, -1 };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (firstLine && ::pipe(pipeEnds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t child = 0;
    int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    if (failed) {
        if (pipeEnds[0] >= 0)
            ::close(pipeEnds[0]);
        return false;
    }
    if (firstLine && pipeEnds[0] >= 0) {
        std::array<char, 512> buffer {};
        ssize_t length = ::read(pipeEnds[0], buffer.data(), buffer.size() - 1);
        ::close(pipeEnds[0]);
        std::string text(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
        *firstLine = text.substr(0, text.find('\n'));
    }
    auto reap = [child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    if (!firstLine) {
        std::thread(reap).detach();
        return true;
    }
    return reap();
}

}

bool DesktopURLOpener::canOpenScheme(const std::string& scheme)
{
    if (UIURLOpener::canOpenScheme(scheme))
        return true;
    if (!isScheme(scheme))
        return false;
    std::string handler;
    return runProgram({ "xdg-mime", "query", "default", "x-scheme-handler/" + scheme }, &handler) && !handler.empty();
}

bool DesktopURLOpener::openURL(const std::string& url)
{
    record(url);
    NSLog("openURL: %@", url);
    if (!runProgram({ "xdg-open", url }, nullptr)) {
        NSLog("openURL: the desktop could not open %@", url);
        return false;
    }
    return true;
}
