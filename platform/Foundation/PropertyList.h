#pragma once

// A property-list value of any type, kept exactly as read so that a file read
// and written back keeps every value (integers stay integers, reals keep their
// bits, data and dates survive).

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class PropertyListValue {
public:
    using Array = std::vector<PropertyListValue>;
    using Dictionary = std::map<std::string, PropertyListValue>;  // written sorted by key, as the platform does
    using Data = std::vector<std::uint8_t>;
    struct Integer {
        std::int64_t value = 0;
        bool isUnsigned = false;  // a value above 2^63-1, kept as its unsigned bits in value
        bool operator==(const Integer&) const = default;
    };
    struct Date {
        double secondsSinceReferenceDate = 0;  // since 2001-01-01 00:00:00 UTC
        bool operator==(const Date&) const = default;
    };
    struct UID {
        std::uint64_t value = 0;
        bool operator==(const UID&) const = default;
    };
    using Storage = std::variant<std::string, Integer, double, bool, Data, Date, Array, Dictionary, UID>;

    PropertyListValue() : m_storage(Dictionary {}) { }
    PropertyListValue(Storage storage) : m_storage(std::move(storage)) { }
    PropertyListValue(std::string text) : m_storage(std::move(text)) { }
    PropertyListValue(const char* text) : m_storage(std::string(text)) { }
    PropertyListValue(double real) : m_storage(real) { }
    PropertyListValue(float real) : m_storage(static_cast<double>(real)) { }
    PropertyListValue(bool boolean) : m_storage(boolean) { }
    PropertyListValue(Integer integer) : m_storage(integer) { }
    PropertyListValue(Array array) : m_storage(std::move(array)) { }
    PropertyListValue(Dictionary dictionary) : m_storage(std::move(dictionary)) { }
    static PropertyListValue integer(std::int64_t value) { return PropertyListValue(Integer { value, false }); }

    [[nodiscard]] const Storage& storage() const { return m_storage; }
    template<class T> [[nodiscard]] bool is() const { return std::holds_alternative<T>(m_storage); }
    template<class T> [[nodiscard]] const T* get() const { return std::get_if<T>(&m_storage); }
    template<class T> [[nodiscard]] T* get() { return std::get_if<T>(&m_storage); }

    // The platform's floatValue of a stored object: a number converts, a string
    // that holds a number converts as NSString does, a boolean is 0 or 1.
    // Containers, data and dates have no numeric value and give 0.
    [[nodiscard]] float floatValue() const;
    [[nodiscard]] double doubleValue() const;

    bool operator==(const PropertyListValue&) const = default;

    // Limits on what is handed to the parser: larger files and deeper nesting
    // read as no property list (the parser would overflow its stack otherwise).
    static constexpr size_t maximumFileSize = 8 * 1024 * 1024;
    static constexpr size_t maximumNestingDepth = 512;

    // XML or binary; nullopt for anything that is not a whole valid property list.
    [[nodiscard]] static std::optional<PropertyListValue> fromBytes(std::span<const std::uint8_t>);
    // Apple's XML layout: header, DOCTYPE, tab indentation, reals that read back
    // as the same double.
    [[nodiscard]] std::string toXML() const;

private:
    Storage m_storage;
};
