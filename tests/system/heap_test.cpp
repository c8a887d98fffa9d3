// Heaps: layout arithmetic, first fit from both ends, release and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "system/error.h"
#include "system/heap.h"
#include "tests/support/testenv.h"

namespace {

class HeapTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(1 << 16);
    LS_SetErrorMode(LS_ERRMODE_LOG);
    LSI_Var.LastError = 0;
  }
  HEAP* Default() { return reinterpret_cast<HEAP*>(LS_DefaultHeap); }
  // The last error, cleared for the next call.
  static uint32_t Error() { return std::exchange(LSI_Var.LastError, 0u); }
};

TEST_F(HeapTest, NewHeapHasMagicAreaAndFreeMemory) {
  const auto area = [](uint32_t n) { return ((n + 31) & ~31u) + LS_HEAP_AREA_EXTRA + LS_HEAP_ALIGN_SLACK; };
  HEAP* heap = reinterpret_cast<HEAP*>(LS_GetHeap(1));
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ((std::tuple{heap->Magic, heap->Size, LSI_GetHeapFreeMem(heap)}),
            (std::tuple{0x48454150u, area(1), area(1) - 2 * LS_HEAP_HEADER}));
  EXPECT_EQ(Default()->Size, area(1 << 16));
  LS_ReleaseHeap(reinterpret_cast<HHEAP>(heap));
  // One byte takes sixteen and a header, aligned on 16.
  void* p = LS_GetMem(1);
  EXPECT_EQ(Default()->Size - 2 * LS_HEAP_HEADER - LS_GetFreeMem(), 16 + LS_HEAP_HEADER);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
  EXPECT_EQ(LSI_Var.NbAlloc, 1);
  EXPECT_EQ(LS_Release(p), 1);
}

TEST_F(HeapTest, FirstFitReusesAFreedGapOfTheSizeOrLarger) {
  char* a = static_cast<char*>(LS_GetMem(100));
  char* b = static_cast<char*>(LS_GetMem(100));
  char* c = static_cast<char*>(LS_GetMem(100));
  EXPECT_EQ((std::tuple{b - a, c - b}), (std::tuple{112 + LS_HEAP_HEADER, 112 + LS_HEAP_HEADER}));
  LS_Release(b);
  EXPECT_EQ(LS_GetMem(112), b);  // exactly the gap
  LS_Release(b);
  EXPECT_EQ(LS_GetMem(50), b);                       // fits in the gap
  EXPECT_GT(static_cast<char*>(LS_GetMem(200)), c);  // does not
}

TEST_F(HeapTest, FlippedHeapAllocatesFromTheTopAndReleasesBothChains) {
  char* low = static_cast<char*>(LS_GetMem(64));
  LS_FlipHeapDirection(LS_DefaultHeap);
  char* high1 = static_cast<char*>(LS_GetMem(64));
  char* high2 = static_cast<char*>(LS_GetMem(64));
  EXPECT_EQ(high1 + 64, reinterpret_cast<char*>(Default()->Last));
  EXPECT_EQ(high2 + 64 + LS_HEAP_HEADER, high1);
  EXPECT_EQ(LS_Release(low), 1);  // a bottom block while the direction is 1
  LS_FlipHeapDirection(LS_DefaultHeap);
  EXPECT_EQ(LS_Release(high1), 1);  // a top block while the direction is 0
  EXPECT_EQ(LS_GetMem(64), low);
  LS_FlipHeapDirection(LS_DefaultHeap);
  EXPECT_EQ(LS_GetMem(64), high1);  // the freed top gap comes back first
  EXPECT_EQ(Error(), 0u);
}

TEST_F(HeapTest, GapOfTheOtherChainIsUsedWithoutOverlap) {
  HHEAP handle = LS_GetHeap(1024);
  LS_FlipHeapDirection(handle);
  std::vector<char*> top;
  while (char* p = static_cast<char*>(LS_GetMemHeap(handle, 96))) top.push_back(p);
  LS_Release(top[0]);  // a gap at the very top, in the top chain
  LS_FlipHeapDirection(handle);
  Error();
  EXPECT_EQ(LS_GetMemHeap(handle, 96), top[0]);
  EXPECT_EQ(Error(), 0u);
  LS_ReleaseHeap(handle);
}

TEST_F(HeapTest, HandlesBelowNineMeanTheDefaultHeap) {
  for (HHEAP h = 0; h < 9; ++h) {
    void* p = LS_GetMemHeap(h, 32);
    EXPECT_EQ(LSI_FindHeap(p), Default()) << h;
    LS_Release(p);
  }
  EXPECT_EQ(LS_ReleaseHeap(4), 0);  // refused: the default heap stays
  EXPECT_EQ(Default()->Magic, LS_HEAP_MAGIC);
}

