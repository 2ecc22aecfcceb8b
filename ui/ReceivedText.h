// The received-time column: a UTC time shown in local time, converted with
// the time-zone offset in force now, in the user's short date and long time
// formats; the time is left out when it is exactly midnight. The texts are
// UTF-8, as every cell text of the results list.
#pragma once

#include <string>

#include "indexapi/QuopRecords.h"

std::string ReceivedText(TDateTime utc);
// The same with a given offset in minutes (local = UTC - bias), for tests.
std::string ReceivedTextWithBias(TDateTime utc, long biasMinutes);
// The same in the formats of a given locale identifier (LCID).
std::string ReceivedTextInLocale(TDateTime utc, long biasMinutes, unsigned long lcid);
// The user's decimal separator.
char UserDecimalSeparator();
// The user's digit-group separator (',' in English), 0 for none.
char UserThousandsSeparator();
