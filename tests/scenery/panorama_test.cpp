// The panoramas: the circuit configuration's table and its bad counts,
// names and ranges, the pictures of either depth, the choice along the
// centre line, and the layer's slices for the camera's heading and pitch.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"
#include "engine3d/camera.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"
#include "system/heap.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

class PanoramaTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    LS_Init3D();
    SB_Var.Renderer = 0;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 16;
    std::snprintf(SB_Var.ConfigFile, sizeof SB_Var.ConfigFile, "TXT>CIRCUIT.TXT");
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "TRAVUN>");
    std::filesystem::create_directories(root_ + "/TXT/TRAVUN");
    SB_Var.Focal = 320;
  }
  void TearDown() override {
    SB_FreeBackgrounds();
    SB_Free3dScreen();
    SB_Var.BsplinePoints = nullptr;
    SceneryTest::TearDown();
  }
  void WriteConfig(const std::string& text) {
    std::ofstream(root_ + "/TXT/CIRCUIT.TXT", std::ios::binary) << text;
  }
  void WritePicture(const std::string& name, int32_t depth) {
    const std::string path = root_ + "/TXT/TRAVUN/" + name;
    if (depth == 8)
      ASSERT_TRUE(datagen::WritePcx(path + ".PCX", {8, 4, std::vector<uint8_t>(32, 9), std::vector<uint8_t>(768, 0)}));
    else
      ASSERT_TRUE(datagen::WriteTga(path + ".TGA", datagen::Picture24(8, 4, 200, 100, 50)));
  }
  std::vector<std::string> Names() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < SB_Var.NbBackgrounds; ++i) out.push_back(SB_Var.Backgrounds[i].Picture ? "P" : "-");
    return out;
  }
  // A 640 x 480 software overlay and layer, the view over all of it, the
  // layer's pixel (x, y) = x + 1 (16 bits), the fill colour 0x4321.
  void MakeLayer(int32_t viewX = 0, int32_t viewY = 0, int32_t viewW = 640, int32_t viewH = 480) {
    ASSERT_EQ(SB_Create3dScreen(640, 480, 16), 1);
    LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, viewX, viewY, viewW, viewH);
    BMAP* layer = SB_Var.BackgroundLayer;
    for (int32_t x = 0; x < 640; ++x) LS_FillRect(layer, x, 0, x, 479, static_cast<uint32_t>(x + 1));
    LS_FillRect(layer, 0, 479, 639, 479, 0x7000);  // the bottom row marked
    SB_Var.BackgroundFill = 0x4321;
  }
  uint32_t At(int32_t x, int32_t y) { return LS_GetPixel(SB_Var.TextScreen, x, y); }
  void Draw(uint16_t heading, uint16_t pitch = 0) {
    SB_Var.Camera = {};
    SB_Var.Camera.AngleY = heading;
    SB_Var.Camera.AngleX = pitch;
    SB_DrawBackground(&SB_Var.Camera);
  }
};

