// What the LS_Net and reliable-layer tests share: machines in one process,
// each with LS_Net open over 127.0.0.1 and the five callbacks recording
// what reaches them; a host of session "S" with "SERVER" and "Hugo",
// members "Mia" and "Lea"; pumps on the manual clock; raw receives that
// show the wire bytes.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "netlink/ls_net.h"
#include "platform/clock.h"
#include "platform/netplay/netplay.h"
#include "shell/console.h"
#include "system/error.h"
#include "tests/netplay/netplay_fixture.h"
#include "tests/support/testenv.h"

namespace ztest {

// One delivered message or system event.
struct Delivered {
  uint32_t from;
  std::string data;
  bool operator==(const Delivered&) const = default;
};

// What the callbacks of one machine saw.
struct MachineLog {
  std::vector<Delivered> server, player;  // ServerMessage, PlayerMessage
  std::vector<std::pair<uint32_t, uint32_t>> serverSystem, playerSystem;  // (player, kind)
  std::vector<std::pair<uint32_t, uint32_t>> failures;                    // (sequence, recipient)
};

inline std::map<const TLSNET*, MachineLog>& Logs() {
  static std::map<const TLSNET*, MachineLog> logs;
  return logs;
}
inline MachineLog& CurrentLog() { return Logs()[LS_NetCurrent()]; }

inline std::string Bytes(const void* p, uint32_t n) { return std::string(static_cast<const char*>(p), n); }

// The console's lines since they were last cleared: how many equal text,
// and whether one does or one begins with it.
inline int CountPrinted(const std::string& text) {
  const auto& l = SB_PrintedLines();
  return static_cast<int>(std::count(l.begin(), l.end(), text));
}
inline bool Printed(const std::string& text) { return CountPrinted(text) > 0; }
inline bool PrintedStart(const std::string& text) {
  for (const std::string& l : SB_PrintedLines())
    if (l.rfind(text, 0) == 0) return true;
  return false;
}

inline const uint32_t* const kAll = reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOALL});
inline const uint32_t* const kController = reinterpret_cast<const uint32_t*>(uintptr_t{NET_TOCONTROLLER});

// A raw packet as the transport gives it.
struct RawPacket {
  uint32_t to = 0, from = 0;
  std::string bytes;
};

class LsNetTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(8u << 20);
    LS_SetErrorMode(LS_ERRMODE_LOG);
    np::SetDiscoveryBase(0);
    np::SetHosts("127.0.0.1");
    for (TLSNET* m : {&host_, &mia_, &lea_}) LS_NetResetState(m);
    Logs().clear();
  }

  void TearDown() override {
    for (TLSNET* m : {&host_, &mia_, &lea_}) {
      LS_NetSelect(m);
      LS_NetShutdown();
    }
    LS_NetSelect(nullptr);
    np::ResetConfig();
    np::ResetTestProviders();
    LibraryTest::TearDown();
  }

  static LS_NETCONFIG Config() {
    LS_NETCONFIG c{};
    c.Size = sizeof c;
    c.LocalPlayerId = 0xFFFFFFFF;
    c.MaxPlayers = 32;
    c.SendFailure = [](uint32_t seq, uint32_t to) { CurrentLog().failures.push_back({seq, to}); };
    c.ServerMessage = [](uint32_t from, const void* m, uint32_t n) {
      CurrentLog().server.push_back({from, Bytes(m, n)});
    };
    c.ServerSystem = [](uint32_t p, uint32_t k) { CurrentLog().serverSystem.push_back({p, k}); };
    c.PlayerSystem = [](uint32_t p, uint32_t k) { CurrentLog().playerSystem.push_back({p, k}); };
    c.PlayerMessage = [](uint32_t from, const void* m, uint32_t n) {
      CurrentLog().player.push_back({from, Bytes(m, n)});
    };
    return c;
  }

  // Selects the machine and opens LS_Net over provider 0.
  static void Open(TLSNET& m) {
    LS_NetSelect(&m);
    ASSERT_EQ(LS_NetEnumerateProtocols(nullptr), 1);
    const LS_NETCONFIG c = Config();
    ASSERT_EQ(LS_NetInit(&c), 1);
  }

  // The host with "SERVER" and "Hugo"; the members join when asked.
  void Meet(bool withLea = false) {
    Open(host_);
    ASSERT_EQ(LS_NetCreateSession(32, "S", "Hugo"), 1);
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
    Join(mia_, "Mia");
    if (withLea) Join(lea_, "Lea");
    PumpAll();
    Logs().clear();
  }

  static void Join(TLSNET& m, const char* name) {
    Open(m);
    ASSERT_EQ(LS_NetEnumerateSessions(nullptr, 100), 1);
    ASSERT_EQ(LS_NetJoinSession(name, 0), 1);
  }

  // Each open machine pumps once after everything settles.
  void PumpAll() {
    for (TLSNET* m : {&host_, &mia_, &lea_}) {
      if (!m->Config.IsOpen) continue;
      np::Settle();
      LS_NetSelect(m);
      LS_NetUpdateEvent();
    }
  }

  // Everything waiting for the machine, read past LS_Net.
  static std::vector<RawPacket> Raw(TLSNET& m) {
    LS_NetSelect(&m);
    np::Settle();
    std::vector<RawPacket> out;
    for (int i = 0; i < 10000; ++i) {
      RawPacket p;
      uint8_t buf[LS_NETMAXPACKET];
      uint32_t size = sizeof buf;
      const int32_t kind = LSYS_NetReceive(&p.to, &p.from, buf, &size);
      if (kind == 0) break;
      if (kind != 2) continue;
      p.bytes = Bytes(buf, size);
      out.push_back(p);
    }
    return out;
  }

  // The header and payload as the wire carries them.
  static std::string Packet(uint8_t mode, uint32_t sequence, const std::string& payload = "") {
    uint8_t h[LS_NETHEADERSIZE];
    LS_NetPutHeader(h, mode, sequence);
    return Bytes(h, sizeof h) + payload;
  }

  uint32_t Hugo() const { return host_.Config.LocalPlayerId; }
  uint32_t Server() const { return host_.Config.ControllerId; }
  uint32_t Mia() const { return mia_.Config.LocalPlayerId; }
  uint32_t Lea() const { return lea_.Config.LocalPlayerId; }
  static MachineLog& Log(const TLSNET& m) { return Logs()[&m]; }

  TLSNET host_{}, mia_{}, lea_{};
};

}  // namespace ztest
