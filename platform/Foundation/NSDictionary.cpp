#include "Foundation/NSDictionary.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"

#include <fstream>

std::shared_ptr<NSMutableDictionary> NSMutableDictionary::dictionary()
{
    return std::make_shared<NSMutableDictionary>();
}

std::shared_ptr<NSMutableDictionary> NSMutableDictionary::dictionaryWithContentsOfFile(std::string_view devicePath)
{
    auto bytes = Foundation::readWholeFile(DeviceRoot::resolve(devicePath), PropertyListValue::maximumFileSize);
    if (!bytes)
        return nullptr;
    auto root = PropertyListValue::fromBytes(*bytes);
    if (!root)
        return nullptr;
    auto* entries = root->get<PropertyListValue::Dictionary>();
    if (!entries)
        return nullptr;
    return std::make_shared<NSMutableDictionary>(std::move(*entries));
}

const PropertyListValue* NSMutableDictionary::objectForKey(std::string_view key) const
{
    auto found = m_entries.find(std::string(key));
    return found == m_entries.end() ? nullptr : &found->second;
}

void NSMutableDictionary::setObjectForKey(PropertyListValue object, std::string key)
{
    m_entries.insert_or_assign(std::move(key), std::move(object));
}

void NSMutableDictionary::removeObjectForKey(std::string_view key)
{
    auto found = m_entries.find(std::string(key));
    if (found != m_entries.end())
        m_entries.erase(found);
}

bool NSMutableDictionary::writeToFile(std::string_view devicePath, bool atomically) const
{
    std::string xml = PropertyListValue(m_entries).toXML();
    // A file this size would read back as nothing, losing every entry at the next read.
    if (xml.size() > PropertyListValue::maximumFileSize)
        return false;
    auto file = DeviceRoot::resolve(devicePath);
    if (atomically)
        return Foundation::writeFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()));
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(xml.data(), static_cast<std::streamsize>(xml.size()));
    out.close();
    return !out.fail();
}
