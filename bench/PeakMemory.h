#pragma once

namespace bench {
// The process's peak resident memory (peak working set on Windows), in MB.
double PeakResidentMegabytes();
}  // namespace bench
