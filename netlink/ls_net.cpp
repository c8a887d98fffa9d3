// LS_Net's machine records, opening and closing, and its sessions,
// enumerations and player names over the transport.
#include "netlink/ls_net.h"

#include <cstring>

#include "system/bmap.h"
#include "system/error.h"

namespace {

constexpr uint32_t kNoPlayer = 0xFFFFFFFF;
constexpr int32_t kFailed = 65535;
constexpr uint32_t kMaxUsers = 32;

TLSNET g_own;
TLSNET* g_current = nullptr;

// The current machine; the process's own until a test selects another.
TLSNET& M() {
  if (!g_current) {
    LS_NetResetState(&g_own);
    NET_SaveMachineVars(&g_own.Vars);
    g_current = &g_own;
    LSYS_NetSelect(&g_own.Transport);
  }
  return *g_current;
}

// Refused while a bitmap is locked (the error names the caller) or while
// LS_Net is not open.
bool Refused(const char* caller) { return LSI_RefuseWhileLocked(caller) || !M().Config.IsOpen; }

}  // namespace

TLSNET* LS_NetSelect(TLSNET* machine) {
  TLSNET* was = &M();
  g_current = machine ? machine : &g_own;
  if (g_current != was) {
    NET_SaveMachineVars(&was->Vars);
    NET_LoadMachineVars(&g_current->Vars);
  }
  LSYS_NetSelect(&g_current->Transport);
  return was;
}

TCTRL& CTRL_State() { return M().Ctrl; }

TLSNET* LS_NetCurrent() { return &M(); }

void LS_NetResetState(TLSNET* machine) {
  std::memset(machine, 0, sizeof *machine);
  machine->Config.LocalPlayerId = kNoPlayer;
  LSYS_NetResetState(&machine->Transport);
  machine->Sequence = LS_NETFIRSTSEQUENCE;
  NET_ResetMachineVars(&machine->Vars);
}

int32_t LS_NetGetDriver(LS_NETDRIVER* driver) {
  driver->Kind = static_cast<uint32_t>(LSYS_NetGetDriverKind());
  driver->Name = LSYS_NetGetDriverName();
  return 1;
}

int32_t LS_NetInit(const LS_NETCONFIG* config) {
  TLSNET& m = M();
  if (m.Config.IsOpen) return 1;
  m.Config = *config;
  m.Config.IsOpen = 0;
  NETI_Init();
  if (LSYS_NetOpen(&m.Config) != 1) {
    NETI_Free();
    return 2;
  }
  // Every buffer of the layer holds a payload of the transport's size.
  if (m.Config.MaxMessageSize > LS_NETMAXPAYLOAD) m.Config.MaxMessageSize = LS_NETMAXPAYLOAD;
  m.Config.IsOpen = 1;
  return 1;
}

int32_t LS_NetShutdown() {
  TLSNET& m = M();
  NETI_Free();
  if (!m.Config.IsOpen) return 1;
  if (LSYS_NetClose() != 1) return 8;
  m.Config.IsOpen = 0;
  return 1;
}

int32_t LS_NetEnumerateProtocols(LSYS_NETPROVIDERCALLBACK callback) {
  M();
  return LSYS_NetEnumerateProviders(callback);
}

int32_t LS_NetEnumerateSessions(LSYS_NETSESSIONCALLBACK callback, uint32_t timeoutMs) {
  if (!M().Config.IsOpen) return 1;
  return LSYS_NetEnumerateSessions(callback, timeoutMs);
}

int32_t LS_NetCreateSession(uint32_t maxPlayers, const char* sessionName, const char* playerName) {
  if (Refused("LS_NetCreateSession")) return kFailed;
  if (maxPlayers > kMaxUsers) {
    LS_Error(23, "Too many max users !");
    return kFailed;
  }
  if (LSYS_NetCreateSession(maxPlayers, sessionName, playerName) != 1) return kFailed;
  M().Config.Role = NET_TOCONTROLLER;
  return 1;
}

int32_t LS_NetJoinSession(const char* playerName, int32_t index) {
  if (Refused("LS_NetJoinSession")) return kFailed;
  if (LSYS_NetJoinSession(playerName, index) != 1) return kFailed;
  LS_NETCONFIG& c = M().Config;
  std::strncpy(c.PlayerName, playerName, sizeof c.PlayerName - 1);
  c.PlayerName[sizeof c.PlayerName - 1] = 0;
  c.Role = 1;
  LSYS_NetEnumeratePlayers(nullptr);  // learns ControllerId
  return 1;
}

int32_t LS_NetLeaveSession() {
  if (Refused("LS_NetLeaveSession")) return 1;
  const int32_t result = LSYS_NetLeaveSession();
  // The stored messages and sequence records belong to the session left.
  NETI_Clear();
  return result;
}

int32_t LS_NetEnumeratePlayers(LSYS_NETPLAYERCALLBACK callback) {
  if (Refused("LS_NetEnumeratePlayers")) return 9;
  return LSYS_NetEnumeratePlayers(callback);
}

uint32_t LS_NetGetPlayerAddress(uint32_t playerId) {
  if (LSI_RefuseWhileLocked("LS_NetGetPlayerAddress") || !LS_NetCurrent()->Config.IsOpen) return 0;
  return LSYS_NetGetPlayerAddress(playerId);
}

void LS_NetPutHeader(uint8_t* packet, uint8_t mode, uint32_t sequence) {
  packet[0] = mode;
  for (int i = 0; i < 4; ++i) packet[1 + i] = static_cast<uint8_t>(sequence >> (8 * i));
}

LS_NETHEADER LS_NetGetHeader(const uint8_t* packet) {
  LS_NETHEADER h;
  h.Mode = packet[0];
  h.Sequence = packet[1] | (packet[2] << 8) | (packet[3] << 16) | (static_cast<uint32_t>(packet[4]) << 24);
  return h;
}
