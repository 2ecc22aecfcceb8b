#include "standin/ComObject.h"

#include <atomic>

namespace standin {
namespace {
std::atomic<long> gLiveObjects{0};
}

long LiveObjects() { return gLiveObjects.load(); }
void CountObject(int delta) { gLiveObjects += delta; }

}  // namespace standin
