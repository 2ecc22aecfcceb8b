// The duplicate finder window over the stand-in platform: a profile, the
// stand-in Outlook application, a language file and an index file of the
// test's own, message boxes answered and recorded, and a message pump.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/ComPtr.h"
#include "tests/mapi/Standin.h"
#include "ui/uMainDlg.h"

struct TShownBox {
  std::string text, caption;
  UINT type;
};

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Loads the profile and opens the window on it, shown.
  void Open(const std::string& profileJson);
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
  std::unique_ptr<TMainDlg> dlg_;
  std::vector<TShownBox> boxes_;
  int answer_ = IDOK;  // what every message box answers
  std::string dir_;
};

// A message of the test profiles: the default compare fields set.
std::string Mail(const std::string& subject, const std::string& sender, const std::string& body,
                 const std::string& more = "");
