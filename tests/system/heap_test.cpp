// Heaps: layout arithmetic, first fit from both ends, release and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/window.h"
#include "system/error.h"
#include "system/heap.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

class HeapTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(1 << 16);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSI_Var.LastError = 0;
  }
  HEAP* Default() { return reinterpret_cast<HEAP*>(LS_DefaultHeap); }
  static uint32_t Area(uint32_t n) { return ((n + 31) & ~31u) + LS_HEAP_AREA_EXTRA + LS_HEAP_ALIGN_SLACK; }
};

TEST_F(HeapTest, NewHeapHasMagicAreaAndFreeMemory) {
  HHEAP handle = LS_GetHeap(1);
  ASSERT_NE(handle, 0u);
  HEAP* heap = reinterpret_cast<HEAP*>(handle);
  EXPECT_EQ(heap->Magic, 0x48454150u);
  EXPECT_EQ(heap->Size, Area(1));
  EXPECT_EQ(heap->Direction, 0u);
  EXPECT_EQ(LSI_GetHeapFreeMem(heap), heap->Size - 2 * LS_HEAP_HEADER);
  EXPECT_EQ(LS_GetFreeMem(), Default()->Size - 2 * LS_HEAP_HEADER);
  EXPECT_EQ(Default()->Size, Area(1 << 16));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(heap->First) % 16, 0u);
  LS_ReleaseHeap(handle);
}

TEST_F(HeapTest, OneByteRequestTakesSixteenBytesAndAHeader) {
  const uint32_t before = LS_GetFreeMem();
  void* p = LS_GetMem(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(before - LS_GetFreeMem(), 16 + LS_HEAP_HEADER);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
  EXPECT_EQ(LSI_Var.NbAlloc, 1);
  EXPECT_EQ(LS_Release(p), 1);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_EQ(LS_GetFreeMem(), before);
}

TEST_F(HeapTest, BottomUpFirstFitReusesAFreedHole) {
  char* a = static_cast<char*>(LS_GetMem(100));
  char* b = static_cast<char*>(LS_GetMem(100));
  char* c = static_cast<char*>(LS_GetMem(100));
  EXPECT_EQ(b - a, 112 + LS_HEAP_HEADER);
  EXPECT_EQ(c - b, 112 + LS_HEAP_HEADER);
  LS_Release(b);
  EXPECT_EQ(LS_GetMem(50), b);   // fits in the hole
  EXPECT_GT(static_cast<char*>(LS_GetMem(200)), c);  // does not
}

TEST_F(HeapTest, FlippedHeapAllocatesFromTheTopAndReleasesBothChains) {
  char* low = static_cast<char*>(LS_GetMem(64));
  LS_FlipHeapDirection(LS_DefaultHeap);
  char* high1 = static_cast<char*>(LS_GetMem(64));
  char* high2 = static_cast<char*>(LS_GetMem(64));
  EXPECT_EQ(high1 + 64, reinterpret_cast<char*>(Default()->Last));
  EXPECT_EQ(high2 + 64 + LS_HEAP_HEADER, high1);
  EXPECT_GT(high2, low);
  EXPECT_EQ(LSI_Var.NbAlloc, 3);
  EXPECT_EQ(LS_Release(low), 1);  // a bottom block while the direction is 1
  LS_FlipHeapDirection(LS_DefaultHeap);
  EXPECT_EQ(LS_Release(high1), 1);  // a top block while the direction is 0
  EXPECT_EQ(LS_GetMem(64), low);
  LS_FlipHeapDirection(LS_DefaultHeap);
  EXPECT_EQ(LS_GetMem(64), high1);  // the freed top hole comes back first
  EXPECT_EQ(LSI_Var.LastError, 0u);
}

TEST_F(HeapTest, HandlesBelowNineMeanTheDefaultHeap) {
  for (HHEAP h = 0; h < 9; ++h) {
    void* p = LS_GetMemHeap(h, 32);
    ASSERT_NE(p, nullptr) << h;
    EXPECT_EQ(LSI_FindHeap(p), Default());
    LS_Release(p);
  }
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_EQ(LS_ReleaseHeap(4), 0);  // refused: the default heap stays
  EXPECT_EQ(Default()->Magic, LS_HEAP_MAGIC);
}

TEST_F(HeapTest, TheTwoHundredAndFirstHeapIsRefused) {
  std::vector<HHEAP> heaps;
  for (int i = 1; i < LS_MAXHEAPS; ++i) {  // the default heap holds the first slot
    heaps.push_back(LS_GetHeap(16));
    ASSERT_NE(heaps.back(), 0u) << i;
  }
  EXPECT_EQ(LS_GetHeap(16), 0u);
  EXPECT_EQ(LSI_Var.LastError, 12u);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { LS_GetHeap(16); }), 1);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_NE(Boxes().back().find(" : Too much Heap"), std::string::npos);
  for (HHEAP h : heaps) LS_ReleaseHeap(h);
  EXPECT_NE(LS_GetHeap(16), 0u);
}

