#include "mapi/PropertyStream.h"

#include <vector>

#include "mapi/MapiErrors.h"
#include "support/ComPtr.h"
#include "support/Utf8Text.h"

namespace {

constexpr ULONG kChunk = 64 * 1024;

// Turns the stream's bytes into UTF-8: UTF-16LE for PT_UNICODE, the system
// code page for PT_STRING8. A character cut by a chunk's end waits for the next.
class TStreamDecoder {
 public:
  explicit TStreamDecoder(bool unicode) : FUnicode(unicode) {}

  // Appends the UTF-8 of `bytes`; false once the text's zero character came.
  bool Feed(const char* bytes, std::size_t count, std::string& out) {
    FCarry.append(bytes, count);
    return FUnicode ? FeedWide(out) : FeedAnsi(out);
  }
  void Finish(std::string& out) { FWide.Finish(out); }

 private:
  bool FeedWide(std::string& out) {
    const std::size_t units = FCarry.size() / 2;
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(FCarry[2 * i]) |
                                      (static_cast<unsigned char>(FCarry[2 * i + 1]) << 8));
    FCarry.erase(0, units * 2);
    const std::size_t end = text.find(u'\0');
    FWide.Append(text.data(), end == std::u16string::npos ? text.size() : end, out);
    return end == std::u16string::npos;
  }

  bool FeedAnsi(std::string& out) {
    const std::size_t zero = FCarry.find('\0');
    std::size_t take = zero == std::string::npos ? FCarry.size() : zero;
    // A lead byte of a double-byte code page at the end waits for its tail.
    if (zero == std::string::npos && take > 0 && IsDBCSLeadByte(static_cast<BYTE>(FCarry[take - 1]))) {
      std::size_t run = 0;
      while (run < take && IsDBCSLeadByte(static_cast<BYTE>(FCarry[take - 1 - run]))) ++run;
      if (run % 2 == 1) --take;
    }
    if (take > 0) {
      const int n = MultiByteToWideChar(CP_ACP, 0, FCarry.data(), static_cast<int>(take), nullptr, 0);
      std::u16string wide(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
      if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, FCarry.data(), static_cast<int>(take),
                            reinterpret_cast<wchar_t*>(wide.data()), n);
      FWide.Append(wide.data(), wide.size(), out);
    }
    FCarry.erase(0, take);
    return zero == std::string::npos;
  }

  bool FUnicode;
  std::string FCarry;
  TUtf16ToUtf8 FWide;
};

}  // namespace

bool IsTooLargeValue(const SPropValue& value) {
  return PROP_TYPE(value.ulPropTag) == PT_ERROR && value.Value.err == MAPI_E_NOT_ENOUGH_MEMORY;
}

namespace {

// Opens `tag` of `prop` as a stream and hands its bytes on a chunk at a
// time until `chunk` returns false or the stream ends.
void ForEachChunk(IMAPIProp* prop, ULONG tag, const std::string& what,
                  const std::function<bool(const char*, ULONG)>& take) {
  TComPtr<IStream> stream;
  const HRESULT opened = prop ? prop->OpenProperty(tag, &IID_IStream, STGM_READ, 0, stream.As<IUnknown>())
                              : MAPI_E_INVALID_PARAMETER;
  CheckForError(opened, what);
  std::vector<char> chunk(kChunk);
  for (;;) {
    ULONG read = 0;
    CheckForError(stream->Read(chunk.data(), kChunk, &read), what);
    if (read == 0 || !take(chunk.data(), read)) return;
  }
}

}  // namespace

void ReadTextStream(IMAPIProp* prop, ULONG tag, const std::string& what,
                    const std::function<bool(std::string_view)>& sink) {
  TStreamDecoder decoder(PROP_TYPE(tag) == PT_UNICODE);
  std::string piece;
  bool stopped = false;
  ForEachChunk(prop, tag, what, [&](const char* bytes, ULONG count) {
    piece.clear();
    const bool more = decoder.Feed(bytes, count, piece);
    if (!more) decoder.Finish(piece);
    if (!piece.empty() && !sink(piece)) stopped = true;
    return more && !stopped;
  });
  if (stopped) return;
  piece.clear();
  decoder.Finish(piece);
  if (!piece.empty()) sink(piece);
}

void ReadBytesStream(IMAPIProp* prop, ULONG tag, const std::string& what,
                     const std::function<bool(std::string_view)>& sink) {
  ForEachChunk(prop, tag, what, [&sink](const char* bytes, ULONG count) { return sink({bytes, count}); });
}

std::string ReadTextStream(IMAPIProp* prop, ULONG tag, const std::string& what) {
  std::string text;
  ReadTextStream(prop, tag, what, [&text](std::string_view piece) {
    text.append(piece);
    return true;
  });
  return text;
}
