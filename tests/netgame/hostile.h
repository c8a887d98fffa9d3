// A member of a network game that follows the protocol with ill intent:
// a TCP connection and a UDP socket on 127.0.0.1, or on 127.0.0.n as a
// machine of its own (tests/netplay/rawpeer.h),
// that join the host's session frame by frame, create players of any name,
// and send and read LS_Net packets by hand, acknowledging only when told.
// It meets a host in the test's process, or a program's found on its
// discovery port.
#pragma once
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "netlink/ls_net.h"
#include "platform/netplay/netplay.h"
#include "platform/netplay/wire.h"
#include "tests/netplay/netplay_fixture.h"
#include "tests/netplay/rawpeer.h"

namespace ztest {

class HostileMember {
 public:
  explicit HostileMember(uint8_t machine = 1) : peer_(machine) {}

  // What arrived from one sender: guaranteed numbers (in arrival order,
  // duplicates included), plain packets, and the game types of both.
  struct Heard {
    std::vector<uint32_t> numbers;
    int plain = 0;
    std::map<int32_t, int> types;
  };

  // Joins the session of the host's machine: the hello, then its frames
  // up to the end of the player list.
  bool Join(const TLSNET& host) {
    return Join(np::ListenPort(host.Transport.Object), ServiceGuid(host.Config.SessionGuid));
  }
  // Joins the session a program hosts on 127.0.0.1, asking the discovery
  // ports from `discovery` on for it (10 s at most).
  bool Join(uint16_t discovery) {
    np::wire::Query q;
    q.application = ServiceGuid(LSYS_NetBuiltinAppGuid);
    q.nonce = 0x5EED;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int ask = 0; std::chrono::steady_clock::now() < end; ++ask) {
      if (ask % 50 == 0)
        for (uint16_t port = discovery; port < discovery + np::kDiscoveryPorts; ++port)
          peer_.SendTo(port, np::wire::EncodeQuery(q));
      std::vector<uint8_t> d;
      np::wire::Answer a;
      while (peer_.TakeDatagram(&d))
        if (np::wire::DecodeAnswer(d.data(), d.size(), &a) && a.nonce == q.nonce) return Join(a.tcpPort, a.instance);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  bool Join(uint16_t tcpPort, const np::Guid& session) {
    key_ = (session.bytes[0] | session.bytes[1] << 8 | session.bytes[2] << 16 |
            static_cast<uint32_t>(session.bytes[3]) << 24) | 1;
    if (!peer_.Connect(tcpPort)) return false;
    np::wire::Frame hello;
    hello.tag = np::wire::kHello;
    hello.application = ServiceGuid(LSYS_NetBuiltinAppGuid);
    hello.instance = session;
    hello.port = peer_.UdpPort();
    peer_.Send(hello);
    return Await([this](const np::wire::Frame& f) {
      if (f.tag == np::wire::kWelcome) hostData_ = f.port;
      return f.tag == np::wire::kReady;
    });
  }

  // Asks for a player: its id, or 0 when refused (the reason kept).
  uint32_t CreatePlayer(const std::string& shortName, const std::string& longName) {
    np::wire::Frame f;
    f.tag = np::wire::kCreatePlayer;
    f.request = ++request_;
    f.shortName = shortName;
    f.longName = longName;
    peer_.Send(f);
    uint32_t id = 0;
    reason_ = 0;
    Await([&](const np::wire::Frame& g) {
      if (g.request != f.request) return false;
      if (g.tag == np::wire::kPlayerAdded) id = g.id;
      if (g.tag == np::wire::kPlayerRefused) reason_ = g.reason;
      return g.tag == np::wire::kPlayerAdded || g.tag == np::wire::kPlayerRefused;
    });
    return id;
  }
  uint8_t Reason() const { return reason_; }
  // The host's controller player ("SERVER"), from the player list; 0
  // before it is known.
  uint32_t Server() {
    peer_.Read();
    for (const np::wire::Frame& f : peer_.Frames())
      if (f.tag == np::wire::kPlayerAdded && f.longName == np::kHostOnlyName) return f.id;
    return 0;
  }
  // Takes the player away: its connection stays.
  void DestroyPlayer(uint32_t id) {
    np::wire::Frame f;
    f.tag = np::wire::kDestroyPlayer;
    f.id = id;
    peer_.Send(f);
  }
  // False once the host has closed the connection.
  bool Connected() {
    np::Settle();
    return peer_.Read();
  }

  // A game message from one of its players, guaranteed with the next
  // number of that pair, or plain.
  void Send(uint32_t from, uint32_t to, const std::string& message, bool guaranteed = true) {
    const uint32_t number = guaranteed ? next_[{from, to}]++ + LS_NETFIRSTSEQUENCE : 0;
    Raw(from, to, guaranteed ? LS_NETMODE_GUARANTEED : LS_NETMODE_PLAIN, number, message);
  }
  // Any LS_Net packet, to the host's data socket or another port.
  void Raw(uint32_t from, uint32_t to, uint8_t mode, uint32_t number, const std::string& rest, uint16_t port = 0) {
    std::string packet(LS_NETHEADERSIZE, '\0');
    LS_NetPutHeader(reinterpret_cast<uint8_t*>(packet.data()), mode, number);
    packet += rest;
    std::vector<uint8_t> datagram;
    np::wire::EncodeData({key_, from, to}, packet.data(), packet.size(), &datagram);
    peer_.SendTo(port ? port : hostData_, datagram);
  }
  // Any bytes as one datagram.
  void Bytes(uint16_t port, const std::vector<uint8_t>& bytes) { peer_.SendTo(port, bytes); }

  // A game message received: its sender, header and body.
  struct Got {
    uint32_t from;
    int32_t type, param1, param2;
    std::string body;
  };
  // Every game message drained so far, in arrival order.
  const std::vector<Got>& Messages() const { return got_; }

  // Reads every datagram waiting, by sender; acknowledges each guaranteed
  // one (to the player it was for) when told to.
  void Drain(bool acknowledge) {
    std::vector<uint8_t> d;
    while (peer_.TakeDatagram(&d)) {
      np::wire::DataHeader h;
      const uint8_t* payload = nullptr;
      size_t size = 0;
      if (!np::wire::DecodeData(d.data(), d.size(), &h, &payload, &size) || size < LS_NETHEADERSIZE) continue;
      const LS_NETHEADER header = LS_NetGetHeader(payload);
      Heard& from = heard_[h.from];
      const int32_t type = size >= LS_NETHEADERSIZE + 4 ? static_cast<int16_t>(payload[5] | payload[6] << 8) : -1;
      if (size >= LS_NETHEADERSIZE + XNETMSG_HEADERSIZE && header.Mode != LS_NETMODE_ACK) {
        const uint8_t* m = payload + LS_NETHEADERSIZE;
        const auto word = [&](int at) {
          return static_cast<int32_t>(m[at] | m[at + 1] << 8 | m[at + 2] << 16 | static_cast<uint32_t>(m[at + 3]) << 24);
        };
        got_.push_back({h.from, type, word(4), word(8),
                        std::string(reinterpret_cast<const char*>(m + XNETMSG_HEADERSIZE),
                                    size - LS_NETHEADERSIZE - XNETMSG_HEADERSIZE)});
      }
      if (header.Mode == LS_NETMODE_PLAIN) {
        ++from.plain;
        ++from.types[type];
      } else if (header.Mode == LS_NETMODE_GUARANTEED) {
        from.numbers.push_back(header.Sequence);
        ++from.types[type];
        if (acknowledge) Raw(h.to, h.from, LS_NETMODE_ACK, header.Sequence, std::string(4, '\0'));
      }
    }
  }
  Heard& From(uint32_t sender) { return heard_[sender]; }

 private:
  // Services a host in the process (or lets a program's run) until a
  // frame of the host's satisfies done: 10 s at most.
  template <typename Done>
  bool Await(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int i = 0; i < 200 || std::chrono::steady_clock::now() < end; ++i) {
      np::Settle();
      const bool open = peer_.Read();
      const auto frames = peer_.Frames();
      for (; seen_ < frames.size(); ++seen_)
        if (done(frames[seen_])) {
          ++seen_;
          return true;
        }
      if (!open) return false;
      if (i >= 200) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  RawPeer peer_;
  uint32_t key_ = 0, request_ = 0;
  uint16_t hostData_ = 0;
  uint8_t reason_ = 0;
  size_t seen_ = 0;
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> next_;
  std::map<uint32_t, Heard> heard_;
  std::vector<Got> got_;
};

}  // namespace ztest
