// The window stand-in's show states and broadcasts, and the input script
// of headless runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/inputscript.h"
#include "platform/window.h"

namespace {

using namespace plat;

class InputScript : public ::testing::Test {
 protected:
  void SetUp() override { ResetWindowState(); }
  void TearDown() override {
    ResetWindowState();
    std::remove(path_.c_str());
  }
  bool Load(const std::string& text, std::string* error = nullptr) {
    std::ofstream(path_) << text;
    return LoadInputScript(path_, error);
  }
  // Runs one pass of the pump: counted, then the source polled.
  static void Pump() {
    CountPump();
    PollMessageSource();
  }
  static std::vector<uint32_t> Queued() {
    std::vector<uint32_t> out;
    for (WindowMessage m; PeekWindowMessage(m);) out.push_back(m.message * 1000 + static_cast<uint32_t>(m.wParam));
    return out;
  }
  std::string path_ =
      ::testing::TempDir() + "keys-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

int32_t g_shownByBackend = 0;

TEST_F(InputScript, ShowStatesAndBroadcastsAreRecorded) {
  static const WindowBackend backend = {nullptr, nullptr, nullptr, nullptr, [](int32_t s) { g_shownByBackend = s; }};
  ShowWindowState(kShowMinimized);
  SetWindowBackend(&backend);
  ShowWindowState(kShowMaximized);
  EXPECT_EQ(ShownWindowStates(), (std::vector<int32_t>{6, 3}));
  EXPECT_EQ(g_shownByBackend, 3);
  BroadcastWindowMessage({0xC000, 0, 5});
  ASSERT_EQ(BroadcastMessages().size(), 1u);
  EXPECT_EQ(BroadcastMessages()[0].lParam, 5);
  EXPECT_EQ(Queued(), std::vector<uint32_t>{0xC000 * 1000});  // it reaches this process too
}

TEST_F(InputScript, KeysArePlayedAfterTheirPumps) {
  ASSERT_TRUE(Load("# Alt+S\n2 18 down\n0 83 down\n\n3 83 up\n1 18 up\n"));
  Pump();
  EXPECT_FALSE(KeyState(18));
  Pump();
  EXPECT_TRUE(KeyState(18));
  EXPECT_TRUE(KeyState(83));
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgSysKeyDown * 1000 + 18, kMsgSysKeyDown * 1000 + 83}));
  for (int i = 0; i < 3; ++i) Pump();
  EXPECT_FALSE(KeyState(83));
  EXPECT_TRUE(KeyState(18));
  Pump();
  EXPECT_FALSE(KeyState(18));
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgSysKeyUp * 1000 + 83, kMsgSysKeyUp * 1000 + 18}));
}

TEST_F(InputScript, BadScriptsAreRefusedWithTheirLine) {
  std::string error;
  for (const char* bad : {"1 27\n", "x 27 down\n", "1 0 down\n", "1 256 up\n", "-1 27 up\n", "1 27 held\n",
                          "1 27 up extra\n"}) {
    EXPECT_FALSE(Load(std::string("0 32 down\n") + bad, &error)) << bad;
    EXPECT_NE(error.find(":2: "), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadInputScript(path_ + ".none", &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

}  // namespace
