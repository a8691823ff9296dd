#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A child program spoken to line by line: each command written to its standard
// input is answered by one line on its standard output. Standard error goes to
// a file so that its log does not mix with the answers.
class InteractiveProcess {
public:
    explicit InteractiveProcess(const std::vector<std::string>& arguments);
    ~InteractiveProcess();
    InteractiveProcess(const InteractiveProcess&) = delete;
    InteractiveProcess& operator=(const InteractiveProcess&) = delete;

    // The answer line, or "<no answer>" when the child closed its output.
    [[nodiscard]] std::string ask(const std::string& command);
    // The next line the child writes by itself; nothing when it has not come within the
    // timeout or the child closed its output.
    [[nodiscard]] std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Closes the child's input and waits; answers its exit code (-1 when it died of a signal).
    int finish();
    // Sends the signal with the input left open and waits; answers as finish() does.
    int stop(int signal);
    [[nodiscard]] int pid() const { return m_pid; }
    [[nodiscard]] std::string standardError() const;

private:
    int reap();

    int m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_errorFile;
    std::string m_pending;
};

}
