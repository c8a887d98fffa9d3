// The local-network play service's instances: providers, creation and
// release, caps, the service loop that moves everything without a thread,
// the waits and Settle, faults and counters.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/clock.h"
#include "platform/netplay/state.h"

namespace plat::netplay {

const Guid kLocalNetworkProvider = {
    {0x5a, 0x4e, 0x50, 0x4c, 0x01, 0x00, 0x4c, 0x4e, 0x84, 0x0a, 0x7a, 0x65, 0x6e, 0x74, 0x72, 0x6f}};
const char kLocalNetworkName[] = "TCP/IP local network";

namespace {

struct TestProvider {
  Guid id;
  std::string name;
};
std::vector<TestProvider> g_testProviders;

}  // namespace

void EnumerateProviders(ProviderCallback f, void* ctx) {
  if (!f(kLocalNetworkProvider, kLocalNetworkName, ctx)) return;
  for (const TestProvider& p : g_testProviders)
    if (!f(p.id, p.name.c_str(), ctx)) return;
}

void AddTestProvider(const Guid& id, const char* name) { g_testProviders.push_back({id, name ? name : ""}); }
void ResetTestProviders() { g_testProviders.clear(); }

using namespace detail;

uint32_t Create(const Guid& provider, Instance** out) {
  *out = nullptr;
  if (!(provider == kLocalNetworkProvider)) return kErrInvalidParams;
  auto* in = new Instance;
  in->provider = provider;
  in->dataFd = OpenUdp(0, true);
  if (in->dataFd < 0) {
    delete in;
    return kErrGeneric;
  }
  in->dataPort = BoundPort(in->dataFd);
  SetFaults(in, EnvironmentFaults());
  Instances().push_back(in);
  *out = in;
  return kOk;
}

void Release(Instance* in) {
  if (!in) return;
  Close(in);
  CloseFd(in->dataFd);
  auto& all = Instances();
  all.erase(std::remove(all.begin(), all.end(), in), all.end());
  delete in;
}

uint32_t GetCaps(Instance* in, Caps* caps) {
  if (!in || !caps) return kErrInvalidParams;
  caps->maxBufferSize = kMaxBuffer;
  caps->maxPlayers = kMaxPlayers;
  return kOk;
}

uint16_t DataPort(Instance* in) { return in ? in->dataPort : 0; }
uint16_t ListenPort(Instance* in) { return in ? in->listenPort : 0; }
uint16_t DiscoveryPort(Instance* in) { return in ? in->discoveryPort : 0; }

void SetFaults(Instance* in, const Faults& faults) {
  in->faults = faults;
  in->rng = 0x9E3779B97F4A7C15ull ^ faults.seed;
  in->sendsCounted = 0;
}

Counters GetCounters(Instance* in) { return in ? in->counters : Counters{}; }

void Settle() {
  // Loopback delivers at once, so a round that finds no socket readable
  // and nothing unsent means everything has arrived.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  int quiet = 0;
  while (quiet < 2 && std::chrono::steady_clock::now() < deadline) {
    ServiceAll();
    bool unsent = false;
    for (Instance* in : Instances()) {
      unsent = unsent || !in->host.out.empty();
      for (const auto& m : in->members) unsent = unsent || !m->out.empty();
    }
    const bool readable = PollAll(unsent ? 1 : 0);
    quiet = readable || unsent ? 0 : quiet + 1;
  }
  for (Instance* in : Instances()) ReleaseHeld(*in);
}

namespace detail {

std::vector<Instance*>& Instances() {
  static std::vector<Instance*> all;
  return all;
}

void Service(Instance& in) {
  if (in.role == Role::kHost) ServiceHost(in);
  if (in.role == Role::kMember || in.join == JoinState::kWaiting) ServiceMember(in);
  ServiceData(in);
  SayCounts(in);
}

void ServiceAll() {
  // A copy: nothing creates or releases an instance while servicing, but
  // the list must not be walked while it could change.
  const std::vector<Instance*> all = Instances();
  for (Instance* in : all) Service(*in);
}

uint32_t Now() { return plat::TickMs(); }

bool WaitStep(uint32_t start, uint32_t ms) {
  if (Now() - start >= ms) return false;
  PollAll(1);
  if (plat::IsManualClock()) plat::SleepMs(1);
  return true;
}

// splitmix64: the same seed gives the same rolls on every machine.
uint32_t Random(Instance& in) {
  uint64_t z = (in.rng += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

bool Roll(Instance& in, uint32_t percent) { return percent > 0 && Random(in) % 100 < percent; }

}  // namespace detail
}  // namespace plat::netplay
