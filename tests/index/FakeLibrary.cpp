#include "tests/index/FakeLibrary.h"

#include <gtest/gtest.h>

#include "indexapi/QuopDBApi.h"

namespace {

template <typename TFn>
TFn RequiredExport(HMODULE fake, const char* szName) {
  const TFn fn = ExportOf<TFn>(fake, szName);
  if (fn == nullptr) ADD_FAILURE() << "the fake has no " << szName;
  return fn;
}

using TTextFn = const char*(QUOPDB_CALL*)();
using TClearFn = void(QUOPDB_CALL*)();
using TLastMsgFn = const TQuopMsg*(QUOPDB_CALL*)();
using TLastMsgSetFn = const TMsgSet*(QUOPDB_CALL*)();

}  // namespace

std::string TestFolder() {
  char szPath[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  std::string strPath = szPath;
  return strPath.substr(0, strPath.find_last_of('\\'));
}

std::string FakeLibraryPath(const char* szName) {
  return TestFolder() + "\\" + szName + ".dll";
}

std::string CallLog(HMODULE fake) {
  const auto fn = RequiredExport<TTextFn>(fake, "FakeCallLog");
  return fn != nullptr ? fn() : "";
}

void ClearCallLog(HMODULE fake) {
  if (const auto fn = RequiredExport<TClearFn>(fake, "FakeClearLog")) fn();
}

const TQuopMsg& LastMsg(HMODULE fake) {
  return *RequiredExport<TLastMsgFn>(fake, "FakeLastMsg")();
}

const TMsgSet& LastMsgSet(HMODULE fake) {
  return *RequiredExport<TLastMsgSetFn>(fake, "FakeLastMsgSet")();
}
