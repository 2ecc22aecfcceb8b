#include "bench/PeakMemory.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
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

double ResidentMegabytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
  return static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
#else
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * ::sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
#endif
}

}  // namespace bench
