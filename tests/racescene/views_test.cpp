// The user views and their limits, the rotation tables, a view's
// preparation, the data view's set-up and the per-map preparations.
#include "racescene/views.h"

#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <cstring>
#include <filesystem>

#include "engine3d/camera.h"
#include "engine3d/power.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/error.h"
#include "tests/racescene/engine3d_fakes.h"
#include "tests/support/testenv.h"
#include "track/decor.h"

namespace {

class ViewTest : public ztest::Engine3dTest {
 protected:
  void TearDown() override {
    SB_FreeDataView();
    SB_Free3dBuffersTria();
    LibraryTest::TearDown();
  }
  int32_t OwnedBytes(const char* owner) {
    int32_t total = 0;
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i)
      if (std::string(SB_MemOwners[i].Owner) == owner) total += static_cast<int32_t>(SB_MemOwners[i].Size);
    return total;
  }
};

TEST_F(ViewTest, TheDrawDistanceSetsTheLimits) {
  struct Row {
    int32_t distance, faces, vertices;
  };
  const Row rows[] = {{300, 2500, 9000}, {225, 2100, 8000}, {150, 1700, 7000}, {200, 1700, 7000}};
  for (const Row& r : rows) {
    SB_Var.DrawDistance = r.distance;
    SB_AllocUserViews();
    EXPECT_EQ(std::pair(SB_Var.MaxFaces, SB_Var.MaxVertices), std::pair(r.faces, r.vertices)) << r.distance;
    EXPECT_EQ(OwnedBytes("SB_AllocUserViews2 faces"), r.faces * static_cast<int32_t>(sizeof(TSOFTPOLY)));
  }
  SB_FreeUserViews();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  SB_Alloc3dBuffersTria();
  SB_Alloc3dBuffersTria();  // the second frees the first
  EXPECT_EQ(SB_Var.NbMemOwners, 3);
  const uint32_t sizes[3] = {24000, 84000, 42000};
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(SB_MemOwners[i].Size, sizes[i]);
}

// Both renderers fill a view to its limits: the software vertices and the
// accelerator's vertices with their clip data behind them.
TEST_F(ViewTest, BothRenderersFitInTheArrays) {
  SB_Var.DrawDistance = 150;
  for (int32_t renderer : {0, SB_RENDERER_PVR}) {
    SB_Var.Renderer = renderer;
    SB_AllocUserViews();
    TSOFTSCENE* v = SB_Var.UserView[1];
    auto* polys = static_cast<TSOFTPOLY*>(v->Polygons);
    polys[SB_Var.MaxFaces - 1].Key = 1;
    if (renderer == 0) {
      static_cast<TSOFTVERTEX*>(v->Vertices)[SB_Var.MaxVertices - 1].CamZ = 1;
      EXPECT_EQ(v->VertexCursor, v->Vertices);
    } else {
      static_cast<TSGLVERTEX*>(v->VertexCursor)[SB_Var.MaxVertices - 1].Colour = 1;
      static_cast<TSGLCLIP*>(v->ClipCursor)[SB_Var.MaxVertices - 1].Code = 1;
      EXPECT_EQ(static_cast<uint8_t*>(v->ClipCursor) - static_cast<uint8_t*>(v->Vertices),
                SB_Var.MaxVertices * 32);
    }
  }
}

