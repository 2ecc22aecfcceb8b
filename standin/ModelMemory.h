// The memory the profile model holds, counted where it is allocated, so
// that a benchmark can tell the stand-in's own memory from the product's
// (StandinModelBytes). Containers of the model take ModelAllocator; the
// few strings of stores and folders, and what calls serve, are not counted.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace standin {

std::size_t ModelBytes();
void CountModelBytes(std::size_t bytes, bool freed);

template <class T>
struct ModelAllocator {
  using value_type = T;
  ModelAllocator() = default;
  template <class U>
  ModelAllocator(const ModelAllocator<U>&) {}
  T* allocate(std::size_t n) {
    T* p = std::allocator<T>().allocate(n);
    CountModelBytes(n * sizeof(T), false);
    return p;
  }
  void deallocate(T* p, std::size_t n) {
    std::allocator<T>().deallocate(p, n);
    CountModelBytes(n * sizeof(T), true);
  }
  friend bool operator==(const ModelAllocator&, const ModelAllocator&) { return true; }
};

template <class T>
using ModelVector = std::vector<T, ModelAllocator<T>>;

// An array that only grows, in blocks that never move: no element is
// copied when it grows, and growing never needs twice the memory.
template <class T, std::size_t BlockSize = 4096>
class BlockArray {
 public:
  BlockArray() = default;
  BlockArray(const BlockArray&) = delete;
  BlockArray& operator=(const BlockArray&) = delete;
  ~BlockArray() {
    for (T* block : FBlocks) ModelAllocator<T>().deallocate(block, BlockSize);
  }

  std::size_t size() const { return FSize; }
  T& operator[](std::size_t i) { return FBlocks[i / BlockSize][i % BlockSize]; }
  const T& operator[](std::size_t i) const { return FBlocks[i / BlockSize][i % BlockSize]; }
  std::size_t push_back(const T& value) {
    if (FSize % BlockSize == 0) FBlocks.push_back(ModelAllocator<T>().allocate(BlockSize));
    new (&FBlocks.back()[FSize % BlockSize]) T(value);
    return FSize++;
  }

 private:
  static_assert(std::is_trivially_copyable_v<T>, "blocks hold plain records");
  ModelVector<T*> FBlocks;
  std::size_t FSize = 0;
};

}  // namespace standin
