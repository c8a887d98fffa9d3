// Texture-animation playback on the game clock: step timing, directions,
// loops, pause, copies between pages, scroll rotations at both texel
// sizes, the per-texture lists, and the editor's lifetime in a race.
#include <cstring>
#include <vector>

#include "shell/owner.h"
#include "system/heap.h"
#include "tests/tools/txtanim/txtanim_fixture.h"
#include "tools/editors.h"

namespace ztest {
namespace {

class TxtAnimPlayTest : public TxtAnimTest {
 protected:
  void TearDown() override {
    SB_TxtAnimEndPageLists();
    for (int32_t p = 0; p < SB_Var.NbTexturePages; ++p) SB_FreeBmap(SB_Var.TexturePages[p]);
    SB_Var.NbTexturePages = SB_Var.NbTextures = 0;
    TxtAnimTest::TearDown();
  }
  // Two pages of patterned texels; texture i is a 64 x 64 square, four to
  // a row, textures 0..15 on page 0 and 16..31 on page 1.
  static void MakePages(int32_t depth) {
    for (int32_t p = 0; p < 2; ++p) {
      BMAP* page = SB_CreateBmap(256, 256, depth, LS_DefaultHeap, "test pages");
      for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < page->ByteLen; ++x) page->Start[y * page->ByteLen + x] = (x * 7 + y * 13 + p) & 0xFF;
      SB_Var.TexturePages[p] = page;
    }
    SB_Var.NbTexturePages = 2;
    SB_Var.NbTextures = 32;
    for (int32_t i = 0; i < 32; ++i) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[i];
      t.PageNumber = i / 16;
      t.X = (i % 4) * 64, t.Y = (i % 16) / 4 * 64, t.Width = t.Height = 64;
    }
  }
  static std::vector<uint8_t> Rect(int32_t page, int32_t x, int32_t y, int32_t w, int32_t h) {
    BMAP* b = SB_Var.TexturePages[page];
    const int32_t bytes = b->Depth / 8;
    std::vector<uint8_t> out;
    for (int32_t r = 0; r < h; ++r)
      for (int32_t c = 0; c < w * bytes; ++c) out.push_back(b->Start[(y + r) * b->ByteLen + x * bytes + c]);
    return out;
  }
  // Plays from time 1000 and advances the clock by ms per pass; the
  // current step after each pass (-1 once stopped).
  static std::vector<int32_t> Run(int32_t passes, int32_t ms) {
    std::vector<int32_t> steps;
    for (int32_t i = 0; i < passes; ++i) {
      SB_Var.Time += ms;
      SB_TxtAnimUpdate();
      steps.push_back((Anim()->Flags & TXA_PLAYING) ? Anim()->CurStep : -1);
    }
    return steps;
  }
  static void Start() {
    SB_Var.Time = 1000;
    SB_TxtAnimPlay(SB_Var.TxtAnimSet->CurAnim);
  }
  // A scroll animation of the kind over texture 5's rectangle at (x, y).
  static void NewScroll(int32_t kind, int32_t step, int32_t w, int32_t h) {
    NewAnim(1);
    SB_TxtAnimSetRect(1, 5, 64, 64, 64 + w - 1, 64 + h - 1);
    while (((Anim()->Flags & TXA_KINDMASK) >> TXA_KINDSHIFT) != static_cast<uint32_t>(kind)) SB_TxtAnimNextKind();
    Anim()->Steps[0].SrcX = static_cast<int16_t>(step);
    Anim()->Steps[0].Delay = 65536;
  }
};

TEST_F(TxtAnimPlayTest, StepsChangeJustAfterTheirTime) {
  NewAnim(3);
  for (int32_t i = 0; i < 3; ++i) Anim()->Steps[i].Delay = 65536;
  SB_TxtAnimToggleLoop();
  Start();
  EXPECT_EQ(Run(1, 50), std::vector<int32_t>({0}));  // 50 ms is not yet over 50
  EXPECT_EQ(Run(1, 1), std::vector<int32_t>({1}));
}

