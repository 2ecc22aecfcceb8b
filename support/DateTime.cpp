#include "support/DateTime.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Day 0 of the date-time is 30 December 1899, 25569 days before 1 January 1970.
constexpr long kUnixEpochDay = 25569;

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's
// days_from_civil): years are counted from 1 March so the leap day is last.
long DaysFromCivil(int nYear, int nMonth, int nDay) {
  const long y = nYear - (nMonth <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yearOfEra = y - era * 400;
  const long dayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

TCalendarDate CivilFromDays(long days) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long dayOfEra = days - era * 146097;
  const long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int nDay = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int nMonth = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int nYear = static_cast<int>(yearOfEra + era * 400 + (nMonth <= 2 ? 1 : 0));
  return {nYear, nMonth, nDay};
}

}  // namespace

bool IsLeapYear(int nYear) {
  return nYear % 4 == 0 && (nYear % 100 != 0 || nYear % 400 == 0);
}

int DaysInMonth(int nYear, int nMonth) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (nMonth < 1 || nMonth > 12) return 0;
  return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

bool IsValidDate(int nYear, int nMonth, int nDay) {
  return nYear >= 1 && nYear <= 9999 && nDay >= 1 && nDay <= DaysInMonth(nYear, nMonth);
}

TDateTime EncodeDate(int nYear, int nMonth, int nDay) {
  if (!IsValidDate(nYear, nMonth, nDay)) throw std::out_of_range("EncodeDate: no such date");
  return static_cast<TDateTime>(DaysFromCivil(nYear, nMonth, nDay) + kUnixEpochDay);
}

TCalendarDate DecodeDate(TDateTime dt) {
  return CivilFromDays(static_cast<long>(std::trunc(dt)) - kUnixEpochDay);
}

TDateTime SubtractOneMonth(TDateTime dt) {
  TCalendarDate date = DecodeDate(dt);
  if (--date.nMonth == 0) {
    date.nMonth = 12;
    --date.nYear;
  }
  return EncodeDate(date.nYear, date.nMonth,
                    std::min(date.nDay, DaysInMonth(date.nYear, date.nMonth)));
}

TDateTime SubtractOneYear(TDateTime dt) {
  const TCalendarDate date = DecodeDate(dt);
  const int nYear = date.nYear - 1;
  return EncodeDate(nYear, date.nMonth, std::min(date.nDay, DaysInMonth(nYear, date.nMonth)));
}
