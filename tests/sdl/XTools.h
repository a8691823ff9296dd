#pragma once

#include "support/TestSupport.h"

#include <cstdlib>
#include <optional>
#include <string>

// Why the window tests cannot run here, if they cannot: no X display, or a tool missing.
inline std::optional<std::string> missingXTools()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "no X display: ctest runs these tests under xvfb-run where it is installed";
    for (const char* tool : { "xdotool", "import" }) {
        if (!TestSupport::haveProgram(tool))
            return std::string(tool) + " is missing: scripts/setup.sh installs it";
    }
    return std::nullopt;
}
