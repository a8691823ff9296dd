#include "ImageIO/EXIFDateTime.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace ImageIO {

namespace {

// The digits of text[at, at + length) as a number; nullopt when any is not a digit.
std::optional<int> number(std::string_view text, size_t at, size_t length)
{
    int value = 0;
    auto digits = text.substr(at, length);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.front() == '+' || digits.front() == '-')
        return std::nullopt;
    return value;
}

}

std::optional<EXIFDateTime> EXIFDateTime::fromEXIFText(std::string_view text)
{
    // The tag is NUL-terminated ASCII; some writers pad it further.
    text = text.substr(0, text.find('\0'));
    constexpr std::string_view layout = "YYYY:MM:DD HH:MM:SS";
    if (text.size() != layout.size())
        return std::nullopt;
    for (size_t i = 0; i < layout.size(); ++i) {
        if ((layout[i] == ':' || layout[i] == ' ') && text[i] != layout[i])
            return std::nullopt;
    }
    auto year = number(text, 0, 4), month = number(text, 5, 2), day = number(text, 8, 2);
    auto hour = number(text, 11, 2), minute = number(text, 14, 2), second = number(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    using namespace std::chrono;
    year_month_day date { std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)), std::chrono::day(static_cast<unsigned>(*day)) };
    // A leap second has no place on this clock; the all-zero text fails here as month 0.
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return EXIFDateTime(local_days(date) + hours(*hour) + minutes(*minute) + seconds(*second));
}

std::chrono::system_clock::time_point EXIFDateTime::inCurrentTimeZone() const
{
    using namespace std::chrono;
    auto day = floor<days>(m_time);
    year_month_day date(day);
    hh_mm_ss time(m_time - day);
    std::tm fields {};
    fields.tm_year = static_cast<int>(date.year()) - 1900;
    fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    fields.tm_hour = static_cast<int>(time.hours().count());
    fields.tm_min = static_cast<int>(time.minutes().count());
    fields.tm_sec = static_cast<int>(time.seconds().count());
    // Whether summer time was in force then is for the zone's rules to say.
    fields.tm_isdst = -1;
    std::time_t moment = std::mktime(&fields);
    if (moment == static_cast<std::time_t>(-1))
        return system_clock::time_point(m_time.time_since_epoch());
    return system_clock::from_time_t(moment);
}

std::string EXIFDateTime::description() const
{
    using namespace std::chrono;
    auto day = floor<days>(m_time);
    year_month_day date(day);
    hh_mm_ss time(m_time - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
        static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()));
    return text;
}

}
