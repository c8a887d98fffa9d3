// The game-side network services.
#pragma once
#include <cstdint>

// Non-zero when a network session is open and connected.
int32_t NET_IsConnected();
