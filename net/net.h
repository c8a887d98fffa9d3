// The game-side network services.
#pragma once
#include <cstdint>

// Non-zero when a network session is open and connected.
int32_t NET_IsConnected();
// The game-side network pump.
void NET_UpdateEvent();
// The interpreter of the race and network words, which arrive upper-cased;
// non-zero when it handled the word.
int32_t SB_NetConsoleCommand(const char* first, const char* second, const char* third, const char* fourth,
                             const char* rest, const char* keyword);
// Frees the last protocol, session or player list fetched by the network
// console words.
void NET_FreeConsoleList();
// The local player's order from the controller: its car index.
int32_t NET_GetMyPlayerOrder();
// Sends a game message to every other player in the given mode
// (NET_PLAIN or NET_GUARANTEED); the sequence number, or -2 when it was
// not sent.
int32_t NET_SendToAll(const void* message, int32_t length, int32_t mode);
