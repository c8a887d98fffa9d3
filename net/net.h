// The game-side network services (with the session's state and the send
// to all of netlink/netlink.h).
#pragma once
#include <cstdint>

#include "net/types.h"
#include "netlink/netlink.h"

// The game-side network pump.
void NET_UpdateEvent();
// The last protocol, session or player list fetched by the network
// console words, which the network menus read: Set keeps the list (an
// array from SB_GetMem, or null) after freeing the one before; Get gives
// it and its count (null and 0 when none); Free releases it.
void NET_SetConsoleList(NET_ENUMENTRY* list, int32_t count);
const NET_ENUMENTRY* NET_GetConsoleList(int32_t* count);
void NET_FreeConsoleList();
