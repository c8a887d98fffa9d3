// The game-side network services.
#pragma once
#include <cstdint>

#include "net/types.h"

// Non-zero when a network session is open and connected.
int32_t NET_IsConnected();
// Non-zero while a session is open (made or joined): the other machines
// wait for this one, so the program keeps running when its window is
// inactive.
int32_t NET_IsSessionOpen();
// The game-side network pump.
void NET_UpdateEvent();
// The last protocol, session or player list fetched by the network
// console words, which the network menus read: Set keeps the list (an
// array from SB_GetMem, or null) after freeing the one before; Get gives
// it and its count (null and 0 when none); Free releases it.
void NET_SetConsoleList(NET_ENUMENTRY* list, int32_t count);
const NET_ENUMENTRY* NET_GetConsoleList(int32_t* count);
void NET_FreeConsoleList();
// The local player's order from the controller: its car index.
int32_t NET_GetMyPlayerOrder();
// Sends a game message to every other player in the given mode
// (NET_PLAIN or NET_GUARANTEED); the sequence number, or -2 when it was
// not sent.
int32_t NET_SendToAll(const void* message, int32_t length, int32_t mode);
