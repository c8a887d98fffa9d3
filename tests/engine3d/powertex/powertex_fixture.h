// The accelerator's map textures under test: texture names, generated TGA
// pictures in "TXT>TR>", a map whose faces say which textures repeat, the
// bank folder, and the checks that everything is released afterwards.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "engine3d/power.h"
#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
#include "platform/accel/control.h"
#include "platform/window.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"

namespace pvrtest {

using Lines = std::vector<std::string>;

inline Lines g_statuses;
inline void RecordStatus() {
  const char* line = SB_Var.ConsoleText[SB_Var.ConsoleLine];
  if (*line) g_statuses.push_back(line);
}

class PvrTextures : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(48u << 20);
    LS_SetErrorMode(LS_ERRMODE_LOG);  // reported in the error file, never fatal
    POWER_InitTextureCache();
    SB_InitTwiddleTable();
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "TR>");
    std::snprintf(SB_Var.BankFile, sizeof SB_Var.BankFile, "BNK>TEST.BNK");
    SB_Var.TextureScale = 1;
    std::filesystem::create_directories(root_ + "/TXT/TR");
    std::filesystem::create_directories(root_ + "/BNK");
    SB_Hooks.NetUpdateEvent = RecordStatus;
    g_statuses.clear();
  }
  void TearDown() override {
    POWER_ReleaseTextures();
    EXPECT_EQ(InUse(), 0);
    EXPECT_EQ(plat::AccelLiveBlocks(), 0);
    EXPECT_EQ(plat::AccelCardTextures(), 0);
    EXPECT_EQ(SB_Var.NbMemOwners + SB_Var.NbBmapOwners, 0);
    EXPECT_EQ(SB_Var.BankHeap, 0u);
    SB_Var.Decor = TDECOR{};
    SB_Var.Cube10Polys = nullptr;
    LibraryTest::TearDown();
  }
  static void Names(const std::vector<std::string>& names) {
    std::memset(SB_Var.TextureNames, 0, sizeof SB_Var.TextureNames);
    // Blanks stand for the zero padding between a picture's name and the flag letters.
    for (size_t i = 0; i < names.size(); ++i)
      for (size_t c = 0; c < names[i].size() && c < SB_TEXTURENAMESIZE; ++c)
        SB_Var.TextureNames[i][c] = names[i][c] == ' ' ? '\0' : names[i][c];
    SB_Var.NbTextures = static_cast<int32_t>(names.size());
  }
  // A picture whose texel (x, y) is red x * 4, green y * 4, blue 40, with
  // the alpha byte given (32-bit) or none (24-bit).
  void Picture(const std::string& stem, int w, int h, int alpha = -1) {
    datagen::TgaImage image;
    image.width = w, image.height = h, image.depth = alpha < 0 ? 24 : 32;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        for (uint8_t b : {uint8_t(40), uint8_t(y * 4), uint8_t(x * 4)}) image.pixels.push_back(b);
        if (alpha >= 0) image.pixels.push_back(static_cast<uint8_t>(alpha));
      }
    const std::vector<uint8_t> bytes = datagen::EncodeTga(image, false);
    ztest::WriteFile(root_ + "/TXT/TR/" + stem + ".TGA", std::string(bytes.begin(), bytes.end()));
  }
  // The map's faces: one per (texture, u, v) in one cell.
  void Faces(const std::vector<std::array<int32_t, 3>>& faces) {
    faces_.assign(faces.size(), TFFACEPOLY{});
    links_.clear();
    points_.clear();
    for (size_t f = 0; f < faces.size(); ++f) {
      faces_[f].Material = static_cast<uint16_t>(faces[f][0]);
      faces_[f].NbCorners = 1;
      faces_[f].PointTextures = static_cast<uint32_t>(links_.size() * sizeof(uint32_t));
      links_.push_back(static_cast<uint32_t>(points_.size() * sizeof(TFPOINTTEXTURE)));
      points_.push_back({static_cast<uint16_t>(faces[f][1]), static_cast<uint16_t>(faces[f][2]), 0});
    }
    cell_ = TFCUBE10POLY{};
    cell_.NbFaces[0] = static_cast<uint16_t>(faces.size());
    SB_Var.Decor.FacePolys = faces_.data();
    SB_Var.Decor.PPointTextures = links_.data();
    SB_Var.Decor.PointTextures = points_.data();
    SB_Var.Cube10Polys = &cell_;
    SB_Var.NbCube10Polys = 1;
  }
  const Lines& Load() {
    SB_ClearPrintedLines();
    g_statuses.clear();
    POWER_LoadTextures();
    return SB_PrintedLines();
  }
  static bool Printed(const std::string& line) {
    const Lines& lines = SB_PrintedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  static TEXTTRI* Record(const std::string& stem) { return SB_FindTextTri(("TXT>TR>" + stem + ".PCX").c_str()); }
  static const TEXTURECACHE& Slot(int32_t i) { return SB_Var.TextureCache[i]; }
  // The preprocessed texel (x, y) of a slot (level 0, twiddled).
  static uint16_t Texel(int32_t slot, int32_t x, int32_t y) {
    const auto* texels = static_cast<const uint16_t*>(Slot(slot).Map.Pixels);
    return texels[(SB_Var.TwiddleTable[x] << 1) | SB_Var.TwiddleTable[y]];
  }
  static int32_t InUse() {
    return static_cast<int32_t>(std::count_if(std::begin(SB_Var.TextureCache), std::end(SB_Var.TextureCache),
                                              [](const TEXTURECACHE& t) { return t.InUse != 0; }));
  }
  std::string BankPath(char digit = '1') const { return root_ + "/BNK/TEST.BN" + digit; }

  std::vector<TFFACEPOLY> faces_;
  std::vector<uint32_t> links_;
  std::vector<TFPOINTTEXTURE> points_;
  TFCUBE10POLY cell_{};
};

}  // namespace pvrtest
