// Reliable messages under LS_Net: the pool of stored guaranteed packets,
// each (sender, recipient) pair's window of outstanding packets numbered in
// order, resent to the recipients that have not acknowledged them, and the
// (receiver, sender) records that deliver each guaranteed packet once and
// in the order sent, holding early ones back.
#pragma once
#include <cstdint>

#include "netlink/netnotice.h"
#include "net/types.h"

// The pool, shared by the local player and, on the controller's machine,
// the controller's player. Each recipient takes at most a window of it
// from each local sender (its share), so that no recipient, however
// silent, can take the slots the others need: 31 recipients' full windows
// from the controller and the local player's messages to all fit.
constexpr int32_t NETI_NBSLOTS = 1024;
// Messages outstanding per (sender, recipient) pair: numbered in order,
// sent without waiting for the ones before.
constexpr int32_t NETI_WINDOW = 32;
constexpr int32_t NETI_MAXRECIPIENTS = 32;
// Two local receivers (the controller's player and the local player) times
// 32 senders; the same for the two local senders' recipients.
constexpr int32_t NETI_NBPAIRS = 64;
constexpr uint32_t NETI_RESENDMS = 1024;
constexpr uint32_t NETI_TRIES = 60;
// Messages that failed, remembered so that they are never reported
// delivered.
constexpr int32_t NETI_NBFAILED = 256;
// Each pump's acknowledgement of a pair goes again at the next pump: the
// sender learns of a delivery unless both are lost, and resends less.
constexpr uint32_t NETI_ACKREPEATS = 2;
// An acknowledgement: the header, whose sequence is the highest number
// delivered in order, then a u32 whose bit i tells that number + 2 + i has
// arrived and waits for the ones before it.
constexpr uint32_t NETI_ACKSIZE = LS_NETHEADERSIZE + 4;

// One stored outgoing guaranteed packet. Its header's sequence is written
// with each recipient's number as it is sent.
struct NETI_GUARANTEEDMSG {
  uint32_t InUse;
  uint32_t SendTime;  // ms of the last (re)send
  uint32_t Tries;
  uint32_t Length;  // header included
  uint32_t From;
  uint32_t Handle;  // the send's number, which the caller holds
  uint8_t Packet[LS_NETMAXPACKET];
  uint32_t NbRecipients;
  uint32_t NbPending;
  uint8_t Pending[NETI_MAXRECIPIENTS];
  uint32_t Recipients[NETI_MAXRECIPIENTS];
  uint32_t Numbers[NETI_MAXRECIPIENTS];  // each recipient's number of this message
};

// The sending side of a (local sender, recipient) pair: the numbers given
// and the slots of those not yet acknowledged. Numbers start at
// LS_NETFIRSTSEQUENCE for each pair.
struct NETI_SENDPAIR {
  uint32_t InUse;
  uint32_t From, To;
  uint32_t Next;    // the number of the next message
  uint32_t Oldest;  // the oldest number not acknowledged; Next when none
  uint32_t GivenUp;  // it stopped acknowledging: nothing more goes to it
  int16_t Slot[NETI_WINDOW];   // by number modulo the window: its slot, -1 once acknowledged
  uint8_t Index[NETI_WINDOW];  // the recipient's place in that slot's list
};

// A guaranteed packet that arrived before one sent ahead of it.
struct NETI_EARLY {
  uint32_t Number;
  uint32_t Length;  // 0: none held here
  uint8_t Packet[LS_NETMAXPACKET];
};

// The receiving side of a (local receiver, sender) pair.
struct NETI_PLAYERINFO {
  uint32_t InUse;
  uint32_t ReceiverId;
  uint32_t SenderId;
  int32_t LastSequence;  // the highest number delivered in order
  uint32_t AckDue;       // acknowledgements still to go, one at the end of each pump
  NETI_EARLY* Early;     // NETI_WINDOW entries once one came early, else null
};

// The reliable layer of one machine.
struct TNETI {
  NETI_GUARANTEEDMSG* Pool;  // NETI_NBSLOTS slots while LS_Net is open, else null
  int32_t Top;               // no slot at or above it is in use
  NETI_PLAYERINFO Players[NETI_NBPAIRS];
  NETI_SENDPAIR Sends[NETI_NBPAIRS];
  NETI_GUARANTEEDMSG* Filling;  // the slot whose recipients an enumeration adds
  uint32_t Failed[NETI_NBFAILED];  // handles of failed messages, the latest last
  int32_t NbFailed;                // how many were ever recorded
  TNETNOTICE BadAcks, LateAcks, BadPackets, Refusals;
  TNETNOTICE PoolFull, PairsFull;  // the errors a peer causes, logged once a second
};

