// The reliable layer's pool of guaranteed packets: storing with the
// recipient list, holding a packet back from a recipient while an earlier
// one of the same sender is outstanding for it, the resend pass, delivery
// queries and departed players.
#include "netlink/neti.h"

#include <cstring>

#include "netlink/ls_net.h"
#include "system/error.h"
#include "system/input.h"

namespace {

TNETI& N() { return LS_NetCurrent()->Neti; }
const LS_NETCONFIG& C() { return LS_NetCurrent()->Config; }

uint32_t SequenceOf(const NETI_GUARANTEEDMSG& m) { return LS_NetGetHeader(m.Packet).Sequence; }

// Sequence a was sent before b (the counter may wrap).
bool Earlier(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

void AddRecipient(NETI_GUARANTEEDMSG& m, uint32_t id) {
  if (m.NbRecipients >= static_cast<uint32_t>(NETI_MAXRECIPIENTS)) return;
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (m.Recipients[i] == id) return;  // once each: one flag per recipient
  m.Recipients[m.NbRecipients++] = id;
}

void SetRecipients(NETI_GUARANTEEDMSG& m, uint32_t count, const uint32_t* target) {
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

// The recipient's index in a slot's list while it is pending, else -1.
int32_t PendingIndex(const NETI_GUARANTEEDMSG& m, uint32_t recipient) {
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (m.Recipients[i] == recipient && m.Pending[i]) return static_cast<int32_t>(i);
  return -1;
}

// Whether a message of from is pending for recipient, sent (not held) or
// any, in slots other than skip.
bool Outstanding(uint32_t from, uint32_t recipient, int32_t skip, bool sentOnly) {
  const TNETI& n = N();
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    const NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (s == skip || !m.InUse || m.From != from) continue;
    const int32_t i = PendingIndex(m, recipient);
    if (i >= 0 && (!sentOnly || !m.Held[i])) return true;
  }
  return false;
}

// Once nothing of from is outstanding for recipient, sends it the earliest
// message held back for it.
void ReleaseNext(uint32_t from, uint32_t recipient) {
  TNETI& n = N();
  if (!n.Pool || Outstanding(from, recipient, -1, true)) return;
  int32_t best = -1, bestIndex = -1;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    const NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (!m.InUse || m.From != from) continue;
    const int32_t i = PendingIndex(m, recipient);
    if (i < 0 || !m.Held[i]) continue;
    if (best < 0 || Earlier(SequenceOf(m), SequenceOf(n.Pool[best]))) best = s, bestIndex = i;
  }
  if (best < 0) return;
  NETI_GUARANTEEDMSG& m = n.Pool[best];
  m.Held[bestIndex] = 0;
  LSYS_NetSend(from, 1, &recipient, m.Packet, m.Length);
}

// Frees a slot and lets each recipient it still waited for have the next
// message held back for it.
void FreeAndRelease(int32_t slot) {
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  const uint32_t from = m.From, n = m.NbRecipients;
  uint32_t waited[NETI_MAXRECIPIENTS];
  std::memcpy(waited, m.Recipients, sizeof waited);
  NETI_FreeGuaranteedSlot(slot);
  for (uint32_t i = 0; i < n; ++i) ReleaseNext(from, waited[i]);
}

}  // namespace

// Clears one recipient's flag (acknowledged, or departed); the slot is
// freed when it was the last, and the sender's next message held back for
// that recipient goes out.
void NETI_AcknowledgeRecipient(int32_t slot, int32_t index) {
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  m.Pending[index] = 0;
  m.Held[index] = 0;
  --m.NbPending;
  const uint32_t from = m.From, recipient = m.Recipients[index];
  if (m.NbPending == 0) NETI_FreeGuaranteedSlot(slot);
  ReleaseNext(from, recipient);
}

namespace {

void GiveUp(int32_t slot) {
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  const uint32_t sequence = SequenceOf(m);
  uint32_t silent[NETI_MAXRECIPIENTS];
  uint32_t nbSilent = 0;
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (m.Pending[i]) silent[nbSilent++] = m.Recipients[i];
  FreeAndRelease(slot);
  for (uint32_t i = 0; i < nbSilent; ++i) {
    const LS_NETSENDFAILURE failure = C().SendFailure;
    if (!failure || !N().Pool) return;  // a callback may close LS_Net
    failure(sequence, silent[i]);
  }
}

void Resend(NETI_GUARANTEEDMSG& m) {
  uint32_t ids[NETI_MAXRECIPIENTS];
  uint32_t n = 0;
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (m.Pending[i] && !m.Held[i]) ids[n++] = m.Recipients[i];
  if (n) LSYS_NetSend(m.From, n, ids, m.Packet, m.Length);
}

}  // namespace

void NETI_PeerError(const char* text) {
  const uint32_t mode = LSI_Var.ErrorMode;
  LSI_Var.ErrorMode = LS_ERRMODE_LOG;
  LS_Error(0, "%s", text);
  LSI_Var.ErrorMode = mode;
}

