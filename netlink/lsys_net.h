// The network transport under LS_Net: the play service object over a
// chosen provider, its provider and session tables, sessions and players,
// packets to lists of players and received packets and system events,
// and the cursor around the service's waits.
#pragma once
#include <cstdint>

#include "net/types.h"

namespace plat::netplay {
struct Instance;
}

constexpr int32_t LSYS_NETMAXPROVIDERS = 16;
constexpr int32_t LSYS_NETMAXSESSIONS = 100;
constexpr int32_t LSYS_NETDEPARTEDNAMES = 8;

// A row of the provider table; its index is LS_NETCONFIG.Protocol.
struct LSYS_NETPROVIDER {
  char Name[256];
  LS_GUID Guid;
};

// The transport's state. Each machine has one; two machines in one
// process (tests) each select their own.
struct TLSYSNET {
  plat::netplay::Instance* Object;  // null: none
  LS_NETCONFIG* Config;             // LS_Net's copy, given to LSYS_NetOpen
  LSYS_NETPROVIDER Providers[LSYS_NETMAXPROVIDERS];
  int32_t NbProviders;
  LS_GUID Sessions[LSYS_NETMAXSESSIONS];  // instance ids of the last enumeration
  int32_t NbSessions;
  LS_GUID AppGuid;
  char NameBuffer[256];  // the last player name read
  int32_t CursorHidden;
  // The short names of the last players that left, so that the lines about
  // a departure can still name the player.
  struct {
    uint32_t Id;
    char Name[256];
  } Departed[LSYS_NETDEPARTEDNAMES];
  uint32_t NbDeparted;  // how many were ever kept
  // Packets over the caller's buffer and failed receives, said on the
  // console at most once a second each.
  TNETNOTICE TooLarge, Failures;
};

// Makes state the current machine's (null: the process's own) and returns
// the one that was; resets a state record to nothing open.
TLSYSNET* LSYS_NetSelect(TLSYSNET* state);
TLSYSNET* LSYS_NetCurrent();
void LSYS_NetResetState(TLSYSNET* state);

using LSYS_NETPROVIDERCALLBACK = int32_t (*)(int32_t index, const LSYS_NETPROVIDER* row);
using LSYS_NETSESSIONCALLBACK = int32_t (*)(const char* name, int32_t index);
using LSYS_NETPLAYERCALLBACK = int32_t (*)(uint32_t kind, const char* shortName, uint32_t id);

// 2 and "Microsoft DirectPlay 2".
int32_t LSYS_NetGetDriverKind();
const char* LSYS_NetGetDriverName();
// Creates the object over provider config->Protocol and takes its maximum
// buffer size: 1, or 2 when it cannot be made.
int32_t LSYS_NetOpen(LS_NETCONFIG* config);
// Destroys the local player, closes and releases: 1, or 8 without an object.
int32_t LSYS_NetClose();
// The callback sees each of the first 16 providers; 1.
int32_t LSYS_NetEnumerateProviders(LSYS_NETPROVIDERCALLBACK callback);
// The callback sees each of the first 100 sessions of this application: 1,
// or 0 without an object or when the enumeration was cancelled.
int32_t LSYS_NetEnumerateSessions(LSYS_NETSESSIONCALLBACK callback, uint32_t timeoutMs);
// 1, or 65535 (the session closed again) on any failure.
int32_t LSYS_NetCreateSession(uint32_t maxPlayers, const char* sessionName, const char* playerName);
// Joins enumerated session index with a player: 1, or 65535.
int32_t LSYS_NetJoinSession(const char* playerName, int32_t index);
// 1, or 7 when the close fails.
int32_t LSYS_NetLeaveSession();
// Kind 0x6FFFFFFF for the "SERVER" player of the session's host (its id
// becomes ControllerId; a member's player of that name is no controller),
// else 1: 1, or 9 when the enumeration fails.
int32_t LSYS_NetEnumeratePlayers(LSYS_NETPLAYERCALLBACK callback);
// The short name (valid until the next call), or null; a player that has
// just left is still named.
const char* LSYS_NetGetPlayerName(uint32_t id);
// On the host: the address (IPv4, network order) of the machine a member's
// player came from, or 0.
uint32_t LSYS_NetGetPlayerAddress(uint32_t id);
// The transport's oldest notice of what it refused of a peer, in words,
// into text: 1, or 0 when none waits.
int32_t LSYS_NetTakeNotice(char* text, uint32_t size);
// Sends to count ids of targets, or to the controller (0x6FFFFFFF) or all
// (0x7FFFFFFF) given as the targets' value: 1, or -2.
int32_t LSYS_NetSend(uint32_t from, uint32_t count, const uint32_t* targets, const void* data, uint32_t length);
// One packet (2: ids and bytes, size set) or system event (1: from is the
// player, size 1 arrived with its short name in buffer, 2 left); 0 when
// there is nothing. *size gives the buffer's size. A packet over it is
// dropped and a failed receive skipped, each with a console line at most
// once a second (the others counted), and 0.
int32_t LSYS_NetReceive(uint32_t* to, uint32_t* from, void* buffer, uint32_t* size);
void LSYS_NetShowCursor();
void LSYS_NetHideCursor();
int32_t LSYS_NetIsCursorHidden();
// Replaces the application identifier with one written as text: 1, or 0
// (the identifier kept) when the text is not one.
int32_t LSYS_NetParseGuid(const char* text);
// The built-in application identifier.
extern const LS_GUID LSYS_NetBuiltinAppGuid;