TEST_F(ViewTest, RotationTablesRefillOnlyForANewCoefficient) {
  int32_t table[SB_ROTTABLESIZE];
  SB_FillRotationTable(table, 16384);
  EXPECT_EQ(std::tuple(table[0], table[64], table[128]), std::tuple(-1048576, 0, 1048576));
  SB_Var.DrawDistance = 150;
  SB_AllocUserViews();
  SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 1000, 2000, 3000);
  LS_InitWindow(nullptr, &SB_Var.ScreenWindow, 12, 0, 40, 640, 400);
  SB_Var.CenterX = 320, SB_Var.CenterY = 200;
  SB_SetView(SB_Var.UserView[0], &SB_Var.Camera, &SB_Var.ScreenWindow, 224, 96000, 0);
  for (TROTATIONTABLE& t : SB_Var.RotationTables) t.Entries[0] = 7;
  SB_SetView(SB_Var.UserView[0], &SB_Var.Camera, &SB_Var.ScreenWindow, 224, 96000, 0);
  for (const TROTATIONTABLE& t : SB_Var.RotationTables) EXPECT_EQ(t.Entries[0], 7);
  SB_Var.FarDistance = 1;
  SB_ResetViewState();
  EXPECT_EQ(SB_Var.FarDistance, 38400);
  EXPECT_EQ(std::tuple(E3D_SoftMapState[0], E3D_SoftMapState[1], E3D_SoftMapState[2]), std::tuple(0, 0, 1));
  SB_SetView(SB_Var.UserView[0], &SB_Var.Camera, &SB_Var.ScreenWindow, 224, 96000, 0);
  for (int32_t n = 0; n < 9; ++n)
    EXPECT_EQ(SB_Var.RotationTables[n].Entries[0], -64 * (&SB_Var.Camera.Frame.Rotation[0][0])[n]) << n;
  // The slopes and the fillers' projection constants of row 7.
  const float kx = 320.0f / 224.0f, ky = 200.0f / 224.0f;
  EXPECT_EQ(SB_Var.SlopeCosX, 1.0f / std::sqrt(1.0f + kx * kx));
  EXPECT_EQ(SB_Var.SlopeSinY, ky * (1.0f / std::sqrt(1.0f + ky * ky)));
  EXPECT_EQ(std::tuple(E3D_NegFocal, E3D_NegCenterX, E3D_NegCenterY), std::tuple(-224.0f, -320.0f, -200.0f));
  // The beam volumes get the same negated focal length and centre.
  const std::vector<std::string>& calls = ztest::Fakes3d().calls;
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
            (std::vector<std::string>{"POWER_SetPhareFocal -224.000000",
                                      "POWER_SetPhareCentre -320.000000 -200.000000"}));
  EXPECT_EQ(std::tuple(SB_Var.ViewWidth, SB_Var.ViewHeight, SB_Var.ViewFar), std::tuple(640, 400, 96000));
}

TEST_F(ViewTest, TheDataViewSetUp) {
  SB_Var.DrawDistance = 225;
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Var.CameraMode = 4;
  SB_CreateDataView();
  EXPECT_EQ(ztest::Fakes3d().calls, (std::vector<std::string>{"SB_LoadMapTextures", "SB_InitTextureAddresses",
                                                              "SB_SetLightDirection", "SB_RefreshLighting"}));
  EXPECT_EQ(std::tuple(SB_Var.DetailDistance, SB_Var.CameraMode), std::tuple(225 * 320, 1));
  EXPECT_EQ(SB_Var.CurrentView, SB_Var.UserView[0]);
  EXPECT_NE(SB_Var.DataView.Points, nullptr);
  SB_FreeDataView();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

// A heap too small for the data view's object: with the errors logged, the
// log names it and the set-up goes on.
TEST_F(ViewTest, ADataViewThatCannotBeHadIsReportedAndTheSetUpGoesOn) {
  LibraryTest::TearDown();
  LibraryTest::SetUp();
  StartLibrary(16 << 10);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  SB_Var.CameraMode = 5;
  SB_CreateDataView();
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  std::string log;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_))
    if (entry.path().filename() == "LSDEBUG.ERM") log = ztest::ReadFile(entry.path().string());
  EXPECT_NE(log.find("Error while creating data view !!!"), std::string::npos) << log;
  EXPECT_EQ(SB_Var.DataView.Points, nullptr);
  EXPECT_EQ(SB_Var.CameraMode, 1);
}

TEST_F(ViewTest, LoadMapReadsOrBuilds) {
  strcpy(SB_Var.DecorMapFile, "DEC>A.DEC");
  strcpy(SB_Var.AsciiMapFile, "ASC>A.ASC");
  EXPECT_EQ(SB_LoadMap(), 1);
  SB_Var.BuildMap = 1;
  EXPECT_EQ(SB_LoadMap(), 1);
  EXPECT_EQ(SB_Var.BuildMap, 0);
  EXPECT_EQ(ztest::Fakes3d().calls, (std::vector<std::string>{"SB_LoadDecor DEC>A.DEC", "SB_LoadAndBuildMap ASC>A.ASC",
                                                              "SB_SaveDecor DEC>A.DEC"}));
}

// A map of one big cube holding its own faces and one small cube.
class MapTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    TDECOR& d = SB_Var.Decor;
    d.BigEntitys = d.Cubes = &big_;
    d.NbBigEntitys = d.NbCubes = 1;
    d.SmallEntitys = &small_;
    d.NbSmallEntitys = 1;
    d.WordVertices = words_;
    d.NbWordVertices = 4;
    d.Vertices = bytes_;
    d.NbVertices = 4;
    d.Faces = faces_;
    d.NbFaces = 8;
    d.NewlyLoaded = 1;
    big_ = {64, 64, 64, 1, 0, 0, 0, 0, 4, 7, {}};
    small_ = {62, 62, 62, 4, 0, 7 * sizeof(TMAPFACE), 1, {}};
  }
  void Corners(TWORDVERTEX* v, std::initializer_list<std::array<uint16_t, 3>> corners) {
    for (const auto& c : corners) *v++ = {c[0], c[1], c[2], 0, 0};
  }
  TBIGENTITY big_{};
  TSMALLENTITY small_{};
  TWORDVERTEX words_[4]{};
  TMAPVERTEX bytes_[4]{};
  TMAPFACE faces_[8]{};
};

