#include "Foundation/NSScanner.h"

#include <algorithm>
#include <climits>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char foldASCII(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}

NSScanner::NSScanner(NSString string)
    : m_string(std::move(string))
    , m_skipped(NSCharacterSet::whitespaceAndNewlineCharacterSet())
{
}

void NSScanner::setScanLocation(size_t location)
{
    m_location = std::min(location, m_string.size());
}

size_t NSScanner::afterSkipped(size_t from) const
{
    if (!m_skipped)
        return from;
    while (from < m_string.size()) {
        auto [character, length] = Foundation::decodeUTF8(m_string, from);
        if (!m_skipped->characterIsMember(character))
            break;
        from += length;
    }
    return from;
}

bool NSScanner::isAtEnd() const
{
    return afterSkipped(m_location) >= m_string.size();
}

bool NSScanner::scanDouble(double* result)
{
    std::string_view text = m_string;
    size_t start = afterSkipped(m_location);
    size_t at = start;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    size_t digits = 0;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
        ++digits;
    }
    if (at < text.size() && text[at] == '.') {
        size_t point = at++;
        size_t fractionDigits = 0;
        while (at < text.size() && isDigit(text[at])) {
            ++at;
            ++fractionDigits;
        }
        if (!digits && !fractionDigits)
            at = point;
        digits += fractionDigits;
    }
    if (!digits)
        return false;
    // An exponent counts only with digits; "1e" is the number 1 followed by "e".
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent])) {
            while (exponent < text.size() && isDigit(text[exponent]))
                ++exponent;
            at = exponent;
        }
    }
    if (result)
        *result = NSStringDoubleValue(text.substr(start, at - start));
    m_location = at;
    return true;
}

bool NSScanner::scanFloat(float* result)
{
    double value = 0;
    if (!scanDouble(&value))
        return false;
    if (result)
        *result = static_cast<float>(value);
    return true;
}

bool NSScanner::scanHexInt(unsigned* result)
{
    std::string_view text = m_string;
    size_t at = afterSkipped(m_location);
    // The prefix belongs to the number only when a digit follows it; "0xg" scans as 0.
    if (text.size() - at >= 3 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') && hexDigitValue(text[at + 2]) >= 0)
        at += 2;
    if (at >= text.size() || hexDigitValue(text[at]) < 0)
        return false;
    unsigned long long value = 0;
    bool overflow = false;
    for (; at < text.size() && hexDigitValue(text[at]) >= 0; ++at) {
        value = value * 16 + static_cast<unsigned>(hexDigitValue(text[at]));
        if (value > UINT_MAX) {
            overflow = true;
            value = UINT_MAX;
        }
    }
    if (result)
        *result = overflow ? UINT_MAX : static_cast<unsigned>(value);
    m_location = at;
    return true;
}

bool NSScanner::scanString(std::string_view string, NSString* into)
{
    size_t start = afterSkipped(m_location);
    if (string.empty() || m_string.size() - start < string.size())
        return false;
    for (size_t i = 0; i < string.size(); ++i) {
        char found = m_string[start + i];
        char wanted = string[i];
        if (m_caseSensitive ? found != wanted : foldASCII(found) != foldASCII(wanted))
            return false;
    }
    if (into)
        *into = m_string.substr(start, string.size());
    m_location = start + string.size();
    return true;
}