TEST_F(TxtAnimPlayTest, OrderOfTheSteps) {
  struct Row {
    bool loop, forward;
    std::vector<int32_t> steps;
  } rows[] = {
      {true, true, {1, 2, 0, 1}},
      {false, true, {1, 2, -1, -1}},
      {true, false, {2, 1, 0, 2}},
      {false, false, {-1, -1, -1, -1}},
  };
  for (const Row& row : rows) {
    NewAnim(3);
    for (int32_t i = 0; i < 3; ++i) Anim()->Steps[i].Delay = 65536;
    if (row.loop) SB_TxtAnimToggleLoop();
    if (!row.forward) SB_TxtAnimToggleFlag(TXA_FORWARD);
    Start();
    EXPECT_EQ(Run(4, 51), row.steps) << row.loop << row.forward;
  }
}

TEST_F(TxtAnimPlayTest, TheEndRestoresThePreview) {
  SB_Var.TxtAnimEditing = 1;
  LS_FillRect(SB_TxtAnimUi.Screen, 97, 47, 361, 311, 77);
  NewAnim(2);
  Start();
  EXPECT_EQ(SB_TxtAnimUi.PreviewSaved, 1);
  Run(1, 70);
  EXPECT_NE(LS_GetPixel(SB_TxtAnimUi.Screen, 200, 70), 77u);  // "UNDEFINED..." drawn over it
  Run(1, 70);
  EXPECT_EQ(SB_TxtAnimUi.PreviewSaved, 0);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 200, 70), 77u);
  SB_Var.TxtAnimEditing = 0;
}

TEST_F(TxtAnimPlayTest, PauseKeepsTheStep) {
  NewAnim(3);
  Start();
  Run(1, 51);  // delays 1..3: every pass is due
  SB_TxtAnimPause(0);
  EXPECT_EQ(Run(2, 100), std::vector<int32_t>({-1, -1}));
  EXPECT_EQ(Anim()->CurStep, 1);
  SB_TxtAnimPause(0);  // a second pause resumes
  EXPECT_EQ(Run(1, 0), std::vector<int32_t>({2}));  // its time ran out meanwhile
  EXPECT_EQ(SB_TxtAnimIsPlaying(), 1);
  SB_TxtAnimStop(0);
  EXPECT_EQ(SB_TxtAnimIsPlaying(), 0);
  EXPECT_EQ(Anim()->CurStep, 0);
}

TEST_F(TxtAnimPlayTest, ACopyStepMovesTheSourceOntoTheDestinationPage) {
  MakePages(8);
  NewAnim(2);
  SB_TxtAnimSetRect(1, 17, 64, 0, 71, 7);  // destination on page 1
  SB_TxtAnimSetRect(0, 2, 130, 10, 137, 17);
  const std::vector<uint8_t> source = Rect(0, 130, 10, 8, 8), before = Rect(1, 64, 0, 8, 8);
  ASSERT_NE(source, before);
  Start();
  Run(1, 51);  // step 0 copies
  EXPECT_EQ(Rect(1, 64, 0, 8, 8), source);
  // Step 1 has the destination and no source: nothing moves.
  const std::vector<uint8_t> page1 = Rect(1, 0, 0, 256, 256);
  Run(1, 51);
  EXPECT_EQ(Rect(1, 0, 0, 256, 256), page1);
}

TEST_F(TxtAnimPlayTest, ScrollRotations) {
  struct Row {
    int32_t kind, step, width;
    bool forward;
    int32_t dx, dy;  // where texel (x, y) came from after one step
  } rows[] = {
      {TXA_KIND_LEFT, 4, 64, true, 4, 0},   {TXA_KIND_LEFT, 4, 64, false, -4, 0},
      {TXA_KIND_TOP, 3, 16, true, 0, 3},    {TXA_KIND_BOTRIGHT, 2, 16, true, -2, -2},
      {TXA_KIND_RIGHT, 12, 8, true, -4, 0},  // 12 on 8 texels is 4
  };
  for (int32_t depth : {8, 16}) {
    MakePages(depth);
    for (const Row& row : rows) {
      SCOPED_TRACE(depth * 100 + row.kind * 10 + row.step);
      NewScroll(row.kind, row.step, row.width, 16);
      if (!row.forward) SB_TxtAnimToggleFlag(TXA_FORWARD);
      const int32_t w = row.width, h = 16, bytes = depth / 8;
      const std::vector<uint8_t> before = Rect(0, 64, 64, w, h);
      Start();
      EXPECT_EQ(Run(1, 51), std::vector<int32_t>({-1}));  // no loop: once
      const std::vector<uint8_t> after = Rect(0, 64, 64, w, h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const int32_t fx = ((x + row.dx) % w + w) % w, fy = ((y + row.dy) % h + h) % h;
          for (int32_t b = 0; b < bytes; ++b)
            ASSERT_EQ(after[(y * w + x) * bytes + b], before[(fy * w + fx) * bytes + b]) << x << "," << y;
        }
    }
    SB_Var.TxtAnimSet->CurAnim = 0;
    while (SB_Var.TxtAnimSet->NbAnims) SB_TxtAnimDelete(0);
    for (int32_t p = 0; p < 2; ++p) SB_FreeBmap(SB_Var.TexturePages[p]);
  }
  SB_Var.NbTexturePages = 0;
}

