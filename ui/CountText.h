// Language texts with counts in them: the portable ones of the results layer.
#pragma once

#include "results/CountText.h"

using results::FillCounts;
using results::GroupedCount;
