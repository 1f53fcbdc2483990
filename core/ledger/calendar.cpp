#include "core/ledger/calendar.h"

#include <array>
#include <charconv>
#include <cstdio>

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> DAYS = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return DAYS[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
}

std::string formatDate(int year, int month, int day) {
    if (year >= 0 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99) {
        // Every real date: written by hand, as this is done for every listed row.
        std::string text = "0000-00-00";
        for (int i = 3; i >= 0; --i, year /= 10)
            text[static_cast<std::size_t>(i)] = static_cast<char>('0' + year % 10);
        text[5] = static_cast<char>('0' + month / 10);
        text[6] = static_cast<char>('0' + month % 10);
        text[8] = static_cast<char>('0' + day / 10);
        text[9] = static_cast<char>('0' + day % 10);
        return text;
    }
    // Wide enough for any three ints, so a damaged record's date shows as it is stored.
    std::array<char, 48> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02d", year, month, day);
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::optional<CalendarDate> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    CalendarDate date;
    const auto number = [&](std::size_t at, std::size_t length, int& into) {
        const char* begin = text.data() + at;
        for (std::size_t i = 0; i < length; ++i)
            if (begin[i] < '0' || begin[i] > '9')
                return false;
        return std::from_chars(begin, begin + length, into).ec == std::errc{};
    };
    if (!number(0, 4, date.year) || !number(5, 2, date.month) || !number(8, 2, date.day))
        return std::nullopt;
    if (date.day < 1 || date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}
