// Which of a message's bodies the collection hashed: its plain text
// (PR_BODY), else its HTML (PR_HTML), else its compressed RTF
// (PR_RTF_COMPRESSED); None when it has none of them.
#pragma once

#include <cstdint>

enum class TBodyForm : std::uint8_t { None, Text, Html, Rtf };

// "text", "HTML", "RTF" or "none", as Compare and the export show it.
inline const char* BodyFormName(TBodyForm form) {
  switch (form) {
    case TBodyForm::Text: return "text";
    case TBodyForm::Html: return "HTML";
    case TBodyForm::Rtf: return "RTF";
    case TBodyForm::None: break;
  }
  return "none";
}
