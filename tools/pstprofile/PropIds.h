// The MAPI property identifiers (tag without its type) read from the files.
#pragma once

#include <cstdint>

namespace propid {

// Store record and folders
constexpr std::uint32_t kRecordKey = 0x0FF9;
constexpr std::uint32_t kDisplayName = 0x3001;
constexpr std::uint32_t kIpmSubtree = 0x35E0;
constexpr std::uint32_t kIpmOutbox = 0x35E2;
constexpr std::uint32_t kIpmWastebasket = 0x35E3;
constexpr std::uint32_t kIpmSentMail = 0x35E4;
constexpr std::uint32_t kFolderType = 0x3601;
constexpr std::uint32_t kContainerClass = 0x3613;
constexpr std::uint32_t kIpmDrafts = 0x36D7;
constexpr std::uint32_t kAdditionalRenEntryIds = 0x36D8;  // [4] is Junk E-mail

// Messages
constexpr std::uint32_t kMessageClass = 0x001A;
constexpr std::uint32_t kSubject = 0x0037;
constexpr std::uint32_t kClientSubmitTime = 0x0039;
constexpr std::uint32_t kSentRepresentingName = 0x0042;
constexpr std::uint32_t kSentRepresentingAddrType = 0x0064;
constexpr std::uint32_t kSentRepresentingEmail = 0x0065;
constexpr std::uint32_t kSenderEmail = 0x0C1F;
constexpr std::uint32_t kDisplayBcc = 0x0E02;
constexpr std::uint32_t kDisplayCc = 0x0E03;
constexpr std::uint32_t kDisplayTo = 0x0E04;
constexpr std::uint32_t kMessageDeliveryTime = 0x0E06;
constexpr std::uint32_t kMessageFlags = 0x0E07;
constexpr std::uint32_t kMessageSize = 0x0E08;
constexpr std::uint32_t kMsgStatus = 0x0E17;
constexpr std::uint32_t kAccess = 0x0FF4;
constexpr std::uint32_t kRtfCompressed = 0x1009;
constexpr std::uint32_t kHtml = 0x1013;
constexpr std::uint32_t kInternetMessageId = 0x1035;
constexpr std::uint32_t kLastModificationTime = 0x3008;
constexpr std::uint32_t kSearchKey = 0x300B;
constexpr std::uint32_t kSenderSmtpAddress = 0x5D01;
constexpr std::uint32_t kSentRepresentingSmtpAddress = 0x5D02;

// Attachments
constexpr std::uint32_t kAttachSize = 0x0E20;
constexpr std::uint32_t kAttachNum = 0x0E21;
constexpr std::uint32_t kAttachFilename = 0x3704;
constexpr std::uint32_t kAttachMethod = 0x3705;
constexpr std::uint32_t kAttachLongFilename = 0x3707;
constexpr std::uint32_t kAttachPathname = 0x3708;
constexpr std::uint32_t kAttachLongPathname = 0x370D;

constexpr std::int64_t kFolderSearch = 2;  // PR_FOLDER_TYPE of a search folder

}  // namespace propid
