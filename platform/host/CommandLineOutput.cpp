#include "host/CommandLineOutput.h"

#include "Foundation/AtomicFile.h"

#include <ostream>
#include <string>

bool writeCommandLineOutput(std::string_view name, std::span<const std::uint8_t> bytes, std::ostream& standardOutput)
{
    if (name != "-")
        return !name.empty() && Foundation::writeFileAtomically(std::string(name), bytes);
    standardOutput.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    standardOutput.flush();
    return standardOutput.good();
}
