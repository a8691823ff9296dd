#include "host/CommandLineReader.h"

#include "Foundation/PrintableText.h"

#include <climits>
#include <istream>

namespace CommandLineReader {

namespace {

constexpr size_t quotedBytes = 40;

}

std::optional<Line> read(std::istream& in)
{
    Line line;
    std::istream::sentry ready(in, true);
    if (!ready)
        return std::nullopt;
    auto* buffer = in.rdbuf();
    bool sawAnything = false;
    for (;;) {
        int next = buffer->sbumpc();
        if (next == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            if (!sawAnything)
                in.setstate(std::ios::failbit);
            return sawAnything ? std::optional(std::move(line)) : std::nullopt;
        }
        sawAnything = true;
        if (next == '\n')
            return line;
        if (line.text.size() < maximumLineBytes)
            line.text.push_back(static_cast<char>(next));
        else
            line.tooLong = true;
    }
}

std::string tooLongAnswer(const Line& line)
{
    return "error: command longer than " + std::to_string(maximumLineBytes) + " bytes, ignored: '"
        + Foundation::printableText(std::string_view(line.text).substr(0, quotedBytes)) + "…'";
}

std::optional<std::string> fileNameProblem(const std::string& name)
{
    if (name.size() >= PATH_MAX)
        return "file name longer than " + std::to_string(PATH_MAX - 1) + " bytes";
    return std::nullopt;
}

}
