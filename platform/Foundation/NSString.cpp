#include "Foundation/NSString.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t skipDigits(std::string_view text, size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

}

double NSStringDoubleValue(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';

    size_t numberStart = at;
    size_t integerEnd = skipDigits(text, at);
    size_t end = integerEnd;
    bool hasDigits = integerEnd > numberStart;
    if (end < text.size() && text[end] == '.') {
        size_t fractionEnd = skipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits)
        return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }

    double value = 0;
    auto [parsedEnd, error] = std::from_chars(text.data() + numberStart, text.data() + end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow; tell them apart by the exponent's sign.
        bool underflow = text.substr(numberStart, end - numberStart).find("e-") != std::string_view::npos
            || text.substr(numberStart, end - numberStart).find("E-") != std::string_view::npos;
        value = underflow ? 0.0 : HUGE_VAL;
    } else if (error != std::errc()) {
        return 0;
    }
    (void)parsedEnd;
    return negative ? -value : value;
}

float NSStringFloatValue(std::string_view text)
{
    // Converting a double beyond float's range is undefined; the platform gives ±infinity.
    double value = NSStringDoubleValue(text);
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

namespace Foundation {

namespace {

bool isConversion(char c)
{
    return std::string_view("@diouxXfFeEgGaAcsp").find(c) != std::string_view::npos;
}

template<class T>
std::string cFormat(const std::string& directive, T value)
{
    int length = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (length <= 0)
        return {};
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), directive.c_str(), value);
    out.resize(static_cast<size_t>(length));
    return out;
}

long long integerOf(const FormatArgument& argument)
{
    if (auto* value = std::get_if<long long>(&argument))
        return *value;
    if (auto* value = std::get_if<unsigned long long>(&argument))
        return static_cast<long long>(*value);
    if (auto* value = std::get_if<double>(&argument))
        return static_cast<long long>(*value);
    return 0;
}

std::string printfOne(std::string directive, const FormatArgument& argument, char conversion)
{
    if (conversion == '@' || conversion == 's') {
        const std::string* text = std::get_if<std::string>(&argument);
        std::string value = text ? *text : "(null)";
        if (directive.size() == 2)
            return value;
        directive.back() = 's';
        return cFormat(directive, value.c_str());
    }
    if (conversion == 'c')
        return cFormat(directive, static_cast<int>(integerOf(argument)));
    if (conversion == 'p') {
        auto* pointer = std::get_if<const void*>(&argument);
        return cFormat("%p", pointer ? *pointer : nullptr);
    }
    if (std::string_view("diouxX").find(conversion) != std::string_view::npos) {
        directive.insert(directive.size() - 1, "ll");
        return cFormat(directive, integerOf(argument));
    }
    double real = 0;
    if (auto* value = std::get_if<double>(&argument))
        real = *value;
    else
        real = static_cast<double>(integerOf(argument));
    return cFormat(directive, real);
}

}

std::string format(std::string_view format, const std::vector<FormatArgument>& arguments)
{
    std::string out;
    size_t next = 0;
    for (size_t at = 0; at < format.size(); ++at) {
        if (format[at] != '%') {
            out += format[at];
            continue;
        }
        if (at + 1 < format.size() && format[at + 1] == '%') {
            out += '%';
            ++at;
            continue;
        }
        size_t end = at + 1;
        // Flags, width and precision only; length modifiers are implied by the argument.
        while (end < format.size() && std::string_view("-+ #0123456789.").find(format[end]) != std::string_view::npos)
            ++end;
        while (end < format.size() && std::string_view("hlLqjzt").find(format[end]) != std::string_view::npos)
            ++end;
        if (end >= format.size() || !isConversion(format[end])) {
            out.append(format.substr(at, end - at));
            at = end - 1;
            continue;
        }
        std::string directive;
        for (size_t i = at; i < end; ++i) {
            if (std::string_view("hlLqjzt").find(format[i]) == std::string_view::npos)
                directive += format[i];
        }
        directive += format[end];
        static const FormatArgument missing = std::string("(null)");
        const FormatArgument& argument = next < arguments.size() ? arguments[next] : missing;
        ++next;
        out += printfOne(directive, argument, format[end]);
        at = end;
    }
    return out;
}

}
