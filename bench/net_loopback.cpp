// Player datagrams per second between two local-network instances in one
// process over 127.0.0.1 (a member sending, the host receiving), at 100 and
// 1024 bytes; in the same run raw sendto/recvfrom between two UDP sockets,
// the floor any datagram service stands on. Then LS_Net between two
// machines: plain messages, guaranteed ones a window at a time and one at
// a time, ENet's reliable packets beside them, the simulated delay of
// guaranteed messages at 20% loss each way, and the controller's 16
// setups at that loss. Then the game path: car states from one machine's
// packing to the other's car, and the cost of reading and checking a mixed
// stream of every game message, beside ENet's unreliable packets and memcpy.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/benchlib.h"
#include "net/ctrl.h"
#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "netlink/neti.h"
#include "platform/clock.h"
#include "platform/netplay/netplay.h"
#include "shell/hooks.h"
#include "system/error.h"
#include "vehicles/physics.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"
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

  explicit Machines(LS_NETMESSAGE player = Count) {
    LS_SetErrorMode(LS_ERRMODE_IGNORE);
    np::SetDiscoveryBase(0);
    np::SetHosts("127.0.0.1");
    LS_NetResetState(&host);
    LS_NetResetState(&member);
    if (!Open(host, player) || LS_NetCreateSession(8, "bench", "Hugo") != 1) return;
    hugo = host.Config.LocalPlayerId;
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host.Transport.Object)));
    if (!Open(member, player) || LS_NetEnumerateSessions(nullptr, 100) != 1 || LS_NetJoinSession("Mia", 0) != 1)
      return;
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
  static void Count(uint32_t, const void*, uint32_t) { ++g_delivered; }
  static bool Open(TLSNET& m, LS_NETMESSAGE player) {
    LS_NetSelect(&m);
    LS_NetEnumerateProtocols(nullptr);
    LS_NETCONFIG c{};
    c.Size = sizeof c;
    c.MaxPlayers = 32;
    c.PlayerMessage = player;
    return LS_NetInit(&c) == 1;
  }
  // The machine's pump, as a frame runs it. Loopback datagrams are in the
  // receiver's socket as soon as sendto returns: nothing to wait for.
  static void Pump(TLSNET& m) {
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

// Guaranteed messages from Mia to Hugo, a window of them sent together,
// pumped until every one is acknowledged.
void BM_LsNetGuaranteed(benchmark::State& state) {
  Machines net;
  if (!net.met) {
    state.SkipWithError("the two machines did not meet");
    return;
  }
  std::vector<char> payload(static_cast<size_t>(state.range(0)), 'g');
  g_delivered = 0;
  int64_t acknowledged = 0, sent = 0;
  std::vector<int32_t> seqs;
  for (auto _ : state) {
    LS_NetSelect(&net.member);
    seqs.clear();
    for (int i = 0; i < NETI_WINDOW; ++i)
      seqs.push_back(LS_NetPlayerSendMessage(1, &net.hugo, payload.data(), static_cast<uint32_t>(payload.size()),
                                             NET_GUARANTEED));
    sent += NETI_WINDOW;
    for (int spins = 0; spins < 1000; ++spins) {
      Machines::Pump(net.host);
      Machines::Pump(net.member);
      if (NETI_IsDelivered(static_cast<uint32_t>(seqs.back()))) break;
    }
    for (int32_t seq : seqs) acknowledged += seq != -2 && NETI_IsDelivered(static_cast<uint32_t>(seq));
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(acknowledged), benchmark::Counter::kIsRate);
  state.counters["unacknowledged"] = static_cast<double>(sent - acknowledged);
}
BENCHMARK(BM_LsNetGuaranteed)->Arg(100)->UseRealTime();

// One guaranteed message at a time from Mia to Hugo, delivered and its
// acknowledgement handled before the next: a round trip each.
void BM_LsNetGuaranteedRoundTrip(benchmark::State& state) {
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
BENCHMARK(BM_LsNetGuaranteedRoundTrip)->Arg(100)->UseRealTime();

// The controller's 16 vehicle setups (message 9, 436 bytes) sent to a
// player together, at 20% loss of every datagram each way, on the manual
// clock moving 10 ms a pump: the simulated time until all are
// acknowledged, over 200 rounds (mean and 99th percentile).
void BM_SetupsAtLoss(benchmark::State& state) {
  plat::UseManualClock(true);
  plat::SetManualTime(100000);
  std::vector<double> times;
  {
    Machines net;
    if (!net.met) {
      state.SkipWithError("the two machines did not meet");
      plat::UseManualClock(false);
      return;
    }
    const uint32_t mia = net.member.Config.LocalPlayerId;
    np::Faults f;
    f.lossPercent = 20;
    for (TLSNET* m : {&net.host, &net.member}) {
      f.seed = m == &net.host ? 21 : 22;
      np::SetFaults(m->Transport.Object, f);
    }
    std::vector<uint8_t> setup(XNET_SETUPMSGSIZE, 's');
    for (auto _ : state) {
      times.clear();
      for (int round = 0; round < 200; ++round) {
        LS_NetSelect(&net.host);
        const uint32_t start = plat::TickMs();
        int32_t last = -2;
        for (int32_t order = 0; order < 16; ++order) {
          NET_PutHeader(setup.data(), CTRL_VEHICLESETUP, order, 1);
          last = LS_NetServerSendMessage(1, &mia, setup.data(), static_cast<uint32_t>(setup.size()));
        }
        for (int step = 0; step < 10000; ++step) {
          Machines::Pump(net.host);
          Machines::Pump(net.member);
          LS_NetSelect(&net.host);
          bool all = true;
          for (int32_t s = last - 15; s <= last; ++s) all = all && NETI_IsDelivered(static_cast<uint32_t>(s));
          if (all) break;
          plat::AdvanceManualTime(10);
        }
        times.push_back(plat::TickMs() - start);
      }
    }
  }
  plat::UseManualClock(false);
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  state.counters["mean_ms"] = sum / static_cast<double>(times.size());
  state.counters["p99_ms"] = times[times.size() * 99 / 100];
  state.counters["goal_ms"] = 2000;
}
BENCHMARK(BM_SetupsAtLoss)->Iterations(1)->Unit(benchmark::kMillisecond);

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

// ---- The game path ----

// Two cars as a race has them on both machines: car 1 driven on Mia's
// machine, remote on Hugo's. The hooks are left empty, so that a handler
// reaching the race does nothing.
struct RaceCars {
  TCAR cars[2]{};
  RaceCars() {
    SB_Hooks = {};
    SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
    for (int32_t i = 0; i < 2; ++i) {
      const int32_t angles[3] = {0, 0, 0};
      SB_SetOrientationFromAngles(&cars[i], angles);
      SB_Var.Cars[i] = &cars[i];
    }
    SB_Var.NbCars = 2;
    cars[1].Remote = 1;
    cars[1].TransitOffset = SB_TRANSITNONE;
  }
  ~RaceCars() {
    for (TCAR*& c : SB_Var.Cars) c = nullptr;
    SB_Var.NbCars = 0;
  }
};

// The selected machine's network fields of a running race.
void Racing(int32_t order, uint32_t other) {
  SB_Var.XState = XSTATE_PLAYING;
  SB_Var.XSubState = XSUBSTATE_PLAYING;
  SB_Var.NetConnected = 1;
  SB_Var.GameMode = CTRL_RACE;
  SB_Var.NetSlots = 2;
  SB_Var.NetPlayerOrder = SB_Var.DrivenCar = order;
  SB_Var.NetPlayers[1 - order].Id = other;
  SB_Var.NetPlayers[1 - order].InUse = 1;
}

// Car states, message 13, from Mia to Hugo in batches of 64, from the
// packing of car 1's physics on Mia's machine through LS_Net, the
// transport and Hugo's checks to SB_ReceiveCarState on his copy of car 1:
// each batch taken in full before the next.
void BM_GameCarStates(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  Machines net(NET_HandleMessage);
  if (!net.met) {
    state.SkipWithError("the two machines did not meet");
    return;
  }
  RaceCars race;
  const uint32_t mia = net.member.Config.LocalPlayerId;
  LS_NetSelect(&net.host);
  Racing(0, mia);
  LS_NetSelect(&net.member);
  Racing(1, net.hugo);
  int64_t sent = 0;
  for (auto _ : state) {
    LS_NetSelect(&net.member);
    for (int i = 0; i < kBatch; ++i) {
      ++SB_Var.Time;  // each state newer than the last
      SB_PackCarState(1);
      SB_SendCarState(1);
    }
    sent += kBatch;
    for (int spins = 0; race.cars[1].StatesReceived < sent && spins < 1000; ++spins) Machines::Pump(net.host);
  }
  state.counters["states"] = benchmark::Counter(static_cast<double>(race.cars[1].StatesReceived),
                                                benchmark::Counter::kIsRate);
  state.counters["lost"] = static_cast<double>(sent - race.cars[1].StatesReceived);
}
BENCHMARK(BM_GameCarStates)->UseRealTime();

// A stream of game messages as one machine receives them in a race: one
// of every type sent (1 to 10, 13 to 22, 24, 29) with its sender, ten more
// car states, and four to refuse (too short, a stranger's, an order
// beyond the cars, a state beyond 10).
std::vector<std::pair<uint32_t, std::vector<uint8_t>>> MixedStream() {
  constexpr uint32_t kCtrl = 900, kMia = 101;
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> out;
  auto add = [&](uint32_t from, int32_t type, int32_t p1, int32_t p2, size_t body) {
    std::vector<uint8_t> m(XNETMSG_HEADERSIZE + body, 0);
    NET_PutHeader(m.data(), type, p1, p2);
    out.push_back({from, m});
  };
  for (int32_t t : {CTRL_GETGAMEINFO, CTRL_CANILOGMYSELF, CTRL_ALLVEHICLESETUP, CTRL_PRESENCEACK}) add(kMia, t, 1, 0, 0);
  add(kCtrl, CTRL_GAMEINFO, CTRL_RACE, 2, 4 + 2 * CTRL_PLAYERSIZE);
  for (int32_t t : {CTRL_ANSWER, CTRL_PRESENCEQUERY, CTRL_LAUCHNEWRACE, CTRL_STARTNEWRACENOW, CTRL_ENTERPRACTICEMODE,
                    CTRL_ENDOFRACE, CTRL_BESTTIME, CTRL_CHANGEMAXNETPLAYER})
    add(kCtrl, t, 1, 0, 0);
  add(kCtrl, CTRL_PLAYERORDER, 0, 10000000, 0);
  add(kMia, CTRL_SETPLAYERSTATUS, XSTATE_PLAYING, 1, 0);
  add(100, CTRL_SETGAMETYPE, CTRL_RACE, 4, 0);
  add(kCtrl, CTRL_UPDATENETPLAYER, 1, 0, CTRL_PLAYERSIZE);
  add(kMia, CTRL_VEHICLESETUP, 1, 1, 424);
  add(kMia, XNET_TEXT, 0, 0, 3);
  add(kMia, XNET_RACEFINISHED, 1, 1, 12);
  add(kMia, XNET_OUTOFTIME, 1, 0, 12);
  for (int i = 0; i < 11; ++i) add(kMia, XNET_CARSTATE, 1, 0, 88);
  add(kMia, XNET_CARSTATE, 1, 0, 87);
  add(555, XNET_CARSTATE, 1, 0, 88);
  add(kCtrl, CTRL_PLAYERORDER, 16, 0, 0);
  add(kMia, CTRL_SETPLAYERSTATUS, 11, 1, 0);
  return out;
}

// The cost per message of reading, checking and handling that stream on
// the player side and, for the types sent to it, on the controller; no
// transport (the answers' sends fail at once). Beside it, memcpy of the
// same bytes: the floor of any reader that touches each byte once.
void BM_GameDecodeMixed(benchmark::State& state) {
  bench::TempDrive drive;
  bench::Heap heap(8u << 20);
  LSI_InitDirectory();
  SB_ResetVars();
  TLSNET machine;
  LS_NetResetState(&machine);
  machine.Config.ControllerId = 900;
  machine.Config.LocalPlayerId = 100;
  LS_NetSelect(&machine);
  RaceCars race;
  Racing(0, 101);
  CTRL_Init();
  SB_Var.IsController = 1;
  SB_Var.NetControllerMax = 4;
  const auto stream = MixedStream();
  int64_t handled = 0;
  for (auto _ : state) {
    for (const auto& [from, m] : stream) {
      // The stream's own table, as each pass finds it.
      CTRL_State().GameType = CTRL_RACE;
      for (int32_t i = 0; i < 2; ++i) {
        CTRL_PLAYER& p = CTRL_State().Players[i];
        p.Id = 100 + static_cast<uint32_t>(i);
        p.InUse = p.Pending = 1;
        p.XState = XSTATE_PLAYING;
      }
      CTRL_State().Logged = 2;
      SB_Var.XState = XSTATE_PLAYING;
      const uint32_t n = static_cast<uint32_t>(m.size());
      NET_HandleMessage(from, m.data(), n);
      CTRL_HandleMessage(from, m.data(), n);
    }
    handled += static_cast<int64_t>(stream.size());
  }
  state.counters["per_message"] =
      benchmark::Counter(static_cast<double>(handled), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  CTRL_Free();
  LS_NetSelect(nullptr);
}
BENCHMARK(BM_GameDecodeMixed)->UseRealTime();

void BM_GameMixedMemcpy(benchmark::State& state) {
  const auto stream = MixedStream();
  std::vector<uint8_t> to(LS_NETMAXPACKET);
  int64_t copied = 0;
  for (auto _ : state) {
    for (const auto& item : stream) {
      std::memcpy(to.data(), item.second.data(), item.second.size());
      benchmark::DoNotOptimize(to.data());
    }
    copied += static_cast<int64_t>(stream.size());
  }
  state.counters["per_message"] =
      benchmark::Counter(static_cast<double>(copied), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GameMixedMemcpy)->UseRealTime();

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

// Batches of packets of the size and flags given, each batch received in
// full (or given up) before the next.
void EnetBatches(benchmark::State& state, uint32_t flags) {
  EnetPair pair;
  if (!pair.connected) {
    state.SkipWithError("ENet did not connect over loopback");
    return;
  }
  const int batch = static_cast<int>(state.range(1));
  std::vector<char> payload(static_cast<size_t>(state.range(0)), 'e');
  int64_t received = 0, sent = 0;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i)
      enet_peer_send(pair.peer, 0, enet_packet_create(payload.data(), payload.size(), flags));
    enet_host_flush(pair.client);
    received += pair.Exchange(batch);
    sent += batch;
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(received), benchmark::Counter::kIsRate);
  state.counters["lost"] = static_cast<double>(sent - received);
}

void BM_EnetReliable(benchmark::State& state) { EnetBatches(state, ENET_PACKET_FLAG_RELIABLE); }
BENCHMARK(BM_EnetReliable)->Args({100, 1})->Args({100, 64})->UseRealTime();

// Unreliable packets of a car state's 100 bytes, as the game sends its
// car states plain: the reference of BM_GameCarStates.
void BM_EnetUnreliable(benchmark::State& state) { EnetBatches(state, 0); }
BENCHMARK(BM_EnetUnreliable)->Args({100, 64})->UseRealTime();
#else
void BM_EnetReliable(benchmark::State& state) {
  state.SkipWithError("ENet (libenet-dev) not installed: no comparison");
}
BENCHMARK(BM_EnetReliable);
#endif

}  // namespace

BENCHMARK_MAIN();
