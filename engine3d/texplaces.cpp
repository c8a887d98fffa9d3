// The placement record of every map texture (where its texels lie, its
// sizes and its flag letters), the software path's mip-level addresses and
// filler selectors, and the report of the palette colours the 8-bit pages
// use least.
#include <cstring>

#include "engine3d/texpages.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/palette.h"

namespace {

constexpr int32_t kFlagsFrom = 8;  // characters 9 to 15 of a name hold its flag letters
constexpr int32_t kOffsetScale = 8192;
constexpr int32_t kReportedColours = 4;
constexpr int32_t kLastReported = 192;  // the report looks at indices 0 .. 192

bool HasLetter(const char* name, char letter) {
  for (int32_t i = kFlagsFrom; i < SB_TEXTURENAMESIZE; ++i)
    if (name[i] == letter) return true;
  return false;
}

void SetFlags(TTEXTUREPLACE& t, const char* name) {
  t.RenderKind = HasLetter(name, 'T') ? 3 : 1;
  const struct {
    uint8_t TTEXTUREPLACE::*flag;
    char letter;
  } kLetters[] = {{&TTEXTUREPLACE::Z, 'Z'},   {&TTEXTUREPLACE::D, 'D'},   {&TTEXTUREPLACE::C, 'C'},
                  {&TTEXTUREPLACE::M, 'M'},   {&TTEXTUREPLACE::I, 'I'},   {&TTEXTUREPLACE::N, 'N'},
                  {&TTEXTUREPLACE::L, 'L'},   {&TTEXTUREPLACE::H, 'H'},   {&TTEXTUREPLACE::B, 'B'},
                  {&TTEXTUREPLACE::A, 'A'},   {&TTEXTUREPLACE::U, 'U'},   {&TTEXTUREPLACE::V, 'V'},
                  {&TTEXTUREPLACE::F, 'F'},   {&TTEXTUREPLACE::E, 'E'},   {&TTEXTUREPLACE::O, 'O'},
                  {&TTEXTUREPLACE::One, '1'}, {&TTEXTUREPLACE::Two, '2'}, {&TTEXTUREPLACE::Three, '3'}};
  for (const auto& l : kLetters) t.*l.flag = HasLetter(name, l.letter) ? 1 : 0;
  t.Variant = HasLetter(name, 'R') ? 1 : HasLetter(name, 'S') ? 2 : 0;
}

// The accelerator's words of a non-square texture: how many times longer
// it is, and where it sits in its shared square in 1/8192 of the side.
void SetCardWords(TTEXTUREPLACE& t) {
  if (t.Height > t.Width) {
    t.TallShift = t.Log2Height - t.Log2Width;
    t.TallOffset = t.X * kOffsetScale / t.Height;
  } else if (t.Width > t.Height) {
    t.WideShift = t.Log2Width - t.Log2Height;
    t.WideOffset = t.Y * kOffsetScale / t.Width;
  }
}

}  // namespace

namespace {

// The placement records of every texture name from the TEXTTRI records:
// the accelerator's words, or the addresses in the software pages.
void BuildPlaces(TTEXTUREPLACE* places, bool card) {
  const int32_t bytes = SB_TextureBytes();
  std::memset(places, 0, sizeof SB_Var.TexturePlaces);
  for (int32_t i = 0; i < SB_TextureNameCount(); ++i) {
    TTEXTUREPLACE& t = places[i];
    const char* name = SB_Var.TextureNames[i];
    char file[SB_TEXTTRINAMESIZE];
    SB_TextureFileName(name, file);
    if (const TEXTTRI* r = SB_FindTextTri(file)) {
      t.Loaded = r->Found;
      t.PageNumber = r->Page;
      t.X = r->X, t.Y = r->Y, t.Width = r->Width, t.Height = r->Height;
    }
    t.Log2Width = SB_PowerOfTwoIndex(t.Width);
    t.Log2Height = SB_PowerOfTwoIndex(t.Height);
    t.Size = t.Width * t.Height * bytes;
    if (card) {
      SetCardWords(t);
    } else if (t.PageNumber >= 0 && t.PageNumber < SB_Var.NbTexturePages &&
               SB_Var.TexturePages[t.PageNumber]) {
      t.Page = SB_Var.TexturePages[t.PageNumber]->Start;
      t.Texels = t.Page + (static_cast<ptrdiff_t>(t.Y) * SB_TEXTUREPAGESIDE + t.X) * bytes;
    } else {
      t.Loaded = 0;  // its page could not be had
    }
    SetFlags(t, name);
  }
}

}  // namespace

