// The video-mode table as shipped, the selection by texture format and the
// pixel-format names.
#include "engine3d/videotable.h"

#include <gtest/gtest.h>

#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

TEST(VideoTable, TheShippedRows) {
  SB_ResetVars();
  EXPECT_EQ(SB_CountVideoModes(), 22);
  const struct {
    int row, width, height, depth, focal, viewWidth, viewHeight, viewX, viewY, kind;
  } rows[] = {{0, 320, 200, 8, 112, 320, 160, 0, 20, 1},    {3, 512, 384, 8, 179, 512, 384, 0, 0, 1},
              {5, 640, 480, 8, 224, 640, 320, 0, 80, 1},    {7, 640, 480, 8, 224, 640, 400, 0, 40, 1},
              {9, 800, 600, 8, 280, 800, 600, 0, 0, 1},     {14, 640, 400, 16, 224, 640, 320, 0, 40, 2},
              {18, 640, 480, 16, 224, 640, 480, 0, 0, 2},   {20, 640, 480, 24, 224, 640, 480, 0, 0, 4},
              {21, 800, 600, 24, 280, 800, 600, 0, 0, 4}};
  for (const auto& r : rows) {
    const TVIDEOMODE& m = SB_Var.VideoModes[r.row];
    EXPECT_EQ(m.Width, r.width) << r.row;
    EXPECT_EQ(m.Height, r.height) << r.row;
    EXPECT_EQ(m.Depth, r.depth) << r.row;
    EXPECT_EQ(m.Focal, r.focal) << r.row;
    EXPECT_EQ(m.ViewWidth, r.viewWidth) << r.row;
    EXPECT_EQ(m.ViewHeight, r.viewHeight) << r.row;
    EXPECT_EQ(m.ViewX, r.viewX) << r.row;
    EXPECT_EQ(m.ViewY, r.viewY) << r.row;
    EXPECT_EQ(m.Kind, r.kind) << r.row;
    EXPECT_EQ(m.Scale, 1.0f);
    EXPECT_EQ(m.Available, 0);
  }
  EXPECT_EQ(SB_Var.VideoModes[22].ViewWidth, 0);
  EXPECT_STREQ(SB_Var.Renderers[1].Name, "PERSPECTIVE");
  EXPECT_EQ(SB_Var.Renderers[3].Caps, 4);
  EXPECT_EQ(SB_Var.Renderers[3].Modes, 6);
}

TEST(VideoTable, FindKeepsToTheTextureFormat) {
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

TEST(VideoTable, PixelFormatNames) {
  EXPECT_STREQ(SB_GetPixelFormatName(2), "256COLORS");
  EXPECT_STREQ(SB_GetPixelFormatName(4), "RGB555   ");
  EXPECT_STREQ(SB_GetPixelFormatName(16), "RGB565   ");
  EXPECT_STREQ(SB_GetPixelFormatName(32), "RGB888   ");
  EXPECT_STREQ(SB_GetPixelFormatName(128), "RGB8880  ");
  EXPECT_STREQ(SB_GetPixelFormatName(64), "UNKNOWN  ");
}

}  // namespace
