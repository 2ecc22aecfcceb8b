#pragma once

namespace bench {
// The process's peak resident memory (peak working set on Windows), in MB.
double PeakResidentMegabytes();
// The process's resident memory now (working set on Windows), in MB.
double ResidentMegabytes();
}  // namespace bench
