#pragma once

#include "Foundation/OwnedDescriptor.h"

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

// Work done in a child process forked from this one: the child sends back one text through
// a pipe and ends, so that whatever the work loads or remembers ends with it. The child
// prepares at once and then waits for start(), so that a task can be made ahead, ready
// for when it is wanted. The parent polls the pipe beside its other descriptors and reaps
// the child, killing it first when it is no longer wanted or takes too long, so that no
// child is left behind, not even a zombie.
// fork() copies only the calling thread: the forking process must have no other.
class ForkedTask {
public:
    using Work = std::function<std::string()>;

    // Starts the child, which runs prepare and, once started, the work prepare answered.
    // It runs with its signals unblocked and at their defaults, /dev/null as standard input
    // and standard error as standard output (whatever it prints stays off the parent's
    // output), and is killed if the parent dies. An exception from prepare or the work ends
    // the child with status 1. Throws std::system_error when no pipe or child can be made.
    explicit ForkedTask(const std::function<Work()>& prepare);
    ~ForkedTask();
    ForkedTask(const ForkedTask&) = delete;
    ForkedTask& operator=(const ForkedTask&) = delete;

    // Lets the child go on from prepare to the work. A child no longer there is told by
    // the end of its answer.
    void start();

    // Readable while the child sends, and at its end.
    [[nodiscard]] int descriptor() const { return m_answerPipe.get(); }
    // Reads what has arrived without blocking; true once the child has closed its end
    // (a child not yet started that has closed it has died).
    [[nodiscard]] bool readAvailable();

    struct Outcome {
        std::optional<std::string> answer;  // when the child ended normally and answered
        std::string failure;                // otherwise, why not
    };
    // Kills the child unless it has closed its end, then reaps it.
    [[nodiscard]] Outcome finish();

    static constexpr size_t maximumAnswerBytes = 16 * 1024 * 1024;

private:
    pid_t m_child = -1;
    OwnedDescriptor m_answerPipe;
    OwnedDescriptor m_startSocket;
    std::string m_answer;
    bool m_closed = false;
    bool m_tooLong = false;
};
