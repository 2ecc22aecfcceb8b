#include "ui/ReceivedText.h"

#include <windows.h>
#include <oleauto.h>

#include "support/Utf8Text.h"

namespace {

// The offset of local time from UTC in minutes (UTC = local + bias), as in
// force now.
long CurrentBias() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD id = ::GetTimeZoneInformation(&zone);
  long bias = zone.Bias;
  if (id == TIME_ZONE_ID_DAYLIGHT)
    bias += zone.DaylightBias;
  else if (id == TIME_ZONE_ID_STANDARD)
    bias += zone.StandardBias;
  return bias;
}

// The formats are asked for in UTF-16: a locale's month names and day-time
// markers need not fit the system code page.
std::string DateText(LCID locale, const SYSTEMTIME& st) {
  wchar_t text[128];
  const int n = ::GetDateFormatW(locale, DATE_SHORTDATE, &st, nullptr, text, 128);
  return n > 0 ? WideToUtf8(std::wstring_view(text)) : std::string();
}

std::string TimeText(LCID locale, const SYSTEMTIME& st) {
  wchar_t text[128];
  const int n = ::GetTimeFormatW(locale, 0, &st, nullptr, text, 128);
  return n > 0 ? WideToUtf8(std::wstring_view(text)) : std::string();
}

}  // namespace

std::string ReceivedTextInLocale(TDateTime utc, long biasMinutes, unsigned long lcid) {
  if (utc == 0) return std::string();
  const double local = utc - static_cast<double>(biasMinutes) / 1440.0;
  SYSTEMTIME st{};
  if (!::VariantTimeToSystemTime(local, &st)) return std::string();
  // The conversion rounds to the second, so a value a hair off midnight
  // after the offset still counts as midnight.
  std::string text = DateText(lcid, st);
  if (st.wHour != 0 || st.wMinute != 0 || st.wSecond != 0) {
    const std::string time = TimeText(lcid, st);
    if (!time.empty()) text += (text.empty() ? "" : " ") + time;
  }
  return text;
}

std::string ReceivedTextWithBias(TDateTime utc, long biasMinutes) {
  return ReceivedTextInLocale(utc, biasMinutes, LOCALE_USER_DEFAULT);
}

std::string ReceivedText(TDateTime utc) { return ReceivedTextWithBias(utc, CurrentBias()); }

char UserDecimalSeparator() {
  wchar_t text[8] = {};
  // A separator outside ASCII cannot stand in one byte of the UTF-8 texts.
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 1 && text[0] > 0 && text[0] < 0x80)
    return static_cast<char>(text[0]);
  return '.';
}

char UserThousandsSeparator() {
  wchar_t text[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, 8) > 1 && text[0] > 0 && text[0] < 0x80)
    return static_cast<char>(text[0]);
  // A no-break space and other separators outside ASCII: none.
  return 0;
}