TEST_F(PanoramaTest, TheTableIsReadFromTheCircuitConfiguration) {
  WriteConfig(
      "NBACKS: 3\r\nBACKFILE1: HILLS\r\nBACK11: 0.0,402.5,7\r\nBACK12: 953,1103,0\r\n"
      // Keys out of order, and a picture that is missing.
      "BACK22: 5,6,0\r\nBACKFILE2: NOWHERE\r\nBACK21: 402.5,953,0\r\n"
      "BACKFILE3: ROCKS\r\nBACK31: 1,2,0\r\nBACK32: 3,4,0\r\n");
  WritePicture("HILLS", 16);
  WritePicture("ROCKS", 16);
  SB_LoadBackgrounds();
  ASSERT_EQ(SB_Var.NbBackgrounds, 3);
  const TBACKGROUND& b = SB_Var.Backgrounds[0];
  EXPECT_EQ((std::tuple{b.From1, b.To1, b.Long1, b.From2, b.To2}), (std::tuple{0.0, 402.5, 7, 953.0, 1103.0}));
  const TBACKGROUND& c = SB_Var.Backgrounds[1];
  EXPECT_EQ((std::tuple{c.From1, c.To1, c.From2, c.To2}), (std::tuple{402.5, 953.0, 5.0, 6.0}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "-", "P"}));
  EXPECT_EQ(SB_Var.CurrentBackground, b.Picture);
  EXPECT_EQ(SB_Var.DrawnBackground, nullptr);
  EXPECT_EQ(SB_PrintedLines(),
            (std::vector<std::string>{"Loading background HILLS...", "Loading background NOWHERE...",
                                      "Background NOWHERE not found !!!", "Loading background ROCKS..."}));
  SB_FreeBackgrounds();
  EXPECT_EQ((std::tuple{SB_Var.Backgrounds, SB_Var.NbBackgrounds, SB_Var.CurrentBackground}),
            (std::tuple{nullptr, 0, nullptr}));
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(PanoramaTest, EightBitScreensLoadThePcxOtherDepthsTheTga) {
  WriteConfig("NBACKS: 1\nBACKFILE1: HILLS\n");
  for (int32_t depth : {8, 16}) {
    SCOPED_TRACE(depth);
    SB_Var.VideoModes[0].Depth = depth;
    std::filesystem::remove_all(root_ + "/TXT/TRAVUN");
    std::filesystem::create_directories(root_ + "/TXT/TRAVUN");
    WritePicture("HILLS", depth == 8 ? 16 : 8);  // only the other kind: not found
    SB_LoadBackgrounds();
    EXPECT_EQ(Names(), std::vector<std::string>{"-"});
    WritePicture("HILLS", depth);
    SB_LoadBackgrounds();
    ASSERT_EQ(Names(), std::vector<std::string>{"P"});
    EXPECT_EQ(SB_Var.Backgrounds[0].Picture->Depth, depth == 8 ? 8 : 24);
  }
}

TEST_F(PanoramaTest, TruncatedPicturesAreNotFound) {
  WriteConfig("NBACKS: 1\nBACKFILE1: HILLS\n");
  for (int32_t depth : {8, 16}) {
    const std::string file = root_ + "/TXT/TRAVUN/HILLS" + (depth == 8 ? ".PCX" : ".TGA");
    for (uintmax_t size : {uintmax_t{0}, uintmax_t{10}, uintmax_t{100}}) {  // the PCX header is 128 bytes
      SCOPED_TRACE(testing::Message() << depth << " bits cut at " << size);
      SB_Var.VideoModes[0].Depth = depth;
      std::filesystem::remove_all(root_ + "/TXT/TRAVUN");
      std::filesystem::create_directories(root_ + "/TXT/TRAVUN");
      WritePicture("HILLS", depth);
      ASSERT_GT(std::filesystem::file_size(file), size);
      std::filesystem::resize_file(file, size);
      SB_ClearPrintedLines();
      SB_LoadBackgrounds();
      EXPECT_EQ(Names(), std::vector<std::string>{"-"});
      EXPECT_EQ(SB_PrintedLines(),
                (std::vector<std::string>{"Loading background HILLS...", "Background HILLS not found !!!"}));
    }
  }
  SB_FreeBackgrounds();
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
}

TEST_F(PanoramaTest, TheAcceleratorReadsTheRangesButNoPicture) {
  WriteConfig("NBACKS: 1\nBACKFILE1: HILLS\nBACK11: 10,20,0\n");
  WritePicture("HILLS", 16);
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_LoadBackgrounds();
  ASSERT_EQ(SB_Var.NbBackgrounds, 1);
  EXPECT_EQ(SB_Var.Backgrounds[0].To1, 20.0);
  EXPECT_EQ(Names(), std::vector<std::string>{"-"});
  EXPECT_EQ(SB_Var.CurrentBackground, nullptr);
  EXPECT_TRUE(SB_PrintedLines().empty());
}

