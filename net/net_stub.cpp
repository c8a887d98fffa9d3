// No network layer yet: never connected.
#include "net/net.h"

int32_t NET_IsConnected() { return 0; }
