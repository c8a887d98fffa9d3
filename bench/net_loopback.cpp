// Player datagrams per second between two local-network instances in one
// process over 127.0.0.1 (a member sending, the host receiving), at 100 and
// 1024 bytes; in the same run raw sendto/recvfrom between two UDP sockets,
// the floor any datagram service stands on. Then LS_Net between two
// machines: plain and guaranteed messages per second, ENet's reliable
// packets beside them, and the simulated delay of guaranteed messages at
// 20% loss each way.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "net/ls_net.h"
#include "platform/clock.h"
#include "platform/netplay/netplay.h"
#include "system/error.h"
#ifdef ZENTROVA_HAVE_ENET
#include <enet/enet.h>
#endif

namespace {

namespace np = plat::netplay;

constexpr int kBatch = 64;  // sent before the receiver drains, well inside a socket's buffer

// A host with one player and a member with one, joined over loopback.
struct Pair {
  np::Instance* host = nullptr;
  np::Instance* member = nullptr;
  uint32_t to = 0, from = 0;

  Pair() {
    np::SetDiscoveryBase(0);
    const np::Guid app{};
    np::Create(np::kLocalNetworkProvider, &host);
    np::Guid id;
    np::CreateSession(host, app, "bench", 0, &id);
    np::CreatePlayer(host, "H", "CLIENT", &to);
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host)));
    np::Create(np::kLocalNetworkProvider, &member);
    np::EnumerateSessions(
        member, app, 100, [](const np::SessionInfo*, void*) { return false; }, nullptr);
    np::JoinSession(member, app, id);
    np::CreatePlayer(member, "M", "CLIENT", &from);
    np::Settle();
    Drain(nullptr);
  }
  ~Pair() {
    np::Release(member);
    np::Release(host);
    np::ResetConfig();
  }
  // Receives everything waiting on the host; the player messages taken.
  int Drain(std::vector<char>* buf) {
    std::vector<char> own(np::kMaxPacket);
    std::vector<char>& b = buf ? *buf : own;
    int got = 0;
    for (;;) {
      uint32_t f = 0, t = 0, size = static_cast<uint32_t>(b.size());
      np::SystemEvent e;
      if (np::Receive(host, &f, &t, b.data(), &size, &e) != np::kOk) return got;
      got += f != 0;
    }
  }
};

void BM_NetplayDatagrams(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  Pair pair;
  if (!pair.from || !pair.to) {
    state.SkipWithError("the two instances did not meet");
    return;
  }
  std::vector<char> payload(size, 'p'), buf(np::kMaxPacket);
  int64_t delivered = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) np::Send(pair.member, pair.from, pair.to, payload.data(), static_cast<uint32_t>(size));
    int got = 0;
    for (int spins = 0; got < kBatch && spins < 100000; ++spins) got += pair.Drain(&buf);
    delivered += got;
  }
  state.counters["datagrams"] = benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
  state.counters["lost"] = static_cast<double>(static_cast<int64_t>(state.iterations()) * kBatch - delivered);
}
BENCHMARK(BM_NetplayDatagrams)->Arg(100)->Arg(1024)->UseRealTime();

int Udp(uint16_t* port) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in s{};
  s.sin_family = AF_INET;
  s.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s);
  socklen_t len = sizeof s;
  getsockname(fd, reinterpret_cast<sockaddr*>(&s), &len);
  *port = ntohs(s.sin_port);
  return fd;
}

void BM_RawUdpDatagrams(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  uint16_t port = 0, unused = 0;
  const int receiver = Udp(&port);
  const int sender = Udp(&unused);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(port);
  std::vector<char> payload(size, 'p'), buf(2048);
  int64_t delivered = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i)
      sendto(sender, payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    for (int i = 0; i < kBatch; ++i) delivered += recvfrom(receiver, buf.data(), buf.size(), MSG_DONTWAIT, nullptr, nullptr) > 0;
  }
  state.counters["datagrams"] = benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
  close(sender);
  close(receiver);
}
BENCHMARK(BM_RawUdpDatagrams)->Arg(100)->Arg(1024)->UseRealTime();

// ---- LS_Net between two machines in one process ----

int g_delivered = 0;

// A host machine with "Hugo" and a member machine with "Mia", joined over
// loopback, counting what reaches Hugo.
struct Machines {
  TLSNET host{}, member{};
  uint32_t hugo = 0;
  bool met = false;

