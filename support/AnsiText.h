// Texts in the system code page (CP_ACP), as MAPI's 8-bit calls take them,
// to UTF-16 and back. Characters the code page lacks come out as Windows'
// best fit or its default character.
#pragma once

#include <string>
#include <string_view>

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
