#include <gtest/gtest.h>

#include "public/basPublic.h"

using namespace quorallion::basPublic;

TEST(FormatDateTime, Styles) {
    const DateTime t{2024, 1, 2, 3, 4, 5, 0};
    EXPECT_EQ(FormatDateTime(t, 1), L"2024-01-02 03:04:05");
    EXPECT_EQ(FormatDateTime(t, 2), L"2024-01-02");
    EXPECT_EQ(FormatDateTime(t, 3), L"03:04:05");
    EXPECT_EQ(FormatDateTime(t, 4), L"20240102");
    EXPECT_EQ(FormatDateTime(t, 5), L"20240102030405");
    EXPECT_EQ(FormatDateTime(t, 6), L"");
    EXPECT_EQ(FormatDateTime(t, 0), L"");
}

TEST(FormatDateTime, AutomationDates) {
    EXPECT_EQ(FormatDateTime(0.0, 1), L"1899-12-30 00:00:00");
    EXPECT_EQ(FormatDateTime(45293.5, 1), L"2024-01-02 12:00:00");
    EXPECT_EQ(FormatDateTime(-1.25, 1), L"1899-12-29 06:00:00");
    EXPECT_EQ(FormatDateTime(std::numeric_limits<double>::quiet_NaN(), 5), L"");
    EXPECT_EQ(FormatDateTime(1e12, 5), L"");
    // Round trip through the automation date, across a leap day.
    const DateTime leap{2024, 2, 29, 23, 59, 59, 0};
    EXPECT_EQ(FormatDateTime(ToAutomationDate(leap), 5), L"20240229235959");
}

TEST(TimeStampText, SeventeenDigits) {
    EXPECT_EQ(TimeStampText(DateTime{2024, 12, 31, 23, 5, 9, 0}, 7), L"20241231230509007");
}
