// What the benchmarks share: the library's heap with errors kept rather
// than fatal, a temporary drive C:, the build's data tree as drive C:, the
// race overlay with the HUD's fonts and dials, and bitmaps painted pixel by
// pixel.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/hooks.h"
#include "engine3d/videotable.h"
#include "platform/config.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "race/dial.h"
#include "race/hud.h"
#include "racescene/race3d.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

namespace bench {

constexpr int32_t kWidth = 640, kHeight = 480;

// The library's default heap of the given size.
struct Heap {
  explicit Heap(uint32_t bytes) {
    plat::SetMessageBoxEcho(false);
    LSI_InitMemory(bytes);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  ~Heap() { LSI_CloseMemory(); }
};

// A temporary folder, removed at the end; drive C: is `root` (the folder
// itself, or the given host folder) and the configuration lives inside it.
struct TempDrive {
  std::filesystem::path folder;
  explicit TempDrive(const std::string& root = "") {
    char pattern[] = "/tmp/zentrova-bench-XXXXXX";
    folder = mkdtemp(pattern);
    plat::SetMessageBoxEcho(false);
    plat::SetConfigDir((folder / "config").string());
    plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", root.empty() ? folder.string() : root}});
  }
  ~TempDrive() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

// The library's memory and directories on drive C: of the build's data
// tree, fresh game globals.
struct DataTreeLibrary {
  TempDrive drive{ZENTROVA_DATA_DIR};
  Heap heap{32u << 20};
  DataTreeLibrary() {
    LSI_InitDirectory();
    SB_InstallHooks();
    SB_ResetVars();
  }
};

// The race's 640 x 480 x 16 overlay (5-5-5, the 16-bit modes' format
// without a screen) at video mode 17, with the data tree's HUD fonts and
// dials, over the race's 3D palette or one of its own whose last entry is
// the fonts' background.
struct HudOverlay {
  PALETTE own{};
  explicit HudOverlay(bool palette3d) {
    SB_Var.VideoModeIndex = 17;
    SB_Var.VideoModes[17].Format = SB_Var.VideoModes[17].TextureFormat = BMAP_RGB555;
    if (palette3d) {
      std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "travun>");  // the data tree's
      SB_LoadPalette3d(nullptr);
    } else {
      for (int i = 0; i < 255; ++i)
        own.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>(i >> 2), 20};
      own.Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
      SB_Var.Pal3d = &own;
    }
    SB_Var.TextScreen = SB_CreateBmap(kWidth, kHeight, 16, 0, "overlay");
    SB_Var.TextScreen->Format = BMAP_RGB555;
    LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, 0, 40, 640, 400);
    SB_InitFonts();
    SB_RemapFonts();
    SB_LoadCounters();
    SB_LoadCounter2();
  }
  HudOverlay(const HudOverlay&) = delete;
  ~HudOverlay() {
    SB_DisposeFonts();
    SB_FreeCounters();
    SB_FreeBmap(SB_Var.TextScreen);
    if (SB_Var.Pal3d == &own) SB_Var.Pal3d = nullptr;
    SB_FreePalette3d();
  }
};

// Writes paint(x, y) into every pixel, in the bitmap's own byte count.
template <typename Paint>
void PaintBmap(BMAP* b, Paint paint) {
  const int32_t bytes = b->Depth / 8;
  for (int32_t y = 0; y < b->SizeY; ++y)
    for (int32_t x = 0; x < b->SizeX; ++x) {
      const uint32_t v = static_cast<uint32_t>(paint(x, y));
      std::memcpy(b->Start + y * b->ByteLen + x * bytes, &v, static_cast<size_t>(bytes));
    }
}

// The next value of a seeded linear congruential sequence.
inline uint32_t Next(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

}  // namespace bench
