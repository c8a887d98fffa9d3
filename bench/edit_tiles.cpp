// The track editor's tile renderer on the default circuit of the data tree
// at 8 bits: a full redraw of the top view at tile sizes 16 and 1, and one
// tile of the start drawn alone. Beside them, the reference: the same
// tile's faces listed once beforehand and filled straight with the affine
// filler, so that the listing and the sort show in the difference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "bench/benchlib.h"
#include "engine3d/texpages.h"
#include "engine3d/textures.h"
#include "engine3d/types.h"
#include "racescene/mapinfo.h"
#include "racescene/race3d.h"
#include "shell/owner.h"
#include "softrender/softrender.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tools/editors.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"
#include "track/track.h"

namespace {

struct EditorOnCircuit {
  bench::DataTreeLibrary library;
  BMAP* screen = nullptr;
  BMAP* savedScreen = nullptr;
  int32_t column = 0, row = 0;  // the start's tile
  EditorOnCircuit() {
    LSYS_Shell.Active = 1;  // no window here: the loaders' pumps must not wait for one
    SB_LoadDecor("DEC>NETRACE.DEC");
    SB_LoadMapInfo("TXT>NETRACE.TXT");
    BuildXZYList();
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "travun>");
    SB_Var.Renderer = 1;
    SB_LoadPalette3d(nullptr);
    SB_LoadMapTextures();
    screen = SB_CreateBmap(640, 480, 8, 0, "screen");
    savedScreen = LS_Var.Screen;
    LS_Var.Screen = screen;
    SB_Var.TextScreen = SB_CreateBmap(640, 480, 8, 0, "overlay");
    SB_Edit();
    const TSTARTSLOT& slot = SB_Var.StartSlots[0];
    column = (static_cast<int32_t>(slot.X * 320) - 2048) / SB_EDITTILEUNITS;
    row = -(static_cast<int32_t>(slot.Z * 320) - 2048) / SB_EDITTILEUNITS;
    SB_Var.EditScrollX = column, SB_Var.EditScrollY = row;
  }
  ~EditorOnCircuit() {
    SB_FreeEdit();
    SB_FreeBmap(SB_Var.TextScreen);
    LS_Var.Screen = savedScreen;
    SB_FreeBmap(screen);
    SB_FreeXZYList();
    SB_FreeTextures();
    SB_FreePalette3d();
    SB_FreeDecor();
  }
};

void BM_RedrawEditView(benchmark::State& state) {
  EditorOnCircuit editor;
  const int32_t size = static_cast<int32_t>(state.range(0));
  SB_Var.EditZoom = size;
  SB_SetEditZoom(size);
  for (auto _ : state) SB_RedrawEditView();
  state.counters["tiles"] = (2.0 * SB_Var.EditTilesX + 1) * (2.0 * SB_Var.EditTilesY + 1);
}
BENCHMARK(BM_RedrawEditView)->Arg(16)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawEditTile(benchmark::State& state) {
  EditorOnCircuit editor;
  SB_SetEditZoom(16);
  for (auto _ : state) SB_DrawEditTile(SB_Var.EditTileBmap, editor.column, editor.row);
  std::vector<TEDITTILEFACE> entries(SB_EDITMAXTILEFACES);
  std::vector<TEDITTILEFACE*> pointers(SB_EDITMAXTILEFACES);
  state.counters["faces"] = SB_ListEditTileFaces(pointers.data(), entries.data(), editor.column, editor.row);
}
BENCHMARK(BM_DrawEditTile)->Unit(benchmark::kMicrosecond);

// The reference: the faces listed once, then filled in list order.
void BM_FillListedTileFaces(benchmark::State& state) {
  EditorOnCircuit editor;
  SB_SetEditZoom(16);
  std::vector<TEDITTILEFACE> entries(SB_EDITMAXTILEFACES);
  std::vector<TEDITTILEFACE*> pointers(SB_EDITMAXTILEFACES);
  const int32_t count = SB_ListEditTileFaces(pointers.data(), entries.data(), editor.column, editor.row);
  for (auto _ : state) {
    LS_LockWindow(&SB_Var.EditTileWindow);
    for (int32_t i = 0; i < count; ++i) {
      const TEDITTILEFACE& e = entries[i];
      if (!e.Texels) continue;
      TSOFTVERTEX c[4] = {};
      for (int32_t k = 0; k < e.NbCorners; ++k) c[k].X = e.X[k], c[k].Y = e.Y[k], c[k].U = e.U[k], c[k].V = e.V[k];
      E3D_AffineTri8(e.SizeIndex, &SB_Var.EditTileWindow, e.Texels, &c[0], &c[1], &c[2], 0);
      if (e.NbCorners == 4) E3D_AffineTri8(e.SizeIndex, &SB_Var.EditTileWindow, e.Texels, &c[2], &c[3], &c[0], 0);
    }
    LS_UnlockWindow(&SB_Var.EditTileWindow);
  }
  state.counters["faces"] = count;
}
BENCHMARK(BM_FillListedTileFaces)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
