#include "tests/quopdb/ChildProcess.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

std::string OwnFolder() {
#ifdef _WIN32
  char path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
#else
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  std::string s(path, n > 0 ? static_cast<std::size_t>(n) : 0);
  return s.substr(0, s.find_last_of('/') + 1);
#endif
}

}  // namespace

std::string BesideTestProgram(const std::string& file) { return OwnFolder() + file; }

// Runs another program of the build and returns its exit code (-1 when it
// could not be started).
int RunProgramBeside(const std::string& name, const std::vector<std::string>& args) {
#ifdef _WIN32
  std::string line = "\"" + OwnFolder() + name + ".exe\"";
  for (const std::string& a : args) line += " \"" + a + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
    return -1;
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return static_cast<int>(code);
#else
  const std::string path = OwnFolder() + name;
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}
