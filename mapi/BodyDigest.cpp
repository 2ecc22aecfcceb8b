#include "mapi/BodyDigest.h"

#include <string>
#include <string_view>

#include "mapi/CnCRC32.h"
#include "mapi/MapiProps.h"
#include "mapi/MapiText.h"
#include "mapi/PropertyStream.h"

namespace {

const std::string kWhat = "Could not read the message body!";

// What starts the CRC of each form. The zero byte keeps them apart from any
// text body; a text body starts from nothing, as it always did.
constexpr std::string_view kFormMark[] = {"", std::string_view("\0HTML\0", 6), std::string_view("\0RTF\0", 5)};

// Hashes the slot's value after `mark`: false (and `crc` untouched) when the
// value is missing or empty.
bool HashSlot(IMAPIProp* object, const SPropValue& value, ULONG tag, std::string_view mark, std::uint32_t& crc) {
  std::uint32_t sum = CRC32Calc(0, mark.data(), mark.size());
  std::size_t length = 0;
  const auto add = [&](std::string_view piece) {
    sum = CRC32Calc(sum, piece.data(), piece.size());
    length += piece.size();
    return true;
  };
  if (value.ulPropTag == tag && PROP_TYPE(tag) == PT_BINARY) {
    add({reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb});
  } else if (IsTextValue(value, tag)) {
    add(TextValue(value));
  } else if (IsTooLargeValue(value)) {
    if (PROP_TYPE(tag) == PT_BINARY)
      ReadBytesStream(object, tag, kWhat, add);
    else
      ReadTextStream(object, tag, kWhat, add);
  } else if (!IsMissing(value)) {
    CheckValue(&value, tag, kWhat);
  }
  if (length == 0) return false;
  crc = sum;
  return true;
}

}  // namespace

std::array<ULONG, bsCount> BodyTags(bool unicode) {
  return {TextTag(PR_BODY, unicode), PR_HTML, PR_RTF_COMPRESSED};
}

TBodyDigest BodyDigestOfSlots(IMAPIProp* object, const SPropValue* slots, const ULONG* tags) {
  constexpr TBodyForm kForms[] = {TBodyForm::Text, TBodyForm::Html, TBodyForm::Rtf};
  for (int slot = bsText; slot < bsCount; ++slot) {
    std::uint32_t crc = 0;
    if (!HashSlot(object, slots[slot], tags[slot], kFormMark[slot], crc)) continue;
    if (slot != bsText && crc == 0) crc = 1;  // 0 is for a message without a body
    return {static_cast<std::int32_t>(crc), kForms[slot]};
  }
  return {};
}
