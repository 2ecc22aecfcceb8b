// Paths, version text and opening addresses, under Wine.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/WinHandles.h"
#include "support/GFunctions.h"
#include "support/uFileAction.h"
#include "tests/support/TempFolder.h"

namespace {

std::string ProgramFolder() {
  char szName[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, szName, MAX_PATH);
  std::string strName = szName;
  return strName.substr(0, strName.rfind('\\'));
}

std::string ProbeFolder() { return ProgramFolder() + "\\supportprobe"; }

using TProbeFn = const char* (*)();

// Calls an export of a probe DLL in bin\supportprobe.
std::string AskProbe(const char* szDll, const char* szExport) {
  TModuleHandle probe(LoadLibraryA((ProbeFolder() + "\\" + szDll).c_str()));
  if (!probe) return "<not loaded>";
  const auto fn = reinterpret_cast<TProbeFn>(reinterpret_cast<void*>(GetProcAddress(probe.Get(), szExport)));
  return fn != nullptr ? fn() : "<no export>";
}

TEST(Paths, TheModuleHoldingTheCodeNotTheProgram) {
  EXPECT_STRCASEEQ(GetAppPath().c_str(), ProgramFolder().c_str());
  EXPECT_STRCASEEQ(AskProbe("support_probe_versioned.dll", "ProbeAppPath").c_str(), ProbeFolder().c_str());
  EXPECT_STRCASEEQ(AskProbe("support_probe_versioned.dll", "ProbeSkinFile").c_str(),
                   (ProbeFolder() + "\\office2007.skn").c_str());
  EXPECT_EQ(GetSkinFile(), GetAppPath() + "\\office2007.skn");
}

TEST(Paths, DataFolderAndLanguageFile) {
  char szAppData[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData), S_OK);
  EXPECT_EQ(GetAppDataPath(), std::string(szAppData) + "\\Quop\\Ruveruder");
  const std::string strLang = GetLangFile();
  EXPECT_EQ(strLang, GetAppDataPath() + "\\langs\\English.lng");
  EXPECT_EQ(fsys::StateOf(GetAppDataPath() + "\\langs"), fsys::TFileState::Folder);
}

TEST(Paths, ForceDirCreatesTheFolderPartOnly) {
  TTempFolder folder;
  ForceDir(folder.Path() + "\\a\\b\\c.txt");
  EXPECT_EQ(fsys::StateOf(folder.Path() + "\\a\\b"), fsys::TFileState::Folder);
  EXPECT_EQ(fsys::StateOf(folder.Path() + "\\a\\b\\c.txt"), fsys::TFileState::Missing);
  ForceDir(folder.Path() + "\\x\\y\\");
  EXPECT_EQ(fsys::StateOf(folder.Path() + "\\x\\y"), fsys::TFileState::Folder);
  // Names without a folder part create nothing, here in the current folder.
  char szCurrent[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, szCurrent);
  SetCurrentDirectoryA(folder.Path().c_str());
  ForceDir("c.txt");
  ForceDir("");
  SetCurrentDirectoryA(szCurrent);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
  // A folder that cannot be made (a file is in the way) is no failure.
  WriteBytes(folder.Path() + "\\file", "x");
  EXPECT_NO_THROW(ForceDir(folder.Path() + "\\file\\sub\\n.txt"));
}

TEST(Version, FromTheVersionResourceOrZeros) {
  const std::string strBin = ProgramFolder();
  struct {
    std::string strFile;
    bool bHasInfo;
    const char* szText;
  } const cases[] = {
      {strBin + "\\QuopDB.dll", true, "1.0.0.0"},
      {ProbeFolder() + "\\support_probe_versioned.dll", true, "7.2.30.40001"},
      {ProbeFolder() + "\\support_probe_plain.dll", false, "0.0.0.0"},
      {strBin + "\\ini_profile_tests.exe", false, "0.0.0.0"},
  };
  for (const auto& c : cases) {
    TFileAction action(c.strFile);
    TBuildInfo info;
    EXPECT_TRUE(action.FileExit()) << c.strFile;
    EXPECT_EQ(action.GetBuildInfo(info), c.bHasInfo) << c.strFile;
    EXPECT_EQ(action.GetFileVersionAsText(), c.szText) << c.strFile;
  }
  TBuildInfo info;
  ASSERT_TRUE(TFileAction(ProbeFolder() + "\\support_probe_versioned.dll").GetBuildInfo(info));
  EXPECT_EQ(info.nMajor, 7);
  EXPECT_EQ(info.nMinor, 2);
  EXPECT_EQ(info.nRelease, 30);
  EXPECT_EQ(info.nBuild, 40001);
}

TEST(Version, AMissingFileRaisesTheStoredMessage) {
  TTempFolder folder;
  WriteBytes(folder.File("text.dll"), "not a program");
  EXPECT_EQ(TFileAction(folder.File("text.dll")).GetFileVersionAsText(), "0.0.0.0");
  for (const std::string& strFile : {folder.File("missing.dll"), folder.Path()}) {
    TFileAction action(strFile);
    EXPECT_FALSE(action.FileExit());
    try {
      action.GetFileVersionAsText();
      ADD_FAILURE() << "no error for " << strFile;
    } catch (const std::runtime_error& error) {
      // "制定文件未找到" in code page 936.
      EXPECT_EQ(std::string(error.what()), "\xd6\xc6\xb6\xa8\xce\xc4\xbc\xfe\xce\xb4\xd5\xd2\xb5\xbd");
    }
  }
}

TEST(Version, OfTheLibraryThatHoldsTheCode) {
  EXPECT_EQ(GetFileVersion(), "0.0.0.0");  // this program has no version resource
  EXPECT_EQ(AskProbe("support_probe_versioned.dll", "ProbeFileVersion"), "7.2.30.40001");
  EXPECT_EQ(AskProbe("support_probe_plain.dll", "ProbeFileVersion"), "0.0.0.0");
}

struct TOpenCall {
  std::string strFile, strParameters;
  friend bool operator==(const TOpenCall&, const TOpenCall&) = default;
};

TEST(GotoUrl, FallsBackUntilAnAttemptSucceeds) {
  const std::string strUrl = "https://example.org/a?b=1&c=%20";
  const TOpenCall document{strUrl, ""};
  const TOpenCall rundll{"rundll32.exe", "url.dll,FileProtocolHandler " + strUrl};
  const TOpenCall explorer{"IEXPLORE.EXE", strUrl};
  struct {
    std::vector<std::intptr_t> results;
    std::vector<TOpenCall> expected;
  } const cases[] = {
      {{42}, {document}},
      {{33}, {document}},
      {{2, 42}, {document, rundll}},
      {{32, 0}, {document, rundll, explorer}},
      {{31, 5, 2}, {document, rundll, explorer}},
  };
  for (const auto& c : cases) {
    std::vector<TOpenCall> calls;
    GotoUrlWith(strUrl, [&](const std::string& strFile, const std::string& strParameters) {
      calls.push_back({strFile, strParameters});
      return calls.size() <= c.results.size() ? c.results[calls.size() - 1] : std::intptr_t{99};
    });
    EXPECT_EQ(calls, c.expected) << c.results.size();
  }
}

}  // namespace
