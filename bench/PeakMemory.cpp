#include "bench/PeakMemory.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace bench {

double PeakResidentMegabytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
  struct rusage ru {};
  if (::getrusage(RUSAGE_SELF, &ru) != 0) return 0;
  return static_cast<double>(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
#endif
}

}  // namespace bench
