#pragma once

// Reads numbers and literal strings off the front of a text, as the platform's
// scanner does. Every scan first passes over charactersToBeSkipped (white space
// and newlines unless changed); a scan that finds nothing leaves scanLocation
// where it was, skipped characters included. Locations are byte offsets into
// the UTF-8 text.

#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSString.h"

#include <memory>
#include <string_view>

class NSScanner {
public:
    explicit NSScanner(NSString string);

    [[nodiscard]] const NSString& string() const { return m_string; }
    [[nodiscard]] size_t scanLocation() const { return m_location; }
    void setScanLocation(size_t location);  // past the end means at the end

    [[nodiscard]] const std::shared_ptr<const NSCharacterSet>& charactersToBeSkipped() const { return m_skipped; }
    void setCharactersToBeSkipped(std::shared_ptr<const NSCharacterSet> characters) { m_skipped = std::move(characters); }  // nullptr skips nothing

    // Off by default, as on the platform. Case is folded for ASCII letters only.
    [[nodiscard]] bool caseSensitive() const { return m_caseSensitive; }
    void setCaseSensitive(bool caseSensitive) { m_caseSensitive = caseSensitive; }

    // A decimal number: sign, digits with an optional point, optional exponent.
    // Out of range it gives ±HUGE_VAL or 0, as the platform does. Any output may be null.
    [[nodiscard]] bool scanDouble(double* result);
    [[nodiscard]] bool scanFloat(float* result);
    // Hexadecimal digits, after an optional "0x" or "0X"; no sign. A value past
    // 32 bits gives UINT_MAX, and every digit is still taken.
    [[nodiscard]] bool scanHexInt(unsigned* result);
    // string itself, compared as caseSensitive says; into receives the text as it stands in the receiver.
    [[nodiscard]] bool scanString(std::string_view string, NSString* into);

    // Whether only characters to be skipped remain.
    [[nodiscard]] bool isAtEnd() const;

private:
    [[nodiscard]] size_t afterSkipped(size_t from) const;

    NSString m_string;
    size_t m_location = 0;
    std::shared_ptr<const NSCharacterSet> m_skipped;
    bool m_caseSensitive = false;
};
