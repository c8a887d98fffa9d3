// The reliable layer's sending side: the pool of guaranteed packets, each
// recipient's window of numbered packets, acknowledgements taken, the
// resend pass with the give-up of a silent recipient, delivery queries and
// departed players.
#include "netlink/neti.h"

#include <cstring>

#include "netlink/ls_net.h"
#include "shell/console.h"
#include "system/error.h"
#include "system/input.h"

namespace {

TNETI& N() { return LS_NetCurrent()->Neti; }
const LS_NETCONFIG& C() { return LS_NetCurrent()->Config; }

constexpr uint32_t kWindowMask = NETI_WINDOW - 1;
static_assert((NETI_WINDOW & kWindowMask) == 0, "the window is a power of two");

// a - b as a signed distance: the numbers may wrap.
int32_t Distance(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

void AddRecipient(NETI_GUARANTEEDMSG& m, uint32_t id) {
  if (m.NbRecipients >= static_cast<uint32_t>(NETI_MAXRECIPIENTS)) return;
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (m.Recipients[i] == id) return;  // once each: one flag per recipient
  m.Recipients[m.NbRecipients++] = id;
}

void RecordFailed(uint32_t handle) {
  TNETI& n = N();
  if (NETI_IsFailed(handle)) return;
  n.Failed[n.NbFailed % NETI_NBFAILED] = handle;
  ++n.NbFailed;
}

bool HasRoom(const NETI_SENDPAIR& p) {
  return !p.GivenUp && Distance(p.Next, p.Oldest) < NETI_WINDOW;
}

// The oldest number moves past those acknowledged.
void Advance(NETI_SENDPAIR& p) {
  while (p.Oldest != p.Next && p.Slot[p.Oldest & kWindowMask] < 0) ++p.Oldest;
}

// The slot and recipient index behind a number still outstanding, or -1.
int32_t Outstanding(const NETI_SENDPAIR& p, uint32_t number, int32_t* index) {
  const int32_t s = p.Slot[number & kWindowMask];
  if (s < 0 || !N().Pool) return -1;
  const NETI_GUARANTEEDMSG& m = N().Pool[s];
  const uint32_t i = p.Index[number & kWindowMask];
  if (!m.InUse || i >= m.NbRecipients || m.Recipients[i] != p.To || m.Numbers[i] != number) return -1;
  *index = static_cast<int32_t>(i);
  return s;
}

void AckNumber(NETI_SENDPAIR& p, uint32_t number) {
  int32_t index = -1;
  const int32_t s = Outstanding(p, number, &index);
  p.Slot[number & kWindowMask] = -1;
  if (s >= 0 && N().Pool[s].Pending[index]) NETI_AcknowledgeRecipient(s, index);
}

// A recipient that stopped acknowledging: every message outstanding for it
// fails, each with a SendFailure, and nothing more goes to it.
void GiveUpPair(NETI_SENDPAIR& p) {
  uint32_t handles[NETI_WINDOW];
  int32_t nb = 0;
  const uint32_t to = p.To;
  p.GivenUp = 1;
  for (uint32_t number = p.Oldest; number != p.Next; ++number) {
    int32_t index = -1;
    const int32_t s = Outstanding(p, number, &index);
    p.Slot[number & kWindowMask] = -1;
    if (s < 0 || !N().Pool[s].Pending[index]) continue;
    handles[nb++] = N().Pool[s].Handle;
    RecordFailed(N().Pool[s].Handle);
    NETI_AcknowledgeRecipient(s, index);
  }
  p.Oldest = p.Next;
  SB_ConsolePrintf("[NETI][GIVING UP ON %lu: %ld MESSAGES FAILED]", static_cast<unsigned long>(to),
                   static_cast<long>(nb));
  for (int32_t i = 0; i < nb; ++i) {
    const LS_NETSENDFAILURE failure = C().SendFailure;
    if (!failure || !N().Pool) return;  // a callback may close LS_Net
    failure(handles[i], to);
  }
}

void Resend(NETI_GUARANTEEDMSG& m) {
  for (uint32_t i = 0; i < m.NbRecipients; ++i) {
    if (!m.Pending[i]) continue;
    LS_NetPutHeader(m.Packet, LS_NETMODE_GUARANTEED, m.Numbers[i]);
    LSYS_NetSend(m.From, 1, &m.Recipients[i], m.Packet, m.Length);
  }
}

// Takes each recipient's next number, leaving out those without room
// (the last of them in *refusedTo). False when none is left.
bool Number(NETI_GUARANTEEDMSG& m, int32_t slot, uint32_t* refusedTo) {
  uint32_t kept = 0;
  bool refused = false;
  for (uint32_t i = 0; i < m.NbRecipients; ++i) {
    const uint32_t to = m.Recipients[i];
    NETI_SENDPAIR* p = NETI_GetSendPair(m.From, to, true);
    if (!p || !HasRoom(*p)) {
      refused = true;
      *refusedTo = to;
      continue;
    }
    const uint32_t number = p->Next++;
    p->Slot[number & kWindowMask] = static_cast<int16_t>(slot);
    p->Index[number & kWindowMask] = static_cast<uint8_t>(kept);
    m.Recipients[kept] = to;
    m.Numbers[kept] = number;
    m.Pending[kept] = 1;
    ++kept;
  }
  m.NbRecipients = m.NbPending = kept;
  if (refused) RecordFailed(m.Handle);
  return kept > 0;
}

void FreeEarly(NETI_PLAYERINFO& p) {
  delete[] p.Early;
  p.Early = nullptr;
}

void ClearPairs(TNETI& n) {
  for (NETI_PLAYERINFO& p : n.Players) FreeEarly(p);
  std::memset(n.Players, 0, sizeof n.Players);
  std::memset(n.Sends, 0, sizeof n.Sends);
  n.NbFailed = 0;
}

}  // namespace

void NETI_AcknowledgeRecipient(int32_t slot, int32_t index) {
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  m.Pending[index] = 0;
  if (m.NbPending > 0) --m.NbPending;
  if (m.NbPending == 0) NETI_FreeGuaranteedSlot(slot);
}

void NETI_PeerError(TNETNOTICE* notice, const char* text) {
  uint32_t count = 0;
  if (!NET_CountNotice(notice, &count)) return;
  const uint32_t mode = LSI_Var.ErrorMode;
  LSI_Var.ErrorMode = LS_ERRMODE_LOG;
  if (count > 1)
    LS_Error(0, "%s (%lu times since the last line)", text, static_cast<unsigned long>(count));
  else
    LS_Error(0, "%s", text);
  LSI_Var.ErrorMode = mode;
}

int32_t NETI_Init() {
  TNETI& n = N();
  delete[] n.Pool;
  n.Pool = new NETI_GUARANTEEDMSG[NETI_NBSLOTS]();
  n.Top = 0;
  ClearPairs(n);
  n.Filling = nullptr;
  return 1;
}

void NETI_Free() {
  TNETI& n = N();
  delete[] n.Pool;
  n.Pool = nullptr;
  n.Top = 0;
  ClearPairs(n);
}

void NETI_Clear() {
  TNETI& n = N();
  if (n.Pool)
    for (int32_t s = 0; s < n.Top; ++s) n.Pool[s].InUse = 0;
  n.Top = 0;
  ClearPairs(n);
}

int32_t NETI_AllocGuaranteedSlot() {
  TNETI& n = N();
  if (!n.Pool) return -1;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    if (n.Pool[s].InUse) continue;
    if (s >= n.Top) n.Top = s + 1;
    return s;
  }
  return -1;
}

