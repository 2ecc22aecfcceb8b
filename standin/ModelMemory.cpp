#include "standin/ModelMemory.h"

#include <atomic>

namespace standin {
namespace {

// Unsigned: a process of 32 bits never holds more; wrapping keeps the sum right.
std::atomic<std::size_t> gModelBytes{0};

}  // namespace

std::size_t ModelBytes() { return gModelBytes.load(); }

void CountModelBytes(std::size_t bytes, bool freed) {
  if (freed) gModelBytes -= bytes;
  else gModelBytes += bytes;
}

}  // namespace standin