// What NETI_StoreGuaranteedMessage did when it stored nothing.
constexpr int32_t NETI_NORECIPIENT = -1;
constexpr int32_t NETI_POOLFULL = -2;
constexpr int32_t NETI_REFUSED = -3;  // every recipient's window full, or given up

// Allocates the pool (all slots free) and clears the pair records: 1.
int32_t NETI_Init();
void NETI_Free();
// Frees every slot and pair record without SendFailure (the session left).
void NETI_Clear();
// Stores a packet about to be sent from `from` to count ids of target, or
// to the controller or all (NET_TOCONTROLLER, NET_TOALL as the target's
// value), under the handle its header holds; each recipient takes the next
// number of its pair, and a recipient whose window is full or which was
// given up is left out (the message fails for it). The slot's index,
// NETI_NORECIPIENT, NETI_POOLFULL or NETI_REFUSED.
int32_t NETI_StoreGuaranteedMessage(uint32_t from, uint32_t count, const uint32_t* target, const void* packet,
                                    uint32_t length);
// Sends a stored slot's packet to each of its recipients with its number:
// 1 when one send or more went, else -2.
int32_t NETI_SendStored(int32_t slot);
// Handles one received player packet: acknowledges (at the end of the
// pump), delivers in order once and holds early ones back. 1, or 0 for an
// acknowledgement that matches nothing and for a packet too short for its
// header.
int32_t NETI_ReceiveMessage(uint32_t receiver, uint32_t sender, const void* packet, uint32_t length);
// Sends the acknowledgements due: one per pair that received since the
// last pass.
void NETI_SendAcks();
// Resends what has waited over NETI_RESENDMS and gives up after
// NETI_TRIES expiries: the recipient is given up with every message
// outstanding for it.
void NETI_ResendPending();
// 1 when every recipient acknowledged the message, or it was never stored
// (a plain message); 0 while one is outstanding and once it failed.
int32_t NETI_IsDelivered(uint32_t sequence);
// 1 when the message failed for a recipient (given up, or refused there).
int32_t NETI_IsFailed(uint32_t sequence);
// Forgets a departed player: its pair records and what waited for it.
void NETI_RemovePlayerInfo(uint32_t departed, uint32_t local);
// Reports the counted notices that are due.
void NETI_FlushNotices();

// Internal, open to the tests.
// Takes an acknowledgement from `from` of what `local` sent: every number
// up to cumulative, and those of the map's bits. 1, or 0 when it answers
// nothing sent (no pair, or a number not given yet).
int32_t NETI_HandleAck(uint32_t local, uint32_t from, uint32_t cumulative, uint32_t map);
// Clears a pending recipient's flag, freeing the slot with the last one.
void NETI_AcknowledgeRecipient(int32_t slot, int32_t index);
// Raises an error caused by a peer in the library's log mode, so that it
// never ends the program, at most once a second for each notice (the count
// between said with it); the mode is restored.
void NETI_PeerError(TNETNOTICE* notice, const char* text);
int32_t NETI_AllocGuaranteedSlot();
void NETI_FreeGuaranteedSlot(int32_t slot);
// The first slot in use with that handle and the recipient in its list
// (its index in *index), or -1.
int32_t NETI_FindGuaranteedSlot(uint32_t recipient, uint32_t sequence, int32_t* index);
// Fills a slot's recipient list from the target.
void NETI_SetRecipients(NETI_GUARANTEEDMSG* slot, uint32_t count, const uint32_t* target);
NETI_PLAYERINFO* NETI_GetPlayerInfo(uint32_t receiver, uint32_t sender);
// The sending pair's record, made when create is set and there is room;
// null otherwise.
NETI_SENDPAIR* NETI_GetSendPair(uint32_t from, uint32_t to, bool create);
int32_t NETI_AddRecipientCallback(uint32_t kind, const char* name, uint32_t id);
int32_t NETI_AddPlayerRecipientCallback(uint32_t kind, const char* name, uint32_t id);
