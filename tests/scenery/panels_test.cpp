// The trackside LED panels, start lights and road lights on a map of
// texture places made by the tests: pages in software (8 and 16 bits) and
// card textures of their own slots.
#include "scenery/panels.h"

#include <cstring>
#include <filesystem>

#include "datagen/scenerypics.h"
#include "scenery/framefx.h"
#include "scenery/paneltexels.h"
#include "scenery/texcopy.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::kCard;
using scenerytest::SceneryTest;

// Texture name, width and height of the map's displays.
struct Page {
  const char* name;
  int32_t w, h;
};
const std::vector<Page> kPages = {{"GO", 256, 64},       {"PANSTAD2", 256, 64},    {"TIMEX1", 256, 64},
                                  {"TIMEX2", 256, 64},   {"TIMEX3", 256, 64},      {"DEPART  N", 256, 128},
                                  {"DEPART3 N", 256, 128}, {"TRGROZEB N", 128, 16}};

class PanelTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    std::filesystem::create_directories(root_ + "/MISCPICT");
    for (bool lit : {true, false})
      ASSERT_TRUE(datagen::WriteTga(root_ + (lit ? "/MISCPICT/DIODEon.TGA" : "/MISCPICT/DIODEoff.TGA"),
                                    datagen::DiodePicture(lit)));
    SB_Var.PreviousView = &previous_;
    SB_Var.TextScreen = SB_CreateBmap(8, 8, 8, LS_DefaultHeap, "test");
  }
  void TearDown() override {
    SB_DisposePanel();
    SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.TextScreen = nullptr;
    SB_Var.PreviousView = nullptr;
    for (int32_t s = 1; s < 20; ++s) SB_Var.TextureCache[s] = TEXTURECACHE{};
    SceneryTest::TearDown();
  }
  // The pages as map textures for the mode (8, 16 or kCard), each divided
  // by the scale: in software each in a 256 x 256 page of its own, on the
  // card each in a slot of its own at (0, 0).
  void MakeMap(int32_t mode, const std::vector<Page>& pages = kPages, int32_t scale = 1) {
    mode_ = mode;
    previous_ = view_ = TSOFTSCENE{};
    SB_Var.Renderer = mode == kCard ? SB_RENDERER_PVR : 0;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = SB_Var.VideoModes[0].TextureDepth = mode == kCard ? 16 : mode;
    SB_Var.VideoModes[0].TextureFormat = mode == 8 ? BMAP_PAL8 : BMAP_RGB555;
    std::memset(SB_Var.TextureNames, 0, sizeof SB_Var.TextureNames);
    SB_Var.NbTextures = static_cast<int32_t>(pages.size());
    texels_.assign(pages.size(), {});
    for (size_t i = 0; i < pages.size(); ++i) {
      // Blanks stand for the zero padding before the flag letters.
      for (size_t c = 0; pages[i].name[c]; ++c) SB_Var.TextureNames[i][c] = pages[i].name[c] == ' ' ? '\0' : pages[i].name[c];
      TTEXTUREPLACE& p = SB_Var.TexturePlaces[i];
      p = TTEXTUREPLACE{};
      p.Width = pages[i].w / scale, p.Height = pages[i].h / scale;
      p.N = std::strchr(pages[i].name, 'N') && std::strlen(pages[i].name) > 8 ? 1 : 0;
      if (mode == kCard) {
        const int32_t side = std::max(32, std::max(p.Width, p.Height));
        texels_[i].assign(static_cast<size_t>(side) * side * 2, 0);
        const int32_t slot = static_cast<int32_t>(i) + 1;
        SB_Var.TextureCache[slot].InUse = 1;
        SB_Var.TextureCache[slot].Size = side * side * 2;
        SB_Var.TextureCache[slot].Map = SGLMAP{{'Z', 'T', '0', 0}, side, side, texels_[i].data()};
        p.PageNumber = slot;
      } else {
        texels_[i].assign(256 * 256 * static_cast<size_t>(mode / 8), 0);
        p.PageNumber = static_cast<int32_t>(i);
        p.Page = p.Texels = texels_[i].data();
      }
    }
  }
  // Texel (x, y) of map texture i.
  uint32_t At(int32_t i, int32_t x, int32_t y) {
    TPANELTARGET t;
    EXPECT_TRUE(SB_PanelTarget(i, &t));
    return SB_GetPanelTexel(t, x, y);
  }
  void Put(int32_t i, int32_t x, int32_t y, uint32_t v) {
    TPANELTARGET t;
    ASSERT_TRUE(SB_PanelTarget(i, &t));
    SB_PutPanelTexel(t, x, y, v);
  }
  // The dot texel of the table the set-up made, by dot row and column.
  uint32_t Dot(bool lit, int32_t row, int32_t col) {
    const uint8_t* d = SB_Var.Panels.Dots;
    if (mode_ == kCard) {
      const int32_t i = (lit ? 0 : 16) + static_cast<int32_t>(Twiddled(col, row));
      return static_cast<uint32_t>(d[2 * i] | d[2 * i + 1] << 8);
    }
    const int32_t i = (lit ? 16 : 0) + row * 4 + col;
    return mode_ == 8 ? d[i] : static_cast<uint32_t>(d[2 * i] | d[2 * i + 1] << 8);
  }
  // What a panel of texture i, `dot` texels a dot, shows of the text from
  // sub-column `start` on, drawn from the font; -1 where nothing is drawn.
  std::vector<int64_t> Reference(const std::string& text, int32_t start, int32_t w, int32_t dot) {
    std::vector<int64_t> out;
    const int32_t perColumn = dot / 4;
    for (int32_t y = 0; y < 8 * dot; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const int32_t sub = x / 4 - start, col = sub / perColumn;
        if (sub < 0 || col / 6 >= static_cast<int32_t>(text.size())) {
          out.push_back(-1);
          continue;
        }
        const uint8_t g = SB_Var.Panels.Font[SB_LedGlyph(text[col / 6])][col % 6];
        out.push_back(Dot((g >> (7 - y / dot)) & 1, y & 3, x & 3));
      }
    return out;
  }
  std::vector<int64_t> Shown(int32_t i, int32_t w, int32_t h, const std::vector<int64_t>& mask) {
    std::vector<int64_t> out;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        out.push_back(mask[static_cast<size_t>(y * w + x)] < 0 ? -1 : static_cast<int64_t>(At(i, x, y)));
    return out;
  }
  void Start(int32_t mode, const std::vector<Page>& pages = kPages, int32_t scale = 1) {
    MakeMap(mode, pages, scale);
    SB_InitPanel();
    SB_RemapPanel();
    SB_InitRoadLights();
  }
  void SeenByPreviousView(int32_t i) {
    if (mode_ == kCard)
      previous_.TextureUses[SB_Var.TexturePlaces[i].PageNumber] = 1;
    else
      SB_Var.TexturePlaces[i].UsedThisFrame = 1;
  }

  std::vector<std::vector<uint8_t>> texels_;
  TSOFTSCENE previous_{}, view_{};
};

