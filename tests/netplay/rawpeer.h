// A raw peer for the local-network play service's bad-input tests: a TCP
// connection and a UDP socket on 127.0.0.1 (or another loopback address,
// as another machine would) that send whatever bytes a test makes, and
// read the host's frames back.
#pragma once
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "platform/netplay/netplay.h"
#include "platform/netplay/wire.h"

namespace ztest {

// 127.0.0.1, or 127.0.0.n for a machine of its own.
inline sockaddr_in LoopbackAt(uint16_t port, uint8_t machine = 1) {
  sockaddr_in s{};
  s.sin_family = AF_INET;
  s.sin_addr.s_addr = htonl(0x7F000000u | machine);
  s.sin_port = htons(port);
  return s;
}

inline uint16_t PortOf(int fd) {
  sockaddr_in s{};
  socklen_t len = sizeof s;
  getsockname(fd, reinterpret_cast<sockaddr*>(&s), &len);
  return ntohs(s.sin_port);
}

class RawPeer {
 public:
  // Sends from 127.0.0.machine.
  explicit RawPeer(uint8_t machine = 1) : machine_(machine) {
    udp_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in any = LoopbackAt(0, machine_);
    bind(udp_, reinterpret_cast<const sockaddr*>(&any), sizeof any);
  }
  ~RawPeer() {
    if (tcp_ >= 0) close(tcp_);
    close(udp_);
  }
  RawPeer(const RawPeer&) = delete;
  RawPeer& operator=(const RawPeer&) = delete;

  bool Connect(uint16_t port) {
    tcp_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in from = LoopbackAt(0, machine_);
    if (bind(tcp_, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0) return false;
    const sockaddr_in to = LoopbackAt(port);
    if (connect(tcp_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) return false;
    const int flags = 1;
    setsockopt(tcp_, SOL_SOCKET, SO_KEEPALIVE, &flags, sizeof flags);
    return true;
  }
  void Send(const std::vector<uint8_t>& bytes) { send(tcp_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  void Send(const plat::netplay::wire::Frame& f) { Send(plat::netplay::wire::EncodeFrame(f)); }
  void Hang() { shutdown(tcp_, SHUT_WR); }
  uint16_t UdpPort() const { return PortOf(udp_); }
  void SendTo(uint16_t port, const std::vector<uint8_t>& bytes) {
    const sockaddr_in to = LoopbackAt(port);
    sendto(udp_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }
  // Takes the next datagram waiting on the UDP socket, if any.
  bool TakeDatagram(std::vector<uint8_t>* out) {
    uint8_t buf[2048];
    const ssize_t got = recv(udp_, buf, sizeof buf, MSG_DONTWAIT);
    if (got < 0) return false;
    out->assign(buf, buf + got);
    return true;
  }
  // A datagram waiting on the UDP socket, if any.
  bool Heard() {
    uint8_t buf[2048];
    return recv(udp_, buf, sizeof buf, MSG_DONTWAIT) > 0;
  }

  // Reads what the host sent; false once the connection is closed.
  bool Read() {
    uint8_t buf[8192];
    for (;;) {
      const ssize_t got = recv(tcp_, buf, sizeof buf, MSG_DONTWAIT);
      if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) return false;
      if (got < 0) return true;
      in_.insert(in_.end(), buf, buf + got);
    }
  }
  // The host's frames read so far.
  std::vector<plat::netplay::wire::Frame> Frames() {
    std::vector<plat::netplay::wire::Frame> out;
    size_t at = 0;
    while (in_.size() - at >= 4) {
      const uint32_t n = in_[at] | in_[at + 1] << 8 | in_[at + 2] << 16 | static_cast<uint32_t>(in_[at + 3]) << 24;
      if (in_.size() - at - 4 < n) break;
      plat::netplay::wire::Frame f;
      if (plat::netplay::wire::DecodeFrame(in_.data() + at + 4, n, &f)) out.push_back(f);
      at += 4 + n;
    }
    return out;
  }

 private:
  uint8_t machine_ = 1;
  int tcp_ = -1, udp_ = -1;
  std::vector<uint8_t> in_;
};

}  // namespace ztest
