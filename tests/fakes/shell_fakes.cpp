// Recording fakes in place of the weak stubs the console and the game
// helpers call, and the shell fixture.
#include "tests/fakes/shell_fakes.h"

#include <filesystem>

#include "console/networds.h"
#include "datagen/devenv.h"
#include "engine3d/palette3d.h"
#include "frontend/media.h"
#include "net/net.h"
#include "racescene/videomode.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"

namespace ztest {

ShellFakes& Shell() {
  static ShellFakes fakes;
  return fakes;
}

void WriteDevEnvPicture(const std::string& root) {
  std::filesystem::create_directories(root + "/PCX");
  ASSERT_TRUE(datagen::WritePcx(root + "/PCX/DEVENV.PCX", datagen::DevEnvPicture()));
}

void ShellTest::SetUp() {
  LibraryTest::SetUp();
  StartLibrary(4 << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  Shell() = ShellFakes{};
  SB_Hooks.ToggleFullScreen = [] {
    ++Shell().toggles;
    return 1;
  };
  SB_ClearPrintedLines();
  nbAlloc_ = LSI_Var.NbAlloc;
  nbBmap_ = LSI_Var.NbBmap;
  nbPal_ = LSI_Var.NbPal;
}

void ShellTest::TearDown() {
  if (SB_Var.DevEnvScreen) SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvScreen = nullptr;
  if (LS_Var.Screen) LS_FreeBmap(LS_Var.Screen);
  LS_Var.Screen = nullptr;
  EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_) << "heap blocks left";
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_) << "bitmaps left";
  EXPECT_EQ(LSI_Var.NbPal, nbPal_) << "palettes left";
  EXPECT_EQ(SB_Var.NbMemOwners, 0) << "owner records left";
  EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "bitmap owner records left";
  LibraryTest::TearDown();
}

std::string ShellTest::Line(int32_t i) { return SB_Var.ConsoleText[i]; }

void ShellTest::MakeScreen(int32_t depth) {
  // The display's mode is 16-bit: other depths get a memory screen.
  LS_Var.ScreenMode = 1;
  LS_Var.Screen = LS_CreateBmap(640, 480, depth, depth == 16 ? BMAP_FRONTSCREEN : 0);
  ASSERT_NE(LS_Var.Screen, nullptr);
}

}  // namespace ztest

void NET_UpdateEvent() {
  ++ztest::Shell().netUpdates;
  if (ztest::Shell().onNetUpdate) ztest::Shell().onNetUpdate();
}

int32_t SB_NetConsoleCommand(const char* first, const char* second, const char* third, const char* fourth,
                             const char* rest, const char* keyword) {
  ztest::Shell().netCommands.push_back({first, second, third, fourth, rest, keyword});
  return std::string(keyword) == "CLOSENET" ? 1 : 0;
}

void SB_FloydBmap24to8(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t x, int32_t y) {
  ztest::Shell().floyd.push_back(
      {reinterpret_cast<intptr_t>(source), reinterpret_cast<intptr_t>(destination), x1, y1, x2, y2, x, y});
}

