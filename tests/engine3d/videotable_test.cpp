// The video-mode table as shipped, the selection by texture format and the
// pixel-format names.
#include "engine3d/videotable.h"

#include <gtest/gtest.h>

#include <array>

#include "console/hooks.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

// The rows are seen through VIDEOLIST (the console's tests); here the
// default row and the format names.
TEST(VideoTable, TheDefaultRowAndTheFormatNames) {
  SB_InstallHooks();
  SB_ResetVars();
  EXPECT_EQ(SB_CountVideoModes(), 22);
  const TVIDEOMODE& m = SB_Var.VideoModes[SB_Var.VideoModeIndex];
  EXPECT_EQ((std::array<int, 5>{m.Width, m.Height, m.Depth, m.ViewHeight, m.ViewY}), (std::array<int, 5>{640, 480, 8, 400, 40}));
  const std::pair<int32_t, const char*> names[] = {{2, "256COLORS"}, {16, "RGB565   "}, {64, "UNKNOWN  "}};
  for (const auto& [format, name] : names) EXPECT_STREQ(SB_GetPixelFormatName(format), name) << format;
}

TEST(VideoTable, FindKeepsToTheTextureFormat) {
  SB_InstallHooks();
  SB_ResetVars();
  for (int row : {2, 12, 15}) {
    SB_Var.VideoModes[row].Available = 1;
    SB_Var.VideoModes[row].TextureFormat = row == 2 ? BMAP_PAL8 : BMAP_RGB565;
  }
  SB_Var.VideoModeIndex = 13;
  SB_FindVideoMode(BMAP_PAL8);
  EXPECT_EQ(SB_Var.VideoModeIndex, 2);
  SB_FindVideoMode(BMAP_RGB565);
  EXPECT_EQ(SB_Var.VideoModeIndex, 12);
  SB_FindVideoMode(BMAP_RGB555);  // none: the selection stays
  EXPECT_EQ(SB_Var.VideoModeIndex, 12);
  SB_Var.VideoModeIndex = 40;  // past the end: from row 0
  SB_FindVideoMode(0);
  EXPECT_EQ(SB_Var.VideoModeIndex, 2);
}

}  // namespace
