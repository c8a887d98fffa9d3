// The trackside LED panels' set-up: the map textures they and the start
// and road lights take, the dot table in the mode's texels, the saved
// unlit lamps, and their tear-down.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine3d/texcache.h"
#include "engine3d/texpages.h"
#include "engine3d/videotable.h"
#include "scenery/effects.h"
#include "scenery/panels.h"
#include "scenery/paneltexels.h"
#include "scenery/texcopy.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr const char* kDotOn = "MISCPICT>DIODEon.TGA";
constexpr const char* kDotOff = "MISCPICT>DIODEoff.TGA";
constexpr const char* kPatterns[SB_LEDPANELCOUNT] = {"GO", "PANSTAD2", "TIMEX1", "TIMEX2", "TIMEX3"};
constexpr const char* kRoadPatterns[2] = {"TRGROZEB", "?PAVIR"};
constexpr int32_t kSaverRect[4] = {5, 6, 121, 34};  // the unlit countdown lamps, corners inclusive
constexpr int32_t kCardSaverBytes = 16384;
constexpr int32_t kPanelWidth = 256;

TPANELSTATE& State() { return SB_Var.Panels; }

// A dot picture of 4 x 4 texels, or null.
BMAP* LoadDot(const char* name) {
  BMAP* b = LS_FileExists(name) ? SB_LoadTga(name) : nullptr;
  if (b && (b->SizeX != SB_LEDDOTSIDE || b->SizeY != SB_LEDDOTSIDE)) {
    SB_FreeBmap(b);
    b = nullptr;
  }
  return b;
}

void FreeDots() {
  for (BMAP** b : {&State().DotOn, &State().DotOff})
    if (*b) SB_FreeBmap(*b), *b = nullptr;
}

void LoadDots() {
  if (!State().DotOn) State().DotOn = LoadDot(kDotOn);
  if (!State().DotOff) State().DotOff = LoadDot(kDotOff);
}

void FreeSaver() {
  if (State().trafficLightsSaver) SB_Release(State().trafficLightsSaver);
  State().trafficLightsSaver = nullptr;
  State().SaverSize = 0;
}

// The texture's id: its first texel in software, x << 16 | y on the card.
uintptr_t TextureId(int32_t i) {
  const TTEXTUREPLACE& p = SB_Var.TexturePlaces[i];
  if (SB_Var.Renderer == SB_RENDERER_PVR) return static_cast<uintptr_t>(p.X) << 16 | static_cast<uint32_t>(p.Y);
  return reinterpret_cast<uintptr_t>(p.Texels);
}

// The texture's name up to its first blank or zero, 8 characters at most.
void Stem(int32_t i, char (&out)[9]) {
  const char* name = SB_Var.TextureNames[i];
  int32_t n = 0;
  while (n < 8 && name[n] && name[n] != ' ') out[n] = name[n], ++n;
  out[n] = '\0';
}

// A lamp or road-light texture; refused without the no-mipmap flag.
bool TakePage(TPANELPAGE& page, int32_t i, const char* stem) {
  if (!SB_Var.TexturePlaces[i].N) {
    LS_Message("TEXTURE %s don' have NOMIPMAP flag", stem);
    return false;
  }
  const TTEXTUREPLACE& p = SB_Var.TexturePlaces[i];
  page = {1, i, TextureId(i), static_cast<uint32_t>(p.PageNumber), p.Width, 0};
  return true;
}

// The unlit countdown lamps' rectangle of a lamp page of that size.
void SaverRect(int32_t width, int32_t height, int32_t (&r)[4]) {
  std::copy(std::begin(kSaverRect), std::end(kSaverRect), r);
  SB_ScaleLampRect(width, height, &r[0], &r[1], &r[2], &r[3]);
}

// Bytes of the saved lamps, two a texel at most: 6786 for the card's size
// of page, 29 rows of 117 texels.
int32_t SaverBytes(int32_t width, int32_t height) {
  int32_t r[4];
  SaverRect(width, height, r);
  return (r[2] - r[0] + 1) * (r[3] - r[1] + 1) * 2;
}

