#include "support/TestSupport.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "shared/SharedFiles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace TestSupport {

std::shared_ptr<NSMutableDictionary> readSettings(const std::filesystem::path& deviceRoot)
{
    auto previous = DeviceRoot::current();
    DeviceRoot::set(deviceRoot);
    auto dictionary = NSMutableDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    DeviceRoot::set(previous);
    return dictionary;
}


TemporaryDirectory::TemporaryDirectory()
{
    std::random_device random;
    for (;;) {
        auto candidate = std::filesystem::temp_directory_path() / ("tessary8-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate;
            return;
        }
    }
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code error;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
}

ScopedDeviceRoot::ScopedDeviceRoot()
{
    DeviceRoot::set(m_directory.path());
}

ScopedDeviceRoot::~ScopedDeviceRoot()
{
    DeviceRoot::set({});
}

std::filesystem::path ScopedDeviceRoot::prepare(const std::string& devicePath) const
{
    auto file = DeviceRoot::resolve(devicePath);
    std::filesystem::create_directories(file.parent_path());
    return file;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

CommandResult runCommand(const std::string& commandLine, const std::string& input)
{
    TemporaryDirectory scratch;
    auto inputFile = scratch.path() / "stdin";
    auto outputFile = scratch.path() / "stdout";
    writeFile(inputFile, input);
    std::string full = "(" + commandLine + ") <" + shellQuote(inputFile.string()) + " >" + shellQuote(outputFile.string());
    int status = std::system(full.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = readFile(outputFile);
    return result;
}

bool haveProgram(const std::string& name)
{
    return std::system(("command -v " + shellQuote(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::filesystem::path binaryDirectory()
{
    return TESSARY8_BINARY_DIR;
}

std::filesystem::path sourceDirectory()
{
    return TESSARY8_SOURCE_DIR;
}

}
