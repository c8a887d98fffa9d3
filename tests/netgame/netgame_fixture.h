// What the player-side message tests share: one machine whose controller
// id is known, fake cars, recording hooks, and messages built byte by byte.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "tests/support/testenv.h"
#include "vehicles/bytes.h"

namespace ztest {

inline std::vector<std::string>& HookCalls() {
  static std::vector<std::string> calls;
  return calls;
}

// A message: header, then the payload bytes.
inline std::string Message(int32_t type, int32_t p1, int32_t p2, const std::string& payload = "") {
  uint8_t h[XNETMSG_HEADERSIZE];
  NET_PutHeader(h, type, p1, p2);
  return std::string(reinterpret_cast<char*>(h), sizeof h) + payload;
}
inline std::string Long(uint32_t v) {
  uint8_t b[4];
  SB_PutLong(b, v);
  return std::string(reinterpret_cast<char*>(b), 4);
}
inline std::string Player(const CTRL_PLAYER& p) {
  uint8_t b[CTRL_PLAYERSIZE];
  NET_PutPlayer(b, p);
  return std::string(reinterpret_cast<char*>(b), sizeof b);
}

// A centre-line file at the path, of that many points (its count, then
// three doubles a point, all 0: a file may be far larger than a race
// takes without costing the disk).
inline void WriteLineFile(const std::string& path, int32_t points) {
  uint8_t count[4];
  SB_PutLong(count, static_cast<uint32_t>(points));
  WriteFile(path, std::string(reinterpret_cast<char*>(count), 4));
  std::filesystem::resize_file(path, 4 + 24 * static_cast<uintmax_t>(points > 0 ? points : 0));
}

// The data tree's race file "TXT>NETRACE.TXT" under root, as the shipped
// one (every game type's laps given as `laps`; null: the keys left out)
// naming the line "TXT>NETRACE.BSP", which is written with that many
// points (none: no line file).
inline void WriteRaceFile(const std::string& root, const char* laps, int32_t linePoints) {
  std::string text;
  for (const char* key : {"NLAPS", "RACENLAPS", "CONTROLLEDRACENLAPS", "OFFLINENLAPS", "MULTIRACENLAPS"})
    if (laps) text += std::string(key) + ": " + laps + "\r\n";
  WriteFile(root + "/TXT/NETRACE.TXT", text + "BSPLINENAME: TXT>NETRACE.BSP\r\n");
  std::filesystem::remove(root + "/TXT/NETRACE.BSP");
  if (linePoints > 0) WriteLineFile(root + "/TXT/NETRACE.BSP", linePoints);
}

class NetGameTest : public LibraryTest {
 protected:
  static constexpr uint32_t kController = 900;

  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4u << 20);
    LS_NetResetState(&machine_);
    machine_.Config.ControllerId = kController;
    LS_NetSelect(&machine_);
    NET_Side = {};
    HookCalls().clear();
    SB_Hooks.SetGameMode = [](int32_t m) {
      HookCalls().push_back("SetGameMode " + std::to_string(m));
      SB_Var.GameMode = m;
      return 1;
    };
    SB_Hooks.HudMessage = [](const char* t) { HookCalls().push_back(std::string("Hud ") + t); };
    SB_Hooks.AddToScoreTab = [](TCAR*, int32_t o, int32_t c) {
      HookCalls().push_back("Score " + std::to_string(o) + " " + std::to_string(c));
    };
    SB_Hooks.NetPlayerMessage = [](const CTRL_PLAYER*, const char* n) {
      HookCalls().push_back(std::string("Notice ") + n);
    };
    SB_Hooks.GetGameStep = [] { return step_; };
    SB_Hooks.NextGameStep = [] {
      HookCalls().push_back("NextGameStep");
      return 1;
    };
    SB_Hooks.StopReplayRecord = [] { HookCalls().push_back("StopReplayRecord"); };
    SB_Hooks.SetGameModeSteps = [](int32_t m) {
      HookCalls().push_back("SetGameModeSteps " + std::to_string(m));
      return 1;
    };
    for (int32_t i = 0; i < 4; ++i) {
      cars_[i] = TCAR{};
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 4;
    SB_Var.DrivenCar = SB_Var.NetPlayerOrder = 0;
    SB_Var.NetSlots = 4;
    for (int32_t i = 0; i < 4; ++i) {
      SB_Var.NetPlayers[i].Id = 100 + i;
      SB_Var.NetPlayers[i].InUse = 1;
    }
    SB_ClearPrintedLines();
  }

  void TearDown() override {
    for (TCAR*& c : SB_Var.Cars) c = nullptr;
    SB_Hooks = {};
    LS_NetSelect(nullptr);
    LibraryTest::TearDown();
  }

  static void Handle(uint32_t from, const std::string& m) {
    NET_HandleMessage(from, m.data(), static_cast<uint32_t>(m.size()));
  }
  static bool Printed(const std::string& text) {
    const auto& l = SB_PrintedLines();
    return std::find(l.begin(), l.end(), text) != l.end();
  }
  static bool Refused() {
    for (const std::string& l : SB_PrintedLines())
      if (l.find("REFUSED") != std::string::npos) return true;
    return false;
  }

  static inline int32_t step_ = 1;
  TLSNET machine_{};
  TCAR cars_[4];
};

}  // namespace ztest
