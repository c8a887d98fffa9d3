// The texture-animation editor's dialogs and drawing kit: typed answers
// within their lengths and characters, the message's click, the scaled
// thumbnail, the moving dashes, and the texture lookups.
#include <cmath>
#include <cstring>
#include <string>

#include "shell/owner.h"
#include "system/heap.h"
#include "tests/tools/txtanim/txtanim_fixture.h"

namespace ztest {
namespace {

using TxtAnimWidgetsTest = TxtAnimTest;

TEST_F(TxtAnimWidgetsTest, TypedAnswers) {
  struct Row {
    const char* kind;  // "int", "float" or "text"
    const char* typed;
    int32_t maxLength;
    const char* buffer;  // the edit buffer at the end
  } rows[] = {
      {"text", "\b\b\bABCDE", 4, "ABCD"},  // a fifth character refused
      {"text", "\b\b\b\b\bX", 4, "X"},   // Backspace on empty changes nothing
      {"int", "\b\b\b12.7", 10, "12.7"}, {"int", "\b\b\b1a2", 10, "12"},
      {"float", "\b\b\b1..5.", 10, "1..5."}, {"text", "\b\b\ba_ \t\x01.Z\r", 10, "a_ Z"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    const int32_t bitmaps = SB_Var.NbBmapOwners;
    Play(row.typed);
    if (std::strcmp(row.kind, "int") == 0) {
      const int32_t value = SB_TxtAnimAskInt("N:", 100, row.maxLength);
      EXPECT_EQ(value, std::atoi(row.buffer));
    } else if (std::strcmp(row.kind, "float") == 0) {
      EXPECT_EQ(SB_TxtAnimAskFloat("F:", 1.5, row.maxLength), 1.0);
    } else {
      SB_TxtAnimAskText("T:", "abc", row.maxLength);
    }
    EXPECT_STREQ(SB_TxtAnimUi.Edit, row.buffer);
    EXPECT_EQ(SB_Var.NbBmapOwners, bitmaps);  // "txtanim de jorp" freed
  }
}

TEST_F(TxtAnimWidgetsTest, ThreeHundredKeysStayWithinTheLength) {
  Play(std::string(300, '9') + "\r");
  const double value = SB_TxtAnimAskFloat("F:", 0, 255);
  EXPECT_TRUE(std::isfinite(value));
  EXPECT_EQ(std::strlen(SB_TxtAnimUi.Edit), 255u);
  Play(std::string(300, '9'));
  EXPECT_EQ(SB_TxtAnimAskInt("N:", 0, 255), INT32_MAX);
}

TEST_F(TxtAnimWidgetsTest, AMessageNeedsAReleaseAPressAndARelease) {
  LS_FillRect(SB_TxtAnimUi.Screen, 0, 0, 639, 479, 5);
  struct Row {
    const char* events;
    size_t left;  // script events not read when the box closed
  } rows[] = {{"{{}{}{}", 2}, {"}{}{}", 2}, {"{}", 0}};
  for (const Row& row : rows) {
    Play(row.events);
    SB_TxtAnimMessage("Selection Empty...");
    EXPECT_EQ(Script().size(), row.left) << row.events;
    EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 320, 120), 5u);  // the screen put back
  }
  plat::SetKeyState(1, false);
  plat::SetMessageSource(nullptr);
}

TEST_F(TxtAnimWidgetsTest, AWideSourceFillsTheWidthOfASquareBox) {
  BMAP* page = SB_CreateBmap(256, 256, 8, LS_DefaultHeap, "test page");
  LS_FillRect(page, 0, 0, 255, 255, 9);
  BMAP* screen = SB_TxtAnimUi.Screen;
  SB_TxtAnimDrawScaled(page, screen, 0, 0, 64, 16, 10, 10, 43, 43);
  for (int32_t r = 0; r < 33; ++r)
    for (int32_t c = 0; c < 33; ++c) {
      const uint32_t expected = r <= 8 ? 9u : (c & 1) && !(r & 1) ? 255u : 0u;
      ASSERT_EQ(LS_GetPixel(screen, 10 + c, 10 + r), expected) << c << "," << r;
    }
  SB_FreeBmap(page);
}

TEST_F(TxtAnimWidgetsTest, SixteenBitTexelsTakeTheNearestColour) {
  PALETTE palette{};
  palette.Entry[200] = {63, 63, 63};
  palette.Entry[100] = {0, 0, 20};
  SB_Var.Pal3d = &palette;
  BMAP* page = SB_CreateBmap(256, 256, 16, LS_DefaultHeap, "test page");
  LS_FillRect(page, 0, 0, 255, 255, 0xFFFF);
  LS_FillRect(page, 0, 0, 255, 0, 0);
  SB_TxtAnimDrawScaled(page, SB_TxtAnimUi.Screen, 0, 0, 8, 8, 0, 0, 8, 8);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 3, 3), 200u);
  EXPECT_EQ(LS_GetPixel(SB_TxtAnimUi.Screen, 3, 0), 0u);
  SB_FreeBmap(page);
  SB_Var.Pal3d = nullptr;
}

TEST_F(TxtAnimWidgetsTest, DashesMoveByOnePixel) {
  BMAP* screen = SB_TxtAnimUi.Screen;
  SB_TxtAnimDashRect(10, 10, 50, 30);
  std::string first, second;
  // The top edge, without its corners (the side edges end there).
  for (int32_t x = 11; x < 50; ++x) first += LS_GetPixel(screen, x, 10) ? '#' : '.';
  SB_TxtAnimDashRect(10, 10, 50, 30);
  for (int32_t x = 11; x < 50; ++x) second += LS_GetPixel(screen, x, 10) ? '#' : '.';
  EXPECT_EQ(first.substr(0, 11), "...####....");
  EXPECT_EQ(second.substr(0, second.size() - 1), first.substr(1));
  SB_TxtAnimDashLine(screen, -5, -5, 700, 500, 0);  // off the bitmap: skipped
}

TEST_F(TxtAnimWidgetsTest, TexturesAtPointsAndTheirNames) {
  SB_Var.NbTextures = SB_Var.NbTextTri = 2;
  SB_Var.TexturePlaces[0] = {};
  SB_Var.TexturePlaces[0].PageNumber = 1;
  SB_Var.TexturePlaces[0].X = 64, SB_Var.TexturePlaces[0].Width = SB_Var.TexturePlaces[0].Height = 32;
  SB_Var.TexturePlaces[1] = SB_Var.TexturePlaces[0];
  SB_Var.TexturePlaces[1].PageNumber = 0;
  std::strcpy(SB_Var.TextTri[0].Name, "TXT>ROAD>ASPHALT1.PCX");
  std::strcpy(SB_Var.TextTri[1].Name, "GRASS");
  EXPECT_EQ(SB_TxtAnimTextureAt(64, 0, 1), 0);
  EXPECT_EQ(SB_TxtAnimTextureAt(95, 31, 0), 1);
  EXPECT_EQ(SB_TxtAnimTextureAt(96, 31, 0), -1);
  EXPECT_EQ(SB_TxtAnimTextureAt(64, 0, 2), -1);
  char name[16];
  SB_TxtAnimTextureName(0, name, sizeof name);
  EXPECT_STREQ(name, "ASPHALT1");
  SB_TxtAnimTextureName(1, name, sizeof name);
  EXPECT_STREQ(name, "GRASS");
  SB_TxtAnimTextureName(2, name, sizeof name);
  EXPECT_STREQ(name, "");
  SB_Var.NbTextures = SB_Var.NbTextTri = 0;
}

}  // namespace
}  // namespace ztest