  Machines() {
    LS_SetErrorMode(LS_ERRMODE_IGNORE);
    np::SetDiscoveryBase(0);
    np::SetHosts("127.0.0.1");
    LS_NetResetState(&host);
    LS_NetResetState(&member);
    if (!Open(host) || LS_NetCreateSession(8, "bench", "Hugo") != 1) return;
    hugo = host.Config.LocalPlayerId;
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host.Transport.Object)));
    if (!Open(member) || LS_NetEnumerateSessions(nullptr, 100) != 1 || LS_NetJoinSession("Mia", 0) != 1) return;
    Pump(host);
    Pump(member);
    met = true;
  }
  ~Machines() {
    for (TLSNET* m : {&host, &member}) {
      LS_NetSelect(m);
      LS_NetShutdown();
    }
    LS_NetSelect(nullptr);
    np::ResetConfig();
  }
  static bool Open(TLSNET& m) {
    LS_NetSelect(&m);
    LS_NetEnumerateProtocols(nullptr);
    LS_NETCONFIG c{};
    c.Size = sizeof c;
    c.MaxPlayers = 32;
    c.PlayerMessage = [](uint32_t, const void*, uint32_t) { ++g_delivered; };
    return LS_NetInit(&c) == 1;
  }
  static void Pump(TLSNET& m) {
    np::Settle();
    LS_NetSelect(&m);
    LS_NetUpdateEvent();
  }
};

// Batches of 64 plain messages from Mia to Hugo, each batch taken in full.
void BM_LsNetPlain(benchmark::State& state) {
  Machines net;
  if (!net.met) {
    state.SkipWithError("the two machines did not meet");
    return;
  }
  std::vector<char> payload(static_cast<size_t>(state.range(0)), 'p');
  int64_t sent = 0;
  g_delivered = 0;
  for (auto _ : state) {
    LS_NetSelect(&net.member);
    for (int i = 0; i < kBatch; ++i)
      LS_NetPlayerSendMessage(1, &net.hugo, payload.data(), static_cast<uint32_t>(payload.size()), NET_PLAIN);
    sent += kBatch;
    for (int spins = 0; g_delivered < sent && spins < 1000; ++spins) Machines::Pump(net.host);
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(g_delivered), benchmark::Counter::kIsRate);
  state.counters["lost"] = static_cast<double>(sent - g_delivered);
}
BENCHMARK(BM_LsNetPlain)->Arg(100)->UseRealTime();

// Guaranteed messages from Mia to Hugo, each delivered and its
// acknowledgement handled before the next (one outstanding per pair).
void BM_LsNetGuaranteed(benchmark::State& state) {
  Machines net;
  if (!net.met) {
    state.SkipWithError("the two machines did not meet");
    return;
  }
  std::vector<char> payload(static_cast<size_t>(state.range(0)), 'g');
  g_delivered = 0;
  int64_t acknowledged = 0;
  for (auto _ : state) {
    LS_NetSelect(&net.member);
    const int32_t seq =
        LS_NetPlayerSendMessage(1, &net.hugo, payload.data(), static_cast<uint32_t>(payload.size()), NET_GUARANTEED);
    for (int spins = 0; spins < 1000; ++spins) {
      Machines::Pump(net.host);
      Machines::Pump(net.member);
      if (NETI_IsDelivered(static_cast<uint32_t>(seq))) {
        ++acknowledged;
        break;
      }
    }
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(acknowledged), benchmark::Counter::kIsRate);
  state.counters["unacknowledged"] = static_cast<double>(static_cast<int64_t>(state.iterations()) - acknowledged);
}
BENCHMARK(BM_LsNetGuaranteed)->Arg(100)->UseRealTime();

