#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/ModuleFolder.h"
#include "support/WinHandles.h"
#include "indexapi/QuopDBApi.h"
#include "tests/index/FakeLibrary.h"

namespace {

using TProbeFn = const char*(QUOPDB_CALL*)();

TEST(ModuleFolder, OfThisProgramWhenLinkedIntoIt) {
  EXPECT_STRCASEEQ(OwnModuleFolder().c_str(), TestFolder().c_str());
}

TEST(ModuleFolder, EmptyForAnAddressOutsideAnyModule) {
  int nOnTheStack = 0;
  EXPECT_EQ(ModuleFolderOf(&nOnTheStack), "");
}

// module_probe.dll holds the wrapper and lies in bin\probe next to a copy
// of the recording fake named QuopDB.dll.
TEST(ModuleFolder, OfTheDllWhenLinkedIntoADll) {
  const std::string strProbeFolder = TestFolder() + "\\probe";
  TModuleHandle probe(LoadLibraryA((strProbeFolder + "\\module_probe.dll").c_str()));
  ASSERT_TRUE(probe);
  const auto folder = ExportOf<TProbeFn>(probe.Get(), "ProbeModuleFolder");
  const auto library = ExportOf<TProbeFn>(probe.Get(), "ProbeDefaultLibrary");
  ASSERT_NE(folder, nullptr);
  ASSERT_NE(library, nullptr);
  EXPECT_STRCASEEQ(folder(), strProbeFolder.c_str());
  EXPECT_STRCASEEQ(library(), (strProbeFolder + "\\QuopDB.dll").c_str());
}

}  // namespace
