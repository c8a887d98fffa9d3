// Fixture of the bitmap tests: a started library on an in-memory display,
// bitmaps the test owns freed at its end, and a check that every test
// gives back the blocks, bitmaps, palettes and locks it took.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/display.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "tests/support/pixels.h"
#include "tests/support/testenv.h"

namespace ztest {

class BmapTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(16u << 20);
    nbAlloc_ = LSI_Var.NbAlloc;
    nbBmap_ = LSI_Var.NbBmap;
    nbPal_ = LSI_Var.NbPal;
    locks_ = LS_BmapLockCount;
  }
  void TearDown() override {
    FreeOwned();
    EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_) << "heap blocks left";
    EXPECT_EQ(LSI_Var.NbBmap, nbBmap_) << "bitmaps left";
    EXPECT_EQ(LSI_Var.NbPal, nbPal_) << "palettes left";
    EXPECT_EQ(LS_BmapLockCount, locks_) << "locks left";
    LibraryTest::TearDown();
  }

  void FreeOwned() {
    for (auto b = owned_.rbegin(); b != owned_.rend(); ++b) LS_FreeBmap(*b);
    owned_.clear();
  }

  // Errors go to the error file instead of ending the test.
  void LogErrors() { LS_SetErrorMode(LS_ERRMODE_LOG); }

  // The front screen in the given screen mode, then, unless it is 1, the
  // back screen.
  void MakeScreens(int32_t screenMode) {
    LS_Var.ScreenMode = screenMode;
    LS_Var.Screen = LS_CreateBmap(640, 480, 16, BMAP_FRONTSCREEN);
    ASSERT_NE(LS_Var.Screen, nullptr);
    if (screenMode != 1) { ASSERT_NE(LS_Var.BackScreen = LS_CreateBmap(640, 480, 16, BMAP_BACKSCREEN), nullptr); }
  }
  void FreeScreens() {
    LS_FreeBmap(LS_Var.BackScreen);
    LS_FreeBmap(LS_Var.Screen);
    LS_Var.BackScreen = LS_Var.Screen = nullptr;
  }

  // Bitmaps freed at the end of the test: empty, of one value (and a
  // format code set by hand), or filled from pixel values row by row.
  BMAP* Make(int32_t width, int32_t height, int32_t depth, uintptr_t kind = 0) {
    BMAP* b = LS_CreateBmap(width, height, depth, kind);
    if (b) owned_.push_back(b);
    return b;
  }
  BMAP* Plain(int32_t width, int32_t height, int32_t depth, uint32_t value, int32_t format = 0) {
    BMAP* b = Make(width, height, depth);
    LS_FillRect(b, 0, 0, width - 1, height - 1, value);
    if (format) b->Format = format;
    return b;
  }
  BMAP* Filled(int32_t width, int32_t height, int32_t depth, const std::vector<uint32_t>& pixels) {
    return owned_.push_back(FilledBmap(width, height, depth, pixels)), owned_.back();
  }

  // Writes one pixel of any depth through a lock.
  static void Put(BMAP* b, int32_t x, int32_t y, uint32_t value) {
    LS_LockBmap(b);
    uint8_t* at = b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen + x * (b->Depth / 8);
    for (int32_t i = 0; i < b->Depth / 8; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
    LS_UnlockBmap(b);
  }
  static uint32_t ValueAt(BMAP* b, int32_t x, int32_t y) { return LS_GetPixel(b, x, y); }

  // Rows of the bitmap as text: '#' where the pixel equals colour, '.'
  // where it is 0, '?' otherwise.
  static std::string Picture(BMAP* b, uint32_t colour) {
    std::string text;
    for (int32_t y = 0; y < b->SizeY; ++y, text += '\n')
      for (int32_t x = 0; x < b->SizeX; ++x) {
        const uint32_t v = LS_GetPixel(b, x, y);
        text += v == colour ? '#' : v == 0 ? '.' : '?';
      }
    return text;
  }

  int16_t nbAlloc_ = 0, nbBmap_ = 0, nbPal_ = 0;
  int32_t locks_ = 0;
  std::vector<BMAP*> owned_;
};

}  // namespace ztest
