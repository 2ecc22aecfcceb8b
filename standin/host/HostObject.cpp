#include "standin/host/HostObject.h"

namespace host {
namespace {
LONG g_liveObjects = 0;
}

long LiveObjects() { return InterlockedCompareExchange(&g_liveObjects, 0, 0); }
void CountObject(int delta) { InterlockedExchangeAdd(&g_liveObjects, delta); }

}  // namespace host
