// The console's music commands PLAYMOD, STOPMOD and QUIT's close, with the
// test module of the data tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datagen/modwrite.h"
#include "frontend/media.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"
#include "system/modstate.h"
#include "system/module.h"
#include "tests/support/modtest.h"

namespace {

using Lines = std::vector<std::string>;

class ModCommandsTest : public ztest::ModTest {
 protected:
  void SetUp() override {
    ztest::ModTest::SetUp();
    SB_ClearPrintedLines();
    ASSERT_EQ(plat::audio::AttachOutput(11025, 1), plat::audio::kOk);
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    const SOUNDFORMAT format = {11025, 1, 8};
    SetSoundFormat(&format);
    LSI_HoldModuleThread(1);
  }
  void TearDown() override {
    SB_ConsoleCloseMod();
    ztest::ModTest::TearDown();
  }
  void PutTestModule() {
    datagen::Module m = ztest::TestModule(4, "M.K.", {0, 1});
    m.At(0, 0, 0) = {428, ztest::kSquareLoop, 0, 0};
    PutBytes("MOD/TEST.MOD", datagen::EncodeMod(m));
  }
};

// Before a play, and while the file is missing, the commands do nothing;
// then PLAYMOD plays, STOPMOD stops (the module stays loaded), PLAYMOD plays
// again from the start and QUIT's close frees everything.
TEST_F(ModCommandsTest, PlayStopAndCloseOnceTheFileIsThere) {
  const int16_t allocs = LSI_Var.NbAlloc;
  EXPECT_EQ(SB_ConsoleStopMod(), 0);
  EXPECT_EQ(SB_ConsoleCloseMod(), 0);
  EXPECT_EQ(LSI_ModPlayer.Initialised, 0u);
  EXPECT_TRUE(SB_PrintedLines().empty());
  EXPECT_EQ(SB_ConsolePlayMod(), 0);
  EXPECT_EQ(std::pair(LS_GetModuleStatus(), SB_Var.TestModule), std::pair(0, static_cast<MODULE*>(nullptr)));
  EXPECT_EQ(LSI_ModPlayer.Initialised, 0u);
  EXPECT_EQ(SB_ConsoleStopMod(), 0);
  EXPECT_EQ(SB_PrintedLines(), Lines{"Missing module mod>test.mod"});

  SB_ClearPrintedLines();
  PutTestModule();
  EXPECT_EQ(SB_ConsolePlayMod(), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Initializing module system.", "Loading module mod>test.mod"}));
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_Var.ModuleSystemOn, 1);
  ASSERT_NE(SB_Var.TestModule, nullptr);
  EXPECT_STREQ(SB_Var.TestModule->Name, "mod>test.mod");
  EXPECT_EQ(LS_GetModuleStatus(), 1);
  EXPECT_EQ((std::pair<uint32_t, uint32_t>(LSI_ModState.MasterVolume, LSI_ModPlayer.FadeActive)),
            std::pair(64u, 0u));
  EXPECT_FALSE(Stream(440 * 10).empty());
  const uint32_t row = LSI_ModState.Row;
  EXPECT_EQ(SB_ConsolePlayMod(), 1);  // while it plays: nothing changes
  EXPECT_EQ(LSI_ModState.Row, row);
  EXPECT_TRUE(SB_PrintedLines().empty());

  EXPECT_EQ(SB_ConsoleStopMod(), 1);
  EXPECT_EQ(SB_PrintedLines(), Lines{"Stopping module."});
  EXPECT_EQ(LS_GetModuleStatus(), 0);
  EXPECT_NE(SB_Var.TestModule, nullptr);
  EXPECT_EQ(SB_ConsolePlayMod(), 1);
  EXPECT_EQ((std::pair<int32_t, uint32_t>(LS_GetModuleStatus(), LSI_ModState.Row)), std::pair(1, 0u));

  SB_ClearPrintedLines();
  EXPECT_EQ(SB_ConsoleCloseMod(), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Freeing module.", "Closing module system."}));
  EXPECT_EQ(std::pair(SB_Var.ModuleSystemOn, SB_Var.TestModule), std::pair(0, static_cast<MODULE*>(nullptr)));
  EXPECT_EQ(LSI_ModPlayer.Initialised, 0u);
  EXPECT_EQ(LSI_Var.NbAlloc, allocs);
  EXPECT_EQ(SB_ConsoleCloseMod(), 0);
}

// A damaged module starts the module system but plays nothing; the next
// PLAYMOD loads again, without starting the system twice.
TEST_F(ModCommandsTest, ADamagedModuleIsLoadedAgainByTheNextPlay) {
  LS_SetErrorMode(LS_ERRMODE_FATAL);  // as in the program: no error may be raised
  datagen::Module m = ztest::TestModule(4, "M.K.", {0, 1});
  std::vector<uint8_t> bytes = datagen::EncodeMod(m);
  PutBytes("MOD/TEST.MOD", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 600));
  EXPECT_EQ(SB_ConsolePlayMod(), 0);
  EXPECT_EQ(std::pair(SB_Var.ModuleSystemOn, SB_Var.TestModule), std::pair(1, static_cast<MODULE*>(nullptr)));
  EXPECT_EQ(LS_GetModuleStatus(), 0);
  PutBytes("MOD/TEST.MOD", bytes);
  EXPECT_EQ(SB_ConsolePlayMod(), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Initializing module system.", "Loading module mod>test.mod",
                                      "Loading module mod>test.mod"}));
  EXPECT_EQ(LS_GetModuleStatus(), 1);
}

// The module datagen writes into the data tree loads and sounds on every
// channel it uses.
TEST_F(ModCommandsTest, TheDataTreesTestModulePlays) {
  const std::filesystem::path built = std::filesystem::path(ZENTROVA_EXE).parent_path() / "data" / "mod" / "test.mod";
  ASSERT_TRUE(std::filesystem::exists(built)) << built;
  PutBytes("MOD/TEST.MOD", {});
  std::filesystem::copy_file(built, root_ + "/MOD/TEST.MOD", std::filesystem::copy_options::overwrite_existing);
  ASSERT_EQ(SB_ConsolePlayMod(), 1);
  EXPECT_EQ(LSI_ModState.Channels, 4u);
  EXPECT_EQ(LSI_ModState.SongLength, 4u);
  const std::vector<int32_t> s = Samples(Stream(11025 * 9));  // into the second pattern
  int sounding = 0, peak = 0;
  for (int32_t v : s) {
    sounding += v != 0;
    peak = std::max(peak, std::abs(v));
  }
  EXPECT_GT(sounding, 11025 * 8);
  EXPECT_GT(peak, 20);
  EXPECT_LE(peak, 128);
  for (uint32_t ch = 0; ch < 4; ++ch) EXPECT_NE(LSI_ModState.Channel[ch].Sample, LS_MODNOSAMPLE) << ch;
}

}  // namespace
