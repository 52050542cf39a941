#include <cmath>

#include "public/basPublic.h"

namespace quorallion::basPublic {
namespace {

// Days between 1970-01-01 and a civil date (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

const long long kAutomationEpoch = DaysFromCivil(1899, 12, 30);

std::wstring Two(int value) { return PadZero(value, 2); }

}  // namespace

double ToAutomationDate(const DateTime& v) {
    double days = static_cast<double>(
        DaysFromCivil(v.year, static_cast<unsigned>(v.month), static_cast<unsigned>(v.day)) -
        kAutomationEpoch);
    double time = (v.hour * 3600000.0 + v.minute * 60000.0 + v.second * 1000.0 + v.millisecond) /
                  86400000.0;
    // Before the epoch the time of day still counts forwards from the day's start.
    return days >= 0 ? days + time : days - time;
}

std::optional<DateTime> FromAutomationDate(double value) {
    // The range automation dates allow: 1 January 100 to 31 December 9999.
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0) return std::nullopt;
    double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
    // Times are shown to the second: round, and carry a full day into the date.
    long long seconds = (ms + 500) / 1000;
    long long dayNumber = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        dayNumber += value >= 0 ? 1 : -1;
    }
    DateTime out;
    CivilFromDays(dayNumber + kAutomationEpoch, out.year, out.month, out.day);
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return out;
}

std::wstring FormatDateTime(const DateTime& v, int style) {
    const std::wstring y = std::to_wstring(v.year);
    switch (style) {
    case 1: return y + L"-" + Two(v.month) + L"-" + Two(v.day) + L" " + Two(v.hour) + L":" +
                   Two(v.minute) + L":" + Two(v.second);
    case 2: return y + L"-" + Two(v.month) + L"-" + Two(v.day);
    case 3: return Two(v.hour) + L":" + Two(v.minute) + L":" + Two(v.second);
    case 4: return y + Two(v.month) + Two(v.day);
    case 5: return y + Two(v.month) + Two(v.day) + Two(v.hour) + Two(v.minute) + Two(v.second);
    default: return std::wstring();
    }
}

std::wstring FormatDateTime(double value, int style) {
    std::optional<DateTime> date = FromAutomationDate(value);
    return date ? FormatDateTime(*date, style) : std::wstring();
}

std::wstring TimeStampText(const DateTime& local, int milliseconds) {
    return FormatDateTime(local, 5) + PadZero(milliseconds, 3);
}

}  // namespace quorallion::basPublic
