// The member side of a local-network session: joining over one TCP
// connection, the host's frames that keep the player list, creating and
// destroying this member's players, and losing the host.
#include <arpa/inet.h>

#include <algorithm>

#include "platform/netplay/state.h"

namespace plat::netplay {

using namespace detail;

uint32_t JoinSession(Instance* in, const Guid& application, const Guid& sessionId) {
  if (!in) return kErrInvalidParams;
  Service(*in);
  if (in->role != Role::kNone) return kErrAlreadyInSession;
  auto found = std::find_if(in->found.begin(), in->found.end(), [&](const Found& f) {
    return f.instance == sessionId && f.application == application;
  });
  if (found == in->found.end()) return kErrNotFound;
  if (found->host.ip == 0) return kErrNoHost;  // an injected answer: nobody there
  in->host = Link{};
  in->host.fd = ConnectTcp(found->host);
  if (in->host.fd < 0) return kErrNoHost;
  in->host.peer = found->host;
  in->host.openedAt = Now();
  in->application = application;
  in->session = sessionId;
  in->sessionKey = SessionKey(sessionId);
  in->join = JoinState::kWaiting;
  wire::Frame hello;
  hello.tag = wire::kHello;
  hello.application = application;
  hello.instance = sessionId;
  hello.port = in->dataPort;
  QueueFrame(in->host, hello);
  WaitFor([in] { return in->join != JoinState::kWaiting; }, kJoinMs);
  if (in->join == JoinState::kJoined) return kOk;
  const uint32_t error = in->join == JoinState::kFailed ? in->joinError : kErrTimeout;
  CloseLink(in->host);
  ClearSession(*in);
  return error;
}

namespace detail {

namespace {

// Where a player's datagrams come from: the host's own players at the
// address the host was reached at; a member on the host's machine, which
// the host knows by a loopback address, there too.
Address PlayerAddress(const Instance& in, const wire::Frame& f) {
  const uint32_t ip = f.ip[0] | (f.ip[1] << 8) | (f.ip[2] << 16) | (static_cast<uint32_t>(f.ip[3]) << 24);
  const bool loopback = f.ip[0] == 127;
  const bool hostLoopback = (in.host.peer.ip & 0xFF) == 127;
  if (ip == 0 || (loopback && !hostLoopback)) return {in.host.peer.ip, f.port};
  return {ip, f.port};
}

bool Reserved(uint32_t id) {
  return std::find(std::begin(kReservedIds), std::end(kReservedIds), id) != std::end(kReservedIds);
}

void Added(Instance& in, const wire::Frame& f) {
  if (Reserved(f.id) || FindPlayer(in, f.id)) {
    in.host.dead = true;  // a host that breaks its own rules is a lost host
    return;
  }
  Player p;
  p.id = f.id;
  p.shortName = f.shortName;
  p.longName = f.longName;
  p.data = PlayerAddress(in, f);
  p.hostOwned = f.ip[0] == 0 && f.ip[1] == 0 && f.ip[2] == 0 && f.ip[3] == 0;  // the host's own travel as 0.0.0.0
  p.local = f.request != 0 && f.request == in.pendingRequest;
  if (p.local) {
    in.createdId = p.id;
    in.pendingRequest = 0;
  }
  AddPlayer(in, p);
}

void HandleHostFrame(Instance& in, const std::vector<uint8_t>& body) {
  wire::Frame f;
  const bool waiting = in.join == JoinState::kWaiting;
  if (!wire::DecodeFrame(body.data(), body.size(), &f)) {
    in.host.dead = true;
    ++in.counters.droppedLinks;
    return;
  }
  switch (f.tag) {
    case wire::kWelcome:
      if (!waiting) break;
      in.sessionName = f.name;
      in.maxPlayers = std::min<uint32_t>(f.maxPlayers, kMaxPlayers);
      in.hostData = {in.host.peer.ip, f.port};
      return;
    case wire::kRefuse:
      if (!waiting) break;
      in.join = JoinState::kFailed;
      in.joinError = f.reason == wire::kReasonFull ? kErrSessionFull : kErrNotFound;
      return;
    case wire::kReady:
      if (!waiting || in.hostData.port == 0) break;
      in.join = JoinState::kJoined;
      in.role = Role::kMember;
      return;
    case wire::kPlayerAdded:
      return Added(in, f);
    case wire::kPlayerRefused:
      if (f.request != 0 && f.request == in.pendingRequest) {
        in.refusal = f.reason;
        in.pendingRequest = 0;
      }
      return;
    case wire::kPlayerRemoved: {
      const Player* p = FindPlayer(in, f.id);
      if (p && !p->local) RemovePlayer(in, f.id);
      return;
    }
    default:
      break;
  }
  in.host.dead = true;
  ++in.counters.droppedLinks;
}

// The host is gone: every player that is not this member's goes too.
void HostGone(Instance& in) {
  CloseLink(in.host);
  if (in.join == JoinState::kWaiting) {
    in.join = JoinState::kFailed;
    in.joinError = kErrNoHost;
    return;
  }
  in.role = Role::kLost;
  in.pendingRequest = 0;
  std::vector<uint32_t> others;
  for (const Player& p : in.players)
    if (!p.local) others.push_back(p.id);
  for (uint32_t id : others) RemovePlayer(in, id);
}

}  // namespace

void ServiceMember(Instance& in) {
  if (in.host.fd < 0) return;
  std::vector<uint8_t> body;
  for (int round = 0; round < 16 && !in.host.dead; ++round) {
    const int got = FillLink(in.host);
    int taken = 0;
    while (!in.host.dead && (taken = TakeFrame(in.host, &body)) == 1) HandleHostFrame(in, body);
    if (taken < 0) in.host.dead = true;
    if (got < 0) in.host.dead = true;
    if (got <= 0) break;
  }
  FlushLink(in.host);
  if (in.host.dead) HostGone(in);
}

uint32_t MemberCreatePlayer(Instance& in, const std::string& shortName, const std::string& longName, uint32_t* id) {
  if (in.role != Role::kMember) return kErrNoSession;
  if (in.players.size() >= in.maxPlayers) return kErrSessionFull;
  const uint32_t request = in.nextRequest++;
  if (in.nextRequest == 0) in.nextRequest = 1;
  in.pendingRequest = request;
  in.createdId = 0;
  in.refusal = 0;
  wire::Frame f;
  f.tag = wire::kCreatePlayer;
  f.request = request;
  f.shortName = shortName;
  f.longName = longName;
  QueueFrame(in.host, f);
  WaitFor([&in, request] { return in.pendingRequest != request; }, kJoinMs);
  if (in.pendingRequest == request) {
    in.pendingRequest = 0;
    return kErrTimeout;
  }
  if (in.createdId == 0) {
    if (in.refusal == wire::kReasonForbiddenName) return kErrInvalidParams;
    return in.refusal ? kErrSessionFull : kErrNoHost;
  }
  *id = in.createdId;
  return kOk;
}

void MemberDestroyPlayer(Instance& in, uint32_t id) {
  if (in.host.fd >= 0) {
    wire::Frame f;
    f.tag = wire::kDestroyPlayer;
    f.id = id;
    QueueFrame(in.host, f);
  }
  RemovePlayer(in, id);
}

void MemberClose(Instance& in) { CloseLink(in.host); }

}  // namespace detail
}  // namespace plat::netplay