TEST_F(PanelTest, GlyphsAreTheFontsColumns) {
  SB_BuildLedFont();
  const std::pair<char, std::array<uint8_t, 6>> rows[] = {{'A', {0x3E, 0x50, 0x50, 0x50, 0x3E, 0}},
                                                          {'1', {0x10, 0x20, 0x7E, 0, 0, 0}},
                                                          {'!', {0x01, 0x10, 0x20, 0x60, 0x41, 0}},
                                                          {'a', {}},
                                                          {'?', {}},
                                                          {' ', {}},
                                                          {static_cast<char>(0xC9), {}}};
  for (const auto& [c, columns] : rows) {
    const uint8_t* g = SB_Var.Panels.Font[SB_LedGlyph(c)];
    EXPECT_EQ(std::vector<uint8_t>(g, g + 6), std::vector<uint8_t>(columns.begin(), columns.end())) << c;
  }
}

TEST_F(PanelTest, DotTablesFollowTheModesOrders) {
  for (int32_t mode : {8, 16, kCard}) {
    Start(mode);
    ASSERT_EQ(SB_Var.Panels.On, 1) << mode;
    // The dots' own texels through the mode's conversion, row by row.
    BMAP* dots[2];
    for (int lit = 0; lit < 2; ++lit) {
      BMAP* picture = SB_LoadTga(lit ? "MISCPICT>DIODEon.TGA" : "MISCPICT>DIODEoff.TGA");
      if (mode == kCard) {
        dots[lit] = Bmap24to555(picture);
      } else {
        dots[lit] = SB_CreateBmap(4, 4, mode, LS_DefaultHeap, "test");
        dots[lit]->Format = mode == 8 ? BMAP_PAL8 : BMAP_RGB555;
        dots[lit]->Palette = SB_Var.Pal3d;
        SB_Bitmove(picture, dots[lit], 0, 0, 3, 3, 0, 0);
      }
      SB_FreeBmap(picture);
    }
    for (int lit = 0; lit < 2; ++lit)
      for (int32_t r = 0; r < 4; ++r)
        for (int32_t c = 0; c < 4; ++c)
          EXPECT_EQ(Dot(lit, r, c), LSI_LoadPixel(LSI_PixelAt(dots[lit], c, r), LSI_BytesPerPixel(dots[lit])))
              << mode << " " << lit << " " << r << "," << c;
    // The card's block: texel 2 is row 0, column 1; texel 4 row 2, column 0.
    if (mode == kCard) {
      const uint8_t* d = SB_Var.Panels.Dots;
      EXPECT_EQ(static_cast<uint32_t>(d[4] | d[5] << 8), Dot(true, 0, 1));
      EXPECT_EQ(static_cast<uint32_t>(d[8] | d[9] << 8), Dot(true, 2, 0));
    }
    EXPECT_NE(Dot(true, 1, 1), Dot(false, 1, 1));
    for (BMAP* b : dots) SB_FreeBmap(b);
    SB_DisposePanel();
  }
}

