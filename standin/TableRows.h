// The rows a table serves, fixed when the table is made and each made when
// a call asks for it: a contents table of a million messages holds a copy
// of the folder's listing, not a million rows.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "standin/Model.h"

namespace standin {

class TableRows {
 public:
  virtual ~TableRows() = default;
  virtual std::size_t Count() const = 0;
  // The row for a call that reads `tags` of it: it may lack any other value
  // (a generated message's row is made without its body unless asked).
  virtual std::shared_ptr<const PropBag> Row(std::size_t index, std::span<const ULONG> tags) const = 0;
};

std::shared_ptr<const TableRows> RowsOf(std::vector<PropBag> rows);
// The messages of a folder as they are now, each row a message's values.
std::shared_ptr<const TableRows> MessageRows(std::shared_ptr<const StoreData> store, MessageListing messages);

}  // namespace standin
