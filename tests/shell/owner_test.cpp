// Owner-tagged memory and bitmaps: registration, the tables' order and
// limits, and the end-of-run leak reports.
#include "shell/owner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/heap.h"
#include "tests/system/bmap_fixture.h"

namespace {

class Owner : public ztest::BmapTest {};

TEST_F(Owner, GetMemGivesARegisteredZeroFilledBlock) {
  uint8_t* dirt = static_cast<uint8_t*>(LS_GetMem(256));
  std::memset(dirt, 0xEE, 256);
  LS_Release(dirt);
  uint8_t* block = static_cast<uint8_t*>(SB_GetMem(200, "SB_LoadThing"));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(block[i], 0);
  EXPECT_EQ(SB_Var.NbMemOwners, 1);
  EXPECT_EQ(SB_MemOwners[0].Block, block);
  EXPECT_STREQ(SB_MemOwners[0].Owner, "SB_LoadThing");
  EXPECT_EQ(SB_MemOwners[0].Size, 200u);
  EXPECT_EQ(SB_Release(block), 1);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_STREQ(SB_Var.LastOwner, "SB_LoadThing");
}

TEST_F(Owner, SizesBelowOneGiveNullAndRegisterNothing) {
  EXPECT_EQ(SB_GetMem(0, "zero"), nullptr);
  EXPECT_EQ(SB_GetMem(-5, "negative"), nullptr);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Var.MaxMemOwners, 0);
  EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_);
}

TEST_F(Owner, FreeingTheMiddleBlockKeepsTheOrder) {
  void* a = SB_GetMem(16, "a");
  void* b = SB_GetMem(16, "b");
  void* c = SB_GetMem(16, "c");
  SB_Release(b);
  ASSERT_EQ(SB_Var.NbMemOwners, 2);
  EXPECT_EQ(SB_MemOwners[0].Block, a);
  EXPECT_EQ(SB_MemOwners[1].Block, c);
  EXPECT_STREQ(SB_MemOwners[1].Owner, "c");
  SB_Release(c);
  SB_Release(a);
}

TEST_F(Owner, HighWaterMarkRemainsAfterRelease) {
  std::vector<void*> blocks;
  for (int i = 0; i < 10; ++i) blocks.push_back(SB_GetMem(8, "loop"));
  for (void* b : blocks) SB_Release(b);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_GE(SB_Var.MaxMemOwners, 10);
}

TEST_F(Owner, UnregisteredBlocksAreStillReleased) {
  void* plain = LS_GetMem(32);
  EXPECT_EQ(SB_UnregisterMem(plain), 0);
  EXPECT_EQ(SB_Release(plain), 1);
  EXPECT_EQ(SB_UnregisterMem(nullptr), 0);
  SB_RegisterMem(nullptr, "nothing", 4);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(Owner, FullBitmapTableRecordsNoMore) {
  static int fake[SB_MAXBMAPOWNERS + 1];
  for (int i = 0; i < SB_MAXBMAPOWNERS; ++i) SB_RegisterBmap(&fake[i], "fake", 1);
  EXPECT_EQ(SB_Var.NbBmapOwners, 512);
  EXPECT_EQ(SB_Var.MaxBmapOwners, 512);
  SB_RegisterBmap(&fake[SB_MAXBMAPOWNERS], "one too many", 1);
  EXPECT_EQ(SB_Var.NbBmapOwners, 512);
  EXPECT_EQ(SB_Var.MaxBmapOwners, 512);
  EXPECT_EQ(SB_UnregisterBmap(&fake[SB_MAXBMAPOWNERS]), 0);
  EXPECT_EQ(Boxes().size(), 0u);
  for (int i = 0; i < SB_MAXBMAPOWNERS; ++i) EXPECT_EQ(SB_UnregisterBmap(&fake[i]), 1);
}

TEST_F(Owner, RegisteringTwiceNamesTheStaleOwnerAndKeepsOneRecord) {
  static int block;
  SB_RegisterMem(&block, "first", 4);
  SB_RegisterMem(&block, "second", 8);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Error in the memory with: first");
  EXPECT_EQ(SB_Var.NbMemOwners, 1);
  EXPECT_STREQ(SB_MemOwners[0].Owner, "second");
  SB_RegisterBmap(&block, "old picture", 4);
  SB_RegisterBmap(&block, nullptr, 4);
  EXPECT_EQ(Boxes()[1], "Error in the bmaps with: old picture");
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "Unknown owner");
  SB_UnregisterMem(&block);
  SB_UnregisterBmap(&block);
}

TEST_F(Owner, BitmapsAreRecordedWithTheirSize) {
  BMAP* b = SB_CreateBmap(10, 4, 24, 0, "SB_Picture");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_EQ(SB_BmapOwners[0].Size, 3u * 10 * 4 + 52);
  SB_FreeBmap(b);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(SB_CreateBmap(10, 4, 15, 0, "bad"), nullptr);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  BMAP* untracked = LS_CreateBmap(2, 2, 8, 0);
  b = SB_CreateBmap(2, 2, 8, 0, "kept");
  SB_FreeBmapUntracked(untracked);
  EXPECT_EQ(SB_Var.NbBmapOwners, 1);
  SB_FreeBmap(b);
}

TEST_F(Owner, GameHeapBlocksComeFromTheGameHeap) {
  SB_Var.GameHeap = LS_GetHeap(1 << 16);
  void* block = SB_GetMemHeap(100, "map");
  EXPECT_EQ(LSI_FindHeap(block), reinterpret_cast<HEAP*>(SB_Var.GameHeap));
  EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_);
  EXPECT_EQ(SB_Var.NbMemOwners, 1);
  SB_Release(block);
  LS_ReleaseHeap(SB_Var.GameHeap);
  SB_Var.GameHeap = 0;
  EXPECT_GT(SB_GetFreeMem(), 0u);
}

TEST_F(Owner, LeakReportShowsBitmapsThenBlocksAndFreesThem) {
  char name[32];
  std::snprintf(name, sizeof name, "%s", "pic>one.pcx");
  SB_CreateBmap(4, 4, 8, 0, name);
  std::snprintf(name, sizeof name, "%s", "pic>two.pcx");  // the caller's buffer is reused
  SB_CreateBmap(4, 4, 16, BMAP_SYSMEM, name);
  SB_GetMem(10, "SB_LoadFile");
  SB_GetMem(10, nullptr);
  SB_ReportBmapLeaks();
  SB_ReportMemLeaks();
  const std::vector<std::string> expected = {
      "Bmap not released owner: pic>one.pcx", "Bmap not released owner: pic>two.pcx",
      "Mem not released owner: SB_LoadFile", "Mem not released owner: Unknown owner"};
  EXPECT_EQ(Boxes(), expected);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  // Everything is back; a second report has nothing to free.
  SB_ReportBmapLeaks();
  SB_ReportMemLeaks();
  EXPECT_EQ(Boxes().size(), 4u);
}

}  // namespace
