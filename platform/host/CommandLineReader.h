#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>

// Command lines from standard input or a script, bounded so that a hostile line
// costs neither memory nor a long echo.
namespace CommandLineReader {

constexpr size_t maximumLineBytes = 64 * 1024;

struct Line {
    std::string text;     // without its "\n"; only the start of a line that was too long
    bool tooLong = false;
};

// The next line, nullopt at the end of input (or when the input fails). The rest of
// a line that is too long is skipped without being kept.
[[nodiscard]] std::optional<Line> read(std::istream&);

// The answer to a line that was too long, quoting only its printable start.
[[nodiscard]] std::string tooLongAnswer(const Line&);

// A file name the system could never open, refused before any work is done.
[[nodiscard]] std::optional<std::string> fileNameProblem(const std::string& name);

}
