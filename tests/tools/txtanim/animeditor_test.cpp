// The texture-animation editor's frame driven by the pointer and keys:
// pages, right clicks on textures, step delays dragged, the scroll step,
// selections, the status line and the refusals while playing.
#include <string>
#include <vector>

#include "datagen/editorpanel.h"
#include "platform/window.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/tools/txtanim/txtanim_fixture.h"
#include "tools/editors.h"

namespace ztest {
namespace {

constexpr int32_t kShift = 0x10, kPageDown = 0x22;

class TxtAnimEditorTest : public TxtAnimTest {
 protected:
  void SetUp() override {
    TxtAnimTest::SetUp();
    LSYS_InitMouse();
    // Three pages of textures: 0 is 64 x 64 at (0, 0) of page 0, 1 is
    // 128 x 128 at (64, 0) of page 0, 2 is 32 x 32 at (0, 0) of page 2.
    for (int32_t p = 0; p < 3; ++p) {
      SB_Var.TexturePages[p] = SB_CreateBmap(256, 256, 8, LS_DefaultHeap, "test pages");
      LS_FillRect(SB_Var.TexturePages[p], 0, 0, 255, 255, 40 + p);
    }
    SB_Var.NbTexturePages = 3;
    SB_Var.NbTextures = 3;
    const int32_t places[3][5] = {{0, 0, 0, 64, 64}, {0, 64, 0, 128, 128}, {2, 0, 0, 32, 32}};
    for (int32_t i = 0; i < 3; ++i) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[i];
      t.PageNumber = places[i][0], t.X = places[i][1], t.Y = places[i][2];
      t.Width = places[i][3], t.Height = places[i][4];
    }
    MakeEditorPicture();
    SB_TxtAnimSetUp();
  }
  // The panel picture datagen writes, in the 3D palette when there is one.
  static void MakeEditorPicture() {
    if (SB_Var.EditorPicture) SB_FreeBmap(SB_Var.EditorPicture);
    const datagen::Picture8 p = datagen::EditorPanelPicture();
    SB_Var.EditorPicture = SB_CreateBmap(p.width, p.height, 8, LS_DefaultHeap, "test editor picture");
    for (int32_t y = 0; y < p.height; ++y)
      for (int32_t x = 0; x < p.width; ++x)
        SB_Var.EditorPicture->Start[y * SB_Var.EditorPicture->ByteLen + x] = p.pixels[size_t(y * p.width + x)];
    PALETTE own{};
    for (int32_t i = 0; i < 256; ++i)
      own.Entry[i] = {uint8_t(p.palette[size_t(3 * i)] >> 2), uint8_t(p.palette[size_t(3 * i + 1)] >> 2),
                      uint8_t(p.palette[size_t(3 * i + 2)] >> 2)};
    if (SB_Var.Pal3d) SB_RemapBmap(SB_Var.EditorPicture, &own, SB_Var.EditorPicture, SB_Var.Pal3d);
  }
  void TearDown() override {
    SB_FreeBmap(SB_Var.EditorPicture);
    SB_Var.EditorPicture = nullptr;
    plat::SetKeyState(1, false);
    plat::SetKeyState(2, false);
    SB_TxtAnimEndPageLists();
    for (int32_t p = 0; p < 3; ++p) SB_FreeBmap(SB_Var.TexturePages[p]);
    SB_Var.NbTexturePages = SB_Var.NbTextures = 0;
    TxtAnimTest::TearDown();
  }
  // One frame with the pointer at (x, y) and the buttons (bit 0 left,
  // bit 1 right) held.
  static void Frame(int32_t x, int32_t y, int32_t buttons) {
    plat::SetCursorPos(x, y);
    plat::SetKeyState(1, buttons & 1);
    plat::SetKeyState(2, buttons & 2);
    SB_TxtAnimEditor();
  }
  static void Click(int32_t x, int32_t y, int32_t button = 1) {
    Frame(x, y, button);
    Frame(x, y, 0);
  }
  static std::string Status() {
    char text[256];
    SB_TxtAnimStatusText(text, sizeof text);
    return text;
  }
};

TEST_F(TxtAnimEditorTest, WithoutAnimationsAddStepIsRefused) {
  Click(80 + 5, 444 + 5);  // add step
  EXPECT_EQ(Said(), "No Animation...");
  Click(100, 360);  // the step area
  EXPECT_EQ(Said(), "No Animation...");
  // Only the destination panel shows its page.
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 300, 100), 40u);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 100, 100), 0u);
  EXPECT_EQ(Status(), "");
}

