// What the two- and three-machine game tests share: machines in one
// process over 127.0.0.1, each with the game's own network layer opened
// through NET_Open, and a wait step that pumps the other machines.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "net/ctrl.h"
#include "net/net.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "tests/netgame/netgame_fixture.h"
#include "tests/netlink/lsnet_fixture.h"

namespace ztest {

class NetSessionTest : public LsNetTest {
 protected:
  void SetUp() override {
    LsNetTest::SetUp();
    self_ = this;
    breaks_ = 0;
    quiet_ = nullptr;
    SB_Hooks.BreakBatch = [] { ++breaks_; };
    NET_SetWaitStep(Step);
    // The data tree's race file, as a game's: 3 laps of a line of 100 m,
    // the least time a host times races by (3.6 s: results a few
    // seconds after the start are entered).
    WriteRaceFile(root_, "3", 100);
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    for (TLSNET* m : {&host_, &mia_, &lea_}) {
      LS_NetSelect(m);
      if (SB_Var.XState != XSTATE_NONET) NET_Close();
    }
    NET_SetWaitStep(nullptr);
    SB_Hooks = {};
    self_ = nullptr;
    LsNetTest::TearDown();
  }

  // Each other open machine pumps once (a machine set quiet never does),
  // then the transport settles and 10 ms pass.
  static void Step() {
    static int depth = 0;
    if (depth < 3) {
      ++depth;
      TLSNET* current = LS_NetCurrent();
      for (TLSNET* m : {&self_->host_, &self_->mia_, &self_->lea_}) {
        if (m == current || m == quiet_ || !m->Config.IsOpen) continue;
        LS_NetSelect(m);
        NET_UpdateEvent();
        LS_NetSelect(current);
      }
      --depth;
    }
    np::Settle();
    plat::SleepMs(10);
  }

  // Opens the machine's network over provider 0.
  static void OpenNet(TLSNET& m) {
    LS_NetSelect(&m);
    ASSERT_EQ(NET_SetProtocol(0), 1);
    ASSERT_EQ(NET_Open(), 1);
  }

  // The host creates game "S" with player Hugo; the others find it.
  void Create(int32_t type, int32_t maxPlayers) {
    OpenNet(host_);
    ASSERT_EQ(NET_CreateServer("S", "Hugo", type, maxPlayers), 1);
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
  }
  static int32_t JoinAs(TLSNET& m, const char* name) {
    OpenNet(m);
    return NET_JoinServer(name, "S");
  }

  // The controller's machine closes its network.
  static void CloseHost() {
    TLSNET* was = LS_NetSelect(&self_->host_);
    NET_Close();
    LS_NetSelect(was);
  }

  // A race the host runs: each machine given sets its race up, LOADING to
  // the start line (WAIT4GO), in turn; then each says PLAYING in turn, the
  // first (the host, where it races) starting the race.
  static void ToStartLine(std::initializer_list<TLSNET*> machines) {
    for (TLSNET* m : machines) {
      LS_NetSelect(m);
      for (XSTATE s : {XSTATE_LOADING, XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO})
        ASSERT_EQ(NET_SetControllerStatus(s, 0), 1) << s;
    }
  }
  static void Go(std::initializer_list<TLSNET*> machines) {
    for (TLSNET* m : machines) {
      LS_NetSelect(m);
      ASSERT_EQ(NET_SetControllerStatus(XSTATE_PLAYING, 0), 1);
    }
  }

  static bool Printed(const std::string& text) {
    const auto& l = SB_PrintedLines();
    return std::find(l.begin(), l.end(), text) != l.end();
  }
  static bool PrintedStart(const std::string& text) {
    for (const std::string& l : SB_PrintedLines())
      if (l.rfind(text, 0) == 0) return true;
    return false;
  }
  // Pumps the current machine and steps until pred holds, at most n
  // times.
  template <typename Pred>
  static bool Until(Pred pred, int n = 200) {
    for (int i = 0; i < n; ++i) {
      if (pred()) return true;
      NET_UpdateEvent();
      Step();
    }
    return pred();
  }

  static inline NetSessionTest* self_ = nullptr;
  static inline int breaks_ = 0;
  static inline TLSNET* quiet_ = nullptr;
};

}  // namespace ztest
