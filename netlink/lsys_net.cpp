// The network transport under LS_Net over the local-network play service:
// the object and its caps, the provider and session tables, sessions and
// players, sends to player lists and the receive of packets and system
// events.
#include "netlink/lsys_net.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "netlink/netnotice.h"
#include "platform/netplay/netplay.h"
#include "platform/window.h"
#include "shell/console.h"
#include "system/error.h"

namespace np = plat::netplay;

// The pump's buffer holds the transport's largest packet: the transport
// refuses a larger one before it is queued.
static_assert(LS_NETMAXPACKET == np::kMaxPacket);

namespace {

// The game's send targets: the controller's player and every player.
constexpr uint32_t kControllerKind = 0x6FFFFFFF;
constexpr uint32_t kNoPlayer = 0xFFFFFFFF;
constexpr int32_t kFailed = 65535;
// A busy answer is retried at once; the bound only keeps a service that
// stays busy from hanging the game.
constexpr int kBusyRetries = 100000;

TLSYSNET g_own;
TLSYSNET* g_current = &g_own;
bool g_ownReset = false;

TLSYSNET& S() {
  if (!g_ownReset) {
    g_ownReset = true;
    LSYS_NetResetState(&g_own);
  }
  return *g_current;
}

np::Guid ToService(const LS_GUID& g) {
  np::Guid out;
  for (int i = 0; i < 4; ++i) out.bytes[i] = static_cast<uint8_t>(g.Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) out.bytes[4 + i] = static_cast<uint8_t>(g.Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) out.bytes[6 + i] = static_cast<uint8_t>(g.Data3 >> (8 * i));
  std::memcpy(out.bytes + 8, g.Data4, 8);
  return out;
}

LS_GUID FromService(const np::Guid& g) {
  const uint8_t* b = g.bytes;
  LS_GUID out;
  out.Data1 = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  out.Data2 = static_cast<uint16_t>(b[4] | (b[5] << 8));
  out.Data3 = static_cast<uint16_t>(b[6] | (b[7] << 8));
  std::memcpy(out.Data4, b + 8, 8);
  return out;
}

void CopyName(char* to, size_t cap, const char* from) {
  if (cap == 0) return;
  const size_t n = std::min(std::strlen(from), cap - 1);
  std::memcpy(to, from, n);
  to[n] = 0;
}

}  // namespace

const LS_GUID LSYS_NetBuiltinAppGuid = {0x5A454E54, 0x524F, 0x5641, {'Z', 'e', 'n', 't', 'r', 'o', 'v', 'a'}};

TLSYSNET* LSYS_NetSelect(TLSYSNET* state) {
  TLSYSNET* was = &S();
  g_current = state ? state : &g_own;
  return was;
}

TLSYSNET* LSYS_NetCurrent() { return &S(); }

void LSYS_NetResetState(TLSYSNET* state) {
  std::memset(state, 0, sizeof *state);
  state->AppGuid = LSYS_NetBuiltinAppGuid;
}

int32_t LSYS_NetGetDriverKind() { return 2; }
const char* LSYS_NetGetDriverName() { return "Microsoft DirectPlay 2"; }

int32_t LSYS_NetOpen(LS_NETCONFIG* config) {
  TLSYSNET& s = S();
  if (s.Object) LSYS_NetClose();
  s.Config = config;
  s.AppGuid = LSYS_NetBuiltinAppGuid;
  if (config->AppGuidText) LSYS_NetParseGuid(config->AppGuidText);
  const bool known = config->Protocol < static_cast<uint32_t>(s.NbProviders);
  const LS_GUID provider = known ? s.Providers[config->Protocol].Guid : LS_GUID{};
  if (np::Create(ToService(provider), &s.Object) != np::kOk) return 2;
  s.NbSessions = 0;
  np::Caps caps;
  np::GetCaps(s.Object, &caps);
  config->MaxMessageSize = caps.maxBufferSize;
  return 1;
}

int32_t LSYS_NetClose() {
  TLSYSNET& s = S();
  if (!s.Object) return 8;
  if (s.Config && s.Config->LocalPlayerId != kNoPlayer) np::DestroyPlayer(s.Object, s.Config->LocalPlayerId);
  if (s.Config) s.Config->LocalPlayerId = kNoPlayer;
  const uint32_t hr = np::Close(s.Object);
  np::Release(s.Object);
  s.Object = nullptr;
  s.CursorHidden = 0;
  return hr == np::kOk || hr == np::kErrNoSession ? 1 : 8;
}

int32_t LSYS_NetEnumerateProviders(LSYS_NETPROVIDERCALLBACK callback) {
  struct Walk {
    TLSYSNET* s;
    LSYS_NETPROVIDERCALLBACK callback;
  } walk{&S(), callback};
  walk.s->NbProviders = 0;
  np::EnumerateProviders(
      [](const np::Guid& id, const char* name, void* ctx) {
        auto* w = static_cast<Walk*>(ctx);
        if (w->s->NbProviders >= LSYS_NETMAXPROVIDERS) return false;  // further ones are ignored
        LSYS_NETPROVIDER& row = w->s->Providers[w->s->NbProviders];
        CopyName(row.Name, sizeof row.Name, name);
        row.Guid = FromService(id);
        const int32_t index = w->s->NbProviders++;
        return !w->callback || w->callback(index, &row) != 0;
      },
      &walk);
  return 1;
}

