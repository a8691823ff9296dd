#pragma once

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
    // Closes the child's input and waits; answers its exit code (-1 when it died of a signal).
    int finish();
    [[nodiscard]] std::string standardError() const;

private:
    int m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_errorFile;
    std::string m_pending;
};

}
