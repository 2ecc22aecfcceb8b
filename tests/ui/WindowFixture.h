// The duplicate finder window over the stand-in platform: a profile, the
// stand-in Outlook application, a language file and an index file of the
// test's own, message boxes answered and recorded, and a message pump.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/ComPtr.h"
#include "tests/mapi/Standin.h"
#include "tests/ui/FailingOutlook.h"
#include "ui/uMainDlg.h"

struct TShownBox {
  std::string text, caption;
  UINT type;
};

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Loads the profile and opens the window on it, shown; with `fail` the
  // window gets an application whose namespace fails what `fail` chose.
  void Open(const std::string& profileJson, const std::function<void(failing::Application&)>& fail = nullptr);
  // Closes the window (if open) and opens a new one on the same folder and
  // the profile as it is, as a restart of Outlook would; the new window has
  // the stand-in application, never a failing one.
  void Reopen();
  void CloseWindow();
  // Runs the window's messages until done() holds; false after the timeout.
  bool PumpUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(60));
  bool RunSearch();  // clicks "&Search" and waits for Idle

  // The rows as "caption ( n )" for groups and "[x] subject" / "[ ] subject".
  std::vector<std::string> Rows() const;
  std::string LangFileText() const;

  TStandin& standin_ = TStandin::Get();
  TComPtr<IDispatch> app_;
  std::unique_ptr<failing::Application> failing_;
  std::unique_ptr<TMainDlg> dlg_;
  std::vector<TShownBox> boxes_;
  // How the message boxes are answered: by answerFor_ when it is set, else
  // from answers_ in turn, then with answer_.
  std::function<int(const std::string& text)> answerFor_;
  std::deque<int> answers_;
  int answer_ = IDOK;
  std::string exportFile_;  // the file "&Export results..." is given; empty: cancelled
  std::string dir_;

 private:
  // A window on dir_'s files, shown, with `failing` as its application when given.
  void MakeWindow(failing::Application* failing);
};

// Duplicate groups as sets of entry-identifier texts, in no order.
using TGroupSet = std::multiset<std::multiset<std::string>>;
// The groups the console scan's collection finds in the loaded profile with
// the default fields, each folder on its own, over the folders `folders`
// ticks (true) and unticks (false); folders it does not name are read.
TGroupSet ScannedGroups(const std::vector<std::pair<std::string, bool>>& folders = {});
// The groups the window shows.
TGroupSet ShownGroups(TMainDlg& dlg);
// The folders as the window hands them to a search once every listed one is
// ticked: the tree's records, then the folders it does not list, unticked.
std::vector<std::pair<std::string, bool>> AllListedFolders(_Application* app);

// A message of the test profiles: the default compare fields set.
std::string Mail(const std::string& subject, const std::string& sender, const std::string& body,
                 const std::string& more = "");