void SB_BuildTextureDescriptors() { BuildPlaces(SB_Var.TexturePlaces, SB_Var.Renderer == SB_RENDERER_PVR); }

void SB_BuildSoftTexturePlaces(TTEXTUREPLACE* places) { BuildPlaces(places, false); }

TTEXTUREPLACE* SB_SoftTexturePlaces() {
  return SB_Var.Renderer == SB_RENDERER_PVR ? SB_Var.EditTexturePlaces : SB_Var.TexturePlaces;
}

__attribute__((weak)) void SB_InitTextureAddresses() {
  if (SB_Var.Renderer == SB_RENDERER_PVR) return;
  const int32_t bytes = SB_TextureBytes();
  for (int32_t i = 0; i < SB_TextureNameCount(); ++i) {
    TTEXTUREPLACE& t = SB_Var.TexturePlaces[i];
    const int32_t w = t.Log2Width, h = t.Log2Height;
    t.Selector = static_cast<uint8_t>((9 - w) * 8 - h);
    const bool paged = t.PageNumber >= 0 && t.PageNumber < SB_Var.NbTexturePages;
    for (int32_t level = 1; level <= SB_NBMIPLEVELS; ++level) {
      t.MipSelector[level - 1] = static_cast<uint8_t>(((9 - (w - level)) & 255) * 8 - (h - level));
      const TMIPPAGE* mip = paged ? &SB_Var.MipPages[level - 1][t.PageNumber] : nullptr;
      t.MipTexels[level - 1] =
          mip && mip->Texels
              ? mip->Texels + ((static_cast<ptrdiff_t>(t.Y >> level) + mip->Y) * SB_TEXTUREPAGESIDE +
                               (t.X >> level) + mip->X) *
                                  bytes
              : nullptr;
    }
  }
}

void SB_ReportTextureColors() {
  if (SB_TextureBytes() != 1 || !SB_Var.Pal3d) return;
  const PALETTE& palette = *SB_Var.Pal3d;
  // Every index becomes the last one of its colour.
  uint8_t last[256];
  for (int32_t i = 0; i < 256; ++i) {
    last[i] = static_cast<uint8_t>(i);
    for (int32_t j = 255; j > i; --j)
      if (std::memcmp(&palette.Entry[j], &palette.Entry[i], sizeof(LS_RGB)) == 0) {
        last[i] = static_cast<uint8_t>(j);
        break;
      }
  }
  int64_t counts[256] = {};
  for (int32_t k = 0; k < SB_Var.NbTextTri; ++k) {
    const TEXTTRI& r = SB_Var.TextTri[k];
    if (!r.Found || r.Page < 0 || r.Page >= SB_Var.NbTexturePages || !SB_Var.TexturePages[r.Page]) continue;
    uint8_t* row =
        SB_Var.TexturePages[r.Page]->Start + static_cast<ptrdiff_t>(r.Y) * SB_TEXTUREPAGESIDE + r.X;
    for (int32_t y = 0; y < r.Height; ++y, row += SB_TEXTUREPAGESIDE)
      for (int32_t x = 0; x < r.Width; ++x) ++counts[row[x] = last[row[x]]];
  }
  SB_ConsolePrintf("Less used colors in the textures:");
  bool reported[kLastReported + 1] = {};
  for (int32_t n = 0; n < kReportedColours; ++n) {
    int32_t least = -1;
    for (int32_t i = 0; i <= kLastReported; ++i)
      if (!reported[i] && (least < 0 || counts[i] < counts[least])) least = i;
    reported[least] = true;
    const LS_RGB& c = palette.Entry[least];
    if (counts[least])
      SB_ConsolePrintf("Color %ld: r%ld g%ld b%ld  %ld pixels", static_cast<long>(least),
                       static_cast<long>(c.Red), static_cast<long>(c.Green), static_cast<long>(c.Blue),
                       static_cast<long>(counts[least]));
    else
      SB_ConsolePrintf("Color %ld: r%ld g%ld b%ld  ** not used **", static_cast<long>(least),
                       static_cast<long>(c.Red), static_cast<long>(c.Green), static_cast<long>(c.Blue));
  }
}
