// The map's textures on the accelerator: each distinct picture read from
// its TGA, reduced by the texture scale, made translucent from its alpha
// or its flag letters, and turned into a square cache texture, narrow
// non-repeating ones stacked into shared squares; the result is kept in
// a texture bank for the next load.
#include "engine3d/powertextures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/picture.h"
#include "track/decor.h"

namespace {

constexpr int32_t kFlagsFrom = 8;      // characters 9 to 15 of a name hold its flag letters
constexpr int32_t kStemChars = 8;      // the picture's part of a name
constexpr int32_t kMinReducedSide = 32;
constexpr int32_t kMaxSide = 256;
constexpr uint16_t kRepeatCoord = 8200;  // a coordinate above it repeats the texture
constexpr uint32_t kWrapU = 1, kWrapV = 2;
constexpr uint32_t kAlphaBits = 0xFF000000u;

bool HasLetter(const char* name, char letter) {
  for (int32_t i = kFlagsFrom; i < SB_TEXTURENAMESIZE; ++i)
    if (name[i] == letter) return true;
  return false;
}

// The first 8 characters of a texture name, terminated.
struct Stem {
  char text[kStemChars + 1] = {};
  explicit Stem(const char* name) { std::memcpy(text, name, strnlen(name, kStemChars)); }
};

void FreePicture(BMAP* picture) {
  if (picture) SB_FreeBmap(picture);
}

// The TGA of a record's picture as a tagged bitmap of its own depth, or
// null with its message.
BMAP* ReadPicture(const TEXTTRI& r) {
  char tga[SB_TEXTTRINAMESIZE];
  std::memcpy(tga, r.Name, sizeof tga);
  tga[sizeof tga - 1] = 0;
  const size_t length = std::strlen(tga);
  if (length >= 3) std::memcpy(tga + length - 3, "TGA", 3);
  if (!length || !LS_FileExists(tga)) {
    SB_ConsolePrintf("Tga not found %s !!!", tga);
    return nullptr;
  }
  BMAP* loaded = LS_LoadTga(tga, LS_DefaultHeap);
  BMAP* picture = loaded ? SB_StretchBmap(loaded, loaded->SizeX, loaded->SizeY) : nullptr;
  if (loaded) LS_FreeBmap(loaded);
  if (!picture) SB_ConsolePrintf("Corrupted tga %s !!!", tga);
  return picture;
}

// The picture reduced by the texture scale and the name's letters.
BMAP* Reduce(BMAP* picture, const char* name, int32_t number, const char* file) {
  int32_t d = SB_Var.TextureScale;
  bool limited = false;
  if (d > 1) {
    if (HasLetter(name, 'X') && SB_Var.TextureScaleX) d /= 2;
    if (HasLetter(name, 'Y') && SB_Var.TextureScaleY) d *= 2;
    limited = HasLetter(name, '7');
  }
  if (d < 2) {
    SB_ConsoleStatus("Loading POWER Texture (65K) %ld: %s", static_cast<long>(number), file);
    return picture;
  }
  if (limited && d >= 3) {
    d = 2;
    SB_ConsolePrintf("Texture reduction limited %s", file);
  }
  // At least 32 texels a side, but never wider or taller than the picture.
  const int32_t w = std::max(picture->SizeX / d, std::min(kMinReducedSide, picture->SizeX));
  const int32_t h = std::max(picture->SizeY / d, std::min(kMinReducedSide, picture->SizeY));
  if (w >= picture->SizeX && h >= picture->SizeY) return picture;
  SB_ConsoleStatus("Loading POWER Texture (65K) %ld: %s (Reducing it by %ld)", static_cast<long>(number), file,
                   static_cast<long>(d));
  BMAP* reduced = SB_StretchBmap(picture, w, h);
  if (!reduced) return picture;
  FreePicture(picture);
  return reduced;
}

// Every texel's alpha byte inverted: the file's opaque is the card's 0.
void InvertAlpha(BMAP* picture) {
  for (int32_t y = 0; y < picture->SizeY; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture->Start + static_cast<ptrdiff_t>(y) * picture->ByteLen);
    for (int32_t x = 0; x < picture->SizeX; ++x) row[x] ^= kAlphaBits;
  }
}

