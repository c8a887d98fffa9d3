// LS_Net's sends, from the controller's player and from the local player,
// and its pump: received packets through the reliable layer to the
// message callbacks, system events to the system callbacks, then the
// resend pass.
#include <cstring>

#include "netlink/ls_net.h"
#include "shell/console.h"
#include "system/bmap.h"
#include "system/error.h"

namespace {

// Bounds one pump; more than the transport ever queues for a machine.
constexpr int kMaxReceivesPerPump = 16384;

bool IsSpecial(const uint32_t* target) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(target);
  return v == NET_TOALL || v == NET_TOCONTROLLER;
}

// An id array is read only when it is one and holds at most a slot's
// recipients.
bool ValidTarget(uint32_t count, const uint32_t* target) {
  if (IsSpecial(target)) return true;
  return count <= static_cast<uint32_t>(NETI_MAXRECIPIENTS) && (target || count == 0);
}

// Sends once to target; an id array loses the sender.
int32_t SendOnce(uint32_t from, uint32_t count, const uint32_t* target, const uint8_t* packet, uint32_t length) {
  if (IsSpecial(target)) return LSYS_NetSend(from, count, target, packet, length);
  uint32_t ids[NETI_MAXRECIPIENTS];
  uint32_t n = 0;
  for (uint32_t i = 0; i < count; ++i)
    if (target[i] != from) ids[n++] = target[i];
  return LSYS_NetSend(from, n, ids, packet, length);
}

// Builds the packet behind the next sequence number and sends it; mode 1
// is stored first and goes to each recipient with the number of its pair.
// A guaranteed message that cannot be stored is not sent. The sequence
// number, or -2.
int32_t Send(uint32_t from, uint32_t count, const uint32_t* target, const void* data, uint32_t length,
             uint8_t mode) {
  TLSNET& m = *LS_NetCurrent();
  uint8_t packet[LS_NETMAXPACKET];
  const uint32_t sequence = m.Sequence++;
  LS_NetPutHeader(packet, mode, sequence);
  if (length) std::memcpy(packet + LS_NETHEADERSIZE, data, length);
  const uint32_t total = length + LS_NETHEADERSIZE;
  int32_t sent = 0;
  if (mode == LS_NETMODE_GUARANTEED) {
    const int32_t slot = NETI_StoreGuaranteedMessage(from, count, target, packet, total);
    if (slot == NETI_NORECIPIENT) return static_cast<int32_t>(sequence);  // nobody to wait for
    if (slot < 0) return -2;  // the pool or every recipient's window is full
    sent = NETI_SendStored(slot);
  } else {
    sent = SendOnce(from, count, target, packet, total);
  }
  return sent == 1 ? static_cast<int32_t>(sequence) : -2;
}

void SystemEvent(const LS_NETCONFIG& c, uint32_t to, uint32_t player, uint32_t kind) {
  if (kind == 2) NETI_RemovePlayerInfo(player, c.LocalPlayerId);
  const LS_NETSYSTEM callback = to == c.ControllerId ? c.ServerSystem : c.PlayerSystem;
  if (callback) callback(player, kind);
}

}  // namespace

int32_t LS_NetServerSendMessage(uint32_t count, const uint32_t* target, const void* data, uint32_t length) {
  if (LSI_RefuseWhileLocked("LS_NetServerSendMessage")) return -2;
  const LS_NETCONFIG& c = LS_NetCurrent()->Config;
  if (!c.IsOpen || c.Role != NET_TOCONTROLLER) return -2;
  if (length > c.MaxMessageSize) {
    LS_Error(0, "Message too large");
    return -2;
  }
  if (!ValidTarget(count, target) || (length && !data)) return -2;
  return Send(c.ControllerId, count, target, data, length, LS_NETMODE_GUARANTEED);
}

int32_t LS_NetPlayerSendMessage(uint32_t count, const uint32_t* target, const void* data, uint32_t length,
                                int32_t mode) {
  if (LSI_RefuseWhileLocked("LS_NetPlayerSendMessage")) return -2;
  const LS_NETCONFIG& c = LS_NetCurrent()->Config;
  if (!c.IsOpen) return -2;
  if (length > c.MaxMessageSize) {
    LS_Error(0, "Message too large (msg:%d max:%d)", static_cast<int>(length), static_cast<int>(c.MaxMessageSize));
    return -2;
  }
  if (mode != LS_NETMODE_GUARANTEED && mode != LS_NETMODE_PLAIN) return -2;
  if (!ValidTarget(count, target) || (length && !data)) return -2;
  return Send(c.LocalPlayerId, count, target, data, length, static_cast<uint8_t>(mode));
}

void LS_NetUpdateEvent() {
  if (LSI_RefuseWhileLocked("LS_NetUpdateEvent")) return;
  TLSNET& m = *LS_NetCurrent();
  if (!m.Config.IsOpen) return;
  // On the stack: a callback may pump again while its message is read.
  uint8_t buffer[LS_NETMAXPACKET];
  for (int i = 0; i < kMaxReceivesPerPump; ++i) {
    uint32_t to = 0, from = 0, size = sizeof buffer;
    const int32_t kind = LSYS_NetReceive(&to, &from, buffer, &size);
    if (kind == 2) {
      NETI_ReceiveMessage(to, from, buffer, size);
    } else if (kind == 1) {
      SystemEvent(m.Config, to, from, size);
    } else {
      break;
    }
    if (!m.Config.IsOpen) return;  // a callback closed LS_Net: its pool is gone
  }
  // What the transport refused of a peer, said on the console.
  char notice[640];
  while (LSYS_NetTakeNotice(notice, sizeof notice)) {
    SB_ConsolePrintf("[SYS ][%s]", notice);
    if (!m.Config.IsOpen) return;
  }
  // One acknowledgement per pair for everything this pump took.
  NETI_SendAcks();
  if (m.Config.IsOpen) NETI_ResendPending();
  if (m.Config.IsOpen) NETI_FlushNotices();
}
