#include "render/file_entry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

// Calendar arithmetic on days since 1970-01-01 in the proleptic Gregorian calendar, by eras of
// 400 years (146,097 days), which repeat exactly. All of it runs in 64-bit integers; a DateTime
// is clamped to the span whose year fits in an int, so no input can overflow.

namespace folvane {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kDaysPerEra = 146097;

// Floor division and its non-negative remainder, for any sign of n; d > 0.
constexpr int64_t FloorDiv(int64_t n, int64_t d) {
    return n / d - ((n % d != 0 && n < 0) ? 1 : 0);
}

constexpr int64_t FloorMod(int64_t n, int64_t d) {
    return n - FloorDiv(n, d) * d;
}

// Days since 1970-01-01 of a date; month 1..12, day may run past the month's end.
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    // Counting years from March puts the leap day at the end of the year.
    year -= month <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
    const int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPerEra + dayOfEra - 719468;
}

struct CivilDate {
    int64_t year;
    int month, day;
};

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = FloorDiv(days, kDaysPerEra);
    const int64_t dayOfEra = days - era * kDaysPerEra;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// Seconds since 1970-01-01 00:00 of a date and time; the fields may lie outside their usual
// ranges and carry over. Exact for every int field.
constexpr int64_t SecondsFromParts(const DateParts& parts) {
    const int64_t monthIndex = int64_t{parts.month} - 1;
    const int64_t year = parts.year + FloorDiv(monthIndex, 12);
    const int64_t month = FloorMod(monthIndex, 12) + 1;
    const int64_t days = DaysFromCivil(year, month, 1) + (int64_t{parts.day} - 1);
    return days * kSecondsPerDay + int64_t{parts.hour} * 3600 + int64_t{parts.minute} * 60 + parts.second;
}

// The first and last second whose year is an int.
constexpr int64_t kFirstSecond = SecondsFromParts({INT_MIN, 1, 1, 0, 0, 0});
constexpr int64_t kLastSecond = SecondsFromParts({INT_MAX, 12, 31, 23, 59, 59});

int64_t SaturatingAdd(int64_t a, int64_t b) {
    if (b > 0 && a > INT64_MAX - b) return INT64_MAX;
    if (b < 0 && a < INT64_MIN - b) return INT64_MIN;
    return a + b;
}

DateTime FromLocalUnixSeconds(int64_t seconds) {
    return SaturatingAdd(seconds, kUnixEpochInDateTime);
}

}  // namespace

DateTime LocalDateTimeOf(UtcSeconds t) {
    return FromLocalUnixSeconds(LocalSecondsOf(t));
}

DateTime LocalDateTimeNow() {
    return FromLocalUnixSeconds(LocalSecondsNow());
}

DateParts SplitDateTime(DateTime t) {
    // Shift to the Unix epoch first; the clamp keeps the subtraction in range.
    const int64_t firstDateTime = kFirstSecond + kUnixEpochInDateTime;
    const int64_t lastDateTime = kLastSecond + kUnixEpochInDateTime;
    const int64_t seconds = std::clamp(t, firstDateTime, lastDateTime) - kUnixEpochInDateTime;
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const int secondOfDay = static_cast<int>(seconds - days * kSecondsPerDay);
    const CivilDate date = CivilFromDays(days);
    return {static_cast<int>(date.year), date.month,      date.day, secondOfDay / 3600,
            secondOfDay / 60 % 60,       secondOfDay % 60};
}

DateTime MakeDateTime(const DateParts& parts) {
    return SecondsFromParts(parts) + kUnixEpochInDateTime;
}

}  // namespace folvane