// The card format and texture flags of a picture and its name.
int32_t FormatOf(BMAP* picture, const char* name, uint32_t* flags) {
  const Stem stem(name);
  *flags = 0;
  if (picture->Format == BMAP_ARGB8888 && picture->Depth == 32) {
    SB_ConsolePrintf("Translucent texture : %s", stem.text);
    InvertAlpha(picture);
    if (std::strcmp(stem.text, "LUMIERE2") == 0) {
      SB_ConsolePrintf("%s found for close transparency", stem.text);
      *flags |= SB_TEXFLAG_CLOSE;
    }
    return -1;
  }
  int32_t format = SGL_MAP_555;
  if (HasLetter(name, 'T')) {
    format = SGL_MAP_4444;
    SB_LiftNearBlack(picture);
  }
  if (HasLetter(name, '4')) *flags |= SB_TEXFLAG_BIT0;
  if (!HasLetter(name, 'N') && format == SGL_MAP_555 &&
      (SB_Var.PvrMipmap == 1 || (SB_Var.PvrMipmap == 2 && (*flags & SB_TEXFLAG_BIT0))))
    format = SGL_MAP_555_LEVELS;
  return format;
}

int32_t ClassOf(uint32_t flags) { return flags & SB_TEXFLAG_BIT0 ? SB_CACHE_INDISPENSABLE : 2; }

int32_t SlotSize(int32_t slot) { return slot > 0 ? SB_Var.TextureCache[slot].Size : 0; }

// The wrap bit of a picture's short side: v for a wide one, u for a tall one.
uint32_t ShortAxisBit(int32_t width, int32_t height) { return width > height ? kWrapV : kWrapU; }

// One texture name's picture made a record (and a texture) unless an
// earlier name has the same picture.
void LoadName(int32_t i) {
  char file[SB_TEXTTRINAMESIZE] = {};
  SB_TextureFileName(SB_Var.TextureNames[i], file);
  if (SB_FindTextTri(file)) return;
  const int32_t k = SB_Var.NbTextTri++;
  TEXTTRI& r = SB_Var.TextTri[k];
  r = TEXTTRI{};
  std::memcpy(r.Name, file, sizeof r.Name);
  r.Area = i;
  r.Page = -1;
  SB_Var.TextTriOrder[k] = &r;
  BMAP* picture = ReadPicture(r);
  if (!picture) return;
  const char* name = SB_Var.TextureNames[i];
  picture = Reduce(picture, name, i + 1, file);
  r.Found = 1;
  r.Width = picture->SizeX;
  r.Height = picture->SizeY;
  uint32_t flags = 0;
  const int32_t format = FormatOf(picture, name, &flags);
  if (r.Width != r.Height && !(SB_Var.TextureWrap[i] & ShortAxisBit(r.Width, r.Height))) {
    POWER_CreateTextureVariant(picture, format, k, flags);
  } else {
    const int32_t slot =
        POWER_CreateTextureFromBmap(picture, std::max(r.Width, r.Height), format, ClassOf(flags),
                                    static_cast<int32_t>(flags));
    r.Page = slot;
    if (!slot) r.Found = 0;
    SB_Var.PvrTextureMemory += SlotSize(slot);
  }
  FreePicture(picture);
}

// Non-square textures that repeat across their short side got squares of
// their own, tiled: listed by name.
void ReportFaulty() {
  int32_t faulty = 0;
  for (int32_t k = 0; k < SB_Var.NbTextTri; ++k) {
    const TEXTTRI& r = SB_Var.TextTri[k];
    if (r.Width == r.Height || r.Area < 0 || r.Area >= SB_TextureNameCount()) continue;
    if (!(SB_Var.TextureWrap[r.Area] & ShortAxisBit(r.Width, r.Height))) continue;
    SB_ConsolePrintf("%s", Stem(SB_Var.TextureNames[r.Area]).text);
    ++faulty;
  }
  if (faulty > 0) SB_ConsolePrintf("Nb faulty texture %ld", static_cast<long>(faulty));
}

