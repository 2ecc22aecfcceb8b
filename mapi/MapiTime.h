// MAPI times (100-ns intervals since 1 January 1601, UTC) as the system's
// date-time (days since 30 December 1899). No time-zone conversion.
#pragma once

#include <cstdint>

#include "indexapi/QuopRecords.h"

TDateTime FileDateTimeToDateTime(std::uint32_t dwLowDateTime, std::uint32_t dwHighDateTime);
