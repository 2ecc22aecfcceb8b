// The message fields that can take part in the duplicate comparison: one
// bit each, OR-ed into the search mask TMsgSet::nSelFields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr std::int32_t FIELD_SUBJECT = 0x001;        // szSubject
inline constexpr std::int32_t FIELD_FROM = 0x002;           // szSenderName
inline constexpr std::int32_t FIELD_SENDER_EMAIL = 0x004;   // szSenderEmail
inline constexpr std::int32_t FIELD_MESSAGE = 0x008;        // lBodyCrc
inline constexpr std::int32_t FIELD_SIZE = 0x010;           // nMsgSize
inline constexpr std::int32_t FIELD_SENT_TO = 0x020;        // szTo
inline constexpr std::int32_t FIELD_CC = 0x040;             // szCC
inline constexpr std::int32_t FIELD_BCC = 0x080;            // szBCC
inline constexpr std::int32_t FIELD_ATTACHMENT = 0x100;     // szAttached
inline constexpr std::int32_t FIELD_SENT_DATE = 0x200;      // dtSendTime
inline constexpr std::int32_t FIELD_UNREAD = 0x400;         // bRead
inline constexpr std::int32_t FIELD_RECEIVED_DATE = 0x800;  // dtRecivedTime

// Language-file section of the field captions.
inline constexpr char FieldsSection[] = "Fields";

// One row of the window's field list.
struct TCompareField {
  const char* szKey;      // caption key in section "Fields"
  const char* szCaption;  // English default caption
  std::int32_t nFieldID;
  bool bDefault;          // checked (and shown in bold) when the list is first filled
};

// The rows in display order, which is not the bit order.
inline constexpr std::array<TCompareField, 12> CompareFields{{
    {"strSubject", "Subject", FIELD_SUBJECT, true},
    {"strSenderEmail", "Sender E-mail", FIELD_SENDER_EMAIL, true},
    {"strMessage", "Message", FIELD_MESSAGE, true},
    {"strFrom", "From", FIELD_FROM, false},
    {"strSentTo", "Sent To", FIELD_SENT_TO, false},
    {"strCc", "Cc", FIELD_CC, false},
    {"strBcc", "Bcc", FIELD_BCC, false},
    {"strSize", "Size", FIELD_SIZE, false},
    {"strAttachment", "Attachment", FIELD_ATTACHMENT, false},
    {"strSent", "Sent Date", FIELD_SENT_DATE, false},
    {"strRecieved", "Recieved Date", FIELD_RECEIVED_DATE, false},
    {"strUnRead", "UnRead", FIELD_UNREAD, false},
}};

// The OR of the identifiers of the rows checked by default.
constexpr std::int32_t DefaultFieldMask() {
  std::int32_t nMask = 0;
  for (const TCompareField& field : CompareFields) {
    if (field.bDefault) nMask |= field.nFieldID;
  }
  return nMask;
}

// The data of one row of the field list.
struct TFieldData {
  std::string strFieldName;  // localised caption shown in the row
  std::int32_t nFieldID = 0;
  bool bSelected = false;    // follows the row's check box
};
