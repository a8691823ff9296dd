#pragma once

// The dictionary the system reads from and writes to property-list files. Paths
// are device paths (see DeviceRoot).

#include "Foundation/PropertyList.h"

#include <memory>
#include <string>
#include <string_view>

class NSMutableDictionary {
public:
    [[nodiscard]] static std::shared_ptr<NSMutableDictionary> dictionary();
    // nullptr when the file is missing, unreadable, not a property list, or its root is not a dictionary.
    [[nodiscard]] static std::shared_ptr<NSMutableDictionary> dictionaryWithContentsOfFile(std::string_view devicePath);

    explicit NSMutableDictionary(PropertyListValue::Dictionary entries = {}) : m_entries(std::move(entries)) { }

    [[nodiscard]] const PropertyListValue* objectForKey(std::string_view key) const;
    void setObjectForKey(PropertyListValue object, std::string key);
    void removeObjectForKey(std::string_view key);
    [[nodiscard]] size_t count() const { return m_entries.size(); }
    [[nodiscard]] const PropertyListValue::Dictionary& entries() const { return m_entries; }

    // Writes an XML property list; atomically when asked (see writeFileAtomically).
    bool writeToFile(std::string_view devicePath, bool atomically) const;

private:
    PropertyListValue::Dictionary m_entries;
};

using NSDictionary = NSMutableDictionary;
