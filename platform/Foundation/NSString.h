#pragma once

// Strings are std::string (UTF-8). These are the platform's string operations
// the system relies on: numeric conversion and formatting with %@.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

using NSString = std::string;

// The platform's floatValue/doubleValue of a string: leading white space is
// skipped, then the longest prefix that is a decimal number is converted;
// anything else gives 0. Out-of-range values give ±HUGE_VAL, as strtod does.
[[nodiscard]] double NSStringDoubleValue(std::string_view);
[[nodiscard]] float NSStringFloatValue(std::string_view);

namespace Foundation {

using FormatArgument = std::variant<std::string, long long, unsigned long long, double, const void*>;

template<class T>
FormatArgument formatArgument(const T& value)
{
    if constexpr (std::is_same_v<T, bool>)
        return static_cast<long long>(value);
    else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>)
        return static_cast<long long>(value);
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return static_cast<unsigned long long>(value);
    else if constexpr (std::is_floating_point_v<T>)
        return static_cast<double>(value);
    else if constexpr (std::is_convertible_v<T, std::string_view>)
        return std::string(std::string_view(value));
    else
        return static_cast<const void*>(value);
}

// Formats printf-style, with %@ taking a string. A directive without a matching
// argument of a fitting kind prints as "(null)" or 0 instead of reading past the
// arguments.
[[nodiscard]] std::string format(std::string_view format, const std::vector<FormatArgument>&);

}

template<class... Args>
[[nodiscard]] NSString stringWithFormat(std::string_view format, const Args&... args)
{
    return Foundation::format(format, { Foundation::formatArgument(args)... });
}
