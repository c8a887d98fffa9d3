// LS_Net, the session layer: opens the transport, creates, joins and
// leaves one session, enumerates providers, sessions and players, sends
// payloads behind the 5-byte packet header and pumps what arrives into the
// five callbacks of the settings record.
#pragma once
#include <cstdint>

#include "net/types.h"
#include "netlink/lsys_net.h"
#include "netlink/neti.h"
#include "netlink/netmachine.h"

// One machine's network state: LS_Net's copy of the settings record, the
// transport, the sequence counter, the reliable layer, the game
// controller and, while another machine is selected, the network fields
// of the global record. The program has one; tests make several and
// select one at a time.
struct TLSNET {
  LS_NETCONFIG Config;
  TLSYSNET Transport;
  uint32_t Sequence;  // the next sequence number sent
  TNETI Neti;
  TCTRL Ctrl;
  TNETMACHINEVARS Vars;  // stale while the machine is selected
};

// Makes machine the current one (null: the process's own) with its
// transport and its network fields of the global record (those of the
// machine left are kept in its record), and returns the one that was.
TLSNET* LS_NetSelect(TLSNET* machine);
TLSNET* LS_NetCurrent();
// Back to nothing open and the first sequence number; frees nothing.
void LS_NetResetState(TLSNET* machine);

// The driver descriptor LS_NetGetDriver fills.
struct LS_NETDRIVER {
  uint32_t Kind;
  const char* Name;
};

int32_t LS_NetGetDriver(LS_NETDRIVER* driver);
// 1 when opened or already open; 2 when the transport cannot be opened
// (the record is copied all the same, IsOpen 0).
int32_t LS_NetInit(const LS_NETCONFIG* config);
// 1, or 8 when the transport cannot be closed.
int32_t LS_NetShutdown();
int32_t LS_NetEnumerateProtocols(LSYS_NETPROVIDERCALLBACK callback);
// The transport's result (0 when cancelled); 1 when not open.
int32_t LS_NetEnumerateSessions(LSYS_NETSESSIONCALLBACK callback, uint32_t timeoutMs);
// 1, or 65535.
int32_t LS_NetCreateSession(uint32_t maxPlayers, const char* sessionName, const char* playerName);
int32_t LS_NetJoinSession(const char* playerName, int32_t index);
// 1 (also when locked or not open), or 7 when the close fails.
int32_t LS_NetLeaveSession();
// 1, or 9.
int32_t LS_NetEnumeratePlayers(LSYS_NETPLAYERCALLBACK callback);
// The player's short name, or null.
const char* LS_NetGetPlayerName(uint32_t playerId);
// On the session's host: the IPv4 address (network order) of the machine a
// member's player came from; 0 for the host's own players or unknown ids.
uint32_t LS_NetGetPlayerAddress(uint32_t playerId);
// Guaranteed from the controller's player: the sequence number, or -2.
int32_t LS_NetServerSendMessage(uint32_t count, const uint32_t* target, const void* data, uint32_t length);
// From the local player in mode 1 (guaranteed) or 2 (plain): the sequence
// number, or -2.
int32_t LS_NetPlayerSendMessage(uint32_t count, const uint32_t* target, const void* data, uint32_t length,
                                int32_t mode);
// Receives and dispatches everything pending, then runs the resend pass.
void LS_NetUpdateEvent();

// The header at the front of a packet, and read back from one of at least
// LS_NETHEADERSIZE bytes.
void LS_NetPutHeader(uint8_t* packet, uint8_t mode, uint32_t sequence);
LS_NETHEADER LS_NetGetHeader(const uint8_t* packet);
