// One message of a .pst/.ost file as a profile message (standin/README.md).
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/pstprofile/PffItem.h"

// Every key the profile format carries that the message has, keys of
// absent properties left out (as a store lacks them). Each body is carried
// as the file keeps it: "body" (PR_BODY), "html" or "htmlHex" (PR_HTML) and
// "rtf" (PR_RTF_COMPRESSED); none is derived from another.
nlohmann::ordered_json MessageJson(libpff_item_t* message);

// A FILETIME as the profile writes it: "YYYY-MM-DDTHH:MM:SSZ" when it is a
// whole second, else the tick count, so nothing of it is lost.
nlohmann::ordered_json TimeJson(std::int64_t filetime);

// Uppercase hex of the bytes.
std::string HexText(const std::string& bytes);

// A node id as an object's own identifier bytes: little-endian, as it ends
// the object's entry identifier in a PST.
std::string NodeIdText(std::uint32_t node);

// PR_SUBJECT as the store serves it: the file keeps a marker in front (a
// U+0001 and one character giving the prefix length) that is dropped.
std::string ServedSubject(const std::string& stored);
