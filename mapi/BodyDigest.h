// The CRC-32 of a message's body in the best form it has: the plain text,
// else the HTML, else the compressed RTF. The three are asked for in one
// GetProps; the HTML and RTF are looked at only when the plain text is
// missing or empty, so a message with a text body costs what it did.
//
// A text body's CRC is that of its UTF-8 alone, as it always was. An HTML or
// RTF body's CRC starts from a mark of its form that no text body can hold
// (a text ends at its first zero character), so bodies of different forms
// never count as equal by accident; nor is such a CRC ever 0, which only a
// message without any body has.
#pragma once

#include <array>
#include <cstdint>

#include "mapi/BodyForm.h"
#include "mapi/MapiHeaders.h"

struct TBodyDigest {
  std::int32_t crc = 0;
  TBodyForm form = TBodyForm::None;
};

enum TBodySlot { bsText, bsHtml, bsRtf, bsCount };

// PR_BODY in the store's text width, PR_HTML and PR_RTF_COMPRESSED, in the
// order of TBodySlot.
std::array<ULONG, bsCount> BodyTags(bool unicode);

// The digest from the GetProps slots of BodyTags (`slots[bsText]` …). A form
// too large for GetProps is read through a stream in chunks. A form that is
// there but cannot be read raises "Could not read the message body!": an
// unread body must never count as equal to another.
TBodyDigest BodyDigestOfSlots(IMAPIProp* object, const SPropValue* slots, const ULONG* tags);
