// The track editor's pictures on the default circuit of the build's data
// tree: the 8-bit top view at tile size 16 with grid, camera, cars and a
// race line with one point selected; the same view with an overlay of 16
// bits, which shows face outlines only. Pinned as golden pictures.
#include <filesystem>
#include <vector>

#include "engine3d/texpages.h"
#include "engine3d/textures.h"
#include "platform/clock.h"
#include "racescene/mapinfo.h"
#include "racescene/race3d.h"
#include "shell/gamedraw.h"
#include "system/file.h"
#include "system/lsvar.h"
#include "tests/support/golden.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"
#include "track/track.h"

namespace {

class EditGolden : public ztest::TrackEditor {
 protected:
  uint32_t HeapSize() const override { return 96u << 20; }
  void SetUp() override {
    TrackEditor::SetUp();
    SetDrives({{'C', plat::DriveType::Fixed, "",
                (std::filesystem::path(ZENTROVA_EXE).parent_path() / "data").string()}});
    LSI_InitDirectory();
    plat::UseManualClock(true);
    plat::SetManualTime(1000);  // the blink's yellow phase
    ASSERT_EQ(SB_LoadDecor("DEC>NETRACE.DEC"), 1);
    ASSERT_EQ(SB_LoadMapInfo("TXT>NETRACE.TXT"), 1);
    BuildXZYList();
    SB_Var.Pal3d = nullptr;
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "travun>");
    SB_Var.Renderer = 1;
    ASSERT_EQ(SB_LoadPalette3d(nullptr), 1);
    SB_LoadMapTextures();
    screen_ = SB_CreateBmap(640, 480, 8, 0, "screen");
    savedScreen_ = LS_Var.Screen;
    LS_Var.Screen = screen_;
    // The camera and two cars on the first start slot, a race line by them.
    const TSTARTSLOT& slot = SB_Var.StartSlots[0];
    SB_Var.Camera.CurrentX = static_cast<int32_t>(slot.X * 320);
    SB_Var.Camera.CurrentZ = static_cast<int32_t>(slot.Z * 320);
    for (int32_t i = 0; i < 2; ++i) {
      cars_[i].Position[0] = slot.X + slot.RowStepX * (i + 1);
      cars_[i].Position[2] = slot.Z + slot.RowStepZ * (i + 1);
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 2, SB_Var.UsingCars = 1;
    const double line[4][2] = {{-30, -10}, {0, 0}, {30, 10}, {60, 40}};
    for (int32_t i = 0; i < 4; ++i) SB_Var.RaceLinePoints[i] = {slot.X + line[i][0], 0.0, slot.Z + line[i][1]};
    SB_Var.NbRaceLinePoints = 4;
    SB_Var.BsplineSelected[2] = 1;
  }
  void TearDown() override {
    SB_FreeEdit();
    LS_Var.Screen = savedScreen_;
    SB_FreeBmap(screen_);
    SB_FreeXZYList();
    SB_FreeTextures();
    SB_FreePalette3d();
    SB_FreeDecor();
    SB_Var.NbCars = 0, SB_Var.UsingCars = 0;
    plat::UseManualClock(false);
    TrackEditor::TearDown();
  }
  // The view scrolled to the start, the tool chosen, one frame, the
  // overlay in 24 bits compared with the golden picture.
  void Shoot(const char* golden, int32_t screenDepth) {
    if (screenDepth == 16) {  // the screen and overlay of a 16-bit race mode
      SB_FreeBmap(screen_);
      LS_Var.Screen = screen_ = SB_CreateBmap(640, 480, 16, 0, "screen");
      screen_->Format = BMAP_RGB565;
      SB_FreeBmap(SB_Var.TextScreen);
      SB_Var.TextScreen = SB_CreateBmap(640, 480, 16, 0, "overlay");
      SB_Var.TextScreen->Format = BMAP_RGB565;
    }
    SB_Edit();
    SB_Var.EditScrollX = (SB_Var.Camera.CurrentX - 2048) / SB_EDITTILEUNITS;
    SB_Var.EditScrollY = -(SB_Var.Camera.CurrentZ - 2048) / SB_EDITTILEUNITS;
    SB_RedrawEditView();
    SB_Var.EditTool = 2, SB_Var.EditCameraSelected = 1;
    Frame({}, 600, 420);
    SB_Var.EditTool = 4;
    Frame({}, 600, 420);
    BMAP* shot = SB_CreateBmap(640, 480, 24, 0, "shot");
    SB_Var.TextScreen->Palette = SB_Var.Pal3d;
    SB_Bitmove(SB_Var.TextScreen, shot, 0, 0, 639, 479, 0, 0);
    SetDrives({{'C', plat::DriveType::Fixed, "", root_}});  // where the golden copy is read
    LSI_InitDirectory();
    LS_LockBmap(shot);
    ztest::ExpectGolden(shot, golden, root_);
    LS_UnlockBmap(shot);
    SB_FreeBmap(shot);
  }
  BMAP* screen_ = nullptr;
  BMAP* savedScreen_ = nullptr;
  TCAR cars_[2]{};
};

TEST_F(EditGolden, TheStartAtTileSize16InEightBits) { Shoot("tests/tools/golden/trackedit8.tga", 8); }

TEST_F(EditGolden, TheStartWithASixteenBitScreenShowsOutlines) {
  Shoot("tests/tools/golden/trackedit16.tga", 16);
}

}  // namespace
