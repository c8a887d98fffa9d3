// The player order comes with the network layer; until then the local
// player is the first. Weak, so that tests can put a fake in its place.
#include "net/net.h"

__attribute__((weak)) int32_t NET_GetMyPlayerOrder() { return 0; }
