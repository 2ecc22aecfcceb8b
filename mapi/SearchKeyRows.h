// A folder's messages found by their search keys, which copies share and a
// move keeps.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mapi/sx_MAPI.h"

// The entry identifiers (bytes) of the folder's messages whose search key is
// one of `keys`, by key, in table order. Copies share a search key, so a key
// may name several.
using TKeyedRows = std::map<std::string, std::vector<std::string>>;
TKeyedRows RowsWithSearchKeys(TsxMAPI_Folder& folder, const std::set<std::string>& keys);

// The rows of `after` that are not in `before`: the messages that arrived
// between the two readings, by key.
TKeyedRows NewRows(const TKeyedRows& before, const TKeyedRows& after);

// Every row of the folder whose search key is one of `keys`, with the given
// columns, asked of the store with a restriction.
void ForRowsWithSearchKeys(TsxMAPI_Folder& folder, const std::set<std::string>& keys,
                           std::initializer_list<ULONG> tags, const std::function<void(const SRow&)>& use);
