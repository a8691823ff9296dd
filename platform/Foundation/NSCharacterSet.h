#pragma once

// A set of Unicode code points, as the scanner uses to decide what it passes over.

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class NSCharacterSet {
public:
    using Range = std::pair<char32_t, char32_t>;  // first and last code point, inclusive

    // General category Zs and tab.
    [[nodiscard]] static std::shared_ptr<const NSCharacterSet> whitespaceCharacterSet();
    // General categories Z*, U+000A to U+000D and U+0085.
    [[nodiscard]] static std::shared_ptr<const NSCharacterSet> whitespaceAndNewlineCharacterSet();
    // The code points of a UTF-8 text.
    [[nodiscard]] static std::shared_ptr<const NSCharacterSet> characterSetWithCharactersInString(std::string_view);

    explicit NSCharacterSet(std::vector<Range>);

    [[nodiscard]] bool characterIsMember(char32_t) const;

private:
    std::vector<Range> m_ranges;  // sorted by first code point
};

namespace Foundation {

inline constexpr char32_t replacementCharacter = U'\uFFFD';

// The code point that starts at byte offset at of a UTF-8 text, and its length in bytes.
// A malformed or truncated sequence reads as one replacement character of one byte, so
// that a reader always moves on. at must be below the text's size.
[[nodiscard]] std::pair<char32_t, size_t> decodeUTF8(std::string_view, size_t at);

}
