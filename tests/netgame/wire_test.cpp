// The bytes of every game message on the wire, one row per message type
// sent: each built by its own sender on a machine of a session over
// 127.0.0.1, caught as its receiver's callback gets it (behind the packet
// header) and then handed to its reader.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "netlink/ls_net.h"
#include "system/input.h"
#include "tests/netgame/session_fixture.h"
#include "vehicles/replays.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

namespace np = plat::netplay;

// Little-endian words and floats, written here byte by byte.
std::string W(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
std::string F(float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  return W(v);
}
std::string H(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}
std::string Head(uint32_t type, uint32_t p1, uint32_t p2) { return W(type) + W(p1) + W(p2); }
// A player record: id, in use, state, group 0, sub-state, 0, pending, two
// unused bytes and the name word 0.
std::string Rec(uint32_t id, int inUse, int state, int sub, int pending) {
  return W(id) + Bytes({inUse, state, 0, sub, 0, pending, 0, 0}) + W(0);
}

// One message caught: where, by which callback, and its bytes.
struct Caught {
  TLSNET* at;
  bool server;
  std::string bytes;
};
std::vector<Caught> g_caught;

void CatchServer(uint32_t from, const void* m, uint32_t n) {
  g_caught.push_back({LS_NetCurrent(), true, std::string(static_cast<const char*>(m), n)});
  CTRL_HandleMessage(from, m, n);
}
void CatchPlayer(uint32_t from, const void* m, uint32_t n) {
  g_caught.push_back({LS_NetCurrent(), false, std::string(static_cast<const char*>(m), n)});
  NET_HandleMessage(from, m, n);
}

class NetWire : public ztest::NetSessionTest {
 protected:
  static void Catch(TLSNET& m) {
    m.Config.ServerMessage = CatchServer;
    m.Config.PlayerMessage = CatchPlayer;
  }
  // The first message of the type caught at the machine by the callback.
  static std::string First(TLSNET& m, bool server, uint32_t type) {
    for (const Caught& c : g_caught)
      if (c.at == &m && c.server == server && c.bytes.size() >= 4 && c.bytes.substr(0, 4) == W(type))
        return c.bytes;
    return "";
  }
  // Pumps until the message is caught.
  static std::string Wait(TLSNET& m, bool server, uint32_t type) {
    Until([&] { return !First(m, server, type).empty(); }, 50);
    return First(m, server, type);
  }

  static std::string Hex(const std::string& s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
      std::snprintf(b, sizeof b, "%02X ", c);
      out += b;
    }
    return out;
  }
};