TEST_F(HeapTest, RequestLargerThanTheLargestGapFailsWithoutCompaction) {
  HHEAP handle = LS_GetHeap(1024);
  HEAP* heap = reinterpret_cast<HEAP*>(handle);
  std::vector<void*> blocks;
  while (void* p = LS_GetMemHeap(handle, 64)) blocks.push_back(p);
  LSI_Var.LastError = 0;
  for (size_t i = 0; i < blocks.size(); i += 2) LS_Release(blocks[i]);
  const uint32_t total = LSI_GetHeapFreeMem(heap);
  EXPECT_GT(total, 200u);
  EXPECT_EQ(LSI_GetHeapMaxFree(heap), 64 + LS_HEAP_HEADER);
  const int16_t count = LSI_Var.NbAlloc;
  EXPECT_EQ(LS_GetMemHeap(handle, 200), nullptr);
  EXPECT_EQ(LSI_Var.LastError, 12u);
  EXPECT_EQ(LSI_GetHeapFreeMem(heap), total);
  EXPECT_EQ(LSI_Var.NbAlloc, count);
  LS_ReleaseHeap(handle);
}

TEST_F(HeapTest, FailedDefaultAllocationIsNotCounted) {
  EXPECT_EQ(LS_GetMem(1 << 20), nullptr);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_EQ(LS_GetMem(0), nullptr);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { LS_GetMem(0); }), 1);
  EXPECT_NE(Boxes().back().find(" : Invalid parameter in LS_GetMemHeap"), std::string::npos);
  EXPECT_EQ(ExitCodeOf([] { LS_GetHeap(0); }), 1);
  EXPECT_NE(Boxes().back().find(" : Invalid parameter in LS_GetHeap"), std::string::npos);
}

TEST_F(HeapTest, GapOfTheOtherChainIsUsedWithoutOverlap) {
  HHEAP handle = LS_GetHeap(1024);
  HEAP* heap = reinterpret_cast<HEAP*>(handle);
  LS_FlipHeapDirection(handle);
  std::vector<char*> top;
  while (char* p = static_cast<char*>(LS_GetMemHeap(handle, 96))) top.push_back(p);
  LS_Release(top[0]);  // a hole at the very top, in the top chain
  LS_FlipHeapDirection(handle);
  LSI_Var.LastError = 0;
  char* p = static_cast<char*>(LS_GetMemHeap(handle, 96));
  ASSERT_EQ(p, top[0]);
  EXPECT_EQ(LSI_Var.LastError, 0u);
  EXPECT_EQ(LSI_GetHeapMaxFree(heap) < 96 + LS_HEAP_HEADER, true);
  LS_ReleaseHeap(handle);
}

TEST_F(HeapTest, BadReleasesReportAndLeaveTheHeapIntact) {
  char* a = static_cast<char*>(LS_GetMem(64));
  char* b = static_cast<char*>(LS_GetMem(64));
  std::memset(a, 0x5A, 64);
  const uint32_t free = LS_GetFreeMem();

  EXPECT_EQ(LS_Release(nullptr), 0);
  EXPECT_EQ(LSI_Var.LastError, 12u);
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_Release(a + 16), 0);  // inside a block
  EXPECT_EQ(LSI_Var.LastError, 13u);
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_Release(a + 5), 0);  // not even aligned
  EXPECT_EQ(LSI_Var.LastError, 13u);
  LSI_Var.LastError = 0;
  void* foreign = std::malloc(64);
  EXPECT_EQ(LS_Release(foreign), 0);  // no heap owns it
  EXPECT_EQ(LSI_Var.LastError, 12u);
  std::free(foreign);
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_Release(reinterpret_cast<char*>(Default()->First) + LS_HEAP_HEADER), 0);
  EXPECT_EQ(LSI_Var.LastError, 13u);

  EXPECT_EQ(LS_GetFreeMem(), free);
  EXPECT_EQ(LSI_Var.NbAlloc, 2);
  EXPECT_EQ(LS_Release(b), 1);
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_Release(b), 0);  // twice
  EXPECT_EQ(LSI_Var.LastError, 13u);
  EXPECT_EQ(LSI_Var.NbAlloc, 1);

  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([&] { LS_Release(a + 32); }), 1);
  EXPECT_NE(Boxes().back().find("Ptr : 0x"), std::string::npos);
  EXPECT_EQ(ExitCodeOf([] { LS_Release(nullptr); }), 1);
  EXPECT_NE(Boxes().back().find(" : LSI_FindHeap - Heap not Found"), std::string::npos);
}

