// The INI engine on disk: current content on every call, atomic writes,
// refusals that keep the old content.
#include "support/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(IniFile, EveryReadSeesTheFilesCurrentContent) {
  TTempFolder folder;
  const std::string strFile = folder.File("lang.lng");
  TIniFile ini(strFile);
  EXPECT_EQ(ini.ReadString("s", "k"), std::nullopt);
  EXPECT_FALSE(ini.SectionExists("s"));
  WriteBytes(strFile, "[s]\nk=1\n");
  EXPECT_EQ(ini.ReadString("s", "k"), "1");
  WriteBytes(strFile, "[s]\nk=22\nn=0x10\n");
  EXPECT_EQ(ini.ReadString("S", "K"), "22");
  EXPECT_EQ(ini.ReadInteger("s", "n"), 16);
  EXPECT_EQ(ini.ReadInteger("s", "k"), 22);
  EXPECT_TRUE(ini.SectionExists("S"));
}

TEST(IniFile, WriteCreatesTheFileAndKeepsOtherEntries) {
  TTempFolder folder;
  TIniFile ini(folder.File("new.ini"));
  ini.WriteString("Info", "Ver", "1.0");
  ini.WriteString("TMainDlg", "strError", "Error");
  ini.WriteString("info", "LanguageName", "English");
  EXPECT_EQ(FileBytes(ini.FileName()),
            "[Info]\r\nVer=1.0\r\nLanguageName=English\r\n[TMainDlg]\r\nstrError=Error\r\n");
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(IniFile, PrependKeepsTheOldBytesAsTheyAre) {
  TTempFolder folder;
  TIniFile ini(folder.File("p.ini"));
  WriteBytes(ini.FileName(), "  odd \n\n[x]\ty=1");
  ini.Prepend("[Info]\r\n\r\n");
  EXPECT_EQ(FileBytes(ini.FileName()), "[Info]\r\n\r\n  odd \n\n[x]\ty=1");
}

// Files the engine must not write: each write raises the designed error
// and the bytes on disk stay as they were.
TEST(IniFile, RefusedWritesRaiseAndKeepTheOldContent) {
  TTempFolder folder;
  const std::string strReadOnly = folder.File("readonly.ini");
  WriteBytes(strReadOnly, "[s]\r\nk=old\r\n");
  SetReadOnly(strReadOnly, true);
  const std::string strBinary = folder.File("binary.lng");
  WriteBytes(strBinary, std::string("[s]\r\nk=\0old\r\n\x01\x02", 15));
  const std::string strHuge = folder.File("huge.lng");
  WriteBytes(strHuge, "[s]\r\n" + std::string(fsys::kMaxTextFileSize, 'x'));
  const std::string strFolder = folder.File("folder.lng");
  std::filesystem::create_directory(strFolder);
  const std::string strNoFolder = folder.File("missing") + fsys::kPathDelim + "x.lng";

  for (const std::string& strFile : {strReadOnly, strBinary, strHuge, strFolder, strNoFolder}) {
    const std::string strBefore = FileBytes(strFile);
    TIniFile ini(strFile);
    try {
      ini.WriteString("s", "k", "new");
      ADD_FAILURE() << "no error for " << strFile;
    } catch (const EIniWriteError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + strFile);
    }
    EXPECT_THROW(ini.Prepend("[Info]\r\n"), EIniWriteError) << strFile;
    EXPECT_EQ(FileBytes(strFile), strBefore) << strFile;
  }
  // The read-only file still reads; the others read as empty.
  EXPECT_EQ(TIniFile(strReadOnly).ReadString("s", "k"), "old");
  EXPECT_EQ(TIniFile(strBinary).ReadString("s", "k"), std::nullopt);
  EXPECT_EQ(TIniFile(strHuge).ReadString("s", "k"), std::nullopt);
  EXPECT_FALSE(TIniFile(strFolder).SectionExists("s"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 4);
}

TEST(IniFile, AnUnchangedValueDoesNotTouchAReadOnlyFile) {
  TTempFolder folder;
  const std::string strFile = folder.File("ro.ini");
  WriteBytes(strFile, "[s]\nk = same \n");
  SetReadOnly(strFile, true);
  TIniFile ini(strFile);
  EXPECT_NO_THROW(ini.WriteString("S", "k", "same"));
  EXPECT_EQ(FileBytes(strFile), "[s]\nk = same \n");
}

}  // namespace