void NETI_FreeGuaranteedSlot(int32_t slot) {
  TNETI& n = N();
  if (!n.Pool || slot < 0 || slot >= NETI_NBSLOTS) return;
  n.Pool[slot].InUse = 0;
  while (n.Top > 0 && !n.Pool[n.Top - 1].InUse) --n.Top;
}

void NETI_SetRecipients(NETI_GUARANTEEDMSG* slot, uint32_t count, const uint32_t* target) {
  NETI_GUARANTEEDMSG& m = *slot;
  const uintptr_t special = reinterpret_cast<uintptr_t>(target);
  m.NbRecipients = 0;
  if (special == NET_TOCONTROLLER) {
    AddRecipient(m, C().ControllerId);
  } else if (special == NET_TOALL) {
    N().Filling = &m;
    LS_NetEnumeratePlayers(m.From == C().ControllerId ? NETI_AddPlayerRecipientCallback : NETI_AddRecipientCallback);
    N().Filling = nullptr;
  } else {
    for (uint32_t i = 0; i < count; ++i)
      if (target[i] != m.From) AddRecipient(m, target[i]);
  }
  m.NbPending = m.NbRecipients;
  for (uint32_t i = 0; i < m.NbRecipients; ++i) m.Pending[i] = 1;
}

NETI_SENDPAIR* NETI_GetSendPair(uint32_t from, uint32_t to, bool create) {
  NETI_SENDPAIR* free = nullptr;
  for (NETI_SENDPAIR& p : N().Sends) {
    if (!p.InUse) {
      if (!free) free = &p;
    } else if (p.From == from && p.To == to) {
      return &p;
    }
  }
  if (!create || !free) return nullptr;
  std::memset(free, 0, sizeof *free);
  free->InUse = 1;
  free->From = from;
  free->To = to;
  free->Next = free->Oldest = LS_NETFIRSTSEQUENCE;
  for (int16_t& s : free->Slot) s = -1;
  return free;
}

