#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Bytes read from or written to a device path.
class NSData {
public:
    // Larger files read as nothing: no file the system reads is anywhere near this.
    static constexpr size_t maximumFileSize = 512 * 1024 * 1024;

    [[nodiscard]] static std::shared_ptr<NSData> dataWithContentsOfFile(std::string_view devicePath);
    explicit NSData(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) { }

    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    [[nodiscard]] size_t length() const { return m_bytes.size(); }
    bool writeToFile(std::string_view devicePath, bool atomically) const;

private:
    std::vector<std::uint8_t> m_bytes;
};
