// The list the network console words leave: the last provider, session or
// player list fetched, kept until the next one and the console's end.
// Its release is a file of its own (netconsolefree.cpp), so that a reader
// of the list does not bring the release with it.
#include "net/net.h"
#include "net/netconsolelist.h"
#include "shell/owner.h"

namespace {

NET_ENUMENTRY* g_list = nullptr;
int32_t g_count = 0;

}  // namespace

NET_ENUMENTRY* NET_TakeConsoleList() {
  NET_ENUMENTRY* list = g_list;
  g_list = nullptr;
  g_count = 0;
  return list;
}

void NET_SetConsoleList(NET_ENUMENTRY* list, int32_t count) {
  if (NET_ENUMENTRY* old = NET_TakeConsoleList()) SB_Release(old);
  g_list = list;
  g_count = list && count > 0 ? count : 0;
}

const NET_ENUMENTRY* NET_GetConsoleList(int32_t* count) {
  if (count) *count = g_count;
  return g_list;
}
