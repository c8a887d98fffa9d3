// The texture-animation set: its memory blocks, new animations, steps
// added, inserted, deleted, copied and pasted, kinds, rectangles, rates,
// and the commands refused without a set or beyond the step count.
#include <cstring>

#include "shell/owner.h"
#include "system/error.h"
#include "system/heap.h"
#include "tests/tools/txtanim/txtanim_fixture.h"

namespace ztest {
namespace {

using TxtAnimSetTest = TxtAnimTest;

TEST_F(TxtAnimSetTest, GrowBlockKeepsTheRecordsZeroesTheRestAndFreesTheOld) {
  auto* block = static_cast<int32_t*>(MK_GetMem(3 * sizeof(int32_t)));
  ASSERT_NE(block, nullptr);
  const int32_t owners = SB_Var.NbMemOwners;
  EXPECT_STREQ(SB_MemOwners[owners - 1].Owner, "MK_GetMem");
  block[0] = 7, block[1] = 8, block[2] = 9;
  auto* grown = static_cast<int32_t*>(MK_GrowBlock(block, 2, sizeof(int32_t), 3));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(SB_Var.NbMemOwners, owners);  // the old block went back
  const int32_t expected[5] = {7, 8, 0, 0, 0};
  EXPECT_EQ(std::memcmp(grown, expected, sizeof expected), 0);
  MK_FreeMem(grown);
  MK_FreeMem(nullptr);
  EXPECT_EQ(MK_GetMem(0), nullptr);
}

TEST_F(TxtAnimSetTest, ANewAnimationHasOneDefaultStepAndTheTypedName) {
  SB_TxtAnimNew();
  const TTXTANIM* a = Anim();
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->Name, "Unnamed 0");  // the default, taken as Enter takes it
  ASSERT_EQ(a->NbSteps, 1);
  EXPECT_EQ(a->Steps[0].Delay, 65536);
  EXPECT_EQ(a->Steps[0].SrcFlags, 0);
  EXPECT_EQ(a->Steps[0].DstFlags, 0);
  EXPECT_EQ(a->Flags, TXA_FORWARD);
  EXPECT_STREQ(SB_TxtAnimKindLabel(a->Flags), "NORMAL         ");
  EXPECT_EQ(a->Rate, 50.0 / 65536.0);
  EXPECT_EQ(SB_TxtAnimTotalDelay(), 65536.0);

