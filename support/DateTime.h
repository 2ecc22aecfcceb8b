// Calendar helpers for the day-count date-time: a double counting days
// since 30 December 1899, the fraction being the time of day. Dates from
// 1 January 0001 to 31 December 9999 in the proleptic Gregorian calendar.
#pragma once

// The same alias as the one of the binary records.
using TDateTime = double;

struct TCalendarDate {
  int nYear;
  int nMonth;  // 1..12
  int nDay;    // 1..DaysInMonth

  friend bool operator==(const TCalendarDate&, const TCalendarDate&) = default;
};

bool IsLeapYear(int nYear);

// Days of a month (1..12) in a year; 0 for a month out of range.
int DaysInMonth(int nYear, int nMonth);

bool IsValidDate(int nYear, int nMonth, int nDay);

// The date-time of midnight of a calendar date; throws std::out_of_range
// for a date that does not exist.
TDateTime EncodeDate(int nYear, int nMonth, int nDay);

// The calendar date of the day part of a date-time. The day part is the
// value truncated towards zero, so -1.5 is 29 December 1899, 12:00.
TCalendarDate DecodeDate(TDateTime dt);

// The same day one calendar month earlier, clamped to the last day of that
// month (31 March -> 28 or 29 February). The time of day is dropped.
TDateTime SubtractOneMonth(TDateTime dt);

// The same day one calendar year earlier; 29 February becomes 28 February.
// The time of day is dropped.
TDateTime SubtractOneYear(TDateTime dt);