TEST_F(PanelTest, GoFromSubColumnEightIsCutAtThePanelsEdge) {
  const struct {
    int32_t mode, scale, dot;
  } rows[] = {{8, 1, 8}, {16, 1, 8}, {kCard, 1, 8}, {kCard, 2, 4}};
  for (const auto& row : rows) {
    Start(row.mode, kPages, row.scale);
    SeenByPreviousView(0);
    SB_PanelPrintText(0, "  GO ", 8);
    const int32_t w = 256 / row.scale;
    const auto want = Reference("  GO ", 8, w, row.dot);
    EXPECT_EQ(Shown(0, w, 8 * row.dot, want), want) << row.mode << " " << row.scale;
    // Nothing before sub-column 8 but, on the card, the set-up's blank in
    // unlit dots; nothing below the text.
    EXPECT_EQ(At(0, 31, 0), row.mode == kCard ? Dot(false, 0, 3) : 0u) << row.mode;
    if (row.dot == 8) {
      EXPECT_EQ(At(0, 40, 64), 0u);
    }
    SB_DisposePanel();
  }
}

TEST_F(PanelTest, FixedTextsNeedThePageSeenUnlessBlanked) {
  for (int32_t mode : {8, kCard}) {
    Start(mode);
    Put(0, 40, 0, 7);
    SB_PanelPrintText(0, "CHECK", 8);
    EXPECT_EQ(At(0, 40, 0), 7u) << mode;
    SB_PanelPrintText(0, "CHECK", -1);
    EXPECT_NE(At(0, 40, 0), 7u) << mode;
    if (mode == kCard) {
      Put(0, 40, 0, 7);
      SB_BlankPanel(0);
      EXPECT_EQ(At(0, 40, 0), Dot(false, 0, 0));
      Put(0, 40, 0, 7);
      SB_ClearPanel(0);  // writes only where the page was seen
      EXPECT_EQ(At(0, 40, 0), 7u);
      SeenByPreviousView(0);
      SB_ClearPanel(0);
      EXPECT_EQ(At(0, 40, 0), Dot(false, 0, 0));
      SB_MarkPanelTextures(&view_);
      EXPECT_EQ(view_.TextureUses[1], SB_TEXTURE_CHANGED);
    } else {
      SB_ClearPanel(0);  // software clears always: row r takes dot row r & 3
      for (int32_t y : {0, 5, 63}) EXPECT_EQ(At(0, 9, y), Dot(false, y & 3, 1)) << y;
      EXPECT_EQ(At(0, 9, 64), 0u);
    }
    SB_DisposePanel();
  }
}

