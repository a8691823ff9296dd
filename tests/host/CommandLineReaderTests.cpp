#include "host/CommandLineReader.h"

#include <gtest/gtest.h>
#include <sstream>

TEST(CommandLineReader, LinesAreBoundedAndTheRestOfALongLineIsSkipped)
{
    const size_t limit = CommandLineReader::maximumLineBytes;
    struct Case {
        const char* label;
        std::string input;
        std::vector<std::pair<size_t, bool>> lines;  // length kept, too long
    };
    const Case cases[] = {
        { "empty input", "", {} },
        { "last line without its newline", "ab\ncd", { { 2, false }, { 2, false } } },
        { "empty lines count", "\n\n", { { 0, false }, { 0, false } } },
        { "exactly at the limit", std::string(limit, 'x') + "\nok\n", { { limit, false }, { 2, false } } },
        { "one byte over", std::string(limit + 1, 'x') + "\nok\n", { { limit, true }, { 2, false } } },
        { "far over, unended", std::string(3 * limit, 'x'), { { limit, true } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::istringstream in(c.input);
        std::vector<std::pair<size_t, bool>> lines;
        while (auto line = CommandLineReader::read(in))
            lines.emplace_back(line->text.size(), line->tooLong);
        EXPECT_EQ(lines, c.lines);
    }
}