TEST_F(HeapTest, BlockOfAReleasedHeapIsNotFound) {
  HHEAP handle = LS_GetHeap(4096);
  void* p = LS_GetMemHeap(handle, 16);
  LS_ReleaseHeap(handle);
  EXPECT_EQ(LSI_FindHeap(p), nullptr);
  EXPECT_EQ(LS_Release(p), 0);
  EXPECT_EQ(LSI_Var.LastError, 12u);
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_ReleaseHeap(handle), 0);  // twice
  EXPECT_EQ(LSI_Var.LastError, 12u);
  int local = 0;
  LSI_Var.LastError = 0;
  EXPECT_EQ(LS_ReleaseHeap(reinterpret_cast<HHEAP>(&local)), 0);  // not a heap
  EXPECT_EQ(LSI_Var.LastError, 12u);
}

TEST_F(HeapTest, PlatformRefusalRaisesNotEnoughMemory) {
  EXPECT_EQ(LS_GetHeap(0xFFFFFFF0u), 0u);
  EXPECT_EQ(LSI_Var.LastError, 11u);
}

// Random churn in both directions: blocks never overlap, their contents
// survive, and the free count always matches the live blocks.
TEST_F(HeapTest, ChurnKeepsBlocksDisjointAndIntact) {
  HHEAP handle = LS_GetHeap(256 * 1024);
  HEAP* heap = reinterpret_cast<HEAP*>(handle);
  struct Live {
    uint8_t* data;
    uint32_t size;
    uint8_t fill;
  };
  std::vector<Live> live;
  std::mt19937 random(7);
  uint64_t liveBytes = 0;
  for (int step = 0; step < 20000; ++step) {
    if (step % 1000 == 0) LS_FlipHeapDirection(handle);
    if (live.empty() || random() % 3 != 0) {
      const uint32_t size = 1 + random() % 700;
      auto* p = static_cast<uint8_t*>(LS_GetMemHeap(handle, size));
      if (!p) {
        LSI_Var.LastError = 0;
        continue;
      }
      const uint8_t fill = static_cast<uint8_t>(random());
      std::memset(p, fill, size);
      live.push_back({p, size, fill});
      liveBytes += ((size + 15) & ~15u) + LS_HEAP_HEADER;
    } else {
      const size_t i = random() % live.size();
      for (uint32_t k = 0; k < live[i].size; ++k) ASSERT_EQ(live[i].data[k], live[i].fill);
      ASSERT_EQ(LS_Release(live[i].data), 1);
      liveBytes -= ((live[i].size + 15) & ~15u) + LS_HEAP_HEADER;
      live.erase(live.begin() + static_cast<long>(i));
    }
    ASSERT_EQ(LSI_GetHeapFreeMem(heap), heap->Size - 2 * LS_HEAP_HEADER - liveBytes);
  }
  std::sort(live.begin(), live.end(), [](const Live& a, const Live& b) { return a.data < b.data; });
  for (size_t i = 1; i < live.size(); ++i)
    ASSERT_LE(live[i - 1].data + live[i - 1].size + LS_HEAP_HEADER, live[i].data);
  for (const Live& l : live)
    for (uint32_t k = 0; k < l.size; ++k) ASSERT_EQ(l.data[k], l.fill);
  EXPECT_EQ(LSI_Var.LastError, 0u);
  LS_ReleaseHeap(handle);
}

TEST(MemoryStatus, ReportsThePhysicalMemory) {
  LS_MEMORYSTATUS status{};
  LSYS_GetMemoryStatus(&status);
  EXPECT_GT(status.TotalPhys, 0u);
  EXPECT_LE(status.AvailPhys, status.TotalPhys);
  EXPECT_EQ(status.AvailPhys, status.AvailPhysAgain);
}

}  // namespace