// 1,000 guaranteed messages, one outstanding at a time, at 20% loss of
// every datagram each way, on the manual clock: the mean and 99th
// percentile of the simulated time until each is acknowledged, beside the
// expectation 1024 x q / (1 - q), q = 1 - 0.8^2 (a try fails when the
// message or its acknowledgement is lost).
void BM_LsNetGuaranteedDelayAtLoss(benchmark::State& state) {
  plat::UseManualClock(true);
  plat::SetManualTime(100000);
  std::vector<double> delays;
  uint32_t lostHost = 0, lostMember = 0;
  {
    Machines net;
    if (!net.met) {
      state.SkipWithError("the two machines did not meet");
      plat::UseManualClock(false);
      return;
    }
    np::Faults f;
    f.lossPercent = 20;
    for (TLSNET* m : {&net.host, &net.member}) {
      f.seed = m == &net.host ? 11 : 12;
      np::SetFaults(m->Transport.Object, f);
    }
    for (auto _ : state) {
      delays.clear();
      for (int i = 0; i < 1000; ++i) {
        LS_NetSelect(&net.member);
        const uint32_t start = plat::TickMs();
        const int32_t seq = LS_NetPlayerSendMessage(1, &net.hugo, "delay", 5, NET_GUARANTEED);
        for (int tries = 0; tries < 70; ++tries) {
          Machines::Pump(net.member);  // its resend pass, after the clock moved
          Machines::Pump(net.host);
          Machines::Pump(net.member);
          if (NETI_IsDelivered(static_cast<uint32_t>(seq))) break;
          plat::AdvanceManualTime(NETI_RESENDMS + 1);  // to the next resend
        }
        delays.push_back(plat::TickMs() - start);
      }
    }
    lostHost = np::GetCounters(net.host.Transport.Object).lost;
    lostMember = np::GetCounters(net.member.Transport.Object).lost;
  }
  plat::UseManualClock(false);
  std::sort(delays.begin(), delays.end());
  double sum = 0;
  for (double d : delays) sum += d;
  const double q = 1 - 0.8 * 0.8;
  state.counters["mean_ms"] = sum / static_cast<double>(delays.size());
  state.counters["p99_ms"] = delays[delays.size() * 99 / 100];
  state.counters["expected_ms"] = 1024 * q / (1 - q);
  state.counters["lost"] = lostHost + lostMember;
}
BENCHMARK(BM_LsNetGuaranteedDelayAtLoss)->Iterations(1)->Unit(benchmark::kMillisecond);

#ifdef ZENTROVA_HAVE_ENET
// ENet's reliable packets from a client to a server over 127.0.0.1: the
// same 100 bytes, each received and acknowledged before the next, and
// batches of 64 in flight together.
struct EnetPair {
  ENetHost* server = nullptr;
  ENetHost* client = nullptr;
  ENetPeer* peer = nullptr;
  bool connected = false;

  EnetPair() {
    if (enet_initialize() != 0) return;
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = 0;
    server = enet_host_create(&address, 1, 1, 0, 0);
    client = enet_host_create(nullptr, 1, 1, 0, 0);
    if (!server || !client) return;
    ENetAddress to{};
    enet_address_set_host(&to, "127.0.0.1");
    to.port = server->address.port;
    peer = enet_host_connect(client, &to, 1, 0);
    ENetEvent e;
    for (int i = 0; i < 200 && !connected; ++i) {
      enet_host_service(server, &e, 5);
      if (enet_host_service(client, &e, 5) > 0 && e.type == ENET_EVENT_TYPE_CONNECT) connected = true;
    }
  }
  ~EnetPair() {
    if (client) enet_host_destroy(client);
    if (server) enet_host_destroy(server);
    enet_deinitialize();
  }
  bool Unacknowledged() const {
    return !enet_list_empty(&peer->sentReliableCommands) || !enet_list_empty(&peer->outgoingCommands);
  }
  // Services both hosts until the server has received n packets and the
  // client holds no unacknowledged one; the packets received.
  int Exchange(int n) {
    int got = 0;
    ENetEvent e;
    for (int spins = 0; spins < 100000 && (got < n || Unacknowledged()); ++spins) {
      while (enet_host_service(server, &e, 0) > 0)
        if (e.type == ENET_EVENT_TYPE_RECEIVE) {
          ++got;
          enet_packet_destroy(e.packet);
        }
      enet_host_flush(server);
      while (enet_host_service(client, &e, 0) > 0) {
      }
    }
    return got;
  }
};

void BM_EnetReliable(benchmark::State& state) {
  EnetPair pair;
  if (!pair.connected) {
    state.SkipWithError("ENet did not connect over loopback");
    return;
  }
  const int batch = static_cast<int>(state.range(1));
  std::vector<char> payload(static_cast<size_t>(state.range(0)), 'e');
  int64_t received = 0;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i)
      enet_peer_send(pair.peer, 0, enet_packet_create(payload.data(), payload.size(), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(pair.client);
    received += pair.Exchange(batch);
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(received), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EnetReliable)->Args({100, 1})->Args({100, 64})->UseRealTime();
#else
void BM_EnetReliable(benchmark::State& state) {
  state.SkipWithError("ENet (libenet-dev) not installed: no comparison");
}
BENCHMARK(BM_EnetReliable);
#endif

}  // namespace

BENCHMARK_MAIN();
