// Any bytes either read as a property list or as nothing, without a crash; what
// reads must come back the same after being written as XML and read again.

#include "Foundation/PropertyList.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Value = PropertyListValue;

// Dates as the XML form keeps them: whole seconds within years 1-9999, NaN as
// the reference date.
double dateAsWritten(double seconds)
{
    using namespace std::chrono;
    constexpr sys_days referenceDate = year { 2001 } / January / 1;
    constexpr double earliest = static_cast<double>((sys_seconds { sys_days { year { 1 } / January / 1 } } - referenceDate).count());
    constexpr double latest = static_cast<double>((sys_seconds { sys_days { year { 10000 } / January / 1 } } - referenceDate).count()) - 1;
    if (std::isnan(seconds))
        return 0;
    return std::clamp(std::floor(seconds), earliest, latest);
}

// What reading the XML written for a value should give: dates lose their
// fraction, and a one-entry CF$UID dictionary is how XML spells a UID.
Value asWrittenToXML(const Value& value)
{
    if (auto* date = value.get<Value::Date>())
        return Value::Storage(Value::Date { dateAsWritten(date->secondsSinceReferenceDate) });
    if (auto* array = value.get<Value::Array>()) {
        Value::Array written;
        for (auto& item : *array)
            written.push_back(asWrittenToXML(item));
        return written;
    }
    if (auto* dictionary = value.get<Value::Dictionary>()) {
        if (dictionary->size() == 1 && dictionary->begin()->first == "CF$UID") {
            if (auto* integer = dictionary->begin()->second.get<Value::Integer>())
                return Value::Storage(Value::UID { static_cast<std::uint64_t>(integer->value) });
        }
        Value::Dictionary written;
        for (auto& [key, item] : *dictionary)
            written.emplace(key, asWrittenToXML(item));
        return written;
    }
    return value;
}

// Equality, except that NaN equals NaN (its payload is not written).
bool same(const Value& a, const Value& b)
{
    if (a.storage().index() != b.storage().index())
        return false;
    if (auto* real = a.get<double>()) {
        double other = *b.get<double>();
        return (std::isnan(*real) && std::isnan(other)) || (*real == other && std::signbit(*real) == std::signbit(other));
    }
    if (auto* array = a.get<Value::Array>()) {
        auto* other = b.get<Value::Array>();
        if (array->size() != other->size())
            return false;
        for (size_t i = 0; i < array->size(); ++i) {
            if (!same((*array)[i], (*other)[i]))
                return false;
        }
        return true;
    }
    if (auto* dictionary = a.get<Value::Dictionary>()) {
        auto* other = b.get<Value::Dictionary>();
        if (dictionary->size() != other->size())
            return false;
        for (auto i = dictionary->begin(), j = other->begin(); i != dictionary->end(); ++i, ++j) {
            if (i->first != j->first || !same(i->second, j->second))
                return false;
        }
        return true;
    }
    return a == b;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    auto first = Value::fromBytes({ data, size });
    if (!first)
        return 0;
    std::string xml = first->toXML();
    // Shared binary objects can expand past the size read back; writers refuse those.
    if (xml.size() > Value::maximumFileSize)
        return 0;
    auto second = Value::fromBytes({ reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size() });
    if (!second) {
        std::fprintf(stderr, "written XML does not read back:\n%s", xml.c_str());
        std::abort();
    }
    if (!same(asWrittenToXML(*first), *second)) {
        std::fprintf(stderr, "read back differently:\n%s\nreads as:\n%s", xml.c_str(), second->toXML().c_str());
        std::abort();
    }
    return 0;
}
