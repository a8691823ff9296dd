#include "Foundation/PrintableText.h"

#include <gtest/gtest.h>

TEST(PrintableText, ControlCharactersAreEscapedAndTheRestKept)
{
    struct Case {
        const char* label;
        std::string text;
        std::string printable;
    };
    const Case cases[] = {
        { "plain", "Tessary8.dylib", "Tessary8.dylib" },
        { "terminal escape", "\x1b[2Jcleared", "\\x1B[2Jcleared" },
        { "line breaks and tab", "a\nb\r\tc", "a\\x0Ab\\x0D\\x09c" },
        { "nul and delete", std::string("a\0b\x7f", 4), "a\\x00b\\x7F" },
        { "C1 control as UTF-8", "x\xc2\x9b" "31m", "x\\u009B31m" },
        { "letters beyond ASCII", "caf\xc3\xa9 \xc2\xa0", "caf\xc3\xa9 \xc2\xa0" },
        { "backslash cannot forge an escape", "\\x1B", "\\\\x1B" },
        { "lead byte at the end", "a\xc2", "a\xc2" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Foundation::printableText(c.text), c.printable);
    }
}
