// Entry identifiers as text: two uppercase hex digits per byte, no separators.
// Identifiers of any length are written whole: cutting a long one short
// could make two identifiers one and act on the wrong message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

std::string EntryIDToText(const void* data, std::size_t count);
// Pairs of hex digits (either case) up to the first character that is not
// one; an odd digit at the end is dropped.
std::vector<unsigned char> TextToEntryID(std::string_view text);
