// The accelerator's scene submission: fans and their edge words, batches
// per slot and variant with the context words of each call, quads, the
// clip pass, the frame's steps and render, the zone factor, the shading
// and the debug outlines.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine3d/power.h"
#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/window.h"
#include "racescene/race3d.h"
#include "scenery/framefx.h"
#include "shell/hooks.h"
#include "tests/racescene/accel/accel_fixture.h"
#include "track/types.h"
#include "vehicles/types.h"

namespace {

using ztest::AccelTest;

struct Call {
  SGLCONTEXT context;
  int32_t kind, count;
  std::vector<std::array<uint32_t, 4>> items;
};
std::vector<Call> g_calls;
std::vector<std::string> g_trace;

void Observe(const SGLCONTEXT* c, int32_t kind, int32_t count, const void* items, const TSGLVERTEX*) {
  Call call{*c, kind, count, {}};
  for (int32_t i = 0; i < count; ++i)
    if (kind == 0) {
      const auto* f = static_cast<const uint16_t(*)[4]>(items) + i;
      call.items.push_back({(*f)[0], (*f)[1], (*f)[2], (*f)[3]});
    } else {
      const auto* q = static_cast<const uint32_t(*)[4]>(items) + i;
      call.items.push_back({(*q)[0], (*q)[1], (*q)[2], (*q)[3]});
    }
  g_calls.push_back(call);
  g_trace.push_back(kind == 0 ? "triangles" : "quad");
}

class SubmitTest : public AccelTest {
 protected:
  void SetUp() override {
    AccelTest::SetUp();
    g_calls.clear(), g_trace.clear();
    plat::AccelObserveCalls(Observe);
    SB_Var.SglContext.Flags = 4;
    for (int32_t s = 1; s < 300; ++s) Slot(s, 100 + s);
  }
  void Submit() {
    POWER_ClipViewPolygons(&window_, &scene_);
    POWER_SubmitViewPolygons(&window_, &scene_);
  }
  // A map texture of the index at the slot, loaded, of the variant.
  static void Place(int32_t index, int32_t slot, int32_t variant) {
    TTEXTUREPLACE& t = SB_Var.TexturePlaces[index];
    t.Loaded = 1, t.PageNumber = slot, t.Variant = static_cast<uint8_t>(variant);
  }
  const std::vector<float> tri_ = {10, 10, 50, 10, 50, 50};
};

TEST_F(SubmitTest, FansCarryEdgeWords) {
  Add(7, {10, 10, 50, 10, 50, 50, 10, 50});  // convex
  Add(7, {10, 10, 50, 10, 20, 20, 10, 50});  // concave
  Add(7, tri_);
  Submit();
  ASSERT_EQ(g_calls.size(), 1u);
  const auto& f = g_calls[0].items;
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[0], (std::array<uint32_t, 4>{0, 1, 2, 1}));
  EXPECT_EQ(f[1], (std::array<uint32_t, 4>{0, 2, 3, 31}));
  EXPECT_EQ(f[2][3] | f[3][3], 0u);
  EXPECT_EQ(f[2][0], 4u);
  EXPECT_EQ(f[4], (std::array<uint32_t, 4>{8, 9, 10, 0}));
  EXPECT_EQ(std::tuple(SB_Var.NbPolysDrawn, SB_Var.NbVerticesDrawn), std::tuple(3, 11));
}

TEST_F(SubmitTest, FullBatchAndFullPoolFlushFirst) {
  Limits(400, 1200);
  for (int32_t i = 0; i < 126; ++i) Add(7, tri_);
  Add(7, {10, 10, 50, 10, 60, 30, 50, 50, 10, 50});
  Submit();
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].count, 126);
  EXPECT_EQ(g_calls[1].count, 3);
  // 257 slots need 257 face arrays: the last flushes every batch, so the
  // first slot's next triangle is a call of its own.
  Limits(400, 1200);
  g_calls.clear();
  for (uint32_t s = 1; s <= 257; ++s) Add(7, tri_, s);
  Add(7, tri_, 1);
  Submit();
  EXPECT_EQ(g_calls.size(), 258u);
}