TEST_F(PanoramaTest, WithoutNbacksSoftwareModesShowTheDefault) {
  struct Row {
    const char* what;
    bool decofon2, decofon;
    int32_t renderer;
    int32_t count;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {"both", true, true, 0, 1, {"Loading background decofon2..."}},
      {"decofon only", false, true, 0, 1,
       {"Loading background decofon2...", "Background decofon2 not found !!!", "Loading background decofon..."}},
      {"neither", false, false, 0, 0,
       {"Loading background decofon2...", "Background decofon2 not found !!!", "Loading background decofon...",
        "Background decofon not found !!!"}},
      {"accelerator", true, true, SB_RENDERER_PVR, 0, {}}};
  WriteConfig("SUN: 1,2,3\n");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::filesystem::remove_all(root_ + "/TXT/TRAVUN");
    std::filesystem::create_directories(root_ + "/TXT/TRAVUN");
    if (r.decofon2) WritePicture("DECOFON2", 16);
    if (r.decofon) WritePicture("DECOFON", 16);
    SB_Var.Renderer = r.renderer;
    SB_ClearPrintedLines();
    SB_LoadBackgrounds();
    EXPECT_EQ(SB_Var.NbBackgrounds, r.count);
    EXPECT_EQ(SB_PrintedLines(), r.lines);
    if (r.count) {
      const TBACKGROUND& b = SB_Var.Backgrounds[0];
      EXPECT_EQ(SB_Var.CurrentBackground, b.Picture);
      EXPECT_EQ((std::tuple{b.From1, b.To1, b.From2, b.To2}), (std::tuple{0.0, 0.0, 0.0, 0.0})) << "never switched";
    }
    SB_FreeBackgrounds();
  }
}

TEST_F(PanoramaTest, BadCountsGiveNoTable) {
  struct Row {
    const char* value;
    bool message;
  };
  SB_Var.Renderer = SB_RENDERER_PVR;  // no default entry to hide the table
  for (const Row& r : {Row{"-1", true}, {"0", false}, {"65", true}, {"1000000000", true}, {"99999999999", true},
                       {"64", false}}) {
    SCOPED_TRACE(r.value);
    WriteConfig(std::string("NBACKS: ") + r.value + "\n");
    SB_ClearPrintedLines();
    SB_LoadBackgrounds();
    EXPECT_EQ(SB_Var.NbBackgrounds, std::string(r.value) == "64" ? 64 : 0);
    EXPECT_EQ(SB_Var.Backgrounds != nullptr, SB_Var.NbBackgrounds > 0);
    EXPECT_EQ(SB_PrintedLines().size(), r.message ? 1u : 0u);
    if (r.message) {
      EXPECT_EQ(SB_PrintedLines()[0].rfind("NBACKS: ", 0), 0u) << SB_PrintedLines()[0];
    }
    SB_FreeBackgrounds();
  }
}

TEST_F(PanoramaTest, ATableThatCannotBeHadIsNone) {
  // The heap is filled but for room for the configuration's text: the
  // table of 64 entries does not fit there and is refused.
  WriteConfig("NBACKS: 64\nBACK11: 1,2,0\n");
  SB_Var.Renderer = SB_RENDERER_PVR;
  void* reserve = LS_GetMemHeap(LS_DefaultHeap, 1024);
  std::vector<void*> filler;
  for (int32_t size = 1 << 24; size >= 1; size /= 2)
    while (void* b = LS_GetMemHeap(LS_DefaultHeap, size)) filler.push_back(b);
  LS_Release(reserve);
  SB_LoadBackgrounds();
  for (void* b : filler) LS_Release(b);
  EXPECT_EQ((std::tuple{SB_Var.Backgrounds, SB_Var.NbBackgrounds}), (std::tuple{nullptr, 0}));
  SB_LoadBackgrounds();
  EXPECT_EQ(SB_Var.NbBackgrounds, 64) << "with the memory back";
}

