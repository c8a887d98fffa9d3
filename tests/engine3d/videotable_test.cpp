// The video-mode table as shipped, the selection by texture format and the
// pixel-format names.
#include "engine3d/videotable.h"

#include <gtest/gtest.h>

#include <array>

#include "console/hooks.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

TEST(VideoTable, TheShippedRowsAndNames) {
  SB_InstallHooks();
  SB_ResetVars();
  EXPECT_EQ(SB_CountVideoModes(), 22);
  using Row = std::array<int, 9>;  // width, height, depth, focal, view width, height, x, y, kind
  const std::pair<int, Row> rows[] = {
      {0, {320, 200, 8, 112, 320, 160, 0, 20, 1}},  {3, {512, 384, 8, 179, 512, 384, 0, 0, 1}},
      {5, {640, 480, 8, 224, 640, 320, 0, 80, 1}},  {7, {640, 480, 8, 224, 640, 400, 0, 40, 1}},
      {9, {800, 600, 8, 280, 800, 600, 0, 0, 1}},   {14, {640, 400, 16, 224, 640, 320, 0, 40, 2}},
      {18, {640, 480, 16, 224, 640, 480, 0, 0, 2}}, {20, {640, 480, 24, 224, 640, 480, 0, 0, 4}},
      {21, {800, 600, 24, 280, 800, 600, 0, 0, 4}}};
  for (const auto& [row, values] : rows) {
    const TVIDEOMODE& m = SB_Var.VideoModes[row];
    EXPECT_EQ((Row{m.Width, m.Height, m.Depth, m.Focal, m.ViewWidth, m.ViewHeight, m.ViewX, m.ViewY, m.Kind}),
              values)
        << row;
    EXPECT_EQ(std::pair(m.Scale, m.Available), std::pair(1.0f, 0)) << row;
  }
  EXPECT_EQ(SB_Var.VideoModes[22].ViewWidth, 0);
  EXPECT_STREQ(SB_Var.Renderers[1].Name, "PERSPECTIVE");
  EXPECT_EQ(std::pair(SB_Var.Renderers[3].Caps, SB_Var.Renderers[3].Modes), std::pair(4, 6));
  const std::pair<int32_t, const char*> names[] = {{2, "256COLORS"},  {4, "RGB555   "},   {16, "RGB565   "},
                                                   {32, "RGB888   "}, {128, "RGB8880  "}, {64, "UNKNOWN  "}};
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
