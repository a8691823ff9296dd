#include "Foundation/NSScanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(NSScanner, ScansDecimalNumbers)
{
    struct { const char* text; bool found; double value; size_t location; } cases[] = {
        { "3.25", true, 3.25, 4 }, { "  -1.5e2x", true, -150, 8 }, { "+.5", true, 0.5, 3 }, { "5.", true, 5, 2 }, { "1E-2,", true, 0.01, 4 },
        // An exponent without digits is not part of the number.
        { "1e", true, 1, 1 }, { "1e+", true, 1, 1 }, { "1.5.5", true, 1.5, 3 }, { "0x10", true, 0, 1 },
        // White space and newlines as Unicode has them: no-break space, ideographic space, line separator.
        { "\n\t\u00A0\u3000" "8", true, 8, 8 }, { "\u2028" "9", true, 9, 4 },
        { "1e999", true, HUGE_VAL, 5 }, { "-1e999", true, -HUGE_VAL, 6 }, { "1e-999", true, 0, 6 },
        // Nothing scanned leaves the location where it was, skipped white space included.
        { ".", false, 0, 0 }, { "-", false, 0, 0 }, { "+-1", false, 0, 0 }, { ".e5", false, 0, 0 }, { "  abc", false, 0, 0 },
        { "   ", false, 0, 0 }, { "inf", false, 0, 0 }, { "nan", false, 0, 0 }, { "\u200B" "1", false, 0, 0 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        NSScanner scanner(entry.text);
        double value = -42;
        EXPECT_EQ(scanner.scanDouble(&value), entry.found);
        EXPECT_EQ(scanner.scanLocation(), entry.location);
        EXPECT_EQ(value, entry.found ? entry.value : -42);
    }
    for (auto [text, value] : { std::pair { "0.1", 0.1f }, std::pair { "1e39", HUGE_VALF }, std::pair { "16777217", 16777216.0f } }) {
        SCOPED_TRACE(text);
        float scanned = 0;
        NSScanner scanner(text);
        EXPECT_TRUE(scanner.scanFloat(&scanned));
        EXPECT_EQ(scanned, value);
    }
}

TEST(NSScanner, ScansHexadecimalIntegers)
{
    struct { const char* text; bool found; unsigned value; size_t location; } cases[] = {
        { "ff", true, 0xFF, 2 }, { "0x1A", true, 0x1A, 4 }, { "0X1a", true, 0x1A, 4 }, { "  00FF00", true, 0xFF00, 8 },
        { "FFFFFFFF", true, 0xFFFFFFFF, 8 }, { "00000000000000000000001", true, 1, 23 }, { "12g4", true, 0x12, 2 },
        // Past 32 bits the value saturates and the digits are still taken.
        { "100000000", true, UINT_MAX, 9 }, { "fffffffffffffffffffffffffz", true, UINT_MAX, 25 },
        // The prefix needs a digit after it.
        { "0xg", true, 0, 1 }, { "0x", true, 0, 1 },
        { "#ff", false, 0, 0 }, { "-1", false, 0, 0 }, { "+1", false, 0, 0 }, { "x1", false, 0, 0 }, { " g", false, 0, 0 }, { "", false, 0, 0 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        NSScanner scanner(entry.text);
        unsigned value = 42;
        EXPECT_EQ(scanner.scanHexInt(&value), entry.found);
        EXPECT_EQ(value, entry.found ? entry.value : 42u);
        EXPECT_EQ(scanner.scanLocation(), entry.location);
    }
}

TEST(NSScanner, ScansLiteralStringsIgnoringCaseByDefault)
{
    // into is null where nothing is found.
    struct { const char* text; const char* wanted; bool caseSensitive; const char* into; size_t location; } cases[] = {
        { "  \n{1}", "{", false, "{", 4 }, { "  ABC", "abc", false, "ABC", 5 }, { "  ABC", "abc", true, nullptr, 0 },
        { "abcdef", "abc", true, "abc", 3 }, { "ab", "abc", false, nullptr, 0 }, { "abc", "", false, nullptr, 0 },
        { "\u00C9t\u00E9", "\u00C9t", true, "\u00C9t", 3 }, { "x{", "{", false, nullptr, 0 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.text << " / " << entry.wanted);
        NSScanner scanner(entry.text);
        EXPECT_FALSE(scanner.caseSensitive());
        scanner.setCaseSensitive(entry.caseSensitive);
        NSString into = "untouched";
        EXPECT_EQ(scanner.scanString(entry.wanted, &into), entry.into != nullptr);
        EXPECT_EQ(into, entry.into ? entry.into : "untouched");
        EXPECT_EQ(scanner.scanLocation(), entry.location);
    }
}

TEST(NSScanner, IsAtEndWhenOnlySkippedCharactersRemain)
{
    struct { std::string text; size_t location; bool atEnd; } cases[] = {
        { "", 0, true }, { " \t\r\n", 0, true }, { " x ", 0, false }, { " x ", 2, true }, { "x\u2029\u00A0", 1, true },
        { std::string("x\0", 2), 1, false }, { "abc", 99, true },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        NSScanner scanner(entry.text);
        scanner.setScanLocation(entry.location);
        EXPECT_EQ(scanner.isAtEnd(), entry.atEnd);
        EXPECT_EQ(scanner.scanLocation(), std::min(entry.location, entry.text.size()));
    }
}

TEST(NSScanner, SkippedCharactersCanBeChangedOrTurnedOff)
{
    NSScanner scanner(" 1;\u20AC,2");
    scanner.setCharactersToBeSkipped(nullptr);
    EXPECT_FALSE(scanner.scanFloat(nullptr));
    EXPECT_FALSE(scanner.isAtEnd());
    scanner.setCharactersToBeSkipped(NSCharacterSet::characterSetWithCharactersInString(" ,;\u20AC"));
    float value = 0;
    EXPECT_TRUE(scanner.scanFloat(&value) && value == 1);
    EXPECT_TRUE(scanner.scanFloat(&value) && value == 2);
    EXPECT_TRUE(scanner.isAtEnd());

    NSScanner newlines("\n5");
    newlines.setCharactersToBeSkipped(NSCharacterSet::whitespaceCharacterSet());
    EXPECT_FALSE(newlines.scanFloat(nullptr));
}

TEST(NSCharacterSet, MembershipOverCategoriesAndOverlappingRanges)
{
    auto whitespace = NSCharacterSet::whitespaceCharacterSet();
    auto withNewlines = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    for (char32_t c : { U'\t', U'\u1680', U'\u200A', U'\u202F', U'\u3000' })
        EXPECT_TRUE(whitespace->characterIsMember(c) && withNewlines->characterIsMember(c)) << static_cast<unsigned>(c);
    for (char32_t c : { U'\n', U'\v', U'\r', U'\u0085', U'\u2028' })
        EXPECT_TRUE(!whitespace->characterIsMember(c) && withNewlines->characterIsMember(c)) << static_cast<unsigned>(c);
    for (char32_t c : { U'\u200B', U'a', U'\0' })
        EXPECT_FALSE(withNewlines->characterIsMember(c)) << static_cast<unsigned>(c);
    NSCharacterSet overlapping({ { U'a', U'z' }, { U'c', U'd' } });
    EXPECT_TRUE(overlapping.characterIsMember(U'x'));
    EXPECT_FALSE(overlapping.characterIsMember(U'{'));
}

TEST(NSCharacterSet, DecodesUTF8AndReplacesWhatIsMalformed)
{
    struct { std::string text; char32_t character; size_t length; } cases[] = {
        { "\xC3\xA9", U'\u00E9', 2 }, { "\xE2\x82\xAC", U'\u20AC', 3 }, { "\xF4\x8F\xBF\xBF", U'\U0010FFFF', 4 },
        // Truncated, a lone continuation byte, overlong, a surrogate, past Unicode.
        { "\xF0\x9F\x98", U'\uFFFD', 1 }, { "\x80", U'\uFFFD', 1 }, { "\xC0\x80", U'\uFFFD', 1 }, { "\xED\xA0\x80", U'\uFFFD', 1 },
        { "\xF4\x90\x80\x80", U'\uFFFD', 1 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        auto [character, length] = Foundation::decodeUTF8(entry.text, 0);
        EXPECT_EQ(static_cast<unsigned>(character), static_cast<unsigned>(entry.character));
        EXPECT_EQ(length, entry.length);
    }
}