TEST_F(SubmitTest, BatchContextWords) {
  struct Row {
    int32_t name;
    uint32_t flags;
    int32_t variant, headlights;
    uint32_t contextFlags;
    int32_t bias;
    float shade, depth;
  };
  const Row rows[] = {
      {5, 0, 0, 0, 4 | 0x1800 | 0x4000, 0, 0.5f, 800.0f},
      {5, 1 | 2, 1, 0, 4 | 0x1800 | 1, -3, 1.0f, 500.0f},
      {5, 0, 2, 0, 4 | 0x1800 | 0x4000, 0, 0.5f, 100.0f},
      {5, 8, 1, 1, 4 | 0x1800 | 0x4000, 0, 0.75f, 900.0f},  // headlights: the shade is left
      {-1, 0, 0, 0, 0x1800 | 0x4000, 0, 0.5f, 800.0f},      // untextured
  };
  for (const Row& r : rows) {
    Limits(10, 40);
    g_calls.clear();
    Slot(7, r.name, r.flags);
    Place(3, 7, r.variant);
    SB_Var.HeadlightsOn = r.headlights;
    SB_Var.SglContext.ShadeFactor = 0.75f;
    Add(1, tri_, 0, 3);
    Submit();
    ASSERT_EQ(g_calls.size(), 1u);
    const SGLCONTEXT& c = g_calls[0].context;
    EXPECT_EQ(
        std::vector<double>(
            {double(c.Flags), double(c.TextureName), double(c.LevelBias), c.ShadeFactor, c.SortDepth}),
        std::vector<double>({double(r.contextFlags), double(r.name), double(r.bias), r.shade, r.depth}));
    EXPECT_EQ(SB_Var.SglContext.Flags, 4u);
  }
}

TEST_F(SubmitTest, SkippedPolygonsAndBadInput) {
  Place(3, 9, 0);
  SB_Var.TexturePlaces[4] = SB_Var.TexturePlaces[3];
  SB_Var.TexturePlaces[4].Loaded = 0;
  Add(1, tri_, 0, 4);                   // texture not loaded
  Add(7, tri_, 0);                      // slot 0
  Add(7, tri_, 600);                    // slot above 511
  Add(5, tri_);                         // kind 5
  Add(12, tri_);                        // kind outside 1..11
  Add(7, {10, 10, 50, 10});             // two corners
  Add(1, tri_, 0, SB_MAXTEXTURES + 1);  // texture index beyond the table
  Submit();
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(std::tuple(SB_Var.NbPolysDrawn, SB_Var.NbVerticesDrawn), std::tuple(0, 0));
}

TEST_F(SubmitTest, QuadsKeepTheirOwnTexture) {
  Slot(20, -1);
  Add(11, {10, 10, 50, 10, 50, 50, 10, 50}, 20);  // no card texture: not listed
  Add(11, {10, 10, 50, 10, 50, 50, 10, 50}, 21);
  Add(11, {10, 10, 50, 10, 50, 50, 10, 50}, 22);
  Submit();
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].context.TextureName, 121);
  EXPECT_EQ(g_calls[1].context.TextureName, 122);
  EXPECT_EQ(g_calls[1].items[0], (std::array<uint32_t, 4>{8, 9, 10, 11}));
  EXPECT_FLOAT_EQ(g_calls[1].context.SortDepth, 1000.0f);
}

TEST_F(SubmitTest, ClipPassByCodes) {
  struct Row {
    std::vector<int32_t> codes;
    float z;           // camera z of the first vertex
    int32_t vertices;  // after the pass; 0 dropped
  };
  const Row rows[] = {
      {{2, 2, 6}, 400, 0},    // all beyond the left edge
      {{2, 0, 16}, 400, 3},   // crossing edges: left to the card
      {{32, 0, 0}, 50, 4},    // behind the near plane: cut
      {{32, 32, 32}, 50, 0},  // wholly behind
  };
  for (const Row& r : rows) {
    Limits(10, 40);
    TSGLPOLY* p = Add(7, tri_, 1);
    for (int32_t i = 0; i < 3; ++i) p->Clip[i].Code = r.codes[i];
    p->Clip[0].Z = r.z;
    POWER_ClipViewPolygons(&window_, &scene_);
    EXPECT_EQ(p->NbVertices, r.vertices);
    EXPECT_EQ(p->Next, nullptr);
  }
  // A full scene drops a polygon that needs new vertices.
  Limits(10, 4);
  TSGLPOLY* p = Add(7, tri_, 1);
  p->Clip[0].Code = 32, p->Clip[0].Z = 50;
  POWER_ClipViewPolygons(&window_, &scene_);
  EXPECT_EQ(p->NbVertices, 0);
}

TEST_F(SubmitTest, ZoneFactor) {
  const double mid[3] = {-950.0 + 200.0, -21.0, -70.0}, heart[3] = {-950.0, -21.0, -70.0};
  EXPECT_DOUBLE_EQ(SB_CalcCameraZoneFactor(mid), 4.5);
  for (const auto& [x, proj] : {std::pair{0.0, 0.5f}, std::pair{-950.0, 0.0625f}}) {
    SB_Var.Camera.PosX = x, SB_Var.Camera.PosY = heart[1], SB_Var.Camera.PosZ = heart[2];
    SB_UpdateCameraZoneFactor();
    EXPECT_FLOAT_EQ(SB_Var.ProjFactor, proj);
  }
}

