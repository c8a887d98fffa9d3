// Player datagrams per second between two local-network instances in one
// process over 127.0.0.1 (a member sending, the host receiving), at 100 and
// 1024 bytes; in the same run raw sendto/recvfrom between two UDP sockets,
// the floor any datagram service stands on.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "platform/netplay/netplay.h"

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

}  // namespace

BENCHMARK_MAIN();