TEST_F(PanelTest, ScrollingTextsMoveWithTheClockAndStopWhenPrinted) {
  Start(kCard, kPages, 2);
  SB_Var.Time = 1000;
  const std::string text = "      BE READY TO BE AT FULL ....";
  SB_SetPanelScrollText(0, text.c_str(), 40, 50, 0);
  TLEDPANEL& p = SB_Var.Panels.Panels[0];
  view_.TextureUses[p.PageNumber] = 3;
  const struct {
    uint32_t time, redrawClock;
    int32_t current, sub;
  } rows[] = {{1030, 1000, 0, 0},             // within the first step: not redrawn
              {1130, 1100, 0, 5},             // 130 ms x 40 / 1000 = 5
              {6000, 6000, 0, 2},             // 200 sub-columns, wrapped at 6 x 33
              {6049, 6000, 0, 2}};
  for (const auto& row : rows) {
    SB_Var.Time = row.time;
    SB_UpdatePanels(&view_);
    EXPECT_EQ(std::tuple(p.RedrawClock, p.Current, p.SubColumn), std::tuple(row.redrawClock, row.current, row.sub))
        << row.time;
  }
  // The window from the text's first blank.
  EXPECT_EQ(At(0, 0, 0), Dot(false, 0, 0));
  EXPECT_EQ(p.Changed, 1u);
  // Hidden pages do not scroll; a printed text stops the scrolling.
  view_.TextureUses[p.PageNumber] = 0;
  SB_Var.Time = 9000;
  SB_UpdatePanels(&view_);
  EXPECT_EQ(p.RedrawClock, 6000u);
  SB_PanelPrintText(0, "GO", -1);
  EXPECT_EQ(p.Active, 0u);
  // Texts of 256 characters or more, and panels that do not exist, are ignored.
  for (size_t n : {255u, 256u, 1000u}) {
    SB_SetPanelScrollText(0, std::string(n, 'A').c_str(), 10, 0, 0);
    EXPECT_EQ(p.Active, n < 256 ? 1u : 0u) << n;
    p.Active = 0;
  }
  for (int32_t panel : {-1, 5}) {
    SB_SetPanelScrollText(panel, "A", 10, 0, 0);
    SB_PanelPrintText(panel, "A", -1);
    SB_ClearPanel(panel);
  }
  // On a panel 256 wide a character is 12 sub-columns of half a dot: after
  // 100 ms at 40 a second the window starts at sub-column 4 of "K", its
  // glyph column 2 (0x28: dot rows 2 and 4 lit, 3 not), 8 texels a dot.
  SB_DisposePanel();
  Start(kCard);
  TLEDPANEL& wide = SB_Var.Panels.Panels[0];
  view_.TextureUses[wide.PageNumber] = 3;
  SB_Var.Time = 1000;
  SB_SetPanelScrollText(0, "K", 40, 0, 0);
  SB_Var.Time = 1100;
  SB_UpdatePanels(&view_);
  EXPECT_EQ(std::pair(wide.Current, wide.SubColumn), std::pair(0, 4));
  EXPECT_EQ(std::vector<uint32_t>({At(0, 1, 17), At(0, 1, 25), At(0, 1, 33)}),
            std::vector<uint32_t>({Dot(true, 1, 1), Dot(false, 1, 1), Dot(true, 1, 1)}));
}

TEST_F(PanelTest, StartLampsCopyTheLitPage) {
  // Software at 8 and 16 bits: the saver of "InitPanel"; the rectangles,
  // rows 6-34 x 5-121 and rows 35-59 x 5-123 of a lamp page as large as the
  // card's copy (128 x 64), grow with a larger page (the data tree's 256 x
  // 128); the unlit lamps are put back.
  struct Rect {
    int32_t x1, y1, x2, y2;
  };
  const struct {
    int32_t mode, w, h, saver;
    Rect countdown, go;
  } rows[] = {{8, 128, 64, 6786, {5, 6, 121, 34}, {5, 35, 123, 59}},
              {8, 256, 128, 234 * 58 * 2, {10, 12, 243, 69}, {10, 70, 247, 119}},
              {16, 256, 128, 234 * 58 * 2, {10, 12, 243, 69}, {10, 70, 247, 119}}};
  for (const auto& r : rows) {
    std::vector<Page> pages = kPages;
    pages[5].w = pages[6].w = r.w, pages[5].h = pages[6].h = r.h;
    Start(r.mode, pages);
    for (int32_t y = 0; y < r.h; ++y)
      for (int32_t x = 0; x < r.w; ++x) Put(6, x, y, 200), Put(5, x, y, x & 7);
    SB_RemapPanel();  // the unlit lamps saved again
    EXPECT_EQ(SB_Var.Panels.SaverSize, r.saver) << r.w;
    auto lit = [&](int32_t x, int32_t y) { return At(5, x, y) == 200; };
    // The corners lit, the texels beside them not.
    auto only = [&](const Rect& q) {
      return std::vector<bool>({lit(q.x1, q.y1), lit(q.x2, q.y2), lit(q.x1 - 1, q.y1), lit(q.x2 + 1, q.y2),
                                lit(q.x1, q.y1 - 1), lit(q.x2, q.y2 + 1)});
    };
    const std::vector<bool> inside = {true, true, false, false, false, false};
    SB_SetCountdownLights(1);
    EXPECT_EQ(only(r.countdown), inside) << r.mode << " " << r.w;
    SB_SetCountdownLights(0);
    EXPECT_EQ(At(5, r.countdown.x2, r.countdown.y2), static_cast<uint32_t>(r.countdown.x2 & 7)) << r.w;
    SB_SetGoLights();
    EXPECT_EQ(only(r.go), inside) << r.mode << " " << r.w;
    SB_DisposePanel();
  }
  // The card: corners (5, 6)-(122, 35) and (5, 35)-(124, 60), the saver of 16384 bytes.
  Start(kCard, kPages, 2);
  auto lit = [&](int32_t x, int32_t y) { return At(5, x, y) == 200; };
  EXPECT_EQ(SB_Var.Panels.SaverSize, 16384);
  EXPECT_STREQ(SB_MemOwners[SB_Var.NbMemOwners - 1].Owner, "realloc trafficLightsSaver");
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 128; ++x) Put(6, x, y, 200);
  SB_SetCountdownLights(0);
  EXPECT_EQ(std::vector<bool>({lit(5, 6), lit(122, 35), lit(123, 6), lit(5, 36)}),
            std::vector<bool>({true, true, false, false}));
  SB_SetGoLights();
  EXPECT_EQ(std::vector<bool>({lit(5, 36), lit(124, 60), lit(125, 60), lit(5, 61), lit(5, 6)}),
            std::vector<bool>({true, true, false, false, true}));
  SB_MarkPanelTextures(&view_);
  EXPECT_EQ(view_.TextureUses[SB_Var.TexturePlaces[5].PageNumber], SB_TEXTURE_CHANGED);
}