TEST_F(TxtAnimPlayTest, SixteenStepsOfFourBringBackTheFirstPicture) {
  MakePages(16);
  NewScroll(TXA_KIND_LEFT, 4, 64, 64);
  SB_TxtAnimToggleLoop();
  const std::vector<uint8_t> first = Rect(0, 64, 64, 64, 64);
  Start();
  for (int32_t i = 1; i <= 16; ++i) {
    Run(1, 51);
    EXPECT_EQ(Rect(0, 64, 64, 64, 64) == first, i == 16) << i;
  }
}

TEST_F(TxtAnimPlayTest, PageListsAndTheirFrameWords) {
  MakePages(8);
  NewAnim(1);
  SB_TxtAnimSetRect(1, 17, 64, 0, 71, 7);
  NewAnim(1);  // no destination: writes nowhere
  NewAnim(1);
  SB_TxtAnimSetRect(1, 17, 64, 8, 71, 15);
  const std::vector<uint8_t> corner = Rect(1, 0, 0, 8, 8);
  SB_TxtAnimStartAll();
  TPAGEANIMLIST** lists = SB_Var.PageAnimLists;
  ASSERT_NE(lists, nullptr);
  for (int32_t i = 0; i < 32; ++i) EXPECT_EQ(lists[i] == nullptr, i != 17) << i;
  ASSERT_EQ(lists[17]->NbAnims, 2);
  EXPECT_EQ(lists[17]->Anims[0], &SB_Var.TxtAnimSet->Anims[0]);
  EXPECT_EQ(lists[17]->Anims[1], &SB_Var.TxtAnimSet->Anims[2]);
  EXPECT_NE(Rect(1, 0, 0, 8, 8), corner);  // the page number stamped
  lists[17]->FrameWord = 0xABCD;
  SB_ResetPageAnims(nullptr);
  EXPECT_EQ(lists[17]->FrameWord, 0u);
  // Deleting every animation empties the lists rather than leaving them
  // on the freed array.
  while (SB_Var.TxtAnimSet->NbAnims) SB_TxtAnimDelete(0);
  SB_UpdatePageList(lists);
  EXPECT_EQ(lists[17], nullptr);
}

TEST_F(TxtAnimPlayTest, TheEditorsSetAndItsRelease) {
  TxtAnimTest::TearDown();  // as a race starts: nothing made yet
  ToolsTest::SetUp();
  EXPECT_EQ(SB_Var.TxtAnimSet, nullptr);
  EXPECT_STREQ(SB_Var.TxtAnimFileName, "TXTANIM.BIN");
  // Without the track editor's panel picture F3 goes back to the race.
  SB_Var.DebugMode = 3;
  SB_TxtAnimEditor();
  EXPECT_EQ(SB_Var.DebugMode, 0);
  EXPECT_EQ(SB_Var.TxtAnimSet, nullptr);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  SB_Var.EditorPicture = SB_CreateBmap(320, 286, 8, LS_DefaultHeap, "pcx>editor.pcx");
  SB_Var.DebugMode = 3;
  SB_TxtAnimEditor();
  EXPECT_EQ(SB_Var.DebugMode, 3);
  ASSERT_NE(SB_Var.TxtAnimSet, nullptr);
  EXPECT_EQ(SB_Var.TxtAnimSet->NbAnims, 0);
  ASSERT_NE(SB_Var.TxtAnimClipboard, nullptr);
  EXPECT_EQ(SB_Var.TxtAnimClipboard->NbAnims, 1);
  EXPECT_EQ(SB_Var.TxtAnimClipboard->Anims[0].NbSteps, 0);
  NewAnim(2);
  SB_TxtAnimStartAll();
  SB_FreeEdit();
  EXPECT_EQ(SB_Var.TxtAnimSet, nullptr);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  ASSERT_TRUE(SB_TxtAnimSetUpUi());  // for the fixture's tear-down
}

}  // namespace
}  // namespace ztest