TEST_F(PanoramaTest, LongNamesAreCutAndMissingFilesReported) {
  const std::string name(300, 'A');
  WriteConfig("NBACKS: 1\nBACKFILE1: " + name + "\nBACK11: 0,10,0\n");
  SB_LoadBackgrounds();
  ASSERT_EQ(SB_Var.NbBackgrounds, 1);
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"Loading background " + name.substr(0, 255) + "...",
                                                         "Background " + name.substr(0, 255) + " not found !!!"}));
  // A truncated picture and an empty configuration.
  SB_FreeBackgrounds();
  WriteConfig("NBACKS: 1\nBACKFILE1: HILLS\n");
  WritePicture("HILLS", 16);
  std::filesystem::resize_file(root_ + "/TXT/TRAVUN/HILLS.TGA", 30);
  SB_LoadBackgrounds();
  EXPECT_EQ(Names(), std::vector<std::string>{"-"});
  WriteConfig("");
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_LoadBackgrounds();
  EXPECT_EQ(SB_Var.NbBackgrounds, 0);
}

TEST_F(PanoramaTest, TheFirstEntryHoldingTheCameraDecides) {
  MakeLayer();
  TVECTOR points[100]{};
  SB_Var.BsplinePoints = points;
  SB_Var.NbBsplinePoints = 100;
  const double nan = std::nan("");
  BMAP* a = SB_CreateBmap(4, 4, 16, 0, "a");
  BMAP* b = SB_CreateBmap(4, 4, 16, 0, "b");
  LS_FillRect(a, 0, 0, 3, 3, 0x0AAA);
  LS_FillRect(b, 0, 0, 3, 3, 0x0BBB);
  BMAP* c = SB_CreateBmap(4, 4, 16, 0, "c");
  SB_Var.Backgrounds = static_cast<TBACKGROUND*>(SB_GetMem(4 * sizeof(TBACKGROUND), "Background struct"));
  SB_Var.Backgrounds[0] = {0, 10, 0, 90, 100, 0, a};
  SB_Var.Backgrounds[1] = {5, 50, 0, 0, 0, 0, b};    // 5..9 stay with the first entry
  SB_Var.Backgrounds[2] = {50, 60, 0, 0, 0, 0, nullptr};  // keeps the current picture
  SB_Var.Backgrounds[3] = {nan, nan, 0, -INFINITY, INFINITY, 0, c};  // never matches
  SB_Var.NbBackgrounds = 4;
  struct Row {
    int32_t index;
    BMAP* current;
    uint32_t layer;
  };
  for (const Row& r : {Row{0, a, 0x0AAA}, {9, a, 0x0AAA}, {10, b, 0x0BBB}, {55, b, 0x0BBB}, {70, b, 0x0BBB},
                       {195, a, 0x0AAA}, {149, b, 0x0BBB}}) {
    SCOPED_TRACE(r.index);
    SB_Var.Camera.BsplineIndex = r.index;
    SB_SelectBackground();
    EXPECT_EQ(SB_Var.CurrentBackground, r.current);
    EXPECT_EQ(SB_Var.DrawnBackground, r.current);
    EXPECT_EQ(LS_GetPixel(SB_Var.BackgroundLayer, 0, 0), r.layer);
    EXPECT_EQ(SB_Var.BackgroundFill, r.layer);
  }
  // Unchanged, the layer is left alone.
  LS_FillRect(SB_Var.BackgroundLayer, 0, 0, 0, 0, 0x0123);
  SB_SelectBackground();
  EXPECT_EQ(LS_GetPixel(SB_Var.BackgroundLayer, 0, 0), 0x0123u);
  // Without a centre line nothing is chosen.
  SB_Var.BsplinePoints = nullptr;
  SB_Var.Camera.BsplineIndex = 0;
  SB_SelectBackground();
  EXPECT_EQ(SB_Var.CurrentBackground, b);
}

