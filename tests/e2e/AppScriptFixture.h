#pragma once

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

// A device root of its own, the programs run on it, and the application run headless
// on it from a script with its answers line by line.
class AppScriptFixture : public ::testing::Test {
protected:
    static std::string program(const char* name) { return TestSupport::shellQuote((TestSupport::binaryDirectory() / "bin" / name).string()); }
    std::string root() const { return TestSupport::shellQuote(m_root.path().string()); }
    // tessary8-device on this root, its errors with its output.
    std::string device(const std::string& arguments) const { return program("tessary8-device") + " --root " + root() + " " + arguments + " 2>&1"; }
    std::vector<std::string> runScript(const std::string& script, int& exitCode) const
    {
        auto result = TestSupport::runCommand(program("tessary8-app") + " --headless --root " + root() + " --script - 2>/dev/null", script);
        exitCode = result.exitCode;
        std::vector<std::string> lines;
        std::istringstream answers(result.output);
        for (std::string line; std::getline(answers, line);)
            lines.push_back(line);
        return lines;
    }
    // tessary8-keyboard on this root: shows one keyboard, writes it to FILE in the root, and reports.
    TestSupport::CommandResult showKeyboard(const char* file) const
    {
        return TestSupport::runCommand(program("tessary8-keyboard") + " --root " + root() + " --out " + TestSupport::shellQuote((m_root.path() / file).string()) + " 2>/dev/null");
    }

    TestSupport::TemporaryDirectory m_root;
};
