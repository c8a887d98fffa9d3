// The host side of a local-network session: creating it, accepting members
// over TCP and checking every frame they send, keeping the player list
// with ids of its own, telling every member of each change, and answering
// discovery queries.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <random>

#include "platform/netplay/state.h"

namespace plat::netplay {

using namespace detail;

namespace {

Guid RandomGuid() {
  std::random_device device;
  Guid g;
  for (size_t i = 0; i < sizeof g.bytes; i += 4) {
    const uint32_t v = device();
    for (size_t k = 0; k < 4; ++k) g.bytes[i + k] = static_cast<uint8_t>(v >> (8 * k));
  }
  return g;
}

uint32_t Word(const Guid& g, size_t at) {
  return g.bytes[at] | (g.bytes[at + 1] << 8) | (g.bytes[at + 2] << 16) | (static_cast<uint32_t>(g.bytes[at + 3]) << 24);
}

// The discovery socket on the first free port of the range, or an
// ephemeral one when the range starts at 0.
int OpenDiscovery(uint16_t* port) {
  const uint16_t base = DiscoveryBase();
  const uint32_t tries = base == 0 ? 1 : kDiscoveryPorts;
  for (uint32_t i = 0; i < tries; ++i) {
    const int fd = OpenUdp(static_cast<uint16_t>(base + i), false);
    if (fd >= 0) {
      *port = BoundPort(fd);
      return fd;
    }
  }
  return -1;
}

}  // namespace

uint32_t CreateSession(Instance* in, const Guid& application, const char* name, uint32_t maxPlayers,
                       Guid* sessionId) {
  if (!in || !sessionId) return kErrInvalidParams;
  Service(*in);
  if (in->role != Role::kNone) return kErrAlreadyInSession;
  if (!ValidName(name ? name : "") || maxPlayers > kMaxPlayers) return kErrInvalidParams;
  in->listenFd = OpenListener(&in->listenPort);
  in->discoveryFd = OpenDiscovery(&in->discoveryPort);
  if (in->listenFd < 0 || in->discoveryFd < 0) {
    HostClose(*in);
    return kErrGeneric;
  }
  in->role = Role::kHost;
  in->application = application;
  in->session = RandomGuid();
  in->sessionKey = SessionKey(in->session);
  in->sessionName = name ? name : "";
  in->maxPlayers = maxPlayers == 0 ? kMaxPlayers : maxPlayers;
  in->nextPlayerId = AdvancePlayerId(Word(in->session, 4) & 0x0FFFFFFF);
  *sessionId = in->session;
  return kOk;
}

namespace detail {

uint32_t SessionKey(const Guid& session) { return Word(session, 0) | 1; }

uint32_t AdvancePlayerId(uint32_t id) {
  do {
    ++id;
  } while (std::find(std::begin(kReservedIds), std::end(kReservedIds), id) != std::end(kReservedIds));
  return id;
}

namespace {

uint32_t NewPlayerId(Instance& in) {
  const uint32_t id = in.nextPlayerId;
  in.nextPlayerId = AdvancePlayerId(id);
  return id;
}

wire::Frame AddedFrame(const Player& p, uint32_t request) {
  wire::Frame f;
  f.tag = wire::kPlayerAdded;
  f.request = request;
  f.id = p.id;
  // The host's own players travel as 0.0.0.0: each member knows the
  // address it reached the host at.
  const uint32_t ip = p.link == 0 ? 0 : p.data.ip;
  for (int i = 0; i < 4; ++i) f.ip[i] = static_cast<uint8_t>(ip >> (8 * i));
  f.port = p.data.port;
  f.shortName = p.shortName;
  f.longName = p.longName;
  return f;
}

void ToMembers(Instance& in, const wire::Frame& f, uint32_t exceptSerial) {
  for (auto& m : in.members)
    if (m->joined && !m->dead && m->serial != exceptSerial) QueueFrame(*m, f);
}

std::string MemberAt(const Link& link) { return "member at " + AddressText(link.peer); }

// Closes a link for a bad frame, with the line that says why.
void Drop(Instance& in, Link& link, const char* why) {
  link.dead = true;
  ++in.counters.droppedLinks;
  Report(in, Refusal::kBadFrame, link.peer.ip, MemberAt(link) + " " + why + ": connection closed");
}

void Refuse(Instance& in, Link& link, uint8_t reason) {
  wire::Frame f;
  f.tag = wire::kRefuse;
  f.reason = reason;
  QueueFrame(link, f);
  link.dead = true;
  (void)in;
}

void Welcome(Instance& in, Link& link, const wire::Frame& hello) {
  if (!(hello.application == in.application) || !(hello.instance == in.session)) return Refuse(in, link, wire::kReasonWrongSession);
  if (in.players.size() >= in.maxPlayers) {
    Report(in, Refusal::kSessionFull, link.peer.ip,
           MemberAt(link) + " refused: the session's " + std::to_string(in.maxPlayers) + " places are taken");
    return Refuse(in, link, wire::kReasonFull);
  }
  link.joined = true;
  link.idleSince = Now();
  link.dataPort = hello.port;
  wire::Frame f;
  f.tag = wire::kWelcome;
  f.name = in.sessionName;
  f.maxPlayers = in.maxPlayers;
  f.port = in.dataPort;
  QueueFrame(link, f);
  for (const Player& p : in.players) QueueFrame(link, AddedFrame(p, 0));
  wire::Frame ready;
  ready.tag = wire::kReady;
  QueueFrame(link, ready);
}

void RefusePlayer(Link& link, uint32_t request, uint8_t reason) {
  wire::Frame no;
  no.tag = wire::kPlayerRefused;
  no.request = request;
  no.reason = reason;
  QueueFrame(link, no);
}

uint32_t PlayersOf(const Instance& in, const Link& link) {
  uint32_t n = 0;
  for (const Player& p : in.players) n += p.link == link.serial ? 1 : 0;
  return n;
}

void MemberCreates(Instance& in, Link& link, const wire::Frame& f) {
  const std::string member = MemberAt(link);
  // The controller is known by that long name: a member bearing it would
  // become every later joiner's controller.
  if (f.longName == kHostOnlyName) {
    ++in.counters.refusedNames;
    Note(in, member + " asked for player '" + f.shortName + "' with the long name " + kHostOnlyName +
                 ", which only the host's players bear: refused, and the member dropped with its players");
    RefusePlayer(link, f.request, wire::kReasonForbiddenName);
    link.dead = true;
    ++in.counters.droppedLinks;
    return;
  }
  if (PlayersOf(in, link) >= kMaxPlayersPerMember) {
    // Said once a connection: a member asking again and again is counted.
    ++in.counters.refusedPlayers;
    if (!link.refusalNoted)
      Note(in, member + " asked for player '" + f.shortName + "' beyond the " + std::to_string(kMaxPlayersPerMember) +
                   " a connection may hold: refused, and every further one");
    link.refusalNoted = true;
    return RefusePlayer(link, f.request, wire::kReasonTooManyPlayers);
  }
  if (in.players.size() >= in.maxPlayers) {
    Report(in, Refusal::kSessionFull, link.peer.ip,
           member + " asked for player '" + f.shortName + "': refused, the session's " +
               std::to_string(in.maxPlayers) + " places are taken");
    return RefusePlayer(link, f.request, wire::kReasonFull);
  }
  Player p;
  p.id = NewPlayerId(in);
  p.shortName = f.shortName;
  p.longName = f.longName;
  p.data = {link.peer.ip, link.dataPort};
  p.link = link.serial;
  AddPlayer(in, p);
  QueueFrame(link, AddedFrame(p, f.request));
  ToMembers(in, AddedFrame(p, 0), link.serial);
}

void HandleMemberFrame(Instance& in, Link& link, const std::vector<uint8_t>& body) {
  wire::Frame f;
  if (!wire::DecodeFrame(body.data(), body.size(), &f)) return Drop(in, link, "sent a malformed frame");
  if (!link.joined) {
    // Nothing but the hello before the handshake.
    if (f.tag != wire::kHello) return Drop(in, link, "sent a frame before its hello");
    return Welcome(in, link, f);
  }
  if (f.tag == wire::kCreatePlayer) return MemberCreates(in, link, f);
  if (f.tag == wire::kDestroyPlayer) {
    const Player* p = FindPlayer(in, f.id);
    if (!p || p->link != link.serial) return Drop(in, link, "destroyed a player not its own");
    RemovePlayer(in, f.id);
    if (PlayersOf(in, link) == 0) link.idleSince = Now();
    wire::Frame gone;
    gone.tag = wire::kPlayerRemoved;
    gone.id = f.id;
    ToMembers(in, gone, link.serial);
    return;
  }
  Drop(in, link, "sent a second hello or a host's frame");
}

void Accept(Instance& in) {
  for (int i = 0; i < 64; ++i) {
    sockaddr_in s{};
    socklen_t len = sizeof s;
    const int fd = accept4(in.listenFd, reinterpret_cast<sockaddr*>(&s), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (in.members.size() >= kMaxLinks) {
      int closing = fd;
      CloseFd(closing);
      ++in.counters.droppedLinks;
      continue;
    }
    auto link = std::make_unique<Link>();
    link->fd = fd;
    link->peer = {s.sin_addr.s_addr, ntohs(s.sin_port)};
    const auto same = std::count_if(in.members.begin(), in.members.end(),
                                    [&](const auto& m) { return !m->dead && m->peer.ip == link->peer.ip; });
    if (static_cast<uint32_t>(same) >= LinksPerAddress()) {
      // Told at once, as a full session is: the joiner need not wait.
      ++in.counters.refusedLinks;
      Report(in, Refusal::kTooManyLinks, link->peer.ip,
             "connection from " + AddressText(link->peer) + " refused: that address holds the " +
                 std::to_string(LinksPerAddress()) + " connections one machine may open");
      wire::Frame no;
      no.tag = wire::kRefuse;
      no.reason = wire::kReasonFull;
      QueueFrame(*link, no);
      CloseLink(*link);
      continue;
    }
    SetKeepAlive(fd);
    link->serial = in.nextLinkSerial++;
    link->openedAt = Now();
    in.members.push_back(std::move(link));
  }
}

void ServiceLink(Instance& in, Link& link) {
  std::vector<uint8_t> body;
  for (int round = 0; round < 16 && !link.dead; ++round) {
    const int got = FillLink(link);
    int taken = 0;
    while (!link.dead && (taken = TakeFrame(link, &body)) == 1) HandleMemberFrame(in, link, body);
    if (!link.dead && taken < 0) Drop(in, link, "sent a frame of a bad length");
    if (got < 0) link.dead = true;
    if (got <= 0) break;
  }
  if (!link.joined && !link.dead && Now() - link.openedAt >= kHandshakeMs) {
    link.dead = true;
    ++in.counters.droppedLinks;
    Report(in, Refusal::kSilentLink, link.peer.ip,
           "connection from " + AddressText(link.peer) + " closed: no hello within " +
               std::to_string(kHandshakeMs / 1000) + " s");
  }
  if (link.joined && !link.dead && PlayersOf(in, link) == 0 && Now() - link.idleSince >= kIdleLinkMs) {
    link.dead = true;
    ++in.counters.idleLinks;
    Report(in, Refusal::kIdleLink, link.peer.ip,
           MemberAt(link) + " closed: no player of its own for " + std::to_string(kIdleLinkMs / 1000) + " s");
  }
  FlushLink(link);
}

// Closes the dead links; their members' players are gone for everyone.
void Sweep(Instance& in) {
  for (bool again = true; again;) {
    again = false;
    for (size_t i = 0; i < in.members.size(); ++i) {
      if (!in.members[i]->dead) continue;
      std::unique_ptr<Link> link = std::move(in.members[i]);
      in.members.erase(in.members.begin() + static_cast<long>(i));
      CloseLink(*link);
      std::vector<uint32_t> owned;
      for (const Player& p : in.players)
        if (p.link == link->serial) owned.push_back(p.id);
      for (uint32_t id : owned) {
        RemovePlayer(in, id);
        wire::Frame gone;
        gone.tag = wire::kPlayerRemoved;
        gone.id = id;
        ToMembers(in, gone, 0);
      }
      again = true;
      break;
    }
  }
}

}  // namespace

void ServiceHost(Instance& in) {
  Accept(in);
  for (size_t i = 0; i < in.members.size(); ++i) ServiceLink(in, *in.members[i]);
  Sweep(in);
  ServiceDiscovery(in);
}

uint32_t HostCreatePlayer(Instance& in, const std::string& shortName, const std::string& longName, uint32_t* id) {
  if (in.players.size() >= in.maxPlayers) return kErrSessionFull;
  Player p;
  p.id = NewPlayerId(in);
  p.shortName = shortName;
  p.longName = longName;
  p.local = true;
  p.hostOwned = true;
  p.data = {0, in.dataPort};
  AddPlayer(in, p);
  ToMembers(in, AddedFrame(p, 0), 0);
  Sweep(in);
  *id = p.id;
  return kOk;
}

void HostDestroyPlayer(Instance& in, uint32_t id) {
  RemovePlayer(in, id);
  wire::Frame gone;
  gone.tag = wire::kPlayerRemoved;
  gone.id = id;
  ToMembers(in, gone, 0);
  Sweep(in);
}

void HostClose(Instance& in) {
  for (auto& m : in.members) CloseLink(*m);
  in.members.clear();
  in.answered.clear();
  CloseFd(in.listenFd);
  CloseFd(in.discoveryFd);
  in.listenPort = in.discoveryPort = 0;
}

namespace {

// Each querying address is answered at most once a second: an enumeration
// asks every 100 ms, and a flood of queries costs the host no answers.
bool AnswerDue(Instance& in, const Address& from) {
  constexpr size_t kMaxQueriers = 256;
  const uint32_t now = Now();
  std::erase_if(in.answered, [now](const auto& a) { return now - a.second >= kAnswerEveryMs; });
  for (const auto& a : in.answered)
    if (a.first == from) return false;
  if (in.answered.size() >= kMaxQueriers) in.answered.erase(in.answered.begin());
  in.answered.push_back({from, now});
  return true;
}

}  // namespace

void ServiceDiscovery(Instance& in) {
  uint8_t buf[wire::kMaxDatagram + 1];
  for (int i = 0; i < 256 && in.discoveryFd >= 0; ++i) {
    size_t n = 0;
    Address from;
    if (!ReceiveFrom(in.discoveryFd, buf, sizeof buf, &n, &from)) return;
    wire::Query q;
    if (n > wire::kMaxDatagram || !wire::DecodeQuery(buf, n, &q)) {
      ++in.counters.badDiscovery;
      Report(in, Refusal::kBadDiscovery, from.ip,
             "malformed discovery query of " + std::to_string(n) + " bytes from " + AddressText(from) + " refused");
      continue;
    }
    if (!(q.application == in.application)) {  // another program's: not ours to answer
      ++in.counters.badDiscovery;
      continue;
    }
    if (!AnswerDue(in, from)) {
      ++in.counters.throttledQueries;
      continue;
    }
    wire::Answer a;
    a.nonce = q.nonce;
    a.application = in.application;
    a.instance = in.session;
    a.tcpPort = in.listenPort;
    a.maxPlayers = in.maxPlayers;
    a.players = static_cast<uint32_t>(in.players.size());
    a.name = in.sessionName;
    SendTo(in.discoveryFd, from, wire::EncodeAnswer(a));
  }
}

}  // namespace detail
}  // namespace plat::netplay