TEST_F(PanelTest, RoadLightsSwapTheirBlocksEveryHundredMs) {
  Start(kCard, kPages, 2);  // "TRGROZEB" 64 wide: 8 x 8 blocks at x = 1, 18, 37, 55
  for (int32_t x = 0; x < 64; ++x) Put(7, x, 0, static_cast<uint32_t>(x + 1));
  SB_Var.FrameTime = 60;
  SB_MarkRoadLightTextures(&view_);  // not seen: not marked, not moved
  SB_AnimateRoadLights(&view_);
  SB_AnimateRoadLights(&view_);
  EXPECT_EQ(At(7, 1, 0), 2u);
  EXPECT_EQ(view_.TextureUses[8], 0u);
  view_.TextureUses[8] = 1;
  SB_MarkRoadLightTextures(&view_);
  EXPECT_EQ(view_.TextureUses[8], 1 | SB_TEXTURE_CHANGED);
  SB_AnimateRoadLights(&view_);  // 60 + 60 - 100 + 60 = 80: not yet
  EXPECT_EQ(At(7, 1, 0), 2u);
  SB_AnimateRoadLights(&view_);  // phase 1: the blocks at 18 and 37 swap (phase 0 went by unseen)
  std::vector<uint32_t> row;
  for (int32_t x = 0; x < 64; ++x) row.push_back(At(7, x, 0));
  for (int32_t c = 0; c < 8; ++c) {
    EXPECT_EQ(row[18 + c], 38u + c) << c;
    EXPECT_EQ(row[37 + c], 19u + c) << c;
    EXPECT_EQ(row[1 + c], 2u + c) << c;
  }
  EXPECT_EQ(std::pair(row[26], row[45]), std::pair(27u, 46u));
  EXPECT_EQ(SB_Var.Panels.RoadPhase, 2);
  // The lamp moves once more than 100 ms were owed: a frame of exactly
  // 100 ms does not move it, the next millisecond does.
  SB_Var.Panels.RoadClock = 0;
  for (const auto& [frame, phase] : {std::pair{100, 2}, {1, 3}}) {
    SB_Var.FrameTime = frame;
    SB_AnimateRoadLights(&view_);
    EXPECT_EQ(SB_Var.Panels.RoadPhase, phase) << frame;
  }
}