TEST_F(TxtAnimEditorTest, PageDownHeldMovesOnePage) {
  plat::SetKeyState(kPageDown, true);
  for (int32_t i = 0; i < 3; ++i) Frame(600, 200, 0);
  EXPECT_EQ(SB_TxtAnimEdit.SourcePage, 1);
  plat::SetKeyState(kPageDown, false);
  Frame(600, 200, 0);
  plat::SetKeyState(kShift, true);
  plat::SetKeyState(kPageDown, true);
  Frame(600, 200, 0);
  plat::SetKeyState(kShift, false);
  plat::SetKeyState(kPageDown, false);
  EXPECT_EQ(SB_TxtAnimEdit.SourcePage, 1);
  EXPECT_EQ(SB_TxtAnimEdit.DestPage, 1);
  // The buttons keep the pages on the map's.
  for (int32_t i = 0; i < 4; ++i) Click(10 + 5, 283 + 5);  // source next
  EXPECT_EQ(SB_TxtAnimEdit.SourcePage, 2);
  Click(178 + 5, 283 + 5);  // source first
  Click(138 + 5, 283 + 5);  // source previous
  EXPECT_EQ(SB_TxtAnimEdit.SourcePage, 0);
}

TEST_F(TxtAnimEditorTest, RightClicksOnTexturesAndStepDelays) {
  Click(4 + 5, 444 + 5);  // new animation
  EXPECT_EQ(Status(), "Anim(Unnamed 0) 0 of 1 - Steps 0 of 1  - Editor Mode:WAITING... - Rate:20");
  Click(10 + 20, 20 + 20, 2);  // texture 0 on the source page
  const TTXTANIMSTEP* s = &Anim()->Steps[0];
  EXPECT_EQ(s->SrcFlags, TXA_SRCDEFINED);
  EXPECT_EQ(s->SrcW, 64);
  Click(80 + 5, 444 + 5);  // add step: the new one is current
  EXPECT_EQ(Anim()->CurStep, 1);
  Click(10 + 100, 20 + 20, 2);  // texture 1 is larger than step 0's source
  EXPECT_EQ(Anim()->Steps[1].SrcFlags, 0);
  EXPECT_EQ(Said(), "");
  // A right drag on step 1's box by 38 pixels lengthens step 0.
  const TTXTANIMSTEPBOX box = SB_TxtAnimEdit.StepBoxes[1];
  Frame(box.X1 + 5, 360, 2);
  EXPECT_EQ(SB_TxtAnimEdit.Mode, 5);
  Frame(box.X1 + 5 + 38, 360, 2);
  Frame(box.X1 + 5 + 38, 360, 0);
  EXPECT_EQ(Anim()->Steps[0].Delay, 2 * 65536);
  // Step 0 cannot move.
  Frame(SB_TxtAnimEdit.StepBoxes[0].X1 + 5, 360, 2);
  Frame(SB_TxtAnimEdit.StepBoxes[0].X1 + 5 + 38, 360, 2);
  Frame(0, 0, 0);
  EXPECT_EQ(Anim()->Steps[0].Delay, 2 * 65536);
}

TEST_F(TxtAnimEditorTest, CornersDraggedWithinTheTexture) {
  Click(4 + 5, 444 + 5);
  Click(10 + 20, 20 + 20, 2);  // texture 0: 64 x 64 at (0, 0)
  struct Row {
    int32_t pressX, pressY, toX, toY;  // page coordinates
    int32_t mode, x, y, w, h;
  } rows[] = {
      {0, 0, 8, 4, 1, 8, 4, 56, 60},       // top-left: the opposite corner stays
      {64, 64, 31, 31, 1, 8, 4, 24, 28},   // bottom-right
      {32, 32, 200, 200, 1, 8, 4, 56, 60}, // held inside the texture
      {64, 4, 2, 70, 1, 8, 63, 1, 1},      // top-right: the bottom edge stays, sizes never below 1
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.toX);
    Frame(10 + r.pressX, 20 + r.pressY, 1);
    EXPECT_EQ(SB_TxtAnimEdit.Mode, r.mode);
    Frame(10 + r.toX, 20 + r.toY, 1);
    const TTXTANIMSTEP& s = Anim()->Steps[0];
    EXPECT_EQ(std::vector<int32_t>({s.SrcX, s.SrcY, s.SrcW, s.SrcH}), std::vector<int32_t>({r.x, r.y, r.w, r.h}));
    Frame(10 + r.toX, 20 + r.toY, 0);
    EXPECT_EQ(SB_TxtAnimEdit.Mode, 0);
  }
}