// The start corner's code in bit 7 of the bytes 9, 11 and 13.
int32_t CodeOf(const TMAPFACE& f) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(&f);
  return (b[9] >> 7) | (b[11] >> 7) << 1 | (b[13] >> 7) << 2;
}

TEST_F(MapTest, StartCodesPickTheCornerWithTheLongestShortEdge) {
  // 0 (0,0,0), 1 (1,0,0), 2 (1,0,10), 3 (0,0,10).
  Corners(words_, {{0, 0, 0}, {1, 0, 0}, {1, 0, 10}, {0, 0, 10}});
  bytes_[0] = {0, 0, 0, 0};  // the small cube's four corners in one place
  bytes_[1] = bytes_[2] = bytes_[3] = bytes_[0];
  struct Row {
    uint8_t v[4];
    int32_t code;
  };
  const Row rows[] = {
      {{0, 2, 1, 255}, 0},  // edges 101, 100, 1: the first corner
      {{0, 1, 2, 255}, 1},  // edges 1, 100, 101: the second
      {{3, 0, 1, 255}, 2},  // edges 100, 1, 101: the third
      {{0, 1, 2, 3}, 0},    // a rectangle: every corner ties, the first wins
      {{0, 0, 2, 3}, 3},    // edges 0, 101, 1, 100: the triple (1, 2, 3)
      {{0, 1, 1, 3}, 4},    // edges 1, 0, 101, 100: (2, 3, 0)
      {{0, 2, 2, 2}, 5},    // edges 101, 0, 0, 101: (3, 0, 1)
  };
  for (int32_t i = 0; i < 7; ++i) {
    std::memcpy(faces_[i].Vertex, rows[i].v, 4);
    faces_[i].TextureCoords[0] = faces_[i].TextureCoords[1] = faces_[i].TextureCoords[2] = 0x7FFF;
  }
  std::memcpy(faces_[7].Vertex, rows[1].v, 4);  // the small cube's face: no edge at all
  faces_[7].TextureCoords[1] = 0xFFFF;
  SB_InitFaceStartVertices();
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(CodeOf(faces_[i]), rows[i].code) << i;
    EXPECT_EQ(faces_[i].TextureCoords[0] & 0x7FFF, 0x7FFF);
  }
  EXPECT_EQ(CodeOf(faces_[7]), 0);
  faces_[0].Vertex[1] = 9;  // past the cube's run: left alone
  faces_[0].TextureCoords[0] = 0;
  SB_InitFaceStartVertices();
  EXPECT_EQ(faces_[0].TextureCoords[0], 0);
}

TEST_F(MapTest, CubeDistancesPackTwoIndicesNegativeAsZero) {
  ztest::Fakes3d().nearest = 1234.7;
  ztest::Fakes3d().alternative = -3.0;
  SB_Var.BsplineValid = 1;
  TFCUBE10POLY cell{};
  cell.X = 65, cell.Y = cell.Z = 64;
  SB_Var.Cube10Polys = &cell;
  SB_Var.NbCube10Polys = 1;
  SB_InitCubeDistances();
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"SB_InitCubeDistances (classic)...",
                                                         "SB_InitCubeDistances (polygones)..."}));
  EXPECT_EQ(big_.BsplineIndices, 1234u);
  EXPECT_EQ(cell.BsplineIndices[0] | cell.BsplineIndices[1] << 16, 1234);
  EXPECT_EQ(ztest::Fakes3d().asked, (std::vector<double>{0.0, 0.0, 0.0, 51.2, 0.0, 0.0}));
  SB_ClearPrintedLines();
  big_.BsplineIndices = 0;
  ztest::Fakes3d().alternative = 77.5;
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_InitCubeDistances();
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"SB_InitCubeDistances (polygones)..."});
  EXPECT_EQ(big_.BsplineIndices, 0u);
  EXPECT_EQ(cell.BsplineIndices[0] | cell.BsplineIndices[1] << 16, 1234 | 77 << 16);
  SB_Var.Decor.NewlyLoaded = 0;
  SB_InitCubeDistances();
  EXPECT_EQ(SB_PrintedLines().size(), 1u);
}

}  // namespace
