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
  // A child folder by display name (owned by its parent).
  static TsxMAPI_Folder* Child(TsxMAPI_Folder* parent, const std::string& name);
  // A top folder of the default store, or of the other store.
  TsxMAPI_Folder* Top(const std::string& name);
  std::unique_ptr<TsxMAPI_Folder> ArchiveTop(const std::string& name);
  // The entry-identifier text of a folder's i-th message.
  static std::string MessageID(TsxMAPI_Folder* folder, int i);

  TStandin& standin_ = TStandin::Get();
  std::unique_ptr<TsxMAPI_Session> session_;
};