int32_t NETI_Init() {
  TNETI& n = N();
  delete[] n.Pool;
  n.Pool = new NETI_GUARANTEEDMSG[NETI_NBSLOTS]();
  std::memset(n.Players, 0, sizeof n.Players);
  n.Filling = nullptr;
  return 1;
}

void NETI_Free() {
  TNETI& n = N();
  delete[] n.Pool;
  n.Pool = nullptr;
}

void NETI_Clear() {
  TNETI& n = N();
  if (n.Pool)
    for (int32_t s = 0; s < NETI_NBSLOTS; ++s) n.Pool[s].InUse = 0;
  std::memset(n.Players, 0, sizeof n.Players);
}

int32_t NETI_AllocGuaranteedSlot() {
  TNETI& n = N();
  if (!n.Pool) return -1;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s)
    if (!n.Pool[s].InUse) return s;
  return -1;
}

void NETI_FreeGuaranteedSlot(int32_t slot) {
  if (N().Pool && slot >= 0 && slot < NETI_NBSLOTS) N().Pool[slot].InUse = 0;
}

int32_t NETI_StoreGuaranteedMessage(uint32_t from, uint32_t count, const uint32_t* target, const void* packet,
                                    uint32_t length) {
  if (length > LS_NETMAXPACKET || length < LS_NETHEADERSIZE) return NETI_NORECIPIENT;
  const int32_t slot = NETI_AllocGuaranteedSlot();
  if (slot < 0) {
    // Too many messages unacknowledged is a peer's doing: logged, and the
    // program goes on.
    NETI_PeerError("Too many guaranteed msg !");
    return NETI_POOLFULL;
  }
  NETI_GUARANTEEDMSG& m = N().Pool[slot];
  std::memset(&m, 0, sizeof m);
  m.SendTime = LS_GetTime();
  m.Length = length;
  m.InUse = 1;
  m.Tries = NETI_TRIES;
  m.From = from;
  std::memcpy(m.Packet, packet, length);
  SetRecipients(m, count, target);
  if (m.NbRecipients == 0) {
    NETI_FreeGuaranteedSlot(slot);
    return NETI_NORECIPIENT;
  }
  for (uint32_t i = 0; i < m.NbRecipients; ++i) m.Held[i] = Outstanding(from, m.Recipients[i], slot, false);
  return slot;
}

int32_t NETI_SendStored(int32_t slot, uint32_t count, const uint32_t* target) {
  const NETI_GUARANTEEDMSG& m = N().Pool[slot];
  bool held = false;
  for (uint32_t i = 0; i < m.NbRecipients; ++i) held = held || m.Held[i];
  const uintptr_t special = reinterpret_cast<uintptr_t>(target);
  if (!held && (special == NET_TOALL || special == NET_TOCONTROLLER))
    return LSYS_NetSend(m.From, count, target, m.Packet, m.Length);
  uint32_t ids[NETI_MAXRECIPIENTS];
  uint32_t n = 0;
  for (uint32_t i = 0; i < m.NbRecipients; ++i)
    if (!m.Held[i]) ids[n++] = m.Recipients[i];
  return LSYS_NetSend(m.From, n, ids, m.Packet, m.Length);
}

void NETI_ResendPending() {
  const uint32_t now = LS_GetTime();
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    TNETI& n = N();
    if (!n.Pool) return;
    NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (!m.InUse || now - m.SendTime <= NETI_RESENDMS) continue;
    if (m.Tries-- == 1) {
      GiveUp(s);
      continue;
    }
    m.SendTime = now;
    Resend(m);
  }
}

int32_t NETI_IsDelivered(uint32_t sequence) {
  const TNETI& n = N();
  if (!n.Pool) return 1;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s)
    if (n.Pool[s].InUse && SequenceOf(n.Pool[s]) == sequence) return 0;
  return 1;
}

void NETI_RemovePlayerInfo(uint32_t departed, uint32_t) {
  TNETI& n = N();
  for (NETI_PLAYERINFO& p : n.Players)
    if (p.InUse && (p.SenderId == departed || p.ReceiverId == departed)) p.InUse = 0;
  if (!n.Pool) return;
  // A departed recipient never acknowledges: waiting for it would cost
  // each slot 61 s and stop every resend to a list holding it.
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    if (!n.Pool[s].InUse) continue;
    const int32_t i = PendingIndex(n.Pool[s], departed);
    if (i >= 0) NETI_AcknowledgeRecipient(s, i);
  }
}

int32_t NETI_FindGuaranteedSlot(uint32_t recipient, uint32_t sequence, int32_t* index) {
  const TNETI& n = N();
  if (!n.Pool) return -1;
  for (int32_t s = 0; s < NETI_NBSLOTS; ++s) {
    const NETI_GUARANTEEDMSG& m = n.Pool[s];
    if (!m.InUse || SequenceOf(m) != sequence) continue;
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
