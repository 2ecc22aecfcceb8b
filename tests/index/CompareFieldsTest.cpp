#include <gtest/gtest.h>

#include <string>

#include "indexapi/CompareFields.h"

namespace {

TEST(CompareFields, RowsInDisplayOrderWithKeysCaptionsAndIdentifiers) {
  struct Row { const char* szKey; const char* szCaption; std::int32_t nFieldID; bool bDefault; };
  const Row expected[] = {
      {"strSubject", "Subject", 0x001, true},       {"strSenderEmail", "Sender E-mail", 0x004, true},
      {"strMessage", "Message", 0x008, true},       {"strFrom", "From", 0x002, false},
      {"strSentTo", "Sent To", 0x020, false},       {"strCc", "Cc", 0x040, false},
      {"strBcc", "Bcc", 0x080, false},              {"strSize", "Size", 0x010, false},
      {"strAttachment", "Attachment", 0x100, false}, {"strSent", "Sent Date", 0x200, false},
      {"strRecieved", "Recieved Date", 0x800, false}, {"strUnRead", "UnRead", 0x400, false},
  };
  ASSERT_EQ(CompareFields.size(), std::size(expected));
  for (std::size_t i = 0; i < CompareFields.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    EXPECT_STREQ(CompareFields[i].szKey, expected[i].szKey);
    EXPECT_STREQ(CompareFields[i].szCaption, expected[i].szCaption);
    EXPECT_EQ(CompareFields[i].nFieldID, expected[i].nFieldID);
    EXPECT_EQ(CompareFields[i].bDefault, expected[i].bDefault);
  }
}

TEST(CompareFields, IdentifiersAreTwelveDistinctBits) {
  std::int32_t nAll = 0;
  for (const TCompareField& field : CompareFields) {
    EXPECT_EQ(field.nFieldID & (field.nFieldID - 1), 0) << field.szKey << " is not a single bit";
    EXPECT_EQ(nAll & field.nFieldID, 0) << field.szKey << " repeats a bit";
    nAll |= field.nFieldID;
  }
  EXPECT_EQ(nAll, 0xFFF);
}

TEST(CompareFields, DefaultMaskIsSubjectSenderEmailAndMessage) {
  EXPECT_EQ(DefaultFieldMask(), 0x00D);
}

}  // namespace
