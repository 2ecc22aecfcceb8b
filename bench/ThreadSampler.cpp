#include "bench/ThreadSampler.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>

namespace bench {
namespace {

std::vector<DWORD> ThreadsOfThisProcess() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.push_back(entry.th32ThreadID);
  CloseHandle(snapshot);
  return ids;
}

std::string LowerFileName(const char* path) {
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  return name;
}

}  // namespace

TThreadSampler::TThreadSampler(std::vector<std::string> watched) : FBefore(ThreadsOfThisProcess()) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) {
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
      char path[MAX_PATH] = {};
      MODULEINFO info{};
      if (!GetModuleFileNameA(modules[i], path, MAX_PATH) ||
          !GetModuleInformation(GetCurrentProcess(), modules[i], &info, sizeof info))
        continue;
      const std::string name = LowerFileName(path);
      if (std::find(watched.begin(), watched.end(), name) == watched.end()) continue;
      const auto base = reinterpret_cast<ULONG_PTR>(info.lpBaseOfDll);
      FWatched.push_back({base, base + info.SizeOfImage, name});
    }
  }
  FThread = std::thread([this] { Run(); });
}

TThreadSampler::~TThreadSampler() {
  Stop();
  for (auto& [id, handle] : FSampled) CloseHandle(handle);
}

void TThreadSampler::Stop() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
}

void TThreadSampler::Run() {
  FBefore.push_back(GetCurrentThreadId());
  for (unsigned round = 0; !FStop; ++round) {
    // New threads are looked for now and then; a snapshot is dear.
    if (round % 50 == 0) SampleNewThreads();
    for (auto& [id, handle] : FSampled) SampleOne(handle);
    Sleep(1);
  }
}

void TThreadSampler::SampleNewThreads() {
  for (DWORD id : ThreadsOfThisProcess()) {
    if (std::find(FBefore.begin(), FBefore.end(), id) != FBefore.end() || FSampled.count(id)) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, id);
    if (thread != nullptr) FSampled.emplace(id, thread);
  }
}

void TThreadSampler::SampleOne(HANDLE thread) {
  DWORD code = 0;
  if (!GetExitCodeThread(thread, &code) || code != STILL_ACTIVE) return;
  if (SuspendThread(thread) == static_cast<DWORD>(-1)) return;
  // Nothing that allocates or takes a lock until the thread runs again: it
  // may have stopped holding the heap's lock or the loader's.
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  const bool read = GetThreadContext(thread, &context) != 0;
#ifdef _WIN64
  const ULONG_PTR ip = context.Rip, sp = context.Rsp;
#else
  const ULONG_PTR ip = context.Eip, sp = context.Esp;
#endif
  const TRange* own = read ? WatchedAt(ip) : nullptr;
  const TRange* caller = read && own == nullptr ? CallerOnStack(sp) : nullptr;
  ResumeThread(thread);
  if (!read) return;
  std::string place = own != nullptr ? own->name : ModuleNameOf(ip);
  if (caller != nullptr) place += " via " + caller->name;
  ++FByPlace[place];
  ++FSamples;
}

const TThreadSampler::TRange* TThreadSampler::WatchedAt(ULONG_PTR address) const {
  for (const TRange& range : FWatched)
    if (address >= range.begin && address < range.end) return &range;
  return nullptr;
}

const TThreadSampler::TRange* TThreadSampler::CallerOnStack(ULONG_PTR stack) const {
  // A system call seldom goes deeper than a few hundred words of stack.
  ULONG_PTR words[1024];
  SIZE_T read = 0;
  ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(stack), words, sizeof words, &read);
  if (read == 0) {
    // The stack's top page may end before the whole window: take less.
    ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(stack), words, 256 * sizeof(ULONG_PTR), &read);
  }
  for (SIZE_T i = 0; i < read / sizeof(ULONG_PTR); ++i)
    if (const TRange* caller = WatchedAt(words[i])) return caller;
  return nullptr;
}

std::string TThreadSampler::ModuleNameOf(ULONG_PTR address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(address), &module))
    return "?";
  auto known = FNames.find(module);
  if (known != FNames.end()) return known->second;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return FNames.emplace(module, LowerFileName(path)).first->second;
}

}  // namespace bench