void Blit(BMAP* from, BMAP* to, int32_t x, int32_t y) {
  LS_Bitmove(from, to, 0, 0, from->SizeX - 1, from->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

}  // namespace

int32_t POWER_LoadTextures() {
  if (!SB_Var.BuildBank && POWER_LoadTextureBank()) {
    SB_Var.PvrTexturesLoaded = 1;
    return 1;
  }
  POWER_FlagWrappedTextures();
  SB_ConsolePrintf("Free Textures : %ldko", static_cast<long>(sgl_get_free_texture_mem() / 1024));
  SB_Var.NbTextTri = 0;
  SB_Var.PvrTextureMemory = 0;
  for (int32_t i = 0; i < SB_TextureNameCount() && SB_Var.NbTextTri < SB_MAXTEXTTRI; ++i) LoadName(i);
  POWER_UploadQueuedTextures();
  SB_ConsolePrintf("Loaded %ld textures out of %ld...", static_cast<long>(SB_Var.NbTextTri),
                   static_cast<long>(SB_Var.NbTextures));
  SB_ConsolePrintf("Textures Memory used: %ldko", static_cast<long>(SB_Var.PvrTextureMemory / 1024));
  ReportFaulty();
  POWER_SaveTextureBank();
  SB_Var.PvrTexturesLoaded = 1;
  return 1;
}

// Weak, as the cache's removal, so that the vehicles tests' recording fakes link.
__attribute__((weak)) int32_t POWER_CreateTextureFromBmap(BMAP* bitmap, int32_t side, int32_t format,
                                                          int32_t textureClass, int32_t flags) {
  if (!bitmap || bitmap->SizeX < 1 || bitmap->SizeY < 1) return 0;
  if (side < 1 || side > kMaxSide) {
    LS_Message("PWR: unsupported texture size");
    return 0;
  }
  BMAP* square = SB_CreateBmap(side, side, 32, 0, "PvrText 2");
  if (!square) return 0;
  square->Format = BMAP_ABGR8888;
  std::memset(square->Start, 0, static_cast<size_t>(square->ByteLen) * side);
  if (bitmap->SizeY > bitmap->SizeX) {
    for (int32_t x = 0; x < bitmap->SizeY; x += bitmap->SizeX) Blit(bitmap, square, x, 0);
  } else if (bitmap->SizeX > bitmap->SizeY) {
    for (int32_t y = 0; y < bitmap->SizeX; y += bitmap->SizeY) Blit(bitmap, square, 0, y);
  } else {
    Blit(bitmap, square, 0, 0);
  }
  if (format == -1) {
    format = SGL_MAP_4444;
  } else if (format == SGL_MAP_4444 || format == SGL_MAP_4444_LEVELS) {
    for (int32_t y = 0; y < side; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(square->Start + static_cast<ptrdiff_t>(y) * square->ByteLen);
      for (int32_t x = 0; x < side; ++x)
        if (row[x] == 0) row[x] = kAlphaBits;
    }
  }
  const int32_t slot = POWER_CreateCachedTexture(square, format, textureClass, static_cast<uint32_t>(flags));
  SB_FreeBmap(square);
  return slot;
}

int32_t POWER_CreateTextureVariant(BMAP* bitmap, int32_t format, int32_t record, uint32_t flags) {
  if (!bitmap || record < 0 || record >= SB_MAXTEXTTRI) return 0;
  TEXTTRI& r = SB_Var.TextTri[record];
  const int32_t side = std::max(bitmap->SizeX, bitmap->SizeY), thin = std::min(bitmap->SizeX, bitmap->SizeY);
  const int32_t orientation = bitmap->SizeY > bitmap->SizeX ? 1 : 0;
  for (int32_t e = 0; e < SB_NBSHAREDTEXTURES; ++e) {
    TSHAREDTEXTURE& s = SB_Var.SharedTextures[e];
    if (!s.InUse || s.Square->SizeX != side || s.Format != format || s.Orientation != orientation ||
        s.Flags != flags || s.Space < thin || s.NbRecords >= SB_SHAREDPERSQUARE)
      continue;
    const int32_t at = side - s.Space;
    r.X = orientation ? at : 0;
    r.Y = orientation ? 0 : at;
    Blit(bitmap, s.Square, r.X, r.Y);
    s.Records[s.NbRecords++] = record;
    s.Space -= thin;
    if (s.Space == 0) POWER_UploadQueuedTexture(e);
    return 1;
  }
  for (int32_t e = 0; e < SB_NBSHAREDTEXTURES; ++e) {
    TSHAREDTEXTURE& s = SB_Var.SharedTextures[e];
    if (s.InUse) continue;
    BMAP* square = SB_CreateBmap(side, side, 32, 0, "PvrText");
    if (!square) break;
    square->Format = BMAP_ABGR8888;
    std::memset(square->Start, 0, static_cast<size_t>(square->ByteLen) * side);
    s = TSHAREDTEXTURE{square, format, orientation, side - thin, 1, {record}, 1, flags};
    r.X = r.Y = 0;
    Blit(bitmap, square, 0, 0);
    return 1;
  }
  LS_Error(0, "Opt full");
  r.Found = 0;  // nothing will give it a slot
  r.Page = -1;
  return 0;
}

void POWER_UploadQueuedTexture(int32_t entry) {
  if (entry < 0 || entry >= SB_NBSHAREDTEXTURES || !SB_Var.SharedTextures[entry].InUse) return;
  TSHAREDTEXTURE& s = SB_Var.SharedTextures[entry];
  const int32_t slot = POWER_CreateTextureFromBmap(s.Square, s.Square->SizeX, s.Format, ClassOf(s.Flags),
                                                   static_cast<int32_t>(s.Flags));
  SB_Var.PvrTextureMemory += SlotSize(slot);
  for (int32_t n = s.NbRecords - 1; n >= 0; --n) {
    TEXTTRI& r = SB_Var.TextTri[s.Records[n]];
    r.Page = slot;
    if (!slot) r.Found = 0;
  }
  SB_FreeBmap(s.Square);
  s = TSHAREDTEXTURE{};
}

void POWER_UploadQueuedTextures() {
  for (int32_t e = 0; e < SB_NBSHAREDTEXTURES; ++e)
    if (SB_Var.SharedTextures[e].InUse) POWER_UploadQueuedTexture(e);
}

void POWER_FlagWrappedTextures() {
  std::memset(SB_Var.TextureWrap, 0, sizeof SB_Var.TextureWrap);
  const TDECOR& d = SB_Var.Decor;
  if (!SB_Var.Cube10Polys || !d.FacePolys || !d.PPointTextures || !d.PointTextures) return;
  for (int32_t c = 0; c < SB_Var.NbCube10Polys; ++c) {
    const TFCUBE10POLY& cell = SB_Var.Cube10Polys[c];
    const TFFACEPOLY* faces = SB_CellFaces(&cell, 0);
    for (int32_t f = 0; f < cell.NbFaces[0]; ++f) {
      const TFFACEPOLY& face = faces[f];
      if (face.Material >= SB_TextureNameCount()) continue;
      for (int32_t k = 0; k < face.NbCorners; ++k) {
        const TFPOINTTEXTURE* point = SB_FacePolyTexturePoint(&face, k);
        if (point->U > kRepeatCoord) SB_Var.TextureWrap[face.Material] |= kWrapU;
        if (point->V > kRepeatCoord) SB_Var.TextureWrap[face.Material] |= kWrapV;
      }
    }
  }
}

void POWER_BmapToAlpha(BMAP* bitmap, uint32_t colour) {
  if (!bitmap || bitmap->Format != BMAP_ABGR8888) {
    LS_Error(0, "BMAP must be in 32bits (BGR) to be converted to alpha");
    return;
  }
  for (int32_t y = 0; y < bitmap->SizeY; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bitmap->Start + static_cast<ptrdiff_t>(y) * bitmap->ByteLen);
    for (int32_t x = 0; x < bitmap->SizeX; ++x) {
      const uint32_t t = row[x];
      const double s = (t & 0xFF) + (t >> 8 & 0xFF) + (t >> 16 & 0xFF);
      const double a = std::max(0.0, std::sqrt(s * 0.33333 * 0.00390625) * 1.1 - 0.1);
      const int32_t alpha = std::clamp(255 - static_cast<int32_t>(a * 256), 0, 255);
      row[x] = (static_cast<uint32_t>(alpha) << 24) + colour;
    }
  }
}

void POWER_ReleaseTextures() {
  if (!SB_Var.PvrTexturesLoaded) return;
  for (int32_t k = 0; k < SB_Var.NbTextTri && k < SB_MAXTEXTTRI; ++k) {
    TEXTTRI& r = SB_Var.TextTri[k];
    if (!r.Found) continue;
    if (r.Page > 0) POWER_RemoveCachedTexture(r.Page);
    r.Found = 0;
  }
  POWER_FreeTextureBank();
  SB_Var.PvrTexturesLoaded = 0;
  SB_ConsolePrintf("POWER textures released");
}
