#pragma once

#include "Foundation/PropertyList.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>

// Failures show values as the XML they would be written as.
inline void PrintTo(const PropertyListValue& value, std::ostream* out)
{
    *out << value.toXML();
}

namespace PropertyListTestSupport {

inline std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

inline double secondsSinceReferenceDate(int year, unsigned month, unsigned day, int hour = 0, int minute = 0, int second = 0)
{
    using namespace std::chrono;
    sys_seconds time = sys_days { std::chrono::year { year } / std::chrono::month { month } / std::chrono::day { day } } + hours { hour } + minutes { minute } + seconds { second };
    return static_cast<double>((time - sys_days { std::chrono::year { 2001 } / January / 1 }).count());
}

inline PropertyListValue date(double seconds)
{
    return PropertyListValue::Storage(PropertyListValue::Date { seconds });
}

inline PropertyListValue data(PropertyListValue::Data bytes)
{
    return PropertyListValue::Storage(std::move(bytes));
}

inline PropertyListValue uid(std::uint64_t value)
{
    return PropertyListValue::Storage(PropertyListValue::UID { value });
}

inline PropertyListValue unsignedInteger(std::uint64_t value)
{
    return PropertyListValue::Integer { static_cast<std::int64_t>(value), true };
}

}
