#include "Foundation/PrintableText.h"

#include <cstdio>

namespace Foundation {

std::string printableText(std::string_view text)
{
    std::string printable;
    printable.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        auto byte = static_cast<unsigned char>(text[index]);
        char escape[8];
        if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            printable += escape;
        } else if (byte == 0xC2 && index + 1 < text.size() && static_cast<unsigned char>(text[index + 1]) < 0xA0
            && static_cast<unsigned char>(text[index + 1]) >= 0x80) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[++index]));
            printable += escape;
        } else if (byte == '\\') {
            printable += "\\\\";
        } else {
            printable += static_cast<char>(byte);
        }
    }
    return printable;
}

}
