#include "Foundation/NSCharacterSet.h"

#include <algorithm>

namespace {

std::vector<NSCharacterSet::Range> whitespaceRanges()
{
    return {
        { U'\t', U'\t' },
        { U' ', U' ' },
        { U'\u00A0', U'\u00A0' },
        { U'\u1680', U'\u1680' },
        { U'\u2000', U'\u200A' },
        { U'\u202F', U'\u202F' },
        { U'\u205F', U'\u205F' },
        { U'\u3000', U'\u3000' },
    };
}

}

NSCharacterSet::NSCharacterSet(std::vector<Range> ranges)
    : m_ranges(std::move(ranges))
{
    std::sort(m_ranges.begin(), m_ranges.end());
}

std::shared_ptr<const NSCharacterSet> NSCharacterSet::whitespaceCharacterSet()
{
    static const auto set = std::make_shared<const NSCharacterSet>(whitespaceRanges());
    return set;
}

std::shared_ptr<const NSCharacterSet> NSCharacterSet::whitespaceAndNewlineCharacterSet()
{
    static const auto set = [] {
        auto ranges = whitespaceRanges();
        ranges.push_back({ U'\n', U'\r' });
        ranges.push_back({ U'\u0085', U'\u0085' });
        ranges.push_back({ U'\u2028', U'\u2029' });
        return std::make_shared<const NSCharacterSet>(std::move(ranges));
    }();
    return set;
}

std::shared_ptr<const NSCharacterSet> NSCharacterSet::characterSetWithCharactersInString(std::string_view text)
{
    std::vector<Range> ranges;
    for (size_t at = 0; at < text.size();) {
        auto [character, length] = Foundation::decodeUTF8(text, at);
        ranges.push_back({ character, character });
        at += length;
    }
    return std::make_shared<const NSCharacterSet>(std::move(ranges));
}

bool NSCharacterSet::characterIsMember(char32_t character) const
{
    auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), character,
        [](char32_t value, const Range& range) { return value < range.first; });
    // Ranges may overlap, so every range that starts at or before the character is a candidate.
    return std::any_of(m_ranges.begin(), after, [character](const Range& range) { return character <= range.second; });
}

namespace Foundation {

std::pair<char32_t, size_t> decodeUTF8(std::string_view text, size_t at)
{
    auto byte = [&](size_t index) { return static_cast<unsigned char>(text[index]); };
    unsigned char lead = byte(at);
    if (lead < 0x80)
        return { lead, 1 };
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return { replacementCharacter, 1 };
    }
    if (text.size() - at < length)
        return { replacementCharacter, 1 };
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return { replacementCharacter, 1 };
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return { replacementCharacter, 1 };
    return { value, length };
}

}