void TakeTexture(int32_t i) {
  TPANELSTATE& s = State();
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR;
  const TTEXTUREPLACE& place = SB_Var.TexturePlaces[i];
  char stem[9];
  Stem(i, stem);
  TPANELTARGET target;
  for (TLEDPANEL& p : s.Panels)
    if (!p.Found && SB_MatchPageName(SB_Var.TextureNames[i], p.Pattern) && (place.Width == kPanelWidth || card) &&
        SB_PanelTarget(i, &target)) {
      p.Found = 1;
      p.panelTextureID = TextureId(i);
      p.PageNumber = static_cast<uint32_t>(place.PageNumber);
      p.Width = static_cast<uint32_t>(place.Width);
      p.Texture = i;
    }
  for (int32_t k = 0; k < 2; ++k)
    if (!s.RoadLights[k].Present && SB_MatchPageName(SB_Var.TextureNames[i], kRoadPatterns[k]))
      TakePage(s.RoadLights[k], i, stem);
  if (!s.LampsOff.Present && SB_MatchPageName(SB_Var.TextureNames[i], "DEPART")) {
    if (TakePage(s.LampsOff, i, stem)) {
      FreeSaver();
      const int32_t bytes = SaverBytes(place.Width, place.Height);
      s.trafficLightsSaver = static_cast<uint8_t*>(SB_GetMem(bytes, "InitPanel"));
      s.SaverSize = s.trafficLightsSaver ? bytes : 0;
    }
  } else if (!s.LampsOn.Present && SB_MatchPageName(SB_Var.TextureNames[i], "DEPART3")) {
    TakePage(s.LampsOn, i, stem);
  }
}

// The dot table of a software mode: an 8 x 4 bitmap of the screen's
// texels, lit dot at (0, 0), unlit at (4, 0), read back row by row.
void SoftwareDots(int32_t bytes) {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  BMAP* b = SB_CreateBmap(2 * SB_LEDDOTSIDE, SB_LEDDOTSIDE, 8 * bytes, LS_DefaultHeap, "Panel de jorp");
  if (!b) return;
  b->Palette = SB_Var.Pal3d;
  b->Format = bytes == 1 ? BMAP_PAL8 : mode && mode->TextureFormat ? mode->TextureFormat : BMAP_RGB565;
  SB_Bitmove(State().DotOn, b, 0, 0, 3, 3, 0, 0);
  SB_Bitmove(State().DotOff, b, 0, 0, 3, 3, 4, 0);
  for (int32_t lit = 0; lit < 2; ++lit)
    for (int32_t r = 0; r < SB_LEDDOTSIDE; ++r)
      std::memcpy(&State().Dots[(lit * SB_LEDDOTTEXELS + r * SB_LEDDOTSIDE) * bytes],
                  b->Start + static_cast<ptrdiff_t>(r) * b->ByteLen + (lit ? 0 : SB_LEDDOTSIDE) * bytes,
                  static_cast<size_t>(SB_LEDDOTSIDE * bytes));
  SB_FreeBmap(b);
}

// The card's dot table: each dot in 5-5-5 texels, twiddled, lit first.
void CardDots() {
  BMAP* dots[2] = {Bmap24to555(State().DotOn), Bmap24to555(State().DotOff)};
  for (int32_t k = 0; k < 2; ++k) {
    for (int32_t i = 0; dots[k] && i < SB_LEDDOTTEXELS; ++i) {
      const int32_t row = (i & 1) | ((i >> 2) & 1) << 1, col = ((i >> 1) & 1) | ((i >> 3) & 1) << 1;
      const uint8_t* t = dots[k]->Start + static_cast<ptrdiff_t>(row) * dots[k]->ByteLen + col * 2;
      std::memcpy(&State().Dots[(k * SB_LEDDOTTEXELS + i) * 2], t, 2);
    }
    if (dots[k]) SB_FreeBmap(dots[k]);
  }
}