// The map's textures outlive a race: its end puts the lamps of "DEPART"
// and the road lights' blocks back as the map drew them, and the next
// race's first frame sends the card's lamp page again.
TEST_F(PanelTest, ARacesEndPutsTheLampsBackForTheNextRace) {
  for (int32_t mode : {8, kCard}) {
    const int32_t scale = mode == kCard ? 2 : 1, w = 256 / scale, h = 128 / scale;
    MakeMap(mode, kPages, scale);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) Put(6, x, y, 200), Put(5, x, y, static_cast<uint32_t>((x + y) & 7));
    for (int32_t y = 0; y < 16 / scale; ++y)
      for (int32_t x = 0; x < 128 / scale; ++x) Put(7, x, y, static_cast<uint32_t>(x + 64 * y + 1));
    auto texels = [&](int32_t i, int32_t tw, int32_t th) {
      std::vector<uint32_t> out;
      for (int32_t y = 0; y < th; ++y)
        for (int32_t x = 0; x < tw; ++x) out.push_back(At(i, x, y));
      return out;
    };
    const auto lamps = texels(5, w, h), road = texels(7, 128 / scale, 16 / scale);
    SB_InitPanel();
    SB_RemapPanel();
    SB_InitRoadLights();
    SB_SetCountdownLights(1);
    SB_SetGoLights();
    view_.TextureUses[8] = 1;  // the road light seen, then moved three times
    SB_MarkRoadLightTextures(&view_);
    SB_Var.FrameTime = 101;
    for (int32_t k = 0; k < 3; ++k) SB_AnimateRoadLights(&view_);
    ASSERT_NE(texels(5, w, h), lamps) << mode;
    if (mode == kCard) {
      ASSERT_NE(texels(7, 64, 8), road);
    }
    SB_EndRoadLights();
    SB_DisposePanel();
    EXPECT_EQ(texels(5, w, h), lamps) << mode;
    EXPECT_EQ(texels(7, 128 / scale, 16 / scale), road) << mode;
    // The next race on the same map.
    SB_InitPanel();
    SB_RemapPanel();
    view_ = TSOFTSCENE{};
    SB_MarkPanelTextures(&view_);
    EXPECT_EQ(view_.TextureUses[6], mode == kCard ? SB_TEXTURE_CHANGED : 0u) << mode;
    SB_DisposePanel();
  }
  // Lamps taken at 8 bits are not put back as 16-bit texels: the 8-bit
  // texel (10, 12) holds the bytes of the 16-bit lamp texel (5, 6).
  MakeMap(8);
  SB_InitPanel();
  Put(5, 10, 12, 99);
  SB_Var.VideoModes[0].Depth = SB_Var.VideoModes[0].TextureDepth = 16;
  SB_DisposePanel();
  SB_Var.VideoModes[0].Depth = SB_Var.VideoModes[0].TextureDepth = 8;
  EXPECT_EQ(At(5, 10, 12), 99u);
}

// In software the draw list takes a far panel's mip levels: a printed text
// and a clear reach each of them (the level's texels of the text's place
// change, the unlit dots fill a cleared level).
TEST_F(PanelTest, ASoftwarePanelsMipLevelsShowItsText) {
  for (int32_t mode : {8, 16}) {
    MakeMap(mode);
    const int32_t bytes = mode / 8;
    // The panel "GO" in page 0 at (0, 128), as the page's level pages hold it.
    BMAP* page = SB_CreateBmap(256, 256, mode, LS_DefaultHeap, "test");
    std::memset(page->Start, 0, static_cast<size_t>(page->ByteLen) * 256);
    SB_Var.TexturePages[0] = page, SB_Var.NbTexturePages = 1;
    TTEXTUREPLACE& place = SB_Var.TexturePlaces[0];
    place.Page = page->Start, place.Y = 128, place.Texels = page->Start + 128 * page->ByteLen;
    std::vector<std::vector<uint8_t>> levels(SB_NBMIPLEVELS, std::vector<uint8_t>(256 * 256 * bytes, 0));
    for (int32_t l = 0; l < SB_NBMIPLEVELS; ++l) SB_Var.MipPages[l][0] = {levels[l].data(), 0, 0};
    SB_InitPanel();
    SB_RemapPanel();
    SeenByPreviousView(0);
    // The level's texels of the panel's rows.
    auto level = [&](int32_t l) {
      const int32_t w = 256 >> l, h = 64 >> l, y0 = 128 >> l;
      std::vector<uint8_t> out;
      for (int32_t y = y0; y < y0 + h; ++y) {
        const uint8_t* row = levels[l - 1].data() + static_cast<ptrdiff_t>(y) * 256 * bytes;
        out.insert(out.end(), row, row + w * bytes);
      }
      return out;
    };
    SB_ClearPanel(0);
    std::vector<std::vector<uint8_t>> cleared;
    for (int32_t l = 1; l <= SB_NBMIPLEVELS; ++l) {
      cleared.push_back(level(l));
      EXPECT_NE(cleared.back(), std::vector<uint8_t>(cleared.back().size(), 0)) << mode << " level " << l;
    }
    SB_PanelPrintText(0, "  GO ", 8);
    for (int32_t l = 1; l <= SB_NBMIPLEVELS; ++l) EXPECT_NE(level(l), cleared[l - 1]) << mode << " level " << l;
    // Texels of the page outside the panel are not written.
    EXPECT_EQ(levels[0][(63 * 256 + 5) * bytes], 0) << mode;
    SB_DisposePanel();
    for (auto& m : SB_Var.MipPages) m[0] = {};
    SB_Var.TexturePages[0] = nullptr, SB_Var.NbTexturePages = 0;
    SB_FreeBmap(page);
  }
}

