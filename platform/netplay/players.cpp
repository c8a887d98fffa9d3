// Players of a local-network session: creation and destruction with the
// system events they send to the local players, the player list and
// names, and the session's close.
#include <algorithm>
#include <cstring>

#include "platform/netplay/state.h"

namespace plat::netplay {

using namespace detail;

namespace {

bool InSession(const Instance& in) { return in.role == Role::kHost || in.role == Role::kMember; }

void CopyName(const std::string& from, char* to) {
  const size_t n = std::min<size_t>(from.size(), kMaxNameLength);
  std::memcpy(to, from.data(), n);
  to[n] = 0;
}

}  // namespace

uint32_t Close(Instance* in) {
  if (!in) return kErrInvalidParams;
  if (in->role == Role::kNone) return kErrNoSession;
  if (in->role == Role::kHost) HostClose(*in);
  if (in->role == Role::kMember || in->role == Role::kLost) MemberClose(*in);
  ClearSession(*in);
  return kOk;
}

uint32_t CreatePlayer(Instance* in, const char* shortName, const char* longName, uint32_t* id) {
  if (!in || !id) return kErrInvalidParams;
  *id = 0;
  Service(*in);
  if (!InSession(*in)) return kErrNoSession;
  if (!ValidName(shortName) || !ValidName(longName)) return kErrInvalidParams;
  if (in->role == Role::kHost) return HostCreatePlayer(*in, shortName, longName, id);
  return MemberCreatePlayer(*in, shortName, longName, id);
}

uint32_t DestroyPlayer(Instance* in, uint32_t id) {
  if (!in) return kErrInvalidParams;
  Service(*in);
  if (in->role == Role::kNone) return kErrNoSession;
  const Player* p = FindPlayer(*in, id);
  if (!p || !p->local) return kErrInvalidPlayer;
  if (in->role == Role::kHost) {
    HostDestroyPlayer(*in, id);
  } else {
    MemberDestroyPlayer(*in, id);
  }
  return kOk;
}

uint32_t EnumeratePlayers(Instance* in, PlayerCallback f, void* ctx) {
  if (!in) return kErrInvalidParams;
  Service(*in);
  if (in->role == Role::kNone) return kErrNoSession;
  // A copy: the callback may call back into the service.
  const std::vector<Player> players = in->players;
  for (const Player& p : players)
    if (f && !f(p.id, p.shortName.c_str(), p.longName.c_str(), ctx)) break;
  return kOk;
}

bool IsHostPlayer(Instance* in, uint32_t id) {
  if (!in) return false;
  const Player* p = FindPlayer(*in, id);
  return p && p->hostOwned;
}

uint32_t PlayerAddress(Instance* in, uint32_t id) {
  if (!in || in->role != Role::kHost) return 0;
  const Player* p = FindPlayer(*in, id);
  if (!p) return 0;
  return p->link != 0 ? p->data.ip : p->standInIp;
}

void SetStandInAddress(Instance* in, uint32_t id, uint32_t ip) {
  Player* p = in && in->role == Role::kHost ? FindPlayer(*in, id) : nullptr;
  if (p && p->link == 0) p->standInIp = ip;
}

const char kHostOnlyName[] = "SERVER";

bool TakeNotice(Instance* in, std::string* text) {
  if (!in || in->notices.empty()) return false;
  *text = std::move(in->notices.front());
  in->notices.pop_front();
  return true;
}

uint32_t GetPlayerName(Instance* in, uint32_t id, char* shortName, char* longName) {
  if (!in) return kErrInvalidParams;
  Service(*in);
  if (in->role == Role::kNone) return kErrNoSession;
  const Player* p = FindPlayer(*in, id);
  if (!p) return kErrInvalidPlayer;
  if (shortName) CopyName(p->shortName, shortName);
  if (longName) CopyName(p->longName, longName);
  return kOk;
}

namespace detail {

Player* FindPlayer(Instance& in, uint32_t id) {
  for (Player& p : in.players)
    if (p.id == id) return &p;
  return nullptr;
}

bool ValidName(const char* name) { return name && std::strlen(name) <= kMaxNameLength; }

void Note(Instance& in, std::string text) {
  if (in.notices.size() >= kMaxNotices) {
    ++in.counters.notesDropped;
    return;
  }
  // A peer's names go into the text: nothing but printable characters.
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
  in.notices.push_back(std::move(text));
}

namespace {

// What the counted line says of each kind.
const char* Plural(Refusal kind) {
  switch (kind) {
    case Refusal::kOversized: return "oversized datagrams";
    case Refusal::kMalformed: return "malformed datagrams";
    case Refusal::kOtherSession: return "datagrams of another session";
    case Refusal::kUnknownSender: return "datagrams from unknown players";
    case Refusal::kSpoofedSender: return "datagrams from players the address does not own";
    case Refusal::kNotLocal: return "datagrams for players not here";
    case Refusal::kQueueFull: return "datagrams beyond the full receive queue";
    case Refusal::kBadDiscovery: return "bad discovery datagrams";
    case Refusal::kBadFrame: return "connections with bad frames";
    case Refusal::kSilentLink: return "connections without a hello";
    case Refusal::kTooManyLinks: return "connections past the limit";
    case Refusal::kIdleLink: return "connections without a player";
    case Refusal::kSessionFull: return "joins to the full session";
    default: return "refusals";
  }
}

std::string IpText(uint32_t ip) {
  const std::string a = AddressText({ip, 0});
  return a.substr(0, a.rfind(':'));
}

// Connections are closed; the rest refused.
const char* Verb(Refusal kind) {
  switch (kind) {
    case Refusal::kBadFrame:
    case Refusal::kSilentLink:
    case Refusal::kIdleLink: return "closed";
    default: return "refused";
  }
}

void SayCount(Instance& in, Reported& r, uint32_t now) {
  Note(in, std::to_string(r.since) + " more " + Plural(r.kind) + " from " + IpText(r.ip) + " " + Verb(r.kind) +
               " in the last second");
  r.since = 0;
  r.saidAt = now;
}

}  // namespace

void Report(Instance& in, Refusal kind, uint32_t ip, const std::string& text) {
  const uint32_t now = Now();
  auto it = std::find_if(in.reported.begin(), in.reported.end(),
                         [&](const Reported& r) { return r.kind == kind && r.ip == ip; });
  if (it != in.reported.end() && now - it->saidAt < 1000) {
    ++it->since;
    return;
  }
  if (it == in.reported.end()) {
    // A full table gives up its oldest row, its count said first.
    if (in.reported.size() >= kMaxReported) {
      auto oldest = std::min_element(in.reported.begin(), in.reported.end(),
                                     [&](const Reported& a, const Reported& b) { return now - a.saidAt > now - b.saidAt; });
      if (oldest->since) SayCount(in, *oldest, now);
      in.reported.erase(oldest);
    }
    in.reported.push_back({kind, ip, now, 0});
    it = in.reported.end() - 1;
  } else if (it->since) {
    SayCount(in, *it, now);
  }
  it->saidAt = now;
  Note(in, text);
}

void SayCounts(Instance& in) {
  if (in.reported.empty()) return;
  const uint32_t now = Now();
  for (Reported& r : in.reported)
    if (r.since && now - r.saidAt >= 1000) SayCount(in, r, now);
  // Rows quiet for a minute go.
  std::erase_if(in.reported, [now](const Reported& r) { return !r.since && now - r.saidAt >= 60000; });
}

std::string AddressText(const Address& a) {
  const uint32_t ip = a.ip;  // network order: the first byte first
  return std::to_string(ip & 0xFF) + "." + std::to_string(ip >> 8 & 0xFF) + "." + std::to_string(ip >> 16 & 0xFF) +
         "." + std::to_string(ip >> 24 & 0xFF) + ":" + std::to_string(a.port);
}

namespace {

// Tells every local player but `except` of an arrival or departure.
void Tell(Instance& in, uint32_t type, const Player& about, uint32_t except) {
  for (const Player& q : in.players) {
    if (!q.local || q.id == except) continue;
    Message m;
    m.to = q.id;
    m.event = type;
    m.playerId = about.id;
    m.shortName = about.shortName;
    m.longName = about.longName;
    in.queue.push_back(std::move(m));
  }
}

}  // namespace

void AddPlayer(Instance& in, const Player& p) {
  in.players.push_back(p);
  Tell(in, kSysCreatePlayer, p, p.id);
}

void RemovePlayer(Instance& in, uint32_t id) {
  auto it = std::find_if(in.players.begin(), in.players.end(), [id](const Player& p) { return p.id == id; });
  if (it == in.players.end()) return;
  const Player gone = *it;
  in.players.erase(it);
  Tell(in, kSysDestroyPlayer, gone, gone.id);
}

void ClearSession(Instance& in) {
  in.role = Role::kNone;
  in.join = JoinState::kIdle;
  in.application = in.session = Guid{};
  in.sessionKey = 0;
  in.sessionName.clear();
  in.maxPlayers = 0;
  in.players.clear();
  in.queue.clear();
  in.held.reset();
  in.pendingRequest = 0;
}

}  // namespace detail
}  // namespace plat::netplay