int32_t NETI_StoreGuaranteedMessage(uint32_t from, uint32_t count, const uint32_t* target, const void* packet,
                                    uint32_t length) {
  if (length > LS_NETMAXPACKET || length < LS_NETHEADERSIZE) return NETI_NORECIPIENT;
  const int32_t slot = NETI_AllocGuaranteedSlot();
  if (slot < 0) {
    // Too many messages unacknowledged is the peers' doing: logged, the
    // message refused, and the program goes on.
    NETI_PeerError(&N().PoolFull, "Too many guaranteed msg !");
    return NETI_POOLFULL;
  }
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  m.InUse = 1;
  m.SendTime = LS_GetTime();
  m.Tries = NETI_TRIES;
  m.Length = length;
  m.From = from;
  std::memcpy(m.Packet, packet, length);
  m.Handle = LS_NetGetHeader(m.Packet).Sequence;
  NETI_SetRecipients(&m, count, target);
  if (m.NbRecipients == 0) {
    NETI_FreeGuaranteedSlot(slot);
    return NETI_NORECIPIENT;
  }
  uint32_t refusedTo = 0;
  const bool kept = Number(m, slot, &refusedTo);
  if (!kept) NETI_FreeGuaranteedSlot(slot);
  uint32_t notices = 0;
  if (refusedTo && NET_CountNotice(&N().Refusals, &notices))
    SB_ConsolePrintf("[NETI][GUARANTEED MESSAGE NOT SENT TO %lu: ITS WINDOW IS FULL OR GIVEN UP (%lu)]",
                     static_cast<unsigned long>(refusedTo), static_cast<unsigned long>(notices));
  if (!N().Pool) return NETI_REFUSED;  // the line's pump closed LS_Net
  return kept ? slot : NETI_REFUSED;
}

int32_t NETI_SendStored(int32_t slot) {
  if (!N().Pool || slot < 0 || slot >= NETI_NBSLOTS || !N().Pool[slot].InUse) return -2;
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  int32_t sent = 0;
  for (uint32_t i = 0; i < m.NbRecipients; ++i) {
    LS_NetPutHeader(m.Packet, LS_NETMODE_GUARANTEED, m.Numbers[i]);
    if (LSYS_NetSend(m.From, 1, &m.Recipients[i], m.Packet, m.Length) == 1) ++sent;
  }
  return sent > 0 ? 1 : -2;
}

int32_t NETI_HandleAck(uint32_t local, uint32_t from, uint32_t cumulative, uint32_t map) {
  NETI_SENDPAIR* p = NETI_GetSendPair(local, from, false);
  // Beyond the last number sent: nothing of ours.
  if (!p || Distance(cumulative, p->Next - 1) > 0) {
    uint32_t count = 0;
    if (NET_CountNotice(&N().BadAcks, &count))
      SB_ConsolePrintf("[NETI][ACKNOWLEDGEMENT FROM %lu FOR NOTHING SENT REFUSED (%lu)]",
                       static_cast<unsigned long>(from), static_cast<unsigned long>(count));
    return 0;
  }
  // Older than one taken already: one that came late, or again. Nothing
  // more than the map can come of it.
  if (Distance(cumulative, p->Oldest - 1) < 0) {
    uint32_t count = 0;
    if (NET_CountNotice(&N().LateAcks, &count))
      SB_ConsolePrintf("[NETI][LATE ACKNOWLEDGEMENT FROM %lu IGNORED (%lu)]", static_cast<unsigned long>(from),
                       static_cast<unsigned long>(count));
    p = NETI_GetSendPair(local, from, false);  // the line may have pumped
    if (!p) return 1;
  }
  for (uint32_t number = p->Oldest; Distance(number, cumulative) <= 0 && number != p->Next; ++number)
    AckNumber(*p, number);
  for (uint32_t bit = 0; bit < 32; ++bit) {
    const uint32_t number = cumulative + 2 + bit;
    if ((map >> bit & 1) && Distance(number, p->Oldest) >= 0 && Distance(number, p->Next) < 0) AckNumber(*p, number);
  }
  Advance(*p);
  return 1;
}

