// The provider, session and player lists as arrays of NET_ENUMENTRY, for
// the console words, the session lookup and the network menus.
#pragma once
#include <cstdint>

#include "net/types.h"

// Each returns an array of exactly *count entries (at most 100), which the
// caller frees with SB_Release, or null with *count 0 when nothing was
// found or memory ran out.
NET_ENUMENTRY* NET_GetProtocols(int32_t* count);
NET_ENUMENTRY* NET_GetSessions(int32_t* count, uint32_t timeoutMs);
// As NET_GetSessions; *cancelled is 1 when the enumeration did not end
// normally (the user cancelled), else 0. The array, if any, is the
// caller's all the same.
NET_ENUMENTRY* NET_GetSessionsChecked(int32_t* count, uint32_t timeoutMs, int32_t* cancelled);
// The players of the current session but the controller's.
NET_ENUMENTRY* NET_GetPlayers(int32_t* count);

// Each appends one entry to the list being gathered; always 1 (go on).
struct LSYS_NETPROVIDER;
int32_t NET_EnumProtocolCallback(int32_t index, const LSYS_NETPROVIDER* row);
int32_t NET_EnumSessionCallback(const char* name, int32_t index);
int32_t NET_EnumPlayerCallback(uint32_t kind, const char* name, uint32_t id);
