#include "engine/platform/file_system.h"

namespace tolvane::platform {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, int64_t* m, int64_t* d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp + (mp < 10 ? 3 : -9);
    *y = yoe + era * 400 + (*m <= 2);
}

bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int64_t y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

SystemTime SystemTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    const int64_t days = FloorDiv(seconds, 86400);
    const int64_t secondOfDay = seconds - days * 86400;
    int64_t y = 0, m = 0, d = 0;
    CivilFromDays(days, &y, &m, &d);
    SystemTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(m);
    t.day = static_cast<uint16_t>(d);
    // 1970-01-01 was a Thursday.
    t.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 4) % 7);
    t.hour = static_cast<uint16_t>(secondOfDay / 3600);
    t.minute = static_cast<uint16_t>(secondOfDay / 60 % 60);
    t.second = static_cast<uint16_t>(secondOfDay % 60);
    t.milliseconds = static_cast<uint16_t>(nanoseconds / 1000000);
    return t;
}

bool UnixFromSystemTime(const SystemTime& t, int64_t* seconds, int64_t* nanoseconds) {
    // The range a Windows file time can hold.
    if (t.year < 1601 || t.year > 30827) return false;
    if (t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return false;
    if (t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999) return false;
    const int64_t days = DaysFromCivil(t.year, t.month, t.day);
    *seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    *nanoseconds = static_cast<int64_t>(t.milliseconds) * 1000000;
    return true;
}

}  // namespace tolvane::platform