TEST_F(PanoramaTest, TheHeadingScrollsTheSlices) {
  MakeLayer();
  struct Row {
    uint16_t heading;
    int32_t x0;
  };
  // x0 = -floor(trunc(heading x 2.6) x 640 / 65536 + 0.5): the screen's
  // column c shows the layer's column c - x0, the three slices laid at
  // x0, x0 + 640, x0 + 1280 (384 wide) and x0 + 1663.
  for (const Row& r : {Row{0, 0}, {100, -3}, {16384, -416}, {51200, -1300}, {65535, -1664}}) {
    SCOPED_TRACE(r.heading);
    LS_ClearBmap(SB_Var.TextScreen);
    Draw(r.heading);
    for (int32_t c : {0, 1, 223, 224, 362, 363, 500, 638}) {
      const int32_t d = c - r.x0;  // into the strip of slices
      const int32_t column = d >= 1663 ? d - 1663 : d >= 1280 ? d - 1280 : d >= 640 ? d - 640 : d;
      EXPECT_EQ(At(c, 10), column < 640 ? static_cast<uint32_t>(column + 1) : 0u) << c;
    }
  }
  // The fourth slice overlaps the third by one column.
  Draw(51200);
  EXPECT_EQ(At(362, 5), 383u);
  EXPECT_EQ(At(363, 5), 1u);
}

TEST_F(PanoramaTest, ThePitchMovesThePanoramaAndTheBandAboveIsFilled) {
  MakeLayer();
  struct Row {
    uint16_t pitch;
    int32_t y0;  // expected row of the picture's top
  };
  const int32_t tilt = static_cast<int32_t>(std::lround(320 * std::tan(2048 * M_PI / 32768)));
  for (const Row& r : {Row{0, 0}, {16384, 720}, {2048, tilt}, {static_cast<uint16_t>(65536 - 2048), -tilt}}) {
    SCOPED_TRACE(r.pitch);
    SB_Var.Camera.AngleX = r.pitch;
    const int32_t y0 = SB_GetHorizonY(&SB_Var.Camera);
    EXPECT_NEAR(std::abs(y0), std::abs(r.y0), 1);
    LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x7777);
    Draw(0, r.pitch);
    SB_FillAbovePanorama();
    EXPECT_EQ(SB_Var.BackgroundFillLimit, y0 - 1);
    for (int32_t row : {0, 1, 200, 415, 416, 478, 479}) {
      const int32_t layerRow = row - y0;
      const uint32_t expected = row < y0            ? 0x4321u
                                : layerRow > 479    ? 0x7777u
                                : layerRow == 479   ? 0x7000u
                                                    : 1u;
      EXPECT_EQ(At(0, row), expected) << row;
    }
  }
}

TEST_F(PanoramaTest, SlicesAreClippedToTheView) {
  MakeLayer(10, 20, 300, 200);
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x7777);
  SB_BlitBackgroundSlice(0, 0, 639, 479, -5, -7);
  EXPECT_EQ(At(10, 20), 16u) << "the source starts 15 columns in";
  EXPECT_EQ(At(309, 219), 315u);
  for (auto [x, y] : {std::pair{9, 20}, {10, 19}, {310, 100}, {100, 220}}) EXPECT_EQ(At(x, y), 0x7777u) << x << "," << y;
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x7777);
  SB_BlitBackgroundSlice(0, 0, 639, 479, 300, 210);  // reaches past the right and bottom edges
  EXPECT_EQ(At(309, 219), 10u);
  EXPECT_EQ(At(299, 219), 0x7777u);
  for (int32_t x : {-640, 640}) {
    SB_BlitBackgroundSlice(0, 0, 639, 479, x, 20);
    EXPECT_EQ(At(10, 20), 0x7777u) << x;
  }
}

TEST_F(PanoramaTest, OtherViewsAreClearedInstead) {
  MakeLayer();
  SB_Var.ScreenWindow.W_WIDTH = 800;
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x7777);
  Draw(0);
  SB_FillAbovePanorama();
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(639, 479), 0u);
  SB_Var.ScreenWindow.W_WIDTH = 640;
  SB_FreeBmap(SB_Var.BackgroundLayer);
  SB_Var.BackgroundLayer = nullptr;
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x7777);
  Draw(0);
  EXPECT_EQ(At(5, 5), 0u) << "no layer";
}

}  // namespace