// With the map's textures mip-mapped, the card draws a far panel from its
// smaller levels: a printed text reaches them when the page is marked.
TEST_F(PanelTest, AMipMappedPanelsSmallerLevelsShowItsText) {
  MakeMap(kCard, kPages, 2);
  std::vector<uint16_t> block(128 * 128 + 64 * 64 + 32 * 32 + 16 * 16 + 8 * 8 + 4 * 4 + 2 * 2 + 1, 0);
  SB_Var.TextureCache[1].Map = SGLMAP{{'Z', 'T', '1', 7}, 128, 128, block.data()};
  SB_InitPanel();
  SB_RemapPanel();
  SeenByPreviousView(0);
  const uint16_t* half = block.data() + 128 * 128;
  auto smaller = [&](const char* text) {
    SB_PanelPrintText(0, text, 8);
    SB_MarkPanelTextures(&view_);
    std::vector<uint16_t> out;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 64; ++x) out.push_back(half[Twiddled(x, y)]);
    return out;
  };
  const auto blank = smaller("      ");
  EXPECT_NE(blank, std::vector<uint16_t>(64 * 16, 0));  // the unlit dots
  EXPECT_NE(smaller("  GO "), blank);
  EXPECT_EQ(view_.TextureUses[1], SB_TEXTURE_CHANGED);
}

// At texture scale 4 the lamp and road-light pages move to the card with
// no texels kept: nothing is written, and nothing is marked for an upload
// that would have no texels to send.
TEST_F(PanelTest, PagesWithoutTexelsAreNeitherWrittenNorMarked) {
  MakeMap(kCard, kPages, 2);
  for (int32_t slot : {6, 7, 8}) SB_Var.TextureCache[slot].Map.Pixels = nullptr;
  SB_InitPanel();
  SB_RemapPanel();
  SB_InitRoadLights();
  SB_SetCountdownLights(1);
  SB_SetGoLights();
  view_.TextureUses[8] = 1;
  SB_MarkPanelTextures(&view_);
  SB_MarkRoadLightTextures(&view_);
  EXPECT_EQ(std::vector<uint32_t>({view_.TextureUses[6], view_.TextureUses[8]}), std::vector<uint32_t>({0u, 1u}));
}

TEST_F(PanelTest, BadDotsPagesAndFlagsLeaveThePanelsOff) {
  const std::string dot = ztest::ReadFile(root_ + "/MISCPICT/DIODEon.TGA");
  const std::string bad[] = {"", dot.substr(0, dot.size() / 2)};
  for (const std::string& bytes : bad) {
    ztest::WriteFile(root_ + "/MISCPICT/DIODEon.TGA", bytes);
    Start(kCard);
    EXPECT_EQ(SB_Var.Panels.On, 0);
  }
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/DIODEon.TGA", datagen::Picture24(8, 4, 9, 9, 9)));
  Start(kCard);
  std::filesystem::remove(root_ + "/MISCPICT/DIODEon.TGA");
  Start(kCard);
  EXPECT_EQ(SB_Var.Panels.On, 0);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>(4, "No LED Bitmaps..."));
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/DIODEon.TGA", datagen::DiodePicture(true)));
  // Software: a panel page not 256 wide, or no "DEPART3", keeps them off.
  std::vector<Page> pages = kPages;
  pages[6].name = "DEPART4 N";
  Start(8, pages);
  EXPECT_EQ(SB_Var.Panels.On, 0);
  SB_PanelPrintText(0, "CHECK", -1);
  EXPECT_EQ(At(0, 0, 0), 0u);
  pages = kPages;
  pages[2].w = 128;
  Start(16, pages);
  EXPECT_EQ(SB_Var.Panels.On, 0);
  // Lamp and road-light pages without the no-mipmap flag are refused.
  pages = kPages;
  pages[5].name = "DEPART";
  pages[7].name = "TRGROZEB";
  Start(kCard, pages);
  EXPECT_EQ(SB_Var.Panels.On, 1);
  EXPECT_EQ(SB_Var.Panels.LampsOff.Present + SB_Var.Panels.RoadLights[0].Present, 0);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"TEXTURE DEPART don' have NOMIPMAP flag",
                                               "TEXTURE TRGROZEB don' have NOMIPMAP flag"}));
}

}  // namespace

