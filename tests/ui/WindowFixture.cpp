#include "tests/ui/WindowFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "support/MessagePump.h"
#include "om/OutlookCalls.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/SearchSetup.h"

std::string Mail(const std::string& subject, const std::string& sender, const std::string& body,
                 const std::string& more) {
  return profile::Message(subject, "\"senderName\": \"" + sender + "\", \"senderEmail\": \"" + sender +
                                       "@example.com\", \"body\": \"" + body + "\"" +
                                       (more.empty() ? "" : ", " + more));
}

void WindowTest::Open(const std::string& profileJson, const std::function<void(failing::Application&)>& fail) {
  standin_.LoadProfile(profileJson);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = (std::filesystem::temp_directory_path() / "quop-window" / info->name()).string();
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  app_.Reset(standin_.CreateApplication());
  ASSERT_TRUE(app_);
  if (fail) {
    failing_ = std::make_unique<failing::Application>(app_.Get());
    fail(*failing_);
  }
  MakeWindow(fail ? failing_.get() : nullptr);
}

void WindowTest::Reopen() {
  CloseWindow();
  MakeWindow(nullptr);
}

void WindowTest::MakeWindow(failing::Application* failing) {
  TMainDlgSetup setup;
  setup.strLangFile = dir_ + "\\English.lng";
  setup.strDBFile = dir_ + "\\temp.dat";
  setup.strSkinFile = dir_ + "\\office2007.skn";
  setup.ShowMessage = [this](HWND, const std::string& text, const std::string& caption, UINT type) {
    boxes_.push_back({text, caption, type});
    if (answerFor_) return answerFor_(text);
    if (answers_.empty()) return answer_;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  };
  setup.Open = [](const std::string&, const std::string&) -> std::intptr_t { return 33; };
  setup.AskExportFile = [this](HWND) { return exportFile_; };
  dlg_ = std::make_unique<TMainDlg>(setup);
  ASSERT_TRUE(dlg_->Create());
  if (failing) {
    dlg_->SetIDspApp(failing);
  } else {
    dlg_->SetIDspApp(om::AsApplication(app_.Get()).Get());
  }
  dlg_->Show();
}

void WindowTest::CloseWindow() {
  if (dlg_) dlg_->Close();
  dlg_.reset();
}

void WindowTest::TearDown() {
  CloseWindow();
  failing_.reset();
  app_.Reset();
  EXPECT_EQ(standin_.LiveObjects(), 0) << "objects of the stand-in left alive";
  EXPECT_EQ(standin_.LiveBuffers(), 0) << "MAPI buffers left unfreed";
  EXPECT_EQ(standin_.BadFrees(), 0);
}

bool WindowTest::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return PumpMessagesUntil(done, timeout);
}

bool WindowTest::RunSearch() {
  dlg_->btnSearchClick();
  return PumpUntil([this] { return dlg_->State() == TSearchState::Idle; });
}

std::vector<std::string> WindowTest::Rows() const {
  std::vector<std::string> rows;
  for (const TEmailNode* node : dlg_->Emails().VisibleRows()) {
    if (node->IsGroup()) {
      rows.push_back(dlg_->vstEmails().CellText(*node, 0) + " " + GroupCountText(node->Children.size()));
    } else {
      rows.push_back(std::string(node->Checked ? "[x] " : "[ ] ") + dlg_->vstEmails().CellText(*node, 2));
    }
  }
  return rows;
}

std::string WindowTest::LangFileText() const {
  std::ifstream in(dir_ + "\\English.lng", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TGroupSet ScannedGroups(const std::vector<std::pair<std::string, bool>>& folders) {
  TGroupSet scanned;
  TQuopDB db;
  EXPECT_TRUE(db.Init());
  EXPECT_TRUE(db.OpenDB((std::filesystem::temp_directory_path() / "quop-window-scan.dat").string()));
  TQueueDispatcher events;
  TsxMAPI_Session session;
  session.Logon();
  BeginSearch(session, db, events, DefaultFieldMask(), false);
  for (const auto& [id, ticked] : folders) session.AddFolderSet(id, ticked);
  bool ended = false;
  session.OnTerminate = [&](TsxMAPI_Session*) { ended = true; };
  EXPECT_TRUE(session.GetAllMessage());
  EXPECT_TRUE(events.PumpUntil([&] { return ended; }));
  session.WaitForRun();
  db.CommitDB();
  std::multiset<std::string> group;
  for (TQuopMsg* m = db.FindFirstMsg(); m; m = db.FindNextMsg()) {
    if (m->bFirst && !group.empty()) scanned.insert(std::exchange(group, {}));
    group.insert(m->szEntryID);
    db.FreeQuopMsg(m);
  }
  if (!group.empty()) scanned.insert(group);
  return scanned;
}

TGroupSet ShownGroups(TMainDlg& dlg) {
  TGroupSet shown;
  for (const auto& root : dlg.Emails().Roots()) {
    std::multiset<std::string> group;
    for (const auto& row : root->Children) group.insert(row->Data.txMsg.szEntryID);
    shown.insert(group);
  }
  return shown;
}

std::vector<std::pair<std::string, bool>> AllListedFolders(_Application* app) {
  TOutlookFolderTree tree;
  tree.SetIDspApp(app);
  tree.SetShowFolders(kMailShowFolders);
  EXPECT_TRUE(tree.FillTree());
  std::vector<std::pair<std::string, bool>> folders;
  for (const TNodeData* d : tree.Datas()) folders.emplace_back(WideToAnsi(d->strEntryID), true);
  for (const std::wstring& hidden : tree.HiddenEntryIDs()) folders.emplace_back(WideToAnsi(hidden), false);
  return folders;
}