void NETI_ResendPending() {
  const uint32_t now = LS_GetTime();
  for (int32_t s = 0; s < N().Top; ++s) {
    TNETI& n = N();
    if (!n.Pool) return;
    NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (!m.InUse || now - m.SendTime <= NETI_RESENDMS) continue;
    if (m.Tries-- != 1) {
      m.SendTime = now;
      Resend(m);
      continue;
    }
    // The last expiry: each recipient still silent is given up, and with
    // it every other message waiting for it.
    const uint32_t from = m.From;
    uint32_t silent[NETI_MAXRECIPIENTS];
    uint32_t nb = 0;
    for (uint32_t i = 0; i < m.NbRecipients; ++i)
      if (m.Pending[i]) silent[nb++] = m.Recipients[i];
    for (uint32_t i = 0; i < nb && N().Pool; ++i)
      if (NETI_SENDPAIR* p = NETI_GetSendPair(from, silent[i], false)) GiveUpPair(*p);
  }
}

int32_t NETI_IsFailed(uint32_t sequence) {
  const TNETI& n = N();
  const int32_t kept = n.NbFailed < NETI_NBFAILED ? n.NbFailed : NETI_NBFAILED;
  for (int32_t i = 0; i < kept; ++i)
    if (n.Failed[i] == sequence) return 1;
  return 0;
}

int32_t NETI_IsDelivered(uint32_t sequence) {
  const TNETI& n = N();
  if (!n.Pool) return 1;
  for (int32_t s = 0; s < n.Top; ++s)
    if (n.Pool[s].InUse && n.Pool[s].Handle == sequence) return 0;
  return NETI_IsFailed(sequence) ? 0 : 1;
}

void NETI_RemovePlayerInfo(uint32_t departed, uint32_t) {
  TNETI& n = N();
  for (NETI_PLAYERINFO& p : n.Players) {
    if (!p.InUse || (p.SenderId != departed && p.ReceiverId != departed)) continue;
    FreeEarly(p);
    p.InUse = 0;
  }
  // A departed recipient never acknowledges: what waited for it failed
  // (without SendFailure: nobody is left to give up on), and its windows
  // go.
  for (NETI_SENDPAIR& p : n.Sends) {
    if (!p.InUse || (p.To != departed && p.From != departed)) continue;
    for (uint32_t number = p.Oldest; number != p.Next && n.Pool; ++number) {
      int32_t index = -1;
      const int32_t s = Outstanding(p, number, &index);
      if (s >= 0 && n.Pool[s].Pending[index]) RecordFailed(n.Pool[s].Handle);
      AckNumber(p, number);
    }
    std::memset(&p, 0, sizeof p);
  }
}

int32_t NETI_FindGuaranteedSlot(uint32_t recipient, uint32_t sequence, int32_t* index) {
  const TNETI& n = N();
  if (!n.Pool) return -1;
  for (int32_t s = 0; s < n.Top; ++s) {
    const NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (!m.InUse || m.Handle != sequence) continue;
    for (uint32_t i = 0; i < m.NbRecipients; ++i)
      if (m.Recipients[i] == recipient) {
        if (index) *index = static_cast<int32_t>(i);
        return s;
      }
  }
  return -1;
}

int32_t NETI_AddRecipientCallback(uint32_t, const char*, uint32_t id) {
  NETI_GUARANTEEDMSG* m = N().Filling;
  if (m && id != C().LocalPlayerId) AddRecipient(*m, id);
  return 1;
}

int32_t NETI_AddPlayerRecipientCallback(uint32_t, const char*, uint32_t id) {
  NETI_GUARANTEEDMSG* m = N().Filling;
  if (m && id != C().ControllerId) AddRecipient(*m, id);
  return 1;
}

void NETI_FlushNotices() {
  uint32_t count = 0;
  if (NET_NoticeDue(&N().Refusals, &count))
    SB_ConsolePrintf("[NETI][GUARANTEED MESSAGES NOT SENT: WINDOW FULL OR GIVEN UP (%lu)]",
                     static_cast<unsigned long>(count));
  if (N().Pool && NET_NoticeDue(&N().BadAcks, &count))
    SB_ConsolePrintf("[NETI][ACKNOWLEDGEMENTS FOR NOTHING SENT REFUSED (%lu)]", static_cast<unsigned long>(count));
  if (N().Pool && NET_NoticeDue(&N().LateAcks, &count))
    SB_ConsolePrintf("[NETI][LATE ACKNOWLEDGEMENTS IGNORED (%lu)]", static_cast<unsigned long>(count));
  if (N().Pool && NET_NoticeDue(&N().BadPackets, &count))
    SB_ConsolePrintf("[NETI][GUARANTEED PACKETS BEYOND THE WINDOW REFUSED (%lu)]", static_cast<unsigned long>(count));
}