int32_t LSYS_NetEnumerateSessions(LSYS_NETSESSIONCALLBACK callback, uint32_t timeoutMs) {
  TLSYSNET& s = S();
  if (!s.Object) return 0;
  s.NbSessions = 0;
  LSYS_NetShowCursor();
  struct Walk {
    TLSYSNET* s;
    LSYS_NETSESSIONCALLBACK callback;
  } walk{&s, callback};
  const uint32_t hr = np::EnumerateSessions(
      s.Object, ToService(s.AppGuid), timeoutMs,
      [](const np::SessionInfo* session, void* ctx) {
        auto* w = static_cast<Walk*>(ctx);
        if (!session) return false;  // the time-out report
        if (w->s->NbSessions >= LSYS_NETMAXSESSIONS) return true;  // further ones are ignored
        w->s->Sessions[w->s->NbSessions] = FromService(session->instance);
        const int32_t index = w->s->NbSessions++;
        return !w->callback || w->callback(session->name.c_str(), index) != 0;
      },
      &walk);
  if (hr == np::kErrUserCancel) {
    if (!s.CursorHidden) plat::ShowCursor(false);
    return 0;
  }
  LSYS_NetHideCursor();
  return 1;
}

int32_t LSYS_NetCreateSession(uint32_t maxPlayers, const char* sessionName, const char* playerName) {
  TLSYSNET& s = S();
  if (!s.Object || !s.Config) return kFailed;
  LSYS_NetShowCursor();
  np::Guid session;
  uint32_t hr = np::CreateSession(s.Object, ToService(s.AppGuid), sessionName ? sessionName : "", maxPlayers, &session);
  LSYS_NetHideCursor();
  uint32_t id = 0;
  if (hr == np::kOk) {
    s.Config->SessionGuid = FromService(session);
    hr = np::CreatePlayer(s.Object, "SERVER", "SERVER", &id);
  }
  if (hr == np::kOk) {
    s.Config->ControllerId = id;
    s.Config->LocalPlayerId = kNoPlayer;
    if (playerName) hr = np::CreatePlayer(s.Object, playerName, "CLIENT", &s.Config->LocalPlayerId);
  }
  if (hr == np::kOk) return 1;
  s.Config->LocalPlayerId = kNoPlayer;
  const uint32_t closed = np::Close(s.Object);
  if (closed != np::kOk && closed != np::kErrNoSession)
    LS_Error(0, "Cannot close network after create failure (hr=%X)", closed);
  return kFailed;
}

int32_t LSYS_NetJoinSession(const char* playerName, int32_t index) {
  TLSYSNET& s = S();
  if (!s.Object || !s.Config || !playerName || index < 0 || index >= s.NbSessions) return kFailed;
  LSYS_NetShowCursor();
  const uint32_t hr = np::JoinSession(s.Object, ToService(s.AppGuid), ToService(s.Sessions[index]));
  LSYS_NetHideCursor();
  if (hr != np::kOk) return kFailed;
  s.Config->SessionGuid = s.Sessions[index];
  if (np::CreatePlayer(s.Object, playerName, "CLIENT", &s.Config->LocalPlayerId) != np::kOk) {
    s.Config->LocalPlayerId = kNoPlayer;
    return kFailed;
  }
  return 1;
}

int32_t LSYS_NetLeaveSession() {
  TLSYSNET& s = S();
  if (!s.Object) return 1;
  if (s.Config && s.Config->LocalPlayerId != kNoPlayer) np::DestroyPlayer(s.Object, s.Config->LocalPlayerId);
  if (s.Config) s.Config->LocalPlayerId = kNoPlayer;
  return np::Close(s.Object) == np::kOk ? 1 : 7;
}

int32_t LSYS_NetEnumeratePlayers(LSYS_NETPLAYERCALLBACK callback) {
  TLSYSNET& s = S();
  if (!s.Object) return 1;
  struct Walk {
    TLSYSNET* s;
    LSYS_NETPLAYERCALLBACK callback;
  } walk{&s, callback};
  const uint32_t hr = np::EnumeratePlayers(
      s.Object,
      [](uint32_t id, const char* shortName, const char* longName, void* ctx) {
        auto* w = static_cast<Walk*>(ctx);
        uint32_t kind = 1;
        // The controller is the host's own: a member's player that bears
        // the name is a player like any other.
        if (std::strcmp(longName, np::kHostOnlyName) == 0 && np::IsHostPlayer(w->s->Object, id)) {
          kind = kControllerKind;
          if (w->s->Config) w->s->Config->ControllerId = id;
        }
        return !w->callback || w->callback(kind, shortName, id) != 0;
      },
      &walk);
  return hr == np::kOk ? 1 : 9;
}