TEST_F(HeapTest, RefusedRequestsTakeNothing) {
  std::vector<HHEAP> heaps;
  for (int i = 1; i < LS_MAXHEAPS; ++i) heaps.push_back(LS_GetHeap(16));  // the default heap holds the first slot
  EXPECT_EQ(LS_GetHeap(16), 0u);  // the two hundred and first
  EXPECT_EQ(Error(), 12u);
  for (HHEAP h : heaps) LS_ReleaseHeap(h);
  // More than the largest gap: no compaction.
  HHEAP handle = LS_GetHeap(1024);
  HEAP* heap = reinterpret_cast<HEAP*>(handle);
  std::vector<void*> blocks;
  while (void* p = LS_GetMemHeap(handle, 64)) blocks.push_back(p);
  for (size_t i = 0; i < blocks.size(); i += 2) LS_Release(blocks[i]);
  const uint32_t total = LSI_GetHeapFreeMem(heap);
  EXPECT_EQ(LSI_GetHeapMaxFree(heap), 64 + LS_HEAP_HEADER);
  Error();
  EXPECT_EQ(LS_GetMemHeap(handle, 200), nullptr);
  EXPECT_EQ((std::tuple{Error(), LSI_GetHeapFreeMem(heap)}), (std::tuple{12u, total}));
  LS_ReleaseHeap(handle);
  // Too much for the default heap, nothing at all, too much for the platform.
  EXPECT_EQ(LS_GetMem(1 << 20), nullptr);
  EXPECT_EQ(LS_GetMem(0), nullptr);
  EXPECT_EQ(LS_GetHeap(0), 0u);
  EXPECT_EQ(LS_GetHeap(0xFFFFFFF0u), 0u);
  EXPECT_EQ(Error(), 11u);
  for (const char* text : {" : Too much Heap", " : Invalid parameter in LS_GetMemHeap", " : Invalid parameter in LS_GetHeap"})
    EXPECT_EQ(Logged(text), 1) << text;
}

TEST_F(HeapTest, BadReleasesReportAndLeaveTheHeapIntact) {
  char* a = static_cast<char*>(LS_GetMem(64));
  char* b = static_cast<char*>(LS_GetMem(64));
  const uint32_t free = LS_GetFreeMem();
  void* foreign = std::malloc(64);
  const std::pair<void*, uint32_t> rows[] = {
      {nullptr, 12u},
      {a + 16, 13u},  // inside a block
      {a + 5, 13u},   // not even aligned
      {foreign, 12u},  // no heap owns it
      {reinterpret_cast<char*>(Default()->First) + LS_HEAP_HEADER, 13u},
  };
  for (auto [pointer, error] : rows) EXPECT_EQ((std::tuple{LS_Release(pointer), Error()}), (std::tuple{0, error}));
  std::free(foreign);
  EXPECT_EQ(LS_GetFreeMem(), free);
  EXPECT_EQ(LS_Release(b), 1);
  EXPECT_EQ((std::tuple{LS_Release(b), Error()}), (std::tuple{0, 13u}));  // twice
  EXPECT_EQ(LSI_Var.NbAlloc, 1);
  EXPECT_EQ(Logged("Ptr : 0x"), 4);
  EXPECT_EQ(Logged(" : LSI_FindHeap - Heap not Found"), 2);
  // Headers forged inside a block: the outer one points to the middle one,
  // whose inner one does not point back.
  auto* f = static_cast<HEAPBLOCK*>(LS_GetMem(3 * LS_HEAP_HEADER));
  f[0] = {0, &f[1], nullptr, LS_HEAP_BOTTOM, 0};
  f[1] = {0, &f[2], &f[0], LS_HEAP_BOTTOM, 0};
  f[2] = {0, nullptr, &f[0], LS_HEAP_BOTTOM, 0};
  EXPECT_EQ((std::tuple{LS_Release(&f[2]), Error()}), (std::tuple{0, 13u}));
  LS_Release(f);
  // A block of a released heap, and heaps that are not.
  HHEAP handle = LS_GetHeap(4096);
  void* p = LS_GetMemHeap(handle, 16);
  LS_ReleaseHeap(handle);
  EXPECT_EQ(LSI_FindHeap(p), nullptr);
  EXPECT_EQ((std::tuple{LS_Release(p), Error()}), (std::tuple{0, 12u}));
  int local = 0;
  for (HHEAP h : {handle, reinterpret_cast<HHEAP>(&local)})
    EXPECT_EQ((std::tuple{LS_ReleaseHeap(h), Error()}), (std::tuple{0, 12u}));
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
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  for (int step = 0; step < 20000; ++step) {
    if (step % 1000 == 0) LS_FlipHeapDirection(handle);
    if (live.empty() || random() % 3 != 0) {
      const uint32_t size = 1 + random() % 700;
      auto* p = static_cast<uint8_t*>(LS_GetMemHeap(handle, size));
      if (!p) continue;
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
  for (size_t i = 1; i < live.size(); ++i) ASSERT_LE(live[i - 1].data + live[i - 1].size + LS_HEAP_HEADER, live[i].data);
  for (const Live& l : live)
    for (uint32_t k = 0; k < l.size; ++k) ASSERT_EQ(l.data[k], l.fill);
  LS_ReleaseHeap(handle);
}

TEST(MemoryStatus, ReportsThePhysicalMemory) {
  LS_MEMORYSTATUS status{};
  LSYS_GetMemoryStatus(&status);
  EXPECT_GT(status.TotalPhys, 0u);
  EXPECT_EQ(status.AvailPhys, status.AvailPhysAgain);
}

}  // namespace
