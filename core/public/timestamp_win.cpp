#include <windows.h>

#include <cmath>
#include <random>

#include "public/basPublic_win.h"

namespace quorallion::basPublic {

DateTime LocalNow() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::wstring GetTimeStamp() {
    DateTime local = LocalNow();
    SYSTEMTIME utc;
    ::GetSystemTime(&utc);
    return TimeStampText(local, utc.wMilliseconds);
}

DateTime AddMinutes(const DateTime& value, long long minutes) {
    double shifted = ToAutomationDate(value) + static_cast<double>(minutes) / 1440.0;
    std::optional<DateTime> out = FromAutomationDate(shifted);
    return out ? *out : value;
}

long long RandomRange(long long low, long long high) {
    // One generator per process, seeded from the clock and the process: keys drawn in the same
    // millisecond by two calls or two processes still differ.
    static std::mt19937_64 generator = [] {
        LARGE_INTEGER counter;
        ::QueryPerformanceCounter(&counter);
        std::seed_seq seed{static_cast<unsigned>(counter.QuadPart),
                           static_cast<unsigned>(counter.QuadPart >> 32),
                           static_cast<unsigned>(::GetCurrentProcessId()),
                           static_cast<unsigned>(::GetTickCount())};
        return std::mt19937_64(seed);
    }();
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double value = unit(generator) * static_cast<double>(high - low) + static_cast<double>(low);
    return static_cast<long long>(std::nearbyint(value));  // the default mode rounds half to even
}

long long RandomNumberOfDigits(int n) {
    long long low = 1;
    for (int i = 1; i < n; ++i) low *= 10;
    return RandomRange(low, low * 10 - 1);
}

std::wstring RandomDigits(int n) { return std::to_wstring(RandomNumberOfDigits(n)); }

}  // namespace quorallion::basPublic
