// Fixture of the interface engine's tests: a started library with a
// 640 x 480 x 16 front screen, the interface heap, pictures written as TGA
// files, an input source the test scripts pass by pass, and items whose
// callbacks record their events.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "datagen/tgawrite.h"
#include "frontend/menu.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tests/support/testenv.h"

namespace ztest {

// Runs at every poll of the input source.
inline std::function<void()>& OnPoll() {
  static std::function<void()> f;
  return f;
}

// The events the recording items received: (item index, events).
using Events = std::vector<std::pair<int32_t, int32_t>>;
inline Events& Received() {
  static Events e;
  return e;
}

// The callback pattern of the screens, recording what arrives.
inline void RecordingItem(int32_t events, TMENUITEM* item) {
  Received().push_back({static_cast<int32_t>(item - SB_Var.MenuScreens[SB_Var.MenuScreen].Items), events});
  if (item->CallbackState == 1) ItemWhileOtherPressed(events, item);
  if (item->CallbackState == 0) ItemWhileFree(events, item);
  if (item->CallbackState == 2) {
    if (events & MENU_UP)
      ReleaseAllItems();
    else
      ItemWhilePressed(events, item);
  }
}

class MenuTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(32u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSYS_SetVideoMode(640, 480, 16, 1);
    ASSERT_NE(LS_Var.Screen, nullptr);
    LSYS_InitMouse();
    SB_Var.MenuHeap = LS_GetHeap(6000000);
    SB_Var.MenuScreen = SB_Var.DrawnMenuScreen = -1;
    OnPoll() = nullptr;
    Received().clear();
    plat::SetMessageSource([] {
      if (OnPoll()) OnPoll()();
    });
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    OnPoll() = nullptr;
    SetTransitionObserver(nullptr);
    LibraryTest::TearDown();
  }

  // A TGA of the given depth (24 or 32) under the data root, each pixel
  // 0xAARRGGBB from f.
  void Picture(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& f, int depth = 32) {
    datagen::TgaImage image;
    image.width = w, image.height = h, image.depth = depth;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t p = f(x, y);
        image.pixels.push_back(static_cast<uint8_t>(p));
        image.pixels.push_back(static_cast<uint8_t>(p >> 8));
        image.pixels.push_back(static_cast<uint8_t>(p >> 16));
        if (depth == 32) image.pixels.push_back(static_cast<uint8_t>(p >> 24));
      }
    const std::vector<uint8_t> bytes = datagen::EncodeTga(image, false);
    WriteFile(root_ + "/" + path, std::string(bytes.begin(), bytes.end()));
  }
  // A font picture of 10 x 11 cells from 32, 16 per row: each glyph an
  // opaque white block 2 + c % 5 wide and 5 high.
  void SmallFont(const std::string& path) {
    Picture(path, 160, 66, [](int x, int y) {
      const int c = 32 + (y / 11) * 16 + x / 10;
      return x % 10 < 2 + c % 5 && y % 11 < 5 ? 0xFFFFFFFFu : 0u;
    });
  }
  // Screen s with the given items; the background row made of one colour.
  TMENUSCREEN& Screen(int32_t s, int32_t transition, std::vector<TMENUITEM> items) {
    TMENUSCREEN& screen = SB_Var.MenuScreens[s];
    screen = TMENUSCREEN{};
    screen.NbItems = static_cast<int32_t>(items.size());
    screen.DrawBackground = 1;
    screen.Transition = transition;
    for (size_t i = 0; i < items.size(); ++i) screen.Items[i] = items[i];
    return screen;
  }
  void Background(uint32_t colour) {
    Picture("INTER/BMAPS/BACK.TGA", 640, 480, [colour](int, int) { return colour; }, 24);
    SB_Var.MenuBmaps[SB_MENUBACKROW].FileName = "INTER>BMAPS>BACK.TGA";
  }
  static TMENUITEM Item(int32_t kind, int32_t index, int32_t x, int32_t y, int32_t x1 = -1, int32_t y1 = 0,
                        int32_t x2 = 0, int32_t y2 = 0) {
    TMENUITEM item{};
    item.Live = 1;
    item.Selected = 2;
    item.Kind = kind;
    item.Index = index;
    item.X = x, item.Y = y;
    item.HitX1 = x1, item.HitY1 = y1, item.HitX2 = x2, item.HitY2 = y2;
    item.Callback = RecordingItem;
    return item;
  }
  // The interface started on screen 0 as the loop starts it.
  void Start() {
    InitInterfaceFast();
    SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
    prepareecran(SB_Var.MenuBmap);
  }
  static uint32_t Pixel(BMAP* b, int32_t x, int32_t y) { return LS_GetPixel(b, x, y); }
  // The 16-bit value a 32-bit colour takes on the interface screen.
  static uint32_t OnScreen(uint32_t argb) {
    BMAP* one = LS_CreateBmap(1, 1, 32, 0);
    BMAP* two = LS_CreateBmap(1, 1, 16, 0);
    *reinterpret_cast<uint32_t*>(one->Start) = argb | 0xFF000000u;
    LS_Bitmove(one, two, 0, 0, 0, 0, 0, 0, LS_BLIT_OPAQUE);
    const uint32_t value = LS_GetPixel(two, 0, 0);
    LS_FreeBmap(one);
    LS_FreeBmap(two);
    return value;
  }
};

}  // namespace ztest
