// A session over the stand-in provider with a standard two-store profile;
// every test ends with no MAPI object or buffer left open.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mapi/sx_MAPI_Session.h"
#include "tests/mapi/Standin.h"

// Personal (default): Inbox [Meeting notes, Lunch] > Old [Old news];
// Contacts (IPF.Contact) [Card] > Mail in contacts [Hidden mail]; Empty (no
// class); Deleted Items; Sent Items; Outbox. Archive: Inbox [Meeting notes];
// Deleted Items.
std::string StandardProfile();

class MapiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The session, logged on at first use.
  TsxMAPI_Session& Session();
  // A child folder by display name, opened on its own.
  static std::unique_ptr<TsxMAPI_Folder> Child(TsxMAPI_Folder* parent, const std::string& name);
  // A top folder of the default store, or of the other store.
  std::unique_ptr<TsxMAPI_Folder> Top(const std::string& name);
  std::unique_ptr<TsxMAPI_Folder> ArchiveTop(const std::string& name);
  // The messages of a folder as its contents table lists them: how many,
  // the i-th opened read-only, and the i-th's entry-identifier text.
  static int MessageCount(TsxMAPI_Folder* folder);
  std::unique_ptr<TsxMAPI_Message> OpenMessage(TsxMAPI_Folder* folder, int i);
  std::string MessageID(TsxMAPI_Folder* folder, int i);

  TStandin& standin_ = TStandin::Get();
  std::unique_ptr<TsxMAPI_Session> session_;
};
