// Session enumeration on the local network: queries to the configured
// hosts, or to 127.0.0.1 and every interface's broadcast address, over the
// discovery ports; answers checked, each session reported once, then the
// time-out report.
#include <algorithm>

#include "platform/netplay/state.h"

namespace plat::netplay {

using namespace detail;

namespace {

constexpr uint32_t kDefaultEnumerationMs = 500;
constexpr uint32_t kQueryEveryMs = 100;
constexpr size_t kMaxHeard = 256;  // sessions one enumeration reports at most
constexpr size_t kMaxAsked = 8;    // enumerations whose answers still count

std::vector<Address> QueryTargets() {
  std::vector<Address> hosts = ConfiguredHosts();
  if (hosts.empty()) {
    hosts.push_back({Loopback(), 0});
    for (uint32_t ip : BroadcastAddresses()) hosts.push_back({ip, 0});
  }
  // An entry without a port is asked on the whole discovery range.
  const uint16_t base = DiscoveryBase();
  std::vector<Address> out;
  for (const Address& h : hosts) {
    if (h.port != 0) {
      out.push_back(h);
    } else if (base != 0) {
      for (uint32_t i = 0; i < kDiscoveryPorts; ++i) out.push_back({h.ip, static_cast<uint16_t>(base + i)});
    }
  }
  return out;
}

bool Known(const Instance& in, const Guid& session) {
  return std::any_of(in.found.begin(), in.found.end(), [&](const Found& f) { return f.instance == session; });
}

// Reports a session not reported yet; false when the caller stops.
bool Report(Instance& in, const SessionInfo& s, const Address& host, SessionCallback f, void* ctx) {
  if (Known(in, s.instance)) return true;
  in.found.push_back({s.application, s.instance, host});
  return f(&s, ctx);
}

}  // namespace

uint32_t EnumerateSessions(Instance* in, const Guid& application, uint32_t timeoutMs, SessionCallback f, void* ctx) {
  if (!in || !f) return kErrInvalidParams;
  Service(*in);
  if (in->faults.cancelEnumerations > 0) {
    --in->faults.cancelEnumerations;
    ++in->counters.cancelledEnumerations;
    return kErrUserCancel;
  }
  const uint32_t ms = timeoutMs == 0 ? kDefaultEnumerationMs : timeoutMs;
  in->found.clear();
  for (const SessionInfo& s : in->faults.injectedSessions)
    if (s.application == application && !Report(*in, s, {}, f, ctx)) return kOk;

  // What was heard less than a second ago still stands: its host will not
  // answer this address again before the second is out.
  const uint32_t now = Now();
  std::erase_if(in->recent, [now](const Instance::Recent& r) { return now - r.at >= kAnswerEveryMs; });
  const std::vector<Instance::Recent> recent = in->recent;
  for (const Instance::Recent& r : recent)
    if (r.session.application == application && !Report(*in, r.session, r.host, f, ctx)) return kOk;

  const std::vector<Address> targets = QueryTargets();
  wire::Query query;
  query.application = application;
  query.nonce = Random(*in) | 1;
  const std::vector<uint8_t> bytes = wire::EncodeQuery(query);
  if (in->asked.size() >= kMaxAsked) in->asked.pop_front();
  in->asked.push_back({query.nonce, application});
  in->heard.clear();
  in->enumerating = true;
  const uint32_t start = Now();
  uint32_t lastQuery = start - kQueryEveryMs;
  bool going = true;
  do {
    if (Now() - lastQuery >= kQueryEveryMs) {
      lastQuery = Now();
      for (const Address& t : targets) SendTo(in->dataFd, t, bytes);
    }
    ServiceAll();
    // A copy: the callback may call back into the service.
    const auto heard = std::move(in->heard);
    in->heard.clear();
    for (const auto& [session, host] : heard)
      if (going) going = Report(*in, session, host, f, ctx);
  } while (going && WaitStep(start, ms));
  in->enumerating = false;
  in->heard.clear();
  if (going) f(nullptr, ctx);
  return kOk;
}

namespace detail {

// Keeps what a host answered for the next enumerations: the host answers
// this address again only a second after its last answer.
void Remember(Instance& in, const SessionInfo& s, const Address& host) {
  std::erase_if(in.recent, [&](const Instance::Recent& r) { return r.session.instance == s.instance; });
  if (in.recent.size() >= kMaxHeard) in.recent.erase(in.recent.begin());
  in.recent.push_back({s, host, Now()});
}

namespace {

// Whether the answer is to one of this instance's last queries.
bool AnswersAQuery(const Instance& in, const wire::Answer& a) {
  return std::any_of(in.asked.begin(), in.asked.end(), [&](const Instance::Asked& q) {
    return q.nonce == a.nonce && q.application == a.application;
  });
}

}  // namespace

void TakeAnswer(Instance& in, const uint8_t* p, size_t n, const Address& from) {
  wire::Answer a;
  if (!wire::DecodeAnswer(p, n, &a)) {
    ++in.counters.badDiscovery;
    return Report(in, Refusal::kBadDiscovery, from.ip,
                  "malformed discovery answer of " + std::to_string(n) + " bytes from " + AddressText(from) + " refused");
  }
  if (!AnswersAQuery(in, a) ||
      (in.enumerating && in.heard.size() + in.found.size() >= kMaxHeard)) {
    ++in.counters.badDiscovery;
    return;
  }
  SessionInfo s;
  s.application = a.application;
  s.instance = a.instance;
  s.name = a.name;
  s.maxPlayers = a.maxPlayers;
  s.players = a.players;
  const Address host = {from.ip, a.tcpPort};
  // An answer to an earlier query, or one that comes after its enumeration
  // ended, is still remembered: its host counts this address as answered,
  // and would otherwise leave the next enumeration within the second
  // without it.
  Remember(in, s, host);
  if (!in.enumerating || !(a.application == in.asked.back().application)) return;
  for (const auto& h : in.heard)
    if (h.first.instance == a.instance) return;
  in.heard.push_back({s, host});
}

}  // namespace detail
}  // namespace plat::netplay
