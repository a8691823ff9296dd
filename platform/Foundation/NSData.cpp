#include "Foundation/NSData.h"

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"

#include <fstream>

std::shared_ptr<NSData> NSData::dataWithContentsOfFile(std::string_view devicePath)
{
    auto bytes = Foundation::readWholeFile(DeviceRoot::resolve(devicePath), maximumFileSize);
    if (!bytes)
        return nullptr;
    return std::make_shared<NSData>(std::move(*bytes));
}

bool NSData::writeToFile(std::string_view devicePath, bool atomically) const
{
    auto file = DeviceRoot::resolve(devicePath);
    if (atomically)
        return Foundation::writeFileAtomically(file, m_bytes);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}
