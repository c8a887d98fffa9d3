// Reliable messages under LS_Net: the pool of stored guaranteed packets,
// resent to the recipients that have not acknowledged them, and the
// (receiver, sender) records that deliver each guaranteed packet once.
#pragma once
#include <cstdint>

#include "net/types.h"

constexpr int32_t NETI_NBSLOTS = 100;
constexpr int32_t NETI_MAXRECIPIENTS = 32;
// Two local receivers (the controller's player and the local player) times
// 32 senders.
constexpr int32_t NETI_NBPAIRS = 64;
constexpr uint32_t NETI_RESENDMS = 1024;
constexpr uint32_t NETI_TRIES = 60;
// Below the first sequence number any machine sends.
constexpr int32_t NETI_FIRSTLASTSEQUENCE = 0x01010101;

// One stored outgoing guaranteed packet. Held flags mark recipients for
// which an earlier message of the same sender is still outstanding: the
// packet has not gone to them yet.
struct NETI_GUARANTEEDMSG {
  uint32_t InUse;
  uint32_t SendTime;  // ms of the last (re)send
  uint32_t Tries;
  uint32_t Length;  // header included
  uint32_t From;
  uint8_t Packet[LS_NETMAXPACKET];
  uint32_t NbRecipients;
  uint32_t NbPending;
  uint8_t Pending[NETI_MAXRECIPIENTS];
  uint8_t Held[NETI_MAXRECIPIENTS];
  uint32_t Recipients[NETI_MAXRECIPIENTS];
};

// The last guaranteed sequence delivered from a sender to a local receiver.
struct NETI_PLAYERINFO {
  uint32_t InUse;
  uint32_t ReceiverId;
  uint32_t SenderId;
  int32_t LastSequence;
};

// The reliable layer of one machine.
struct TNETI {
  NETI_GUARANTEEDMSG* Pool;  // NETI_NBSLOTS slots while LS_Net is open, else null
  NETI_PLAYERINFO Players[NETI_NBPAIRS];
  NETI_GUARANTEEDMSG* Filling;  // the slot whose recipients an enumeration adds
};

// What NETI_StoreGuaranteedMessage did when it stored nothing.
constexpr int32_t NETI_NORECIPIENT = -1;
constexpr int32_t NETI_POOLFULL = -2;

// Allocates the pool (all slots free) and clears the pair records: 1.
int32_t NETI_Init();
void NETI_Free();
// Frees every slot and pair record without SendFailure (the session left).
void NETI_Clear();
// Stores a packet about to be sent from `from` to count ids of target, or
// to the controller or all (NET_TOCONTROLLER, NET_TOALL as the target's
// value): the slot's index, NETI_NORECIPIENT or NETI_POOLFULL.
int32_t NETI_StoreGuaranteedMessage(uint32_t from, uint32_t count, const uint32_t* target, const void* packet,
                                    uint32_t length);
// Sends a stored slot's packet to its recipients not held back: to target
// as given when none is held, else to the list of the others. 1, or -2.
int32_t NETI_SendStored(int32_t slot, uint32_t count, const uint32_t* target);
// Handles one received player packet: acknowledges, filters and delivers.
// 1, or 0 for an acknowledgement that matches no slot or a packet too
// short for its header.
int32_t NETI_ReceiveMessage(uint32_t receiver, uint32_t sender, const void* packet, uint32_t length);
// Resends what has waited over NETI_RESENDMS and gives up after
// NETI_TRIES expiries.
void NETI_ResendPending();
// 1 when no slot in use holds that sequence number.
int32_t NETI_IsDelivered(uint32_t sequence);
// Forgets a departed player: its pair records and its pending flags.
void NETI_RemovePlayerInfo(uint32_t departed, uint32_t local);

// Internal, open to the tests.
// Clears a pending recipient's flag, freeing the slot with the last one,
// and sends the sender's next message held back for that recipient.
void NETI_AcknowledgeRecipient(int32_t slot, int32_t index);
// Raises an error caused by a peer in the library's log mode, so that it
// never ends the program; the mode is restored.
void NETI_PeerError(const char* text);
int32_t NETI_AllocGuaranteedSlot();
void NETI_FreeGuaranteedSlot(int32_t slot);
// The first slot in use with that sequence and the recipient in its list
// (its index in *index), or -1.
int32_t NETI_FindGuaranteedSlot(uint32_t recipient, uint32_t sequence, int32_t* index);
NETI_PLAYERINFO* NETI_GetPlayerInfo(uint32_t receiver, uint32_t sender);
int32_t NETI_AddRecipientCallback(uint32_t kind, const char* name, uint32_t id);
int32_t NETI_AddPlayerRecipientCallback(uint32_t kind, const char* name, uint32_t id);
