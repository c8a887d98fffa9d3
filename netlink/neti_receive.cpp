// The reliable layer's receiving side: acknowledgements sent and handled,
// the (receiver, sender) records that deliver each guaranteed packet once,
// and delivery to the controller's or the player's message callback.
#include <cstring>

#include "netlink/ls_net.h"
#include "netlink/neti.h"
#include "system/error.h"

namespace {

TNETI& N() { return LS_NetCurrent()->Neti; }
const LS_NETCONFIG& C() { return LS_NetCurrent()->Config; }

void Deliver(uint32_t receiver, uint32_t sender, const uint8_t* packet, uint32_t length) {
  const uint32_t size = length - LS_NETHEADERSIZE;
  if (size == 0) return;  // no payload: nothing to hand on
  const LS_NETMESSAGE callback = receiver == C().ControllerId ? C().ServerMessage : C().PlayerMessage;
  if (callback) callback(sender, packet + LS_NETHEADERSIZE, size);
}

void ReceiveGuaranteed(uint32_t receiver, uint32_t sender, const uint8_t* packet, uint32_t length) {
  NETI_PLAYERINFO* info = NETI_GetPlayerInfo(receiver, sender);
  if (!info) return;  // unacknowledged: the sender resends
  const uint32_t sequence = LS_NetGetHeader(packet).Sequence;
  uint8_t ack[LS_NETHEADERSIZE];
  LS_NetPutHeader(ack, LS_NETMODE_ACK, sequence);
  LSYS_NetSend(receiver, 1, &sender, ack, sizeof ack);
  if (static_cast<int32_t>(sequence) <= info->LastSequence) return;  // a duplicate, or overtaken
  info->LastSequence = static_cast<int32_t>(sequence);
  Deliver(receiver, sender, packet, length);
}

int32_t ReceiveAck(uint32_t sender, const uint8_t* packet, uint32_t length) {
  if (length != LS_NETHEADERSIZE) return 1;  // not an acknowledgement: ignored
  int32_t index = -1;
  const int32_t slot = NETI_FindGuaranteedSlot(sender, LS_NetGetHeader(packet).Sequence, &index);
  if (slot < 0) return 0;
  if (N().Pool[slot].Pending[index]) NETI_AcknowledgeRecipient(slot, index);
  return 1;
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
      return ReceiveAck(sender, packet, length);
    default:
      return 1;
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
    NETI_PeerError("NETI_GetPlayerInfo : Too many players !");
    return nullptr;
  }
  free->InUse = 1;
  free->ReceiverId = receiver;
  free->SenderId = sender;
  free->LastSequence = NETI_FIRSTLASTSEQUENCE;
  return free;
}
