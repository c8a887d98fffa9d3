// Counted notices, reported at most once a second.
#include "netlink/netnotice.h"

#include "system/input.h"

namespace {

bool Due(TNETNOTICE* n, uint32_t now) { return !n->Printed || now - n->LastAt >= NET_NOTICEMS; }

bool Take(TNETNOTICE* n, uint32_t now, uint32_t* count) {
  *count = n->Count;
  n->Count = 0;
  n->LastAt = now;
  n->Printed = 1;
  return true;
}

}  // namespace

bool NET_CountNotice(TNETNOTICE* n, uint32_t* count) {
  ++n->Count;
  const uint32_t now = LS_GetTime();
  return Due(n, now) && Take(n, now, count);
}

bool NET_NoticeDue(TNETNOTICE* n, uint32_t* count) {
  const uint32_t now = LS_GetTime();
  return n->Count && Due(n, now) && Take(n, now, count);
}
