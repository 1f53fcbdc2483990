#pragma once

#include <optional>
#include <string>
#include <string_view>

// A day of the calendar as the pages pick it and records store it.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const CalendarDate&) const = default;
};

int daysInMonth(int year, int month);

// "%04d-%02d-%02d".
std::string formatDate(int year, int month, int day);

// Exactly "YYYY-MM-DD" naming a real day; nullopt otherwise.
std::optional<CalendarDate> parseDate(std::string_view text);
