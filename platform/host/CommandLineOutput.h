#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

// Where a command line or a script names a file to write: "-" is the given stream, the
// program's standard output (so the bytes keep their place among the lines around
// them); any other name a file written by writeFileAtomically. Library code writes only
// to files: "-" means something only to the tools that accept it.
[[nodiscard]] bool writeCommandLineOutput(std::string_view name, std::span<const std::uint8_t> bytes, std::ostream& standardOutput);
