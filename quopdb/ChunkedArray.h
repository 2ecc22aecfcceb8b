// A growable array in fixed blocks: no large contiguous allocation and no
// copy on growth, which a 32-bit process with a fragmented address space needs.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace quopdb {

template <typename T, std::size_t kBlockBits = 16>
class TChunkedArray {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << kBlockBits;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(const T& value) {
    if (size_ == blocks_.size() * kBlock) blocks_.push_back(std::make_unique<T[]>(kBlock));
    (*this)[size_++] = value;
  }

  void pop_back() { --size_; }

  T& operator[](std::size_t i) { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }
  const T& operator[](std::size_t i) const { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }

  void clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    size_ = 0;
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace quopdb
