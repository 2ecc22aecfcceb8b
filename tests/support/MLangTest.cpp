// The language component against plain fake forms: what a pass reads, what
// it writes and in which order, and the message lookups.
#include "support/MLang.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/FileSystem.h"
#include "tests/support/FakeComponents.h"
#include "tests/support/TempFolder.h"

namespace {

const TLangLines kMessages = {
    "strError=Error",
    "strSelFolders=Please select folders for search",
    "strSelFields=Please select fields for compare",
    "strClickSearch=Click Search button to find duplicate emails",
    "strNoDuplicates=No duplicated emails found yet",
    "strSearching=Searching...",
    "strDelMsg=Are you sure that you want to permanently delete the selected item(s)?",
};

// A form shaped like the duplicate finder window, with every kind of text.
std::unique_ptr<TFakeForm> MainForm() {
  auto form = std::make_unique<TFakeForm>("MainDlg", "TMainDlg");
  form->texts["Caption"] = "Quop Twinsweeps";
  form->font = TLangFont{"Tahoma", 8, 1};
  const TLangFont designed{"Tahoma", 8, 1};
  auto& search = form->Add("btnSearch");
  search.texts["Caption"] = "&Search";
  search.font = TLangFont{"Tahoma", 10, 1};
  auto& empty = form->Add("lblEmpty");
  empty.texts["Caption"] = "";
  empty.font = designed;
  form->Add("N1").texts["Caption"] = "-";
  auto& mode = form->Add("cbxMode");
  mode.lines["Items"] = {"One", "Two"};
  mode.texts["FontName"] = "Tahoma";
  mode.integers["FontSize"] = 8;
  auto& list = form->Add("lvResult", TLangKind::ListView);
  list.captions = {"From", "Subject"};
  list.items = {{"a", {"b", "c"}}};
  list.texts["Caption"] = "not a text of a list view";
  form->Add("tvFolders", TLangKind::TreeView).captions = {"Root", "Child"};
  form->Add("hdr", TLangKind::HeaderControl).captions = {"H0"};
  form->Add("grid", TLangKind::DataGrid).captions = {"G0"};
  form->Add("spl", TLangKind::Splitter).texts["Caption"] = "splitter";
  form->Add("tmr", TLangKind::Timer).texts["Caption"] = "timer";
  form->Add("mmoMsg").texts["Caption"] = "memo";
  return form;
}

// The window's settings of its language component, then activation.
void SetUpLikeTheWindow(TMLang& lang, const std::string& strFile) {
  lang.SetIgnoreEmptyString(true);
  lang.SetIgnoreControls({"N1", "N2", "N3", "N4", "N5", "mmoMsg"});
  lang.SetIgnoreFormCaption(true);
  lang.SetIncludeListViewItems(true);
  lang.SetIncludeListViewHead(true);
  lang.SetIncludeTreeViewItems(true);
  lang.SetSaveFontSizeCtrls({"btnSearch"});
  lang.SetMsgList(kMessages);
  lang.SetFileName(strFile);
  lang.SetActive(true);
}

TEST(MLang, OwnerMustBeAFormADataModuleOrAFrame) {
  for (const auto kind : {TLangOwnerKind::Form, TLangOwnerKind::DataModule, TLangOwnerKind::Frame}) {
    TFakeForm owner("X", "TX", kind);
    EXPECT_NO_THROW(TMLang{&owner});
  }
  TFakeComponent button("btn");
  for (ILangComponent* owner : {static_cast<ILangComponent*>(&button), static_cast<ILangComponent*>(nullptr)}) {
    try {
      TMLang lang(owner);
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Owner Error!");
    }
  }
}

TEST(MLang, FirstRunWritesEveryTextInFormOrderThenTheMessages) {
  TTempFolder folder;
  const std::string strFile = folder.File("English.lng");
  auto form = MainForm();
  TMLang lang(form.get());
  SetUpLikeTheWindow(lang, strFile);
  EXPECT_EQ(lang.GetResString("strReady", true, "Ready"), "Ready");
  EXPECT_EQ(lang.GetResString("strFrom", "Fields", "From", true), "From");
  EXPECT_EQ(FileBytes(strFile),
            "[Info]\r\nVer=1.0\r\nLanguageName=English\r\nLanguageID=0x0409\r\n"
            "[TMainDlg]\r\n"
            "MainDlg_FontName=Tahoma\r\nMainDlg_FontSize=8\r\nMainDlg_FontCharset=1\r\n"
            "btnSearch_FontSize=10\r\nbtnSearch_Caption=&Search\r\n"
            "cbxMode_Items[0]=One\r\ncbxMode_Items[1]=Two\r\n"
            "lvResult_ColumnCaption[0]=From\r\nlvResult_ColumnCaption[1]=Subject\r\n"
            "lvResult_ItemCaption[0]=a\r\nlvResult_SubItem[0]Caption[0]=b\r\nlvResult_SubItem[0]Caption[1]=c\r\n"
            "tvFolders_ItemText[0]=Root\r\ntvFolders_ItemText[1]=Child\r\n"
            "hdr_SectionsText[0]=H0\r\ngrid_ColumnsCaption[0]=G0\r\n"
            "strError=Error\r\nstrSelFolders=Please select folders for search\r\n"
            "strSelFields=Please select fields for compare\r\n"
            "strClickSearch=Click Search button to find duplicate emails\r\n"
            "strNoDuplicates=No duplicated emails found yet\r\nstrSearching=Searching...\r\n"
            "strDelMsg=Are you sure that you want to permanently delete the selected item(s)?\r\n"
            "strReady=Ready\r\n"
            "[Fields]\r\nstrFrom=From\r\n");
  EXPECT_EQ(lang.LanguageName(), "English");
  EXPECT_EQ(lang.LanguageID(), "0x0409");
  // A second pass over the complete file changes nothing.
  const std::string strBefore = FileBytes(strFile);
  lang.UpdateLangRes();
  EXPECT_EQ(FileBytes(strFile), strBefore);
}

const char kGermanFile[] =
    "[Info]\r\nVer=2.0\r\nLanguageName=Deutsch\r\nLanguageID=0x0407\r\n"
    "[TMainDlg]\r\n"
    "MainDlg_Caption=never used\r\n"
    "MainDlg_FontName=Arial\r\nMainDlg_FontSize=12\r\nMainDlg_FontCharset=0\r\n"
    "btnSearch_Caption=< &Suchen \\n >\r\n"
    "cbxMode_FontName=<Courier New>\r\ncbxMode_FontCharset=204\r\ncbxMode_Items[1]=Zwei\r\n"
    "lvResult_ColumnCaption[1]=Betreff\r\nlvResult_SubItem[0]Caption[1]=C2\r\n"
    "tvFolders_ItemText[1]=Kind\r\nhdr_SectionsText[0]=K0\r\ngrid_ColumnsCaption[0]=R0\r\n"
    "N1_Caption=ignored\r\nspl_Caption=skipped\r\n"
    "strError=<  Fehler  >\r\nstrSearching=Suche\\nlaeuft\r\nstrDelMsg=\r\n"
    "[Fields]\r\nstrFrom=<Von>\r\nstrSubject=Betreff\r\n";

TEST(MLang, TranslatedFileSetsTextsAndFonts) {
  TTempFolder folder;
  const std::string strFile = folder.File("Deutsch.lng");
  WriteBytes(strFile, kGermanFile);
  auto form = MainForm();
  TMLang lang(form.get());
  SetUpLikeTheWindow(lang, strFile);

  EXPECT_EQ(lang.LanguageName(), "Deutsch");
  EXPECT_EQ(lang.LanguageID(), "0x0407");
  EXPECT_EQ(lang.LanguageVer(), "2.0");
  EXPECT_EQ(form->texts["Caption"], "Quop Twinsweeps");
  EXPECT_EQ(form->font, (TLangFont{"Arial", 12, 0}));
  // Brackets go, blanks inside them stay; "\n" stays as typed in a caption.
  EXPECT_EQ(form->Child("btnSearch").texts["Caption"], " &Suchen \\n ");
  // btnSearch keeps its designed size; the form's face and charset reach it.
  EXPECT_EQ(form->Child("btnSearch").font, (TLangFont{"Arial", 10, 0}));
  TFakeComponent& mode = form->Child("cbxMode");
  EXPECT_EQ(mode.texts["FontName"], "Courier New");
  EXPECT_EQ(mode.integers["FontSize"], 12);
  EXPECT_EQ(mode.lines["Items"], (std::vector<std::string>{"One", "Zwei"}));
  EXPECT_EQ(form->Child("lvResult").captions, (std::vector<std::string>{"From", "Betreff"}));
  EXPECT_EQ(form->Child("lvResult").items, (std::vector<TLangListItem>{{"a", {"b", "C2"}}}));
  EXPECT_EQ(form->Child("lvResult").texts["Caption"], "not a text of a list view");
  EXPECT_EQ(form->Child("tvFolders").captions, (std::vector<std::string>{"Root", "Kind"}));
  EXPECT_EQ(form->Child("hdr").captions, (std::vector<std::string>{"K0"}));
  EXPECT_EQ(form->Child("grid").captions, (std::vector<std::string>{"R0"}));
  EXPECT_EQ(form->Child("N1").texts["Caption"], "-");
  EXPECT_EQ(form->Child("spl").texts["Caption"], "splitter");

  // StrList takes the file's texts; an empty one keeps its own text.
  EXPECT_EQ(lang.StrList()[0], "strError=  Fehler  ");
  EXPECT_EQ(lang.StrList()[6], kMessages[6]);
  EXPECT_EQ(lang.GetResString("strError", true, "Error"), "  Fehler  ");
  EXPECT_EQ(lang.GetResString("STRSEARCHING", true, "x"), "Suche\r\nlaeuft");
  // A named section keeps the brackets of a value found there at once.
  EXPECT_EQ(lang.GetResString("strFrom", "Fields", "From", true), "<Von>");
  EXPECT_EQ(lang.GetResString("strSubject", "Fields", "Subject", true), "Betreff");

  const std::string strAfter = FileBytes(strFile);
  EXPECT_NE(strAfter.find("btnSearch_FontSize=10\r\n"), std::string::npos);
  EXPECT_NE(strAfter.find("strDelMsg=" + kMessages[6].substr(10) + "\r\n"), std::string::npos);
  EXPECT_EQ(strAfter.find("N1_Caption=-"), std::string::npos);
}

TEST(MLang, EmptyTextsAreWrittenOnlyWithoutIgnoreEmptyString) {
  for (const bool bIgnoreEmpty : {false, true}) {
    TTempFolder folder;
    TFakeForm form("F", "TF");
    form.Add("lbl").texts["Caption"] = "";
    TMLang lang(&form);
    lang.SetIgnoreEmptyString(bIgnoreEmpty);
    lang.SetMsgList({"strEmpty=", "strFull=x", "no equals sign"});
    lang.SetFileName(folder.File("E.lng"));
    lang.SetActive(true);
    EXPECT_EQ(lang.GetResString("strNone", true, ""), "strNone");
    const std::string strText = FileBytes(folder.File("E.lng"));
    EXPECT_EQ(strText.find("lbl_Caption=\r\n") != std::string::npos, !bIgnoreEmpty) << bIgnoreEmpty;
    EXPECT_EQ(strText.find("strEmpty=\r\n") != std::string::npos, !bIgnoreEmpty) << bIgnoreEmpty;
    EXPECT_EQ(strText.find("strNone=\r\n") != std::string::npos, !bIgnoreEmpty) << bIgnoreEmpty;
    EXPECT_NE(strText.find("strFull=x\r\n"), std::string::npos);
    EXPECT_EQ(strText.find("no equals"), std::string::npos);
  }
}

TEST(MLang, MessageLookupsWithoutAFile) {
  TFakeForm form("F", "TF");
  TMLang lang(&form);
  lang.SetMsgList({"strClickSearch=Click Search button", "strBlank="});
  lang.SetActive(true);
  struct {
    const char* szKey;
    const char* szDefault;
    const char* szExpected;
  } const cases[] = {
      {"strclicksearch", "Click search button to find duplicated emails", "Click Search button"},
      {"strBlank", "the default", "the default"},
      {"strMissing", "two\\nlines", "two\r\nlines"},
      {"strMissing", "", "strMissing"},
      {"", "default", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(lang.GetResString(c.szKey, true, c.szDefault), c.szExpected) << c.szKey;
  EXPECT_EQ(lang.GetResString("strX", "Fields", "", true), "strX");
  EXPECT_EQ(lang.GetResString("strX", "", "d", true), "");
}

TEST(MLang, TheFirstDefaultWinsForAKeyAskedTwice) {
  TTempFolder folder;
  TFakeForm form("F", "TF");
  TMLang lang(&form);
  lang.SetFileName(folder.File("D.lng"));
  lang.SetActive(true);
  EXPECT_EQ(lang.GetResString("strRecieved", "Fields", "Recieved", true), "Recieved");
  EXPECT_EQ(lang.GetResString("strRecieved", "Fields", "Recieved Date", true), "Recieved");
  // Without AutoWrite nothing is written and the default is shown.
  EXPECT_EQ(lang.GetResString("strOther", "Fields", "Other", false), "Other");
  EXPECT_EQ(lang.GetResString("strOther", false, "Other"), "Other");
  EXPECT_EQ(FileBytes(folder.File("D.lng")).find("strOther"), std::string::npos);
}

TEST(MLang, IgnoredControlsCompareExactly) {
  TTempFolder folder;
  TFakeForm form("F", "TF");
  form.Add("mmoMsg").texts["Caption"] = "a";
  form.Add("MMOMSG").texts["Caption"] = "b";
  TMLang lang(&form);
  lang.SetIgnoreControls({"mmoMsg"});
  lang.SetFileName(folder.File("I.lng"));
  lang.SetActive(true);
  const std::string strText = FileBytes(folder.File("I.lng"));
  EXPECT_EQ(strText.find("mmoMsg_"), std::string::npos);
  EXPECT_NE(strText.find("MMOMSG_Caption=b"), std::string::npos);
}

TEST(MLang, ListKindsOnlyWithTheirSwitches) {
  TTempFolder folder;
  TFakeForm form("F", "TF");
  auto& list = form.Add("lv", TLangKind::ListView);
  list.captions = {"c"};
  list.items = {{"i", {}}};
  auto& tree = form.Add("tv", TLangKind::TreeView);
  tree.captions = {"node"};
  tree.texts["Caption"] = "tree caption";
  TMLang lang(&form);
  lang.SetFileName(folder.File("L.lng"));
  lang.SetActive(true);
  std::string strText = FileBytes(folder.File("L.lng"));
  EXPECT_EQ(strText.find("lv_"), std::string::npos);
  EXPECT_EQ(strText.find("tv_ItemText"), std::string::npos);
  // A tree view left out is translated like any other component.
  EXPECT_NE(strText.find("tv_Caption=tree caption"), std::string::npos);
  // Each switch set while active runs a pass of its own.
  lang.SetIncludeListViewHead(true);
  EXPECT_NE(FileBytes(folder.File("L.lng")).find("lv_ColumnCaption[0]=c"), std::string::npos);
  EXPECT_EQ(FileBytes(folder.File("L.lng")).find("lv_ItemCaption"), std::string::npos);
  lang.SetIncludeListViewItems(true);
  lang.SetIncludeTreeViewItems(true);
  strText = FileBytes(folder.File("L.lng"));
  EXPECT_NE(strText.find("lv_ItemCaption[0]=i"), std::string::npos);
  EXPECT_NE(strText.find("tv_ItemText[0]=node"), std::string::npos);
}

TEST(MLang, NoPassWhileInactiveDesignedOrForADataModule) {
  TTempFolder folder;
  TFakeForm designing("F", "TF");
  designing.bDesigning = true;
  designing.texts["Caption"] = "c";
  TMLang lang(&designing);
  lang.SetFileName(folder.File("X.lng"));
  EXPECT_EQ(fsys::StateOf(folder.File("X.lng")), fsys::TFileState::Missing);
  lang.SetActive(true);
  EXPECT_EQ(fsys::StateOf(folder.File("X.lng")), fsys::TFileState::Missing);

  TFakeForm module("DataModule1", "TDataModule1", TLangOwnerKind::DataModule);
  module.texts["Caption"] = "c";
  module.font = TLangFont{"Arial", 9, 0};
  TMLang moduleLang(&module);
  moduleLang.SetFileName(folder.File("M.lng"));
  moduleLang.SetActive(true);
  EXPECT_EQ(FileBytes(folder.File("M.lng")), "[Info]\r\nVer=1.0\r\nLanguageName=M\r\nLanguageID=0x0409\r\n\r\n");
}

TEST(MLang, MissingInfoIsRebuiltAtTheTopEvenWithoutAutoCreate) {
  TTempFolder folder;
  const std::string strFile = folder.File("French.lng");
  WriteBytes(strFile, "[TF]\nF_Caption=Bonjour\n[info]\nVer=3\n");
  TFakeForm form("F", "TF");
  form.texts["Caption"] = "Hello";
  TMLang lang(&form);
  lang.SetAutoCreateMode(false);
  lang.SetFileName(strFile);
  lang.SetActive(true);
  EXPECT_EQ(form.texts["Caption"], "Bonjour");
  EXPECT_EQ(lang.LanguageVer(), "3");  // "[info]" counts as the section
  WriteBytes(strFile, "[TF]\nF_Caption=Bonjour\n");
  lang.UpdateLangRes();
  EXPECT_EQ(FileBytes(strFile),
            "[Info]\r\nVer=1.0\r\nLanguageName=French\r\nLanguageID=0x0409\r\n\r\n[TF]\nF_Caption=Bonjour\n");
  EXPECT_EQ(lang.LanguageName(), "French");
}

TEST(MLang, RelativeNameResolvesAgainstTheProgramFolderAndCreatesIt) {
  const std::string strSub = "mlang-test-" + std::to_string(std::random_device{}());
  const std::string strRelative = strSub + fsys::kPathDelim + "Langs" + fsys::kPathDelim + "English.lng";
  TFakeForm form("F", "TF");
  TMLang lang(&form);
  lang.SetFileName(strRelative);
  EXPECT_EQ(lang.LangFileName(), strRelative);
  EXPECT_EQ(lang.LangFileNameFull(), fsys::ExecutableFolder() + fsys::kPathDelim + strRelative);
  EXPECT_EQ(fsys::StateOf(fsys::ExecutableFolder() + fsys::kPathDelim + strSub + fsys::kPathDelim + "Langs"),
            fsys::TFileState::Folder);
  lang.SetActive(true);
  EXPECT_NE(FileBytes(lang.LangFileNameFull()).find("LanguageName=English"), std::string::npos);
  std::filesystem::remove_all(fsys::ExecutableFolder() + fsys::kPathDelim + strSub);
}

// Files the component cannot write: the pass ends with the designed error
// and the file keeps its bytes.
TEST(MLang, UnwritableFilesRaiseTheDesignedErrorAndStayIntact) {
  TTempFolder folder;
  const std::string strReadOnly = folder.File("ro.lng");
  WriteBytes(strReadOnly, "[Info]\r\nVer=1.0\r\n");
  SetReadOnly(strReadOnly, true);
  const std::string strBinary = folder.File("bin.lng");
  WriteBytes(strBinary, std::string("\x7f" "ELF\0\0\0[TF]\r\n", 13));
  const std::string strBlocker = folder.File("plain.txt");
  WriteBytes(strBlocker, "a file, not a folder");
  const std::string strUnderFile = strBlocker + fsys::kPathDelim + "sub" + fsys::kPathDelim + "x.lng";
  const std::string strFolder = folder.File("dir.lng");
  std::filesystem::create_directory(strFolder);

  for (const std::string& strFile : {strReadOnly, strBinary, strUnderFile, strFolder}) {
    const std::string strBefore = FileBytes(strFile);
    TFakeForm form("F", "TF");
    form.texts["Caption"] = "Hello";
    TMLang lang(&form);
    lang.SetFileName(strFile);
    try {
      lang.SetActive(true);
      ADD_FAILURE() << "no error for " << strFile;
    } catch (const EIniWriteError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + strFile);
    }
    EXPECT_EQ(FileBytes(strFile), strBefore);
    EXPECT_EQ(form.texts["Caption"], "Hello");
    // Lookups still answer with the designed texts.
    EXPECT_EQ(lang.GetResString("strError", false, "Error"), "Error");
  }
}

TEST(MLang, ChangesWhileActiveRunAPassButItsOwnRewriteDoesNot) {
  TTempFolder folder;
  const std::string strFile = folder.File("R.lng");
  TFakeForm form("F", "TF");
  form.Add("a").texts["Caption"] = "A";
  TMLang lang(&form);
  lang.SetFileName(strFile);
  lang.SetActive(true);
  WriteBytes(strFile, FileBytes(strFile) + "strOne=Eins\r\n");
  lang.SetMsgList({"strOne=One", "strTwo=Two"});
  EXPECT_EQ(lang.StrList(), (TLangLines{"strOne=Eins", "strTwo=Two"}));
  lang.SetIgnoreControls({"a"});
  WriteBytes(strFile, "");
  lang.SetProperties({"Caption"});
  EXPECT_EQ(FileBytes(strFile).find("a_Caption"), std::string::npos);
  EXPECT_NE(FileBytes(strFile).find("strTwo=Two"), std::string::npos);
}

TEST(MLangText, BracketsAndLineBreaks) {
  struct {
    const char* szIn;
    const char* szProcessed;
    const char* szTreated;
  } const cases[] = {
      {"<a b>", "a b", "<a b>"}, {"<>", "", "<>"}, {"<", "<", "<"}, {"a>", "a>", "a>"},
      {"x\\ny", "x\\ny", "x\r\ny"}, {"\\n\\n", "\\n\\n", "\r\n\r\n"}, {"\\", "\\", "\\"}, {"\\\\n", "\\\\n", "\\\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TMLang::ProcessedStr(c.szIn), c.szProcessed) << c.szIn;
    EXPECT_EQ(TMLang::TreatString(c.szIn), c.szTreated) << c.szIn;
  }
  TFakeForm form("F", "TF");
  TMLang lang(&form);
  EXPECT_EQ(lang.UnProcessedStr("x"), "x");
  lang.SetAddBracket(true);
  EXPECT_EQ(lang.UnProcessedStr("x"), "<x>");
}

}  // namespace
