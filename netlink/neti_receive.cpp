// The reliable layer's receiving side: the (receiver, sender) records that
// deliver each guaranteed packet once and in the order sent, holding those
// that come early within the window; the acknowledgements, sent once a
// pump for everything received; and delivery to the controller's or the
// player's message callback.
#include <cstring>

#include "netlink/ls_net.h"
#include "netlink/neti.h"
#include "shell/console.h"
#include "system/error.h"

namespace {

TNETI& N() { return LS_NetCurrent()->Neti; }
const LS_NETCONFIG& C() { return LS_NetCurrent()->Config; }

constexpr uint32_t kWindowMask = NETI_WINDOW - 1;

int32_t Distance(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

void Deliver(uint32_t receiver, uint32_t sender, const uint8_t* packet, uint32_t length) {
  const uint32_t size = length - LS_NETHEADERSIZE;
  if (size == 0) return;  // no payload: nothing to hand on
  const LS_NETMESSAGE callback = receiver == C().ControllerId ? C().ServerMessage : C().PlayerMessage;
  if (callback) callback(sender, packet + LS_NETHEADERSIZE, size);
}

NETI_PLAYERINFO* Find(uint32_t receiver, uint32_t sender) {
  for (NETI_PLAYERINFO& p : N().Players)
    if (p.InUse && p.ReceiverId == receiver && p.SenderId == sender) return &p;
  return nullptr;
}

// Keeps a packet that came before one sent ahead of it.
void Hold(NETI_PLAYERINFO& info, uint32_t number, const uint8_t* packet, uint32_t length) {
  if (!info.Early) info.Early = new NETI_EARLY[NETI_WINDOW]();
  NETI_EARLY& e = info.Early[number & kWindowMask];
  if (e.Length && e.Number == number) return;  // a duplicate of one held
  e.Number = number;
  e.Length = length;
  std::memcpy(e.Packet, packet, length);
}

// Delivers the packets held that now come next. The record is looked up
// again after each delivery: a callback may pump, end the pair or close
// LS_Net.
void DeliverHeld(uint32_t receiver, uint32_t sender) {
  uint8_t packet[LS_NETMAXPACKET];
  for (;;) {
    if (!N().Pool) return;
    NETI_PLAYERINFO* info = Find(receiver, sender);
    if (!info || !info->Early) return;
    const uint32_t next = static_cast<uint32_t>(info->LastSequence) + 1;
    NETI_EARLY& e = info->Early[next & kWindowMask];
    if (!e.Length || e.Number != next) return;
    const uint32_t length = e.Length;
    std::memcpy(packet, e.Packet, length);
    e.Length = 0;
    info->LastSequence = static_cast<int32_t>(next);
    Deliver(receiver, sender, packet, length);
  }
}

void ReceiveGuaranteed(uint32_t receiver, uint32_t sender, const uint8_t* packet, uint32_t length) {
  NETI_PLAYERINFO* info = NETI_GetPlayerInfo(receiver, sender);
  if (!info) return;  // unacknowledged: the sender resends
  info->AckDue = NETI_ACKREPEATS;
  const uint32_t number = LS_NetGetHeader(packet).Sequence;
  const int32_t ahead = Distance(number, static_cast<uint32_t>(info->LastSequence) + 1);
  if (ahead < 0) return;  // a duplicate: acknowledged again
  if (ahead >= NETI_WINDOW) {
    uint32_t count = 0;
    if (NET_CountNotice(&N().BadPackets, &count))
      SB_ConsolePrintf("[NETI][GUARANTEED PACKET FROM %lu BEYOND THE WINDOW REFUSED (%lu)]",
                       static_cast<unsigned long>(sender), static_cast<unsigned long>(count));
    return;
  }
  if (ahead > 0) return Hold(*info, number, packet, length);
  info->LastSequence = static_cast<int32_t>(number);
  Deliver(receiver, sender, packet, length);
  DeliverHeld(receiver, sender);
}

int32_t ReceiveAck(uint32_t receiver, uint32_t sender, const uint8_t* packet, uint32_t length) {
  if (length != LS_NETHEADERSIZE && length != NETI_ACKSIZE) return 1;  // not an acknowledgement: ignored
  const uint32_t cumulative = LS_NetGetHeader(packet).Sequence;
  uint32_t map = 0;
  if (length == NETI_ACKSIZE)
    map = packet[5] | (packet[6] << 8) | (packet[7] << 16) | (static_cast<uint32_t>(packet[8]) << 24);
  return NETI_HandleAck(receiver, sender, cumulative, map);
}

}  // namespace

int32_t NETI_ReceiveMessage(uint32_t receiver, uint32_t sender, const void* data, uint32_t length) {
  if (length < LS_NETHEADERSIZE || length > LS_NETMAXPACKET || !N().Pool) return 0;
  const auto* packet = static_cast<const uint8_t*>(data);
  switch (packet[0]) {
    case LS_NETMODE_GUARANTEED:
      ReceiveGuaranteed(receiver, sender, packet, length);
      return 1;
    case LS_NETMODE_PLAIN:
      Deliver(receiver, sender, packet, length);
      return 1;
    case LS_NETMODE_ACK:
      return ReceiveAck(receiver, sender, packet, length);
    default:
      return 1;
  }
}

void NETI_SendAcks() {
  for (int32_t i = 0; i < NETI_NBPAIRS; ++i) {
    if (!N().Pool) return;
    NETI_PLAYERINFO& p = N().Players[i];
    if (!p.InUse || !p.AckDue) continue;
    --p.AckDue;
    const uint32_t last = static_cast<uint32_t>(p.LastSequence);
    uint32_t map = 0;
    for (uint32_t bit = 0; p.Early && bit < 32 && bit + 1 < static_cast<uint32_t>(NETI_WINDOW); ++bit) {
      const NETI_EARLY& e = p.Early[(last + 2 + bit) & kWindowMask];
      if (e.Length && e.Number == last + 2 + bit) map |= 1u << bit;
    }
    uint8_t ack[NETI_ACKSIZE];
    LS_NetPutHeader(ack, LS_NETMODE_ACK, last);
    for (int k = 0; k < 4; ++k) ack[5 + k] = static_cast<uint8_t>(map >> (8 * k));
    const uint32_t to = p.SenderId;
    LSYS_NetSend(p.ReceiverId, 1, &to, ack, sizeof ack);
  }
}

NETI_PLAYERINFO* NETI_GetPlayerInfo(uint32_t receiver, uint32_t sender) {
  NETI_PLAYERINFO* free = nullptr;
  for (NETI_PLAYERINFO& p : N().Players) {
    if (!p.InUse) {
      if (!free) free = &p;
    } else if (p.ReceiverId == receiver && p.SenderId == sender) {
      return &p;
    }
  }
  if (!free) {
    NETI_PeerError(&N().PairsFull, "NETI_GetPlayerInfo : Too many players !");
    return nullptr;
  }
  delete[] free->Early;
  std::memset(free, 0, sizeof *free);
  free->InUse = 1;
  free->ReceiverId = receiver;
  free->SenderId = sender;
  // Each pair's numbers start at the first sequence number.
  free->LastSequence = static_cast<int32_t>(LS_NETFIRSTSEQUENCE - 1);
  return free;
}
