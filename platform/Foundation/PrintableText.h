#pragma once

#include <string>
#include <string_view>

namespace Foundation {

// Text from files and input made safe to print on a terminal: control characters
// (C0, DEL and the C1 range as UTF-8) become \xNN or \u00NN, and a backslash is
// doubled so that an escape cannot be forged. Everything else passes unchanged.
[[nodiscard]] std::string printableText(std::string_view);

}
