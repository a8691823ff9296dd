#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace ImageIO {

// A moment as the camera's clock showed it. EXIF records no time zone, so it is a local
// date and time; compared with other clocks it is taken in this machine's zone.
class EXIFDateTime {
public:
    // "YYYY:MM:DD HH:MM:SS", as EXIF writes it; nullopt for anything else, for a date
    // that does not exist, and for the blank or all-zero text cameras write when unset.
    [[nodiscard]] static std::optional<EXIFDateTime> fromEXIFText(std::string_view);

    explicit EXIFDateTime(std::chrono::local_seconds time) : m_time(time) { }

    [[nodiscard]] std::chrono::local_seconds localTime() const { return m_time; }
    [[nodiscard]] std::chrono::system_clock::time_point inCurrentTimeZone() const;
    // "YYYY-MM-DD HH:MM:SS".
    [[nodiscard]] std::string description() const;

    auto operator<=>(const EXIFDateTime&) const = default;

private:
    std::chrono::local_seconds m_time;
};

}
