// What the polygon inspector's tests share: polygons built from screen
// corners, a 640 x 480 x 16 screen over a race overlay of one colour, the
// inspector's cursor written by datagen's drawing, and the input of each
// pass (the test program wraps the pass's wait for the vertical blank and
// the text drawing, tests/CMakeLists.txt).
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "datagen/careditorpics.h"
#include "engine3d/types.h"
#include "platform/accel/types.h"
#include "platform/window.h"
#include "racescene/videomode.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tests/tools/tools_fixture.h"

namespace ztest {

struct DrawnText {
  std::string text;
  int32_t x, y;
  bool operator==(const DrawnText&) const = default;
};
extern std::function<void(int n)> g_onPass;
extern int g_inspectorPasses;
extern std::vector<DrawnText> g_drawn;

// A polygon list owning its entries and vertices.
struct PolygonList {
  std::vector<std::unique_ptr<TSGLPOLY>> polys;
  std::vector<std::unique_ptr<std::vector<TSGLVERTEX>>> vertices;
  TSOFTSCENE scene{};
  TSGLPOLY* Add(int32_t key, std::vector<std::pair<float, float>> corners, int8_t kind = 1, uint16_t material = 0) {
    auto v = std::make_unique<std::vector<TSGLVERTEX>>();
    for (const auto& [x, y] : corners) v->push_back({x, y, 0.5f, 2.0f, 0x112233, 0x445566, 0.25f, 0.75f});
    auto p = std::make_unique<TSGLPOLY>();
    p->Key = key;
    p->Vertices = v->data();
    p->NbVertices = static_cast<int8_t>(corners.size());
    p->Kind = kind;
    p->TextureIndex = material;
    if (!polys.empty()) polys.back()->Next = p.get();
    polys.push_back(std::move(p));
    vertices.push_back(std::move(v));
    scene.FirstPolygon = polys.front().get();
    return polys.back().get();
  }
};

class InspectorTest : public ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    for (const datagen::CarEditorPicture& p : datagen::CarEditorPictures())
      if (p.path == "INTERFAC/CURSOR.TGA") {
        std::filesystem::create_directories(root_ + "/INTERFAC");
        ASSERT_TRUE(datagen::WriteTga(Path(p.path), p.picture));
      }
    SB_SetDisplayMode(640, 480, 16);
    SB_Var.TextScreen = SB_CreateBmap(640, 480, 16, 0, "overlay");
    SB_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, kBackground);
    LSYS_InitMouse();
    plat::SetMessageSource([] {});
    SB_Var.Renderer = 3;
    SB_Var.DrawDevInfo = 1;
    SB_Var.ScreenWindow.W_POSX = 20;
    SB_Var.ScreenWindow.W_POSY = 10;
    g_inspectorPasses = 0;
    g_drawn.clear();
    g_onPass = nullptr;
  }
  void TearDown() override {
    g_onPass = nullptr;
    plat::SetMessageSource(nullptr);
    plat::ReleaseAllKeys();
    SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.TextScreen = nullptr;
    ToolsTest::TearDown();
  }
  static constexpr uint32_t kBackground = 0x1234;
  // The mouse at each pass (window-relative points are moved by the
  // window's offset here); after the last one, Q.
  static void Moves(std::vector<std::pair<int32_t, int32_t>> points) {
    g_onPass = [points](int n) {
      if (n >= static_cast<int>(points.size())) {
        plat::SetKeyState('Q', true);
        return;
      }
      const auto& [x, y] = points[static_cast<size_t>(n)];
      plat::SetCursorPos(x, y);
    };
  }
  static uint16_t Pixel(int32_t x, int32_t y) {
    BMAP* s = LS_Var.Screen;
    LS_LockBmap(s);
    const uint16_t p = *reinterpret_cast<uint16_t*>(s->Start + y * s->ByteLen + 2 * x);
    LS_UnlockBmap(s);
    return p;
  }
};

}  // namespace ztest
