#include <gtest/gtest.h>

#include <stdexcept>

#include "support/DateTime.h"

namespace {

TEST(DateTime, EncodesKnownDays) {
  struct Case { int y, m, d; TDateTime expected; };
  const Case cases[] = {
      {1899, 12, 30, 0},     {1899, 12, 29, -1},  {1900, 1, 1, 2},     {1900, 3, 1, 61},
      {1970, 1, 1, 25569},   {2000, 1, 1, 36526}, {2024, 2, 29, 45351}, {1, 1, 1, -693593},
      {9999, 12, 31, 2958465},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateTime, DecodeInvertsEncodeDayByDay) {
  TCalendarDate previous = DecodeDate(EncodeDate(1600, 1, 1) - 1);
  for (TDateTime day = EncodeDate(1600, 1, 1); day <= EncodeDate(2400, 12, 31); ++day) {
    const TCalendarDate date = DecodeDate(day);
    ASSERT_TRUE(IsValidDate(date.nYear, date.nMonth, date.nDay)) << day;
    ASSERT_EQ(EncodeDate(date.nYear, date.nMonth, date.nDay), day);
    const bool bNextInMonth = date.nYear == previous.nYear && date.nMonth == previous.nMonth &&
                              date.nDay == previous.nDay + 1;
    const bool bFirstOfMonth = date.nDay == 1 && previous.nDay == DaysInMonth(previous.nYear, previous.nMonth);
    ASSERT_TRUE(bNextInMonth || bFirstOfMonth) << day;
    previous = date;
  }
}

TEST(DateTime, DecodeUsesTheDayPartTruncatedTowardsZero) {
  EXPECT_EQ(DecodeDate(45351.75), (TCalendarDate{2024, 2, 29}));
  EXPECT_EQ(DecodeDate(-1.5), (TCalendarDate{1899, 12, 29}));
  EXPECT_EQ(DecodeDate(-0.5), (TCalendarDate{1899, 12, 30}));
}

TEST(DateTime, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(DateTime, RejectsDatesThatDoNotExist) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), std::out_of_range);
  EXPECT_THROW(EncodeDate(2023, 4, 31), std::out_of_range);
  EXPECT_THROW(EncodeDate(2023, 0, 1), std::out_of_range);
  EXPECT_THROW(EncodeDate(0, 12, 31), std::out_of_range);
  EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
}

TEST(DateTime, SubtractOneMonthClampsToTheMonthsLastDay) {
  struct Case { TCalendarDate from, expected; };
  const Case cases[] = {
      {{2023, 3, 31}, {2023, 2, 28}}, {{2024, 3, 31}, {2024, 2, 29}},
      {{2024, 3, 15}, {2024, 2, 15}}, {{2024, 5, 31}, {2024, 4, 30}},
      {{2024, 1, 31}, {2023, 12, 31}}, {{2024, 3, 1}, {2024, 2, 1}},
  };
  for (const Case& c : cases) {
    const TDateTime dt = EncodeDate(c.from.nYear, c.from.nMonth, c.from.nDay);
    EXPECT_EQ(DecodeDate(SubtractOneMonth(dt)), c.expected) << dt;
  }
  EXPECT_EQ(SubtractOneMonth(EncodeDate(2024, 3, 15) + 0.75), EncodeDate(2024, 2, 15));
}

TEST(DateTime, SubtractOneYearTurnsTheLeapDayInto28February) {
  struct Case { TCalendarDate from, expected; };
  const Case cases[] = {
      {{2024, 2, 29}, {2023, 2, 28}}, {{2024, 3, 1}, {2023, 3, 1}},
      {{2025, 2, 28}, {2024, 2, 28}}, {{2000, 1, 1}, {1999, 1, 1}},
  };
  for (const Case& c : cases) {
    const TDateTime dt = EncodeDate(c.from.nYear, c.from.nMonth, c.from.nDay);
    EXPECT_EQ(DecodeDate(SubtractOneYear(dt)), c.expected) << dt;
  }
}

}  // namespace