TEST_F(TxtAnimEditorTest, AMapWithoutTexturesOrWithOnePage) {
  Click(4 + 5, 444 + 5);
  for (int32_t pages : {0, 1}) {
    SB_Var.NbTexturePages = pages;
    SB_Var.NbTextures = pages;
    for (int32_t x : {10, 50, 138, 178, 280, 320, 408, 448}) Click(x + 5, 283 + 5);
    EXPECT_EQ(SB_TxtAnimEdit.SourcePage, 0);
    EXPECT_EQ(SB_TxtAnimEdit.DestPage, 0);
    for (int32_t button : {1, 2})
      for (const int32_t* at : {(const int32_t[]){30, 40}, (const int32_t[]){300, 40}, (const int32_t[]){700, 900},
                                (const int32_t[]){-20, -20}, (const int32_t[]){400, 360}}) {
        Click(at[0], at[1], button);
        Frame(at[0] + 50, at[1] + 50, button);
      }
    Click(548 + 5, 30 + 5);  // play, one frame, stop
    Frame(0, 0, 0);
    Click(588 + 5, 30 + 5);
    EXPECT_EQ(Anim()->Steps[0].SrcFlags, pages ? TXA_SRCDEFINED : 0);  // texture 0 only on a page
  }
  SB_Var.NbTexturePages = SB_Var.NbTextures = 3;
}

TEST_F(TxtAnimEditorTest, ScrollStepsAndSelections) {
  Click(4 + 5, 444 + 5);
  Click(80 + 5, 444 + 5);
  for (int32_t i = 0; i < 2; ++i) SB_TxtAnimToggleStep(i);
  for (int32_t x : {2, 3, 638}) {
    Click(x, 400);
    EXPECT_EQ(Anim()->Steps[0].DstFlags & TXA_SELECTED, 0) << x;
    SB_TxtAnimToggleStep(0);
  }
  Click(4 + 5, 444 + 5);  // a second animation, made a scroll one
  Click(460 + 5, 462 + 5);
  Click(460 + 5, 462 + 5);
  ASSERT_EQ(SB_IsScrollAnim(), 1);
  Play("\b40\r");
  Click(300, 400, 2);
  EXPECT_EQ(Anim()->Steps[0].SrcX, 16);
}

// Whether the screen's w x h block at (x, y) is the panel picture's at
// (px, py).
bool ShowsPicture(int32_t x, int32_t y, int32_t px, int32_t py, int32_t w, int32_t h) {
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i)
      if (LS_GetPixel(SB_TxtAnimUi.Screen, x + i, y + j) != LS_GetPixel(SB_Var.EditorPicture, px + i, py + j))
        return false;
  return true;
}

TEST_F(TxtAnimEditorTest, ButtonsCheckBoxesAndCursorsFromThePanelPicture) {
  Frame(600, 200, 0);
  EXPECT_TRUE(ShowsPicture(4, 444, 160, 78, 32, 32));     // new animation, released
  EXPECT_TRUE(ShowsPicture(10, 283, 65, 174, 32, 16));    // source page next
  EXPECT_TRUE(ShowsPicture(588, 50, 255, 28, 33, 17));    // frame rate
  EXPECT_TRUE(ShowsPicture(340, 444, 191, 13, 16, 15));   // FORWARD, unchecked without animation
  // The arrow with its corner on the pointer.
  EXPECT_TRUE(ShowsPicture(600, 200, 94, 0, 1, 11));
  Frame(9, 449, 1);  // new animation pressed (below the cursor's rows)
  EXPECT_TRUE(ShowsPicture(4, 462, 160, 110 + 18, 32, 14));
  Frame(9, 449, 0);
  EXPECT_TRUE(ShowsPicture(4, 462, 160, 78 + 18, 32, 14));
  EXPECT_TRUE(ShowsPicture(340, 444, 207, 13, 16, 15));   // FORWARD checked
  EXPECT_TRUE(ShowsPicture(340, 463, 191, 13, 16, 15));   // PINGPONG not
  // Over a page, the cross-hair centred on the pointer.
  Frame(300, 100, 0);
  EXPECT_TRUE(ShowsPicture(300, 94, 86, 0, 1, 6));  // its upper arm
  // While playing the screen is not redrawn: the area under the cursor
  // comes back from its save, and the play button stays pressed (cleared).
  Click(280 + 10, 20 + 10, 2);
  Click(548 + 5, 30 + 5);
  ASSERT_EQ(SB_TxtAnimIsPlaying(), 1);
  Frame(600, 150, 0);
  EXPECT_NE(LS_GetPixel(SB_TxtAnimUi.Screen, 600, 150), 0u);
  Frame(600, 250, 0);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 600, 150), 0u);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 560, 40), 0u);
  Click(588 + 5, 30 + 5);  // stop
}