namespace {

// An OFFLINE race run by the sequencer frame by frame, 100 ms a frame,
// from the ready message (step 8) through the countdown (10 to 12) to the
// go (14): after each step the displays hold what a drawing from the font
// predicts, on the card (texts on panels 0 and 2 to 4, lamps) and at 8
// bits (lamps and clears).
class OfflineRaceTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    SB_SetGameMode(SB_OFFLINE);
  }
  void TearDown() override {
    SB_SetGameModeSteps(-1);
    PanelTest::TearDown();
  }
  // From step 8, frames until the list's current step is `step`.
  void RunUntil(TGAMESTEP step) {
    if (SB_GetGameStep() != step && first_) {
      first_ = false;
      while (SB_Var.GameSteps[SB_Var.StepIndex] != 8) SB_NextGameStep();
    }
    for (int32_t frame = 0; frame < 1000 && SB_GetGameStep() != step; ++frame) {
      SB_Var.FrameTime = 100;
      SB_Var.Time += 100;
      SB_DoGameMode();
    }
    ASSERT_EQ(SB_GetGameStep(), step);
  }
  // A card panel 128 x 32 after a clear and then the text from sub-column 8.
  std::vector<int64_t> Cleared(const std::string& text) {
    std::vector<int64_t> want = Reference(text, 8, 128, 4);
    const std::vector<int64_t> blanks = Reference("      ", 0, 128, 4);
    for (size_t k = 0; k < want.size(); ++k)
      if (want[k] < 0) want[k] = blanks[k];
    return want;
  }
  bool first_ = true;
};

TEST_F(OfflineRaceTest, TheCountdownAndGoShowOnTheCard) {
  Start(kCard, kPages, 2);
  for (int32_t i = 0; i < 5; ++i) SeenByPreviousView(i);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 128; ++x) Put(6, x, y, 200);
  auto lit = [&](int32_t x, int32_t y) { return At(5, x, y) == 200; };
  auto panel = [&](int32_t i) { return Shown(i, 128, 32, std::vector<int64_t>(128 * 32, 0)); };
  RunUntil(8);
  SB_DoGameMode();  // the step's first frame
  EXPECT_EQ(panel(0), Cleared(""));
  EXPECT_EQ(SB_Var.Panels.Panels[0].Active, 1u);  // the ready message scrolls
  EXPECT_EQ(std::pair(lit(5, 6), lit(5, 36)), std::pair(true, false));
  for (auto [step, text] : {std::pair<TGAMESTEP, const char*>{10, "  3  "}, {11, "  2  "}, {12, "  1  "}}) {
    RunUntil(step);
    EXPECT_EQ(panel(0), Cleared(text)) << text;
    EXPECT_EQ(SB_Var.Panels.Panels[0].Active, 0u);
  }
  RunUntil(15);  // the go passes in the frame it is reached
  EXPECT_EQ(panel(0), Cleared("  GO "));
  for (int32_t i = 2; i <= 4; ++i) EXPECT_EQ(panel(i), Cleared("CHECK")) << i;
  EXPECT_EQ(panel(1), Cleared(""));  // the set-up's blank
  EXPECT_EQ(std::pair(lit(5, 6), lit(5, 36)), std::pair(true, true));
}

TEST_F(OfflineRaceTest, TheLampsAndClearsShowInSoftware) {
  for (int32_t mode : {8, 16}) {
    Start(mode);
    for (int32_t y = 0; y < 128; ++y)
      for (int32_t x = 0; x < 256; ++x) Put(6, x, y, 200), Put(5, x, y, 1);
    for (int32_t i = 0; i < 5; ++i)
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 256; ++x) Put(i, x, y, 7);
    SB_RemapPanel();
    // The lamps of the 256 x 128 page: the countdown's from (10, 12), the go's from (10, 70).
    auto lit = [&](int32_t x, int32_t y) { return At(5, x, y) == 200; };
    auto cleared = [&](int32_t i) {
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 256; ++x)
          if (At(i, x, y) != Dot(false, y & 3, x & 3)) return false;
      return true;
    };
    first_ = true;
    SB_SetGameMode(SB_OFFLINE);
    RunUntil(8);
    SB_DoGameMode();
    EXPECT_EQ(std::vector<bool>({cleared(0), cleared(2), lit(10, 12), lit(10, 70)}),
              std::vector<bool>({true, false, true, false}))
        << mode;
    RunUntil(15);
    EXPECT_EQ(std::vector<bool>({cleared(1), cleared(2), cleared(3), cleared(4), lit(10, 12), lit(10, 70)}),
              std::vector<bool>({false, true, true, true, false, true}))
        << mode;
    SB_DisposePanel();
  }
}

}  // namespace
