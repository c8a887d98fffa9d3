// The provider, session and player enumerations gathered into arrays: a
// work array of 100 entries filled by the callbacks, then copied into an
// array of exactly the count found.
#include "netlink/netenum.h"

#include <cstring>

#include "netlink/ls_net.h"
#include "shell/owner.h"

namespace {

constexpr int32_t kMaxEntries = 100;

// The list being gathered; one enumeration runs at a time.
NET_ENUMENTRY* g_work = nullptr;
int32_t g_count = 0;

void Append(uint32_t id, uint32_t kind, const char* name) {
  if (!g_work || g_count >= kMaxEntries) return;
  NET_ENUMENTRY& e = g_work[g_count++];
  e.Id = id;
  e.Kind = kind;
  const size_t n = name ? strnlen(name, sizeof e.Name - 1) : 0;  // longer names are cut
  if (n) std::memcpy(e.Name, name, n);
  e.Name[n] = 0;
}

// Runs the enumeration into a work array and returns the exact copy.
template <typename Run>
NET_ENUMENTRY* Gather(int32_t* count, const char* workTag, const char* resultTag, Run run) {
  *count = 0;
  g_count = 0;
  g_work = static_cast<NET_ENUMENTRY*>(SB_GetMem(kMaxEntries * sizeof(NET_ENUMENTRY), workTag));
  if (!g_work) return nullptr;
  run();
  NET_ENUMENTRY* result = nullptr;
  if (g_count > 0) {
    result = static_cast<NET_ENUMENTRY*>(SB_GetMem(g_count * static_cast<int32_t>(sizeof(NET_ENUMENTRY)), resultTag));
    if (result) std::memcpy(result, g_work, g_count * sizeof(NET_ENUMENTRY));
  }
  SB_Release(g_work);
  g_work = nullptr;
  *count = result ? g_count : 0;
  return result;
}

}  // namespace

int32_t NET_EnumProtocolCallback(int32_t index, const LSYS_NETPROVIDER* row) {
  Append(static_cast<uint32_t>(index), 0, row ? row->Name : nullptr);
  return 1;
}

int32_t NET_EnumSessionCallback(const char* name, int32_t index) {
  Append(static_cast<uint32_t>(index), 0, name);
  return 1;
}

int32_t NET_EnumPlayerCallback(uint32_t kind, const char* name, uint32_t id) {
  if (kind != NET_TOCONTROLLER) Append(id, kind, name);
  return 1;
}

NET_ENUMENTRY* NET_GetProtocols(int32_t* count) {
  return Gather(count, "_enumArray_NET_GetProtocols", "p=NET_GetProtocols",
                [] { LS_NetEnumerateProtocols(NET_EnumProtocolCallback); });
}

NET_ENUMENTRY* NET_GetSessions(int32_t* count, uint32_t timeoutMs) {
  return Gather(count, "_enumArray_=NET_GetSessions", "p=NET_GetSessions",
                [timeoutMs] { LS_NetEnumerateSessions(NET_EnumSessionCallback, timeoutMs); });
}

NET_ENUMENTRY* NET_GetSessionsChecked(int32_t* count, uint32_t timeoutMs, int32_t* cancelled) {
  int32_t result = 1;
  NET_ENUMENTRY* list = Gather(count, "_enumArray_=NET_GetSessions", "p=NET_GetSessions",
                               [&] { result = LS_NetEnumerateSessions(NET_EnumSessionCallback, timeoutMs); });
  if (cancelled) *cancelled = result != 1 ? 1 : 0;
  return list;
}

NET_ENUMENTRY* NET_GetPlayers(int32_t* count) {
  return Gather(count, "_enumArray_=NET_GetPlayers", "p=NET_GetPlayers",
                [] { LS_NetEnumeratePlayers(NET_EnumPlayerCallback); });
}