const char* LSYS_NetGetPlayerName(uint32_t id) {
  TLSYSNET& s = S();
  if (!s.Object) return nullptr;
  if (np::GetPlayerName(s.Object, id, s.NameBuffer, nullptr) == np::kOk) return s.NameBuffer;
  const uint32_t kept = std::min<uint32_t>(s.NbDeparted, LSYS_NETDEPARTEDNAMES);
  for (uint32_t i = 0; i < kept; ++i)
    if (s.Departed[i].Id == id) {
      CopyName(s.NameBuffer, sizeof s.NameBuffer, s.Departed[i].Name);
      return s.NameBuffer;
    }
  return nullptr;
}

uint32_t LSYS_NetGetPlayerAddress(uint32_t id) {
  const TLSYSNET& s = S();
  return s.Object ? np::PlayerAddress(s.Object, id) : 0;
}

int32_t LSYS_NetTakeNotice(char* text, uint32_t size) {
  TLSYSNET& s = S();
  std::string notice;
  if (!s.Object || !np::TakeNotice(s.Object, &notice)) return 0;
  CopyName(text, size, notice.c_str());
  return 1;
}

namespace {

// One send, repeated while the service answers busy.
uint32_t SendOnce(TLSYSNET& s, uint32_t from, uint32_t to, const void* data, uint32_t length) {
  uint32_t hr = np::kErrBusy;
  for (int i = 0; i < kBusyRetries && hr == np::kErrBusy; ++i) hr = np::Send(s.Object, from, to, data, length);
  return hr;
}

}  // namespace

int32_t LSYS_NetSend(uint32_t from, uint32_t count, const uint32_t* targets, const void* data, uint32_t length) {
  TLSYSNET& s = S();
  if (!s.Object) return -2;
  const uintptr_t special = reinterpret_cast<uintptr_t>(targets);
  if (special == NET_TOCONTROLLER) {
    const uint32_t controller = s.Config ? s.Config->ControllerId : 0;
    return SendOnce(s, from, controller, data, length) == np::kOk ? 1 : -2;
  }
  if (special == NET_TOALL) return SendOnce(s, from, np::kToAll, data, length) == np::kOk ? 1 : -2;
  for (uint32_t i = 0; i < count; ++i)
    if (SendOnce(s, from, targets[i], data, length) != np::kOk) return -2;  // the rest are skipped
  return 1;
}

int32_t LSYS_NetReceive(uint32_t* to, uint32_t* from, void* buffer, uint32_t* size) {
  TLSYSNET& s = S();
  if (!s.Object) return 0;
  const uint32_t capacity = *size;
  uint32_t got = capacity;
  np::SystemEvent event;
  const uint32_t hr = np::Receive(s.Object, from, to, buffer, &got, &event);
  if (hr == np::kErrNoMessages) return 0;
  if (hr == np::kErrBufferTooSmall) {
    // A packet larger than the caller's buffer is dropped, left queued it
    // would stop every later pump at it. Said on the console at most once
    // a second, the others counted: what a peer sends never raises a box.
    const uint32_t needed = got;
    std::vector<uint8_t> scratch(needed);
    np::Receive(s.Object, from, to, scratch.data(), &got, &event);
    uint32_t count = 0;
    if (!NET_CountNotice(&s.TooLarge, &count)) return 0;
    if (count > 1) SB_ConsolePrintf("[SYS ][%lu MORE PACKETS OVER THE BUFFER DROPPED]", static_cast<unsigned long>(count - 1));
    SB_ConsolePrintf("[SYS ][PACKET OF %lu BYTES FROM %lu OVER THE %lu-BYTE BUFFER DROPPED]",
                     static_cast<unsigned long>(needed), static_cast<unsigned long>(*from),
                     static_cast<unsigned long>(capacity));
    return 0;
  }
  if (hr != np::kOk) {
    uint32_t count = 0;
    if (!NET_CountNotice(&s.Failures, &count)) return 0;
    if (count > 1) SB_ConsolePrintf("[SYS ][%lu MORE RECEIVES FAILED]", static_cast<unsigned long>(count - 1));
    SB_ConsolePrintf("[SYS ][RECEIVE FAILED hr=%X]", hr);
    return 0;
  }
  if (*from != 0) {
    *size = got;
    return 2;
  }
  *from = event.playerId;
  if (event.type == np::kSysCreatePlayer && event.playerKind == np::kPlayerKindPlayer) {
    CopyName(static_cast<char*>(buffer), capacity, event.shortName);
    *size = 1;
    return 1;
  }
  if (event.type == np::kSysDestroyPlayer) {
    auto& gone = s.Departed[s.NbDeparted++ % LSYS_NETDEPARTEDNAMES];
    gone.Id = event.playerId;
    CopyName(gone.Name, sizeof gone.Name, event.shortName);
    *size = 2;
    return 1;
  }
  return 0;
}
