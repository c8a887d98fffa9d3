// What the floors below the game protocol ask of the network: whether a
// session is open, the local player's order and a game message to every
// other player.
#pragma once
#include <cstdint>

#include "net/types.h"

// Non-zero when a network session is open and connected.
int32_t NET_IsConnected();
// Non-zero while a session is open (made or joined): the other machines
// wait for this one, so the program keeps running when its window is
// inactive.
int32_t NET_IsSessionOpen();
// The local player's order from the controller: its car index.
int32_t NET_GetMyPlayerOrder();
// Sends a game message to every other player in the given mode
// (NET_PLAIN or NET_GUARANTEED); the sequence number, or -2 when it was
// not sent.
int32_t NET_SendToAll(const void* message, int32_t length, int32_t mode);
