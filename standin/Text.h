// The profile keeps its texts as UTF-8; calls serve them as UTF-16 or as
// text of the process's ANSI code page, converted when served.
#pragma once

#include <string>
#include <string_view>

namespace standin {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// As MAPI converts PT_UNICODE to PT_STRING8: WideCharToMultiByte(CP_ACP)
// with the system's best-fit look-alikes, '?' for the rest.
std::string Utf8ToAnsi(std::string_view utf8);
// A text of the ANSI code page (a PT_STRING8 argument) as UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace standin
