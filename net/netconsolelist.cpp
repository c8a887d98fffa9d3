// The list the network console words leave: the last provider, session or
// player list fetched, kept until the next one and the console's end.
#include "net/net.h"
#include "shell/owner.h"

namespace {

NET_ENUMENTRY* g_list = nullptr;
int32_t g_count = 0;

}  // namespace

void NET_SetConsoleList(NET_ENUMENTRY* list, int32_t count) {
  NET_FreeConsoleList();
  g_list = list;
  g_count = list && count > 0 ? count : 0;
}

const NET_ENUMENTRY* NET_GetConsoleList(int32_t* count) {
  if (count) *count = g_count;
  return g_list;
}

void NET_FreeConsoleList() {
  if (g_list) SB_Release(g_list);
  g_list = nullptr;
  g_count = 0;
}
