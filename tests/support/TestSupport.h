#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class NSMutableDictionary;

namespace TestSupport {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Makes a fresh device root the current one for the object's lifetime.
class ScopedDeviceRoot {
public:
    ScopedDeviceRoot();
    ~ScopedDeviceRoot();
    [[nodiscard]] const std::filesystem::path& path() const { return m_directory.path(); }
    // The host file of a device path, with its folders created.
    [[nodiscard]] std::filesystem::path prepare(const std::string& devicePath) const;

private:
    TemporaryDirectory m_directory;
};

// The Settings file of a device root, read as the system reads it; nullptr when it cannot be.
[[nodiscard]] std::shared_ptr<NSMutableDictionary> readSettings(const std::filesystem::path& deviceRoot);

void writeFile(const std::filesystem::path&, const std::string& bytes);
[[nodiscard]] std::string readFile(const std::filesystem::path&);

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output
};
// Runs a command line through /bin/sh, optionally feeding it standard input.
[[nodiscard]] CommandResult runCommand(const std::string& commandLine, const std::string& input = {});
[[nodiscard]] bool haveProgram(const std::string& name);
[[nodiscard]] std::string shellQuote(const std::string&);

// Where the build put its programs and libraries.
[[nodiscard]] std::filesystem::path binaryDirectory();
[[nodiscard]] std::filesystem::path sourceDirectory();

}