// The unlit lamps of "DEPART", rows 6 to 34 and columns 5 to 121 (grown
// with the page), kept to put back when the countdown lamps go out.
void SaveSoftwareLamps() {
  TPANELTARGET t;
  uint8_t* saver = State().trafficLightsSaver;
  if (!State().LampsOff.Present || !saver || !SB_PanelTarget(State().LampsOff.Texture, &t)) return;
  int32_t r[4];
  SaverRect(t.Width, t.Height, r);
  if (int64_t{r[2] - r[0] + 1} * (r[3] - r[1] + 1) * t.Bytes > State().SaverSize) return;
  for (int32_t y = r[1], k = 0; y <= r[3]; ++y)
    for (int32_t x = r[0]; x <= r[2]; ++x, k += t.Bytes) {
      const uint32_t texel = x < t.Width && y < t.Height ? SB_GetPanelTexel(t, x, y) : 0;
      saver[k] = static_cast<uint8_t>(texel);
      if (t.Bytes == 2) saver[k + 1] = static_cast<uint8_t>(texel >> 8);
    }
  State().SaverFilled = 1;
}

void SaveCardLamps() {
  FreeSaver();
  State().trafficLightsSaver = static_cast<uint8_t*>(SB_GetMem(kCardSaverBytes, "realloc trafficLightsSaver"));
  if (!State().trafficLightsSaver) return;
  State().SaverSize = kCardSaverBytes;
  const int32_t slot = static_cast<int32_t>(State().LampsOff.PageNumber);
  const TCARDTEXELS card = State().LampsOff.Present ? SB_CardTexels(slot) : TCARDTEXELS{nullptr, 0};
  if (!card.Pixels) return;
  const int32_t bytes = std::min(kCardSaverBytes, SB_Var.TextureCache[slot].Size);
  if (bytes > 0) std::memcpy(State().trafficLightsSaver, card.Pixels, static_cast<size_t>(bytes));
  State().SaverFilled = 1;
}

}  // namespace

int32_t SB_MatchPageName(const char* name, const char* pattern) {
  if (!name || !pattern) return 0;
  char stem[9];
  int32_t n = 0;
  while (n < 8 && name[n] && name[n] != ' ') stem[n] = name[n], ++n;
  stem[n] = '\0';
  return std::strcmp(stem, pattern) == 0 ? 1 : 0;
}

__attribute__((weak)) void SB_InitPanel() {
  FreeSaver();
  FreeDots();
  SB_ForgetMapLamps();
  SB_Var.Panels = TPANELSTATE{};
  for (int32_t k = 0; k < SB_LEDPANELCOUNT; ++k) {
    SB_Var.Panels.Panels[k].Pattern = kPatterns[k];
    std::memset(SB_Var.Panels.Panels[k].Text, ' ', SB_LEDTEXTSIZE);
  }
  LoadDots();
  const bool dots = State().DotOn && State().DotOff;
  // On the card the set-up's blanks are drawn in unlit dots, not in the
  // zeros of a table not yet built.
  if (dots && SB_Var.Renderer == SB_RENDERER_PVR) CardDots();
  FreeDots();
  if (!dots) {
    SB_ConsolePrintf("No LED Bitmaps...");
    return;
  }
  for (int32_t i = 0; i < SB_TextureNameCount(); ++i) TakeTexture(i);
  SB_KeepMapLamps();
  bool all = State().LampsOn.Present && State().LampsOff.Present;
  if (SB_Var.Renderer == SB_RENDERER_PVR) all = true;
  for (const TLEDPANEL& p : State().Panels) all = all && p.Found;
  if (!all) return;
  SB_BuildLedFont();
  State().On = 1;
  for (int32_t k = 0; k < SB_LEDPANELCOUNT; ++k) SB_BlankPanel(k);
}

__attribute__((weak)) void SB_RemapPanel() {
  if (!State().On) return;
  LoadDots();
  if (State().DotOn && State().DotOff) {
    if (SB_Var.Renderer == SB_RENDERER_PVR) {
      CardDots();
      SaveCardLamps();
      for (int32_t k = 0; k < SB_LEDPANELCOUNT; ++k) SB_ClearPanel(k);
    } else {
      const int32_t bytes = SB_TextureBytes();
      if (bytes == 1 || bytes == 2) SoftwareDots(bytes);
      SaveSoftwareLamps();
    }
  }
  FreeDots();
}

__attribute__((weak)) void SB_DisposePanel() {
  SB_PutBackMapLamps();
  FreeDots();
  FreeSaver();
  for (TLEDPANEL& p : State().Panels) p.panelTextureID = 0, p.Found = 0;
  State().LampsOff.Id = State().LampsOn.Id = 0;
  State().LampsOff.Present = State().LampsOn.Present = 0;
  State().On = 0;
}