TEST_F(NetWire, EveryMessageTypeSentHasItsBytes) {
  g_caught.clear();
  SB_Hooks.SetGameMode = [](int32_t m) {
    SB_Var.GameMode = m;
    return 1;
  };
  // Created and joined with the callbacks caught from the start.
  OpenNet(host_);
  Catch(host_);
  ASSERT_EQ(NET_CreateServer("S", "Hugo", CTRL_CONTROLLEDRACE, 4), 1);
  np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
  OpenNet(mia_);
  Catch(mia_);
  ASSERT_EQ(NET_JoinServer("Mia", "S"), 1);
  const uint32_t hugo = Hugo(), mia = Mia();

  TVEHICLESETUP setup{};
  setup.HDelta = 1.0f;
  setup.SDelta = -2.0f;
  std::memcpy(setup.Name, "Mia", 4);
  setup.NbStickers = 0;
  std::memcpy(setup.PrototypeName, "F1", 3);
  uint8_t setupBytes[SB_SETUPRECORDSIZE];
  SB_PackVehicleSetup(setup, setupBytes);
  const std::string setupWire(reinterpret_cast<char*>(setupBytes), sizeof setupBytes);
  // The setup record's own fields at their offsets.
  EXPECT_EQ(setupWire.substr(0, 8), F(1.0f) + F(-2.0f));
  EXPECT_EQ(setupWire.substr(12, 4), std::string("Mia\0", 4));
  EXPECT_EQ(setupWire.substr(360, 3), std::string("F1\0", 3));

  // Mia's car as the other machines see it, and its state to send.
  static TCAR cars[2];
  cars[0] = cars[1] = TCAR{};
  SB_Var.Cars[0] = &cars[0];
  SB_Var.Cars[1] = &cars[1];
  SB_Var.NbCars = 2;
  SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
  TCARSTATE& s = cars[1].OutState;
  s.Time = 777;
  SB_Var.Time = 1000;
  s.Position[0] = 1500;
  s.Position[1] = -2000;
  s.Position[2] = 3;
  s.Orientation = 0x12345678;
  s.EngineVolume = -2;
  s.EngineFrequency = 39000;
  s.Speed = 12.5f;
  s.RaceDistance = 1.5f;
  s.Steering = -0.25f;
  s.ContactSpeed = 2.0f;
  for (int w = 0; w < 4; ++w) {
    s.Suspension[w] = static_cast<uint8_t>(w + 1);
    s.WheelRoll[w] = static_cast<float>(w) + 0.5f;
  }
  s.Velocity[0] = 8.0f;
  s.AngularVelocity[2] = -1.0f;
  s.Flags = 0x41;
  const std::string carWire = W(777) + W(1500) + W(static_cast<uint32_t>(-2000)) + W(3) + W(0x12345678) +
                              H(0xFFFE) + H(39000) + F(12.5f) + F(1.5f) + F(-0.25f) + F(2.0f) +
                              Bytes({1, 2, 3, 4}) + F(0.5f) + F(1.5f) + F(2.5f) + F(3.5f) + F(8.0f) +
                              F(0.0f) + F(0.0f) + F(0.0f) + F(0.0f) + F(-1.0f) + Bytes({0x41, 0, 0, 0});
  ASSERT_EQ(carWire.size(), 88u);

  struct Row {
    const char* what;
    TLSNET* from;
    std::function<void()> send;  // null: sent while creating and joining
    TLSNET* to;
    bool server;
    uint32_t type;
    std::string bytes;
  };
  const Row rows[] = {
      {"7 game type", &host_, nullptr, &host_, true, 7, Head(7, CTRL_CONTROLLEDRACE, 4)},
      {"4 game type taken", &host_, nullptr, &host_, false, 4, Head(4, 1, 0)},
      {"5 order", &host_, nullptr, &mia_, false, 5, Head(5, 1, 10000000)},
      {"3 may I log in, from Hugo", &host_, nullptr, &host_, true, 3, Head(3, 0, 0)},
      {"8 status echoed", &host_, nullptr, &mia_, false, 8, Head(8, 1, 0) + Rec(mia, 0, 3, 1, 1)},
      {"1 game information asked", &mia_, nullptr, &host_, true, 1, Head(1, 0, 0)},
      {"2 game information", &host_, nullptr, &mia_, false, 2,
       Head(2, CTRL_CONTROLLEDRACE, 4) + W(4) + Rec(hugo, 1, 3, 1, 1) + Rec(mia, 1, 3, 1, 1) +
           std::string(32, '\0')},
      {"6 status", &mia_, [] { NET_SetControllerStatus(XSTATE_LOADING, 0); }, &host_, true, 6,
       Head(6, XSTATE_LOADING, 1)},
      {"9 setup to the controller", &mia_, [&] { NET_SendVehicleSetup(1, &setup); }, &host_, true, 9,
       Head(9, 1, 1) + setupWire},
      {"9 setup to the other players", &mia_, nullptr, &host_, false, 9, Head(9, 1, 1) + setupWire},
      {"10 every setup asked", &mia_, [] { NET_RequestVehicleSetups(); }, &host_, true, 10, Head(10, 0, 0)},
      {"9 setup from the controller, marked stored", &host_, nullptr, &mia_, false, 9,
       Head(9, 1, 1) + setupWire.substr(0, 21) + '\1' + setupWire.substr(22)},
      {"14 text", &mia_, [] { NET_Broadcast("hi"); }, &host_, false, 14, Head(14, 0, 0) + std::string("hi\0", 3)},
      {"13 car state", &mia_,
       [&] {
         // Hugo's machine reads it into Mia's car.
         host_.Vars.XState = XSTATE_WAIT4READY;
         host_.Vars.GameMode = CTRL_RACE;
         cars[1].Remote = 1;
         cars[1].TransitOffset = SB_TRANSITNONE;
         SB_Var.XState = XSTATE_PLAYING;
         SB_SendCarState(1);
       },
       &host_, false, 13, Head(13, 1, 0) + carWire},
      {"17 finished", &mia_,
       [&] {
         SB_Var.GameMode = CTRL_RACE;
         SB_Var.NbLaps = 3;
         cars[1].Laps = 3;
         cars[1].Distance = 1234.9;
         SB_Var.LocalBestLap = 61000;
         SB_Var.LocalRaceTime = 183000;
         // Raced, as the controller takes results only of a race it started:
         // launched, then Mia's PLAYING from the start line.
         LS_NetSelect(&host_);
         CTRL_StartNewRaceNow();
         LS_NetSelect(&mia_);
         for (XSTATE s : {XSTATE_READY2PLAY, XSTATE_WAIT4READY, XSTATE_WAIT4GO, XSTATE_PLAYING})
           NET_SetControllerStatus(s, 0);
         NET_SendRaceProgress(XNET_RACEFINISHED, 1);
       },
       &host_, false, 17, Head(17, 1, 1) + W(61000) + W(183000) + W(1234)},
      {"18 out of time, no times", &mia_,
       [] {
         cars[1].Laps = 2;
         NET_SendRaceProgress(XNET_OUTOFTIME, 0);
         // Out of the race, back to loading the next.
         NET_SetControllerStatus(XSTATE_ENDOFRACE, 0);
         NET_SetControllerStatus(XSTATE_LOADING, 0);
       },
       &host_, false, 18, Head(18, 1, 0) + W(1000000000) + W(1000000000) + W(1234)},
      {"15 presence query", &host_,
       [&] {
         host_.Ctrl.GameType = CTRL_RACE;
         host_.Ctrl.LastCheck = LS_GetTime() - 10001;
         CTRL_DropSilentPlayers();
         host_.Ctrl.GameType = CTRL_CONTROLLEDRACE;
       },
       &mia_, false, 15, Head(15, 0, 0)},
      {"16 presence answered", &mia_, nullptr, &host_, true, 16, Head(16, 0, 0)},
      {"19 new race to all", &host_, [] { CTRL_LaunchNewRace(); }, &mia_, false, 19, Head(19, 2, 0)},
      {"20 start now", &host_, [] { CTRL_StartNewRaceNow(); }, &mia_, false, 20, Head(20, 2, 0)},
      {"19 to a player not yet ready", &host_, [] { CTRL_SetGameState(CTRL_WARMUP); }, &mia_, false, 19,
       Head(19, 0, 0)},
      {"21 practice", &host_, [] { CTRL_EnterPracticeMode(); }, &mia_, false, 21, Head(21, 0, 0)},
      {"22 end of race", &host_, [] { CTRL_EndOfRace(); }, &mia_, false, 22, Head(22, 2, 0)},
      {"24 best time, Mia's finish", &host_, [] { CTRL_SendBestTime(); }, &mia_, false, 24,
       Head(24, 183000, 0)},
      {"29 maximum lowered", &host_, [&] { CTRL_ChangeMaxPlayers(mia); }, &mia_, false, 29, Head(29, 3, 0)},
      {"8 with the name of a player gone", &host_, [&] { DelPlayer(mia); }, &host_, false, 8,
       Head(8, 1, 1) + Rec(mia, 0, 0, 1, 0) + std::string("Mia\0", 4)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    if (r.send) {
      g_caught.clear();
      LS_NetSelect(r.from);
      r.send();
    }
    LS_NetSelect(r.from);
    const std::string got = Wait(*r.to, r.server, r.type);
    EXPECT_EQ(Hex(got), Hex(r.bytes));
  }
  // What the readers made of them.
  EXPECT_EQ(cars[1].LastState.Position[1], -2000);
  EXPECT_EQ(cars[1].LastState.Orientation, 0x12345678u);
  EXPECT_EQ(cars[1].LastState.EngineVolume, -2);
  EXPECT_EQ(cars[1].LastState.WheelRoll[3], 3.5f);
  EXPECT_EQ(cars[1].LastState.AngularVelocity[2], -1.0f);
  EXPECT_EQ(cars[1].LastState.Flags, 0x41);
  EXPECT_EQ(cars[1].BestLap, 1000000000);  // message 18 read last
  EXPECT_EQ(cars[1].Distance, 1234.0);
  EXPECT_STREQ(SB_Var.CarSetups[1].Name, "Mia");
  EXPECT_STREQ(SB_Var.CarSetups[1].PrototypeName, "F1");
  EXPECT_EQ(host_.Ctrl.Setups[1].HDelta, 1.0f);
  EXPECT_TRUE(Printed("[CTRL]*** Broadcast Message from Mia ***\n'hi'\n"));
  for (TCAR*& c : SB_Var.Cars) c = nullptr;
  SB_Var.NbCars = 0;
}

}  // namespace
