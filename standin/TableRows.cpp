#include "standin/TableRows.h"

#include <algorithm>

#include "standin/GeneratedMail.h"

namespace standin {
namespace {

class FixedRows final : public TableRows, public std::enable_shared_from_this<FixedRows> {
 public:
  explicit FixedRows(std::vector<PropBag> rows) : FRows(std::move(rows)) {}
  std::size_t Count() const override { return FRows.size(); }
  std::shared_ptr<const PropBag> Row(std::size_t index, std::span<const ULONG> /*tags*/) const override {
    return std::shared_ptr<const PropBag>(shared_from_this(), &FRows[index]);
  }

 private:
  std::vector<PropBag> FRows;
};

class ListedMessages final : public TableRows {
 public:
  ListedMessages(std::shared_ptr<const StoreData> store, MessageListing messages)
      : FStore(std::move(store)), FMessages(std::move(messages)) {}
  std::size_t Count() const override { return FMessages.Size(); }
  std::shared_ptr<const PropBag> Row(std::size_t index, std::span<const ULONG> tags) const override {
    const MessageRef ref = FMessages.At(index);
    if (ref.generated && FStore->generated->MakesRows() && !FStore->MadeBefore(ref) &&
        std::none_of(tags.begin(), tags.end(), GeneratedMail::LeftOutOfRows))
      return std::make_shared<const PropBag>(FStore->generated->RowProps(ref.index, FStore->uid));
    auto message = FStore->Materialize(ref);
    return std::shared_ptr<const PropBag>(message, &message->served);
  }

 private:
  std::shared_ptr<const StoreData> FStore;  // keeps the records the listing names
  MessageListing FMessages;
};

}  // namespace

std::shared_ptr<const TableRows> RowsOf(std::vector<PropBag> rows) {
  return std::make_shared<FixedRows>(std::move(rows));
}

std::shared_ptr<const TableRows> MessageRows(std::shared_ptr<const StoreData> store, MessageListing messages) {
  return std::make_shared<ListedMessages>(std::move(store), std::move(messages));
}

}  // namespace standin
