#include "tests/realstores/ScanProcess.h"

#include <windows.h>

#include "tests/support/TempFolder.h"

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

// A file the child may write as its standard output or error.
HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

ScanRun RunQuopscan(const std::string& profile, const std::vector<std::string>& args) {
  TTempFolder temp;
  std::string line = "\"" + ProgramFolder() + "quopscan.exe\" --json --profile \"" + profile + "\" --index \"" +
                     temp.File("index.dat") + "\"";
  for (const std::string& a : args) line += " \"" + a + "\"";
  ScanRun run;
  HANDLE out = InheritableFile(temp.File("out.json"));
  HANDLE err = InheritableFile(temp.File("err.txt"));
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nullptr;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) ::CloseHandle(err);
  if (started) {
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    run.exitCode = static_cast<int>(code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  }
  run.out = FileBytes(temp.File("out.json"));
  run.err = FileBytes(temp.File("err.txt"));
  return run;
}