TEST_F(SubmitTest, Shading) {
  SB_Var.LightDir = {0.0, 1.0, 0.0};
  TMAPFACE flat{}, steep{};
  flat.Normal[0] = flat.Normal[2] = 64, flat.Normal[1] = 128;
  steep.Normal[0] = 64, steep.Normal[1] = 0, steep.Normal[2] = 64;
  SB_ShadeMapVertex(&flat);
  SB_ShadeMapVertex(&steep);
  EXPECT_EQ(flat.ShadeOrKey, 100u);  // 64 either side of the bias is small against 8192
  EXPECT_EQ(steep.ShadeOrKey, 99u);
  TFFACEPOLY decor{};
  decor.Normal[0] = decor.Normal[2] = 8192, decor.Normal[1] = 8192 + 8192;
  SB_ShadeDecorVertex(&decor);
  EXPECT_EQ(decor.Shades, 150u | 0u << 8);  // capped at 150; the negation gives 0
}

TEST_F(SubmitTest, OutlinesOnF9) {
  Add(7, tri_);
  BMAP* screen = LS_CreateBmap(640, 480, 16, 0);
  LS_InitWindow(screen, &SB_Var.ScreenWindow, 12, 0, 0, 640, 480);
  SB_Var.DrawDevInfo = 1;
  EXPECT_EQ(POWER_DrawPolygonOutlines(&scene_), 0);
  plat::SetKeyState(120, true);
  EXPECT_EQ(POWER_DrawPolygonOutlines(&scene_), 1);
  EXPECT_EQ(POWER_DrawPolygonOutlines(nullptr), 1);
  plat::SetKeyState(120, false);
  LS_FreeBmap(screen);
}

}  // namespace

// The scenery steps of the frame, traced.
void SB_AnimateRoadLights(TSOFTSCENE*) { g_trace.push_back("roadlights"); }
void SB_UpdatePanels(TSOFTSCENE*) { g_trace.push_back("panels"); }
void SB_MarkPanelTextures(TSOFTSCENE*) { g_trace.push_back("mark panels"); }
void SB_MarkSkyTextures(TSOFTSCENE*) { g_trace.push_back("mark sky"); }
void SB_MarkLensFlareTextures(TSOFTSCENE*) { g_trace.push_back("mark flare"); }
void SB_MarkRoadLightTextures(TSOFTSCENE*) { g_trace.push_back("mark roadlights"); }
void SB_DrawLensFlare(TSOFTSCENE*) { g_trace.push_back("flare"); }
void SB_DrawSky(_WINDOW* w) { g_trace.push_back(w == &SB_Var.ScreenWindow ? "sky" : "sky?"); }
void SB_DrawGround(_WINDOW* w) { g_trace.push_back(w == &SB_Var.ScreenWindow ? "ground" : "ground?"); }
void POWER_DrawShadows(TSOFTSCENE*) { g_trace.push_back("shadows"); }
void POWER_DrawPhareVolumes() { g_trace.push_back("beams"); }

namespace {

TEST_F(SubmitTest, FrameStepsAndOneRender) {
  ASSERT_EQ(POWER_InstallRenderCallback(), 1);
  ASSERT_EQ(POWER_CreateScreenDevice(640, 480, 16), 1);
  BMAP* screen = LS_CreateBmap(640, 480, 16, 0);
  LS_InitWindow(screen, &window_, 12, 0, 0, 640, 480);
  POWER_InitSglContext(&window_);
  SB_Var.NoCache = 1;
  SB_Var.SglRendered = 1;
  // An inset of two cars, after the start: its texture counted, its cars drawn.
  TCAR cars[2]{};
  SB_Var.InsetOn = SB_Var.ShowInset = SB_Var.UsingCars = 1;
  SB_Var.PreviousView = &scene_, SB_Var.CameraMode = 1, SB_Var.NbCars = 2, SB_Var.DrivenCar = 0;
  SB_Var.Cars[0] = &cars[0], SB_Var.Cars[1] = &cars[1];
  SB_Var.ScarsTexture = 5;
  SB_Hooks.GetGameStep = [] { return 15; };
  SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
  Add(7, tri_);
  POWER_BeginFrame(&window_, &scene_);
  EXPECT_EQ(scene_.TextureUses[5], 1u);
  EXPECT_EQ(g_trace, (std::vector<std::string>{"roadlights", "panels", "mark panels", "mark sky",
                                               "mark flare", "mark roadlights", "triangles", "flare", "sky",
                                               "ground", "quad", "quad", "shadows", "beams"}));
  EXPECT_EQ(SB_Var.SglRendered, 0);
  const int32_t frames = plat::AccelFrames();
  POWER_RenderFrame(&window_, &scene_);
  POWER_RenderFrame(&window_, &scene_);
  EXPECT_EQ(plat::AccelFrames(), frames + 1);
  POWER_WaitRenderDone();
  POWER_DeleteScreenDevice();
  LS_FreeBmap(screen);
}

}  // namespace