TEST_F(TxtAnimEditorTest, ChangingTheAnimationWhilePlayingIsRefused) {
  Click(4 + 5, 444 + 5);
  Click(4 + 5, 444 + 5);
  Click(280 + 10, 20 + 10, 2);  // a destination: texture 0
  Click(548 + 5, 30 + 5);        // play
  EXPECT_EQ(SB_TxtAnimIsPlaying(), 1);
  Frame(0, 0, 0);
  EXPECT_EQ(SB_TxtAnimEdit.Mode, 4);
  EXPECT_NE(Status().find("Editor Mode:PLAYING ANIMATION"), std::string::npos);
  Click(548 + 5, 70 + 5);  // previous animation
  EXPECT_EQ(Said(), "Stop Playing Before...");
  EXPECT_EQ(SB_Var.TxtAnimSet->CurAnim, 1);
  Click(588 + 5, 30 + 5);  // stop
  EXPECT_EQ(SB_TxtAnimIsPlaying(), 0);
  EXPECT_EQ(SB_Var.PageAnimLists, nullptr);
  Click(548 + 5, 70 + 5);
  EXPECT_EQ(SB_Var.TxtAnimSet->CurAnim, 0);
  // Without loop it ends by itself, and the status says so.
  Click(548 + 5, 30 + 5);
  Frame(0, 0, 0);
  EXPECT_EQ(SB_TxtAnimEdit.Mode, 4);
  SB_Var.Time += 100;
  Frame(0, 0, 0);
  Frame(0, 0, 0);
  EXPECT_EQ(SB_TxtAnimIsPlaying(), 0);
  EXPECT_EQ(SB_TxtAnimEdit.Mode, 0);
}

}  // namespace
}  // namespace ztest

namespace ztest {
namespace {

// Golden pictures of the editor's screen through a palette of 3-3-2 bits.
class TxtAnimGoldenTest : public TxtAnimEditorTest {
 protected:
  void SetUp() override {
    TxtAnimEditorTest::SetUp();
    for (int32_t i = 0; i < 256; ++i)
      palette_.Entry[i] = {static_cast<uint8_t>((i >> 5) * 9), static_cast<uint8_t>(((i >> 2) & 7) * 9),
                           static_cast<uint8_t>((i & 3) * 21)};
    SB_Var.Pal3d = &palette_;
    MakeEditorPicture();
    ASSERT_TRUE(SB_TxtAnimSetUpUi());
    for (int32_t p = 0; p < 3; ++p)
      for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x) SB_Var.TexturePages[p]->Start[y * 256 + x] = (x / 8 + y / 8 * 5 + p * 64) & 0xFF;
  }
  void TearDown() override {
    SB_Var.Pal3d = nullptr;
    TxtAnimEditorTest::TearDown();
  }
  void ExpectScreen(BMAP* screen, const std::string& golden) {
    BMAP* shot = LS_CreateBmap(640, 480, 24, LS_DefaultHeap);
    screen->Palette = &palette_;
    LS_Bitmove(screen, shot, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
    ExpectGolden(shot, golden, root_);
    LS_FreeBmap(shot);
  }
  PALETTE palette_{};
};

TEST_F(TxtAnimGoldenTest, TheEditorWithAThreeStepAnimation) {
  Click(4 + 5, 444 + 5);
  Click(280 + 10, 20 + 10, 2);  // destination: texture 0
  Click(10 + 10, 20 + 10, 2);   // source: texture 0
  for (int32_t step = 1; step < 3; ++step) {
    Click(80 + 5, 444 + 5);
    Click(10 + 70 + 10 * step, 20 + 10, 2);  // later steps: texture 1 is too large, refused
  }
  SB_TxtAnimToggleStep(1);
  Frame(600, 200, 0);
  ExpectScreen(SB_TxtAnimUi.Screen, "tests/tools/golden/txtanim_editor.tga");
}

TEST_F(TxtAnimGoldenTest, TheFrameRateDialog) {
  Click(4 + 5, 444 + 5);
  BMAP* overlay = SB_CreateBmap(640, 480, 8, LS_DefaultHeap, "test overlay");
  SB_Var.TextScreen = overlay;
  SB_TxtAnimAskFrameRate();  // no key can come: it shows once and ends
  ExpectScreen(overlay, "tests/tools/golden/txtanim_framerate.tga");
  SB_Var.TextScreen = nullptr;
  SB_FreeBmap(overlay);
}

}  // namespace
}  // namespace ztest
