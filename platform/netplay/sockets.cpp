// The POSIX socket calls of the local-network play service: UDP sockets,
// the TCP listener and connections with their frame buffers, interface
// broadcast addresses and the wait on every instance's sockets.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/netplay/state.h"

namespace plat::netplay::detail {

namespace {

sockaddr_in ToSockaddr(const Address& a) {
  sockaddr_in s{};
  s.sin_family = AF_INET;
  s.sin_addr.s_addr = a.ip;
  s.sin_port = htons(a.port);
  return s;
}

void SetInt(int fd, int level, int name, int value) { setsockopt(fd, level, name, &value, sizeof value); }

}  // namespace

uint32_t Loopback() { return htonl(INADDR_LOOPBACK); }

int OpenUdp(uint16_t port, bool broadcast) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (broadcast) SetInt(fd, SOL_SOCKET, SO_BROADCAST, 1);
  const sockaddr_in s = ToSockaddr({htonl(INADDR_ANY), port});
  if (bind(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int OpenListener(uint16_t* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const sockaddr_in s = ToSockaddr({htonl(INADDR_ANY), 0});
  if (bind(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0 || listen(fd, 128) != 0) {
    close(fd);
    return -1;
  }
  *port = BoundPort(fd);
  return fd;
}

int ConnectTcp(const Address& to) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  SetKeepAlive(fd);
  const sockaddr_in s = ToSockaddr(to);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&s), sizeof s) != 0 && errno != EINPROGRESS) {
    close(fd);
    return -1;
  }
  return fd;
}

// A silent machine is dropped within about 30 s: probes after 10 s of
// quiet, four of them 5 s apart, and unacknowledged data given up after
// 30 s as well.
void SetKeepAlive(int fd) {
  SetInt(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
  SetInt(fd, IPPROTO_TCP, TCP_KEEPIDLE, 10);
  SetInt(fd, IPPROTO_TCP, TCP_KEEPINTVL, 5);
  SetInt(fd, IPPROTO_TCP, TCP_KEEPCNT, 4);
  SetInt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, 30000);
  SetInt(fd, IPPROTO_TCP, TCP_NODELAY, 1);
}

uint16_t BoundPort(int fd) {
  sockaddr_in s{};
  socklen_t len = sizeof s;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&s), &len) != 0) return 0;
  return ntohs(s.sin_port);
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool SendTo(int fd, const Address& to, const std::vector<uint8_t>& bytes) {
  const sockaddr_in s = ToSockaddr(to);
  return sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&s), sizeof s) ==
         static_cast<ssize_t>(bytes.size());
}

bool ReceiveFrom(int fd, uint8_t* buf, size_t cap, size_t* n, Address* from) {
  sockaddr_in s{};
  socklen_t len = sizeof s;
  // MSG_TRUNC gives the datagram's whole size, so an oversized one is seen
  // as such.
  const ssize_t got = recvfrom(fd, buf, cap, MSG_TRUNC, reinterpret_cast<sockaddr*>(&s), &len);
  if (got < 0) return false;
  *n = static_cast<size_t>(got);
  from->ip = s.sin_addr.s_addr;
  from->port = ntohs(s.sin_port);
  return true;
}

int FillLink(Link& link) {
  // At most one whole frame and its length word are held.
  const size_t room = wire::kMaxFrame + 4 - link.in.size();
  if (room == 0) return 0;
  uint8_t buf[wire::kMaxFrame + 4];
  const ssize_t got = recv(link.fd, buf, room, 0);
  if (got == 0) return -1;
  if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
  link.in.insert(link.in.end(), buf, buf + got);
  return 1;
}

int TakeFrame(Link& link, std::vector<uint8_t>* body) {
  if (link.in.size() < 4) return 0;
  uint32_t length = 0;
  for (int i = 0; i < 4; ++i) length |= static_cast<uint32_t>(link.in[i]) << (8 * i);
  if (length == 0 || length > wire::kMaxFrame) return -1;
  if (link.in.size() < 4 + static_cast<size_t>(length)) return 0;
  body->assign(link.in.begin() + 4, link.in.begin() + 4 + length);
  link.in.erase(link.in.begin(), link.in.begin() + 4 + length);
  return 1;
}

void QueueFrame(Link& link, const wire::Frame& f) {
  const std::vector<uint8_t> bytes = wire::EncodeFrame(f);
  if (link.out.size() + bytes.size() > kMaxLinkOut) {
    link.dead = true;
    return;
  }
  link.out.insert(link.out.end(), bytes.begin(), bytes.end());
  FlushLink(link);
}

bool FlushLink(Link& link) {
  while (!link.out.empty() && link.fd >= 0) {
    const ssize_t sent = send(link.fd, link.out.data(), link.out.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
      link.dead = true;
      return false;
    }
    link.out.erase(link.out.begin(), link.out.begin() + sent);
  }
  return true;
}

void CloseLink(Link& link) {
  CloseFd(link.fd);
  link.in.clear();
  link.out.clear();
  link.joined = false;
  link.dead = false;
}

std::vector<uint32_t> BroadcastAddresses() {
  std::vector<uint32_t> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (const ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_BROADCAST) ||
        !(a->ifa_flags & IFF_UP) || !a->ifa_broadaddr)
      continue;
    out.push_back(reinterpret_cast<const sockaddr_in*>(a->ifa_broadaddr)->sin_addr.s_addr);
  }
  freeifaddrs(list);
  return out;
}

bool PollAll(int ms) {
  std::vector<pollfd> fds;
  auto add = [&](int fd, short events) {
    if (fd >= 0) fds.push_back({fd, events, 0});
  };
  for (Instance* in : Instances()) {
    add(in->dataFd, POLLIN);
    add(in->listenFd, POLLIN);
    add(in->discoveryFd, POLLIN);
    add(in->host.fd, static_cast<short>(in->host.out.empty() ? POLLIN : POLLIN | POLLOUT));
    for (const auto& m : in->members) add(m->fd, static_cast<short>(m->out.empty() ? POLLIN : POLLIN | POLLOUT));
  }
  if (fds.empty()) {
    if (ms > 0) usleep(static_cast<useconds_t>(ms) * 1000);
    return false;
  }
  return poll(fds.data(), fds.size(), ms) > 0;
}

}  // namespace plat::netplay::detail