  Type("\bA_B CDEFGH\r");  // after "Unnamed ", held to 15 characters
  SB_TxtAnimNew();
  EXPECT_STREQ(Anim()->Name, "Unnamed A_B CDE");
  EXPECT_EQ(SB_Var.TxtAnimSet->CurAnim, 1);
}

TEST_F(TxtAnimSetTest, AddingAfterADestinationCopiesItAndNotTheSource) {
  SB_TxtAnimNew();
  SB_TxtAnimSetRect(1, 3, 40, 30, 10, 20);  // corners in any order
  SB_TxtAnimSetRect(0, 2, 0, 0, 7, 7);
  SB_TxtAnimAddStep();
  const TTXTANIMSTEP& s = Anim()->Steps[1];
  EXPECT_EQ(s.DstFlags, TXA_DSTDEFINED);
  EXPECT_EQ(s.DstTexture, 3);
  EXPECT_EQ(s.DstX, 10);
  EXPECT_EQ(s.DstY, 20);
  EXPECT_EQ(s.DstW, 31);
  EXPECT_EQ(s.DstH, 11);
  EXPECT_EQ(s.SrcFlags, 0);
  EXPECT_EQ(s.Delay, 65536);
  EXPECT_EQ(Anim()->LastShown, 1);
}

// An inserted step takes the destination of the step before it, or of the
// step after it when inserted first; its delay is a fresh one.
TEST_F(TxtAnimSetTest, AnInsertedStepTakesTheDestinationBeforeIt) {
  const struct {
    int32_t at, texture;
  } rows[] = {{1, 10}, {2, 11}, {0, 10}};
  for (const auto& r : rows) {
    NewAnim(3);
    for (int32_t i = 0; i < 3; ++i) {
      SB_TxtAnimSetCurStep(i);
      SB_TxtAnimSetRect(1, 10 + i, 0, 0, 7, 7);
    }
    SB_TxtAnimSetCurStep(r.at);
    SB_TxtAnimInsertStep();
    ASSERT_EQ(Anim()->NbSteps, 4) << r.at;
    EXPECT_EQ(Anim()->Steps[r.at].DstTexture, r.texture) << r.at;
    EXPECT_EQ(Anim()->Steps[r.at].DstFlags, TXA_DSTDEFINED) << r.at;
    EXPECT_EQ(Anim()->Steps[r.at].Delay, 65536) << r.at;
    EXPECT_EQ(Anim()->Steps[r.at + 1].DstTexture, 10 + r.at) << r.at;  // moved up one
  }
}

TEST_F(TxtAnimSetTest, StepDeletionsAndTheirRefusals) {
  struct Row {
    int32_t steps, index;
    const char* message;
    std::vector<int32_t> after;
  };
  const Row rows[] = {
      {1, 0, "Animation cannot be empty...", {1}},
      {5, 5, "No File...", {1, 2, 3, 4, 5}},  // one past the last step
      {5, -1, "No File...", {1, 2, 3, 4, 5}},
      {5, 4, "", {1, 2, 3, 4}},
      {5, 1, "", {1, 3, 4, 5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.steps * 100 + row.index);
    NewAnim(row.steps);
    SB_TxtAnimDeleteStep(row.index);
    EXPECT_EQ(Said(), row.message);
    EXPECT_EQ(Delays(), row.after);
  }
}

TEST_F(TxtAnimSetTest, DeletingEverySelectedStepLeavesOne) {
  NewAnim(4);
  for (int32_t i = 0; i < 4; ++i) SB_TxtAnimToggleStep(i);
  EXPECT_EQ(Anim()->CurStep, 3);
  SB_TxtAnimDeleteSelected();
  EXPECT_EQ(Delays(), std::vector<int32_t>({4}));
  EXPECT_EQ(Anim()->CurStep, 0);
  EXPECT_EQ(Said(), "Animation cannot be empty...");
}

TEST_F(TxtAnimSetTest, PastingTwoStepsAtStepOneOfFive) {
  NewAnim(5);
  SB_TxtAnimToggleStep(1);
  SB_TxtAnimToggleStep(3);
  SB_TxtAnimCopy();
  EXPECT_EQ(SB_Var.TxtAnimClipboard->Anims[0].NbSteps, 2);
  SB_TxtAnimClearSelection();
  SB_TxtAnimSetCurStep(1);
  SB_TxtAnimPaste();
  EXPECT_EQ(Delays(), std::vector<int32_t>({1, 2, 4, 2, 3, 4, 5}));
  // The pasted steps came selected; cut moves them with step 0 to the
  // clipboard.
  SB_TxtAnimToggleStep(0);
  SB_TxtAnimCut();
  EXPECT_EQ(Delays(), std::vector<int32_t>({2, 3, 4, 5}));
  EXPECT_EQ(SB_Var.TxtAnimClipboard->Anims[0].NbSteps, 3);
  EXPECT_EQ(SB_Var.TxtAnimClipboard->Anims[0].Steps[0].Delay, 1);
  SB_TxtAnimClearSelection();
  SB_TxtAnimCopy();
  EXPECT_EQ(Said(), "Selection Empty...");
}

TEST_F(TxtAnimSetTest, KindsCycle) {
  NewAnim(3);
  for (const char* label : {"VIRTUAL        ", "NORMAL         ", "VIRTUAL        "}) {
    SB_TxtAnimNextKind();
    EXPECT_STREQ(SB_TxtAnimKindLabel(Anim()->Flags), label);
    EXPECT_EQ(SB_IsScrollAnim(), 0);
  }
  NewAnim(1);
  Anim()->Steps[0].SrcFlags = TXA_SRCDEFINED;
  for (int32_t kind = 1; kind <= 10; ++kind) {
    SB_TxtAnimNextKind();
    const int32_t k = kind % 10;
    EXPECT_EQ((Anim()->Flags & TXA_KINDMASK) >> TXA_KINDSHIFT, static_cast<uint32_t>(k));
    EXPECT_EQ(SB_IsScrollAnim(), k >= 2 ? 1 : 0);
    if (k == 2) {
      EXPECT_EQ(Anim()->Steps[0].SrcX, 1);
      EXPECT_EQ(Anim()->Steps[0].SrcFlags, 0);
    }
  }
  EXPECT_STREQ(SB_TxtAnimKindLabel(TXA_KIND_BOTRIGHT << TXA_KINDSHIFT), "SCROLL BOTRIGHT");
  // A scroll animation takes neither a second step nor a source.
  for (int32_t i = 0; i < 4; ++i) SB_TxtAnimNextKind();
  SB_TxtAnimAddStep();
  SB_TxtAnimSetRect(0, 1, 0, 0, 3, 3);
  EXPECT_EQ(Anim()->NbSteps, 1);
  EXPECT_EQ(Anim()->Steps[0].SrcFlags, 0);
}

TEST_F(TxtAnimSetTest, RectanglesFitTheFirstStep) {
  NewAnim(1);
  EXPECT_EQ(SB_TxtAnimRectFits(0, 0, 0, 255, 255), 1);
  SB_TxtAnimSetRect(0, 0, 0, 0, 15, 7);
  SB_TxtAnimAddStep();
  struct Row {
    int32_t which, x2, y2, fits;
  } rows[] = {{0, 15, 7, 1}, {0, 16, 7, 0}, {0, 15, 8, 0}, {0, 3, 3, 1}, {1, 0, 0, 0}};
  for (const Row& r : rows) EXPECT_EQ(SB_TxtAnimRectFits(r.which, 0, 0, r.x2, r.y2), r.fits) << r.x2;
}

TEST_F(TxtAnimSetTest, DelaysOfThePreviousStep) {
  NewAnim(3);
  SB_TxtAnimAddDelay(100);  // step 0 has no previous one
  EXPECT_EQ(Delays(), std::vector<int32_t>({1, 2, 3}));
  SB_TxtAnimSetCurStep(2);
  SB_TxtAnimAddDelay(65536);
  SB_TxtAnimAddDelay(-70000);  // would go negative
  EXPECT_EQ(Delays(), std::vector<int32_t>({1, 65538, 3}));
}

TEST_F(TxtAnimSetTest, WithoutASetCommandsAreRefused) {
  SB_TxtAnimFreeSet(SB_Var.TxtAnimSet);
  SB_Var.TxtAnimSet = nullptr;
  SB_TxtAnimNew();
  EXPECT_EQ(Said(), "");
  SB_TxtAnimAddStep();
  EXPECT_EQ(Said(), "No File...");
  SB_TxtAnimInsertStep();
  EXPECT_EQ(Said(), "No File...");
  SB_TxtAnimAskFrameRate();
  EXPECT_EQ(Said(), "No Animation...");
  EXPECT_EQ(SB_TxtAnimCurStepIndex(), -1);
  EXPECT_EQ(SB_TxtAnimRectFits(0, 0, 0, 1, 1), 0);
}

TEST_F(TxtAnimSetTest, TheStepCountStopsAt127) {
  NewAnim(127);
  const std::vector<int32_t> before = Delays();
  SB_TxtAnimAddStep();
  EXPECT_EQ(Said(), "Too Many Steps...");
  SB_TxtAnimInsertStep();
  EXPECT_EQ(Said(), "Too Many Steps...");
  SB_TxtAnimToggleStep(5);
  SB_TxtAnimCopy();
  SB_TxtAnimPaste();
  EXPECT_EQ(Said(), "Too Many Steps...");
  EXPECT_EQ(Delays(), before);
  EXPECT_EQ(Anim()->LastShown, 15);  // grown while fewer than 17 steps
}

TEST_F(TxtAnimSetTest, FrameRates) {
  NewAnim(1);
  struct Row {
    const char* typed;
    double fps;  // afterwards
  } rows[] = {
      {"\b\b0\r", 20}, {"\b\b.\r", 20}, {"\b\b\r", 20}, {"\b\b10\r", 10}, {"\b\b\b2.5.9\r", 2.5},
  };
  for (const Row& row : rows) {
    Type(row.typed);
    SB_TxtAnimAskFrameRate();
    EXPECT_NEAR(1.0 / (Anim()->Rate * 65.536), row.fps, 1e-9) << row.typed;
  }
}

TEST_F(TxtAnimSetTest, WhenMemoryRunsOutTheSetStaysAsItWas) {
  NewAnim(2);
  LS_SetErrorMode(LS_ERRMODE_IGNORE);
  std::vector<void*> hogs;
  for (uint32_t size : {4096u, 256u, 16u, 1u})
    while (void* hog = LS_GetMem(size)) hogs.push_back(hog);
  SB_TxtAnimAddStep();
  EXPECT_EQ(Said(), "Out Of Memory...");
  SB_TxtAnimNew();
  EXPECT_EQ(Said(), "Out Of Memory...");
  for (void* hog : hogs) LS_Release(hog);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(Delays(), std::vector<int32_t>({1, 2}));
  EXPECT_EQ(SB_Var.TxtAnimSet->NbAnims, 1);
}

TEST_F(TxtAnimSetTest, DeletingAnimationsAndMovingBetweenThem) {
  NewAnim(1);
  NewAnim(2);
  NewAnim(3);
  SB_TxtAnimPrev();
  EXPECT_EQ(Anim()->NbSteps, 2);
  SB_TxtAnimDelete(7);
  EXPECT_EQ(Said(), "No Animation...");
  SB_TxtAnimDelete(2);
  EXPECT_EQ(SB_Var.TxtAnimSet->NbAnims, 2);
  SB_TxtAnimNext();
  EXPECT_EQ(Anim()->NbSteps, 2);
  // The current animation deleted, the last: the one before it is current.
  SB_TxtAnimDelete(SB_Var.TxtAnimSet->CurAnim);
  EXPECT_EQ(SB_Var.TxtAnimSet->CurAnim, 0);
  EXPECT_EQ(Anim()->NbSteps, 1);
  SB_TxtAnimDelete(0);
  EXPECT_EQ(SB_Var.TxtAnimSet->Anims, nullptr);
  EXPECT_EQ(SB_HasCurrentAnim(), 0);
}

}  // namespace
}  // namespace ztest
