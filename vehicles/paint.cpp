// Car paint: the HSV conversions of 24-bit pictures, the body's hue band
// moved to a setup's colour, stickers blended on, and each car's textures
// made from its setup into its own materials or into card textures.
#include "vehicles/paint.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "engine3d/object.h"
#include "engine3d/palette3d.h"
#include "engine3d/powercache.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/picture.h"
#include "vehicles/cars.h"
#include "vehicles/types.h"

namespace {

constexpr const char* kTextureOwner = "CarEditor 24";
constexpr const char* kStickerOwner = "CarEditor 15";
constexpr float kInv255 = 1.0f / 255.0f;
constexpr float kSectorsPerByte = 0.023529412f;  // 6 / 255

uint8_t ToByte(float v) {
  const float b = v + 0.5f;
  return static_cast<uint8_t>(b <= 0.0f ? 0.0f : b >= 255.0f ? 255.0f : b);
}

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Calls f on the three bytes of every pixel of a 24-bit bitmap.
template <typename F>
void ForEachPixel(BMAP* b, F f) {
  if (!b || b->Depth != 24) return;
  LS_LockBmap(b);
  for (int32_t y = 0; y < b->SizeY; ++y) {
    uint8_t* p = b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen;
    for (int32_t x = 0; x < b->SizeX; ++x, p += 3) f(p);
  }
  LS_UnlockBmap(b);
}

MLIB* LibraryOf(const OBJECT* object) {
  return object && object->Materials ? object->Materials->Library : nullptr;
}

TCAR* CarOf(int32_t index) {
  if (index < 0 || index >= SB_MAXCARS) return nullptr;
  TCAR* car = SB_Var.Cars[index];
  return car && car->Object ? car : nullptr;
}

// The material's stored name, bytes 32 to 47 of its record.
bool NamedAs(const TMATERIAL& m, const char* name) {
  char stored[sizeof m.Words32 + 1] = {};
  std::memcpy(stored, m.Words32, sizeof m.Words32);
  for (size_t i = 0;; ++i) {
    if (std::tolower(static_cast<unsigned char>(stored[i])) !=
        std::tolower(static_cast<unsigned char>(name[i])))
      return false;
    if (!name[i]) return true;
  }
}

// One sticker's picture (32 bits, its background made transparent) blended
// with its centre at (x, y); false when the picture cannot be had.
bool BlendSticker(const char* path, BMAP* bmap, int32_t x, int32_t y) {
  BMAP* picture = LS_LoadTga(path, LS_DefaultHeap);
  if (!picture) return false;
  const int32_t w = picture->SizeX, h = picture->SizeY;
  BMAP* sticker = SB_CreateBmapIfFits(w, h, 32, LS_DefaultHeap, kStickerOwner);
  if (sticker) {
    LS_Bitmove(picture, sticker, 0, 0, w - 1, h - 1, 0, 0, LS_BLIT_OPAQUE);
    SB_FillBmapToAlphaChannel(sticker, 0, 0, 0.1f);
    SB_AlphaBlitBmap32to24(sticker, bmap, 0, 0, w - 1, h - 1, x - w / 2, y - h / 2);
    SB_FreeBmap(sticker);
  }
  LS_FreeBmap(picture);
  return sticker != nullptr;
}

// The finished texture into the car's material bitmap j, or into a card
// texture whose material bitmap is then given up.
void StoreTexture(const TVEHICLESETUP& setup, MLIB& library, int32_t j, BMAP* bitmap) {
  MLIBTEXTURE& entry = library.Textures[j];
  const int32_t x2 = bitmap->SizeX - 1, y2 = bitmap->SizeY - 1;
  if (SB_Var.Renderer != SB_RENDERER_PVR) {
    if (!entry.Bitmap) return;
    // An 8-bit texture is drawn with the race's 3D palette: converted
    // against the screen's palette it would take the console's colours.
    if (entry.Bitmap->Depth == 8 && SB_Var.Pal3d) entry.Bitmap->Palette = SB_Var.Pal3d;
    if (setup.Dither)
      SB_BitmoveFloyd(bitmap, entry.Bitmap, 0, 0, x2, y2, 0, 0);
    else
      SB_Bitmove(bitmap, entry.Bitmap, 0, 0, x2, y2, 0, 0);
    return;
  }
  // A texture made again gives its old slot back first.
  if (entry.CardTexture) POWER_RemoveCachedTexture(entry.CardTexture);
  entry.CardTexture = POWER_CreateTextureFromBmap(bitmap, entry.Width, 0, 1, 2);
  if (!entry.Bitmap) return;
  for (uint32_t k = 0; k < library.NbMaterials; ++k) {
    TMATERIAL& m = library.Materials[k];
    if (m.Bitmap == entry.Bitmap) m.Bitmap = nullptr, m.Pixels = nullptr;
  }
  SB_FreeBmap(entry.Bitmap);
  entry.Bitmap = nullptr;
}

}  // namespace

void SB_BmapRGBtoHSV(BMAP* bmap) {
  ForEachPixel(bmap, [](uint8_t* p) {
    const float b = p[0] * kInv255, g = p[1] * kInv255, r = p[2] * kInv255;
    const float max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const float min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const float s = max > 0.0f ? (max - min) / max : 0.0f;
    float hue = 0.0f;
    if (s != 0.0f) {
      const float d = 1.0f / (max - min);
      // A later match replaces an earlier one where two channels tie.
      if (max == r) hue = (g - b) * d;
      if (max == g) hue = (b - r) * d + 2.0f;
      if (max == b) hue = (r - g) * d + 4.0f;
      if (hue < 0.0f) hue += 6.0f;
    }
    p[0] = ToByte(hue * 42.5f);
    p[1] = ToByte(s * 255.0f);
    p[2] = ToByte(max * 255.0f);
  });
}

void SB_BmapHSVtoRGB(BMAP* bmap) {
  ForEachPixel(bmap, [](uint8_t* p) {
    const float h = p[0] * kSectorsPerByte, s = p[1] * kInv255, v = p[2] * kInv255;
    float r = v, g = v, b = v;
    if (s != 0.0f) {
      const int32_t i = static_cast<int32_t>(h);
      const float f = h - static_cast<float>(i);
      const float pp = (1.0f - s) * v, q = (1.0f - f * s) * v, t = (1.0f - (1.0f - f) * s) * v;
      switch (i) {
        case 1: r = q, g = v, b = pp; break;
        case 2: r = pp, g = v, b = t; break;
        case 3: r = pp, g = q, b = v; break;
        case 4: r = t, g = pp, b = v; break;
        case 5: r = v, g = pp, b = q; break;
        default: r = v, g = t, b = pp; break;  // 0 and 6
      }
    }
    p[0] = ToByte(b * 255.0f);
    p[1] = ToByte(g * 255.0f);
    p[2] = ToByte(r * 255.0f);
  });
}

void SB_ShiftHueBand(BMAP* bmap, int32_t low, int32_t high, int32_t hue, int32_t dv, int32_t ds) {
  // A true modulo: a negative hue still lands in 0..255.
  const uint8_t shifted = static_cast<uint8_t>(((hue + SB_PAINTBANDMIDDLE) % 256 + 256) % 256);
  ForEachPixel(bmap, [=](uint8_t* p) {
    if (p[0] < low || p[0] > high) return;
    p[0] = shifted;
    p[1] = static_cast<uint8_t>(Clamp255(p[1] + ds));
    p[2] = static_cast<uint8_t>(Clamp255(p[2] + dv));
  });
}

void SB_ApplyStickers(const TVEHICLESETUP* setup, BMAP* bmap, int32_t j) {
  if (!setup || !bmap) return;
  const int32_t n = setup->NbStickers < SB_NBSTICKERS ? setup->NbStickers : SB_NBSTICKERS;
  for (int32_t k = 0; k < n; ++k) {
    const TSTICKER& s = setup->Stickers[k];
    if (s.Texture != j) continue;
    char path[LS_PATHSIZE];
    std::snprintf(path, sizeof path, "interfac>sticker>%.*s", static_cast<int>(sizeof s.Name), s.Name);
    if (!LS_FileExists(path) || !BlendSticker(path, bmap, s.X, s.Y))
      SB_ConsolePrintf("Sticker missing: %s not found !!!", path);
  }
}

BMAP* SB_BuildCarTexture(const TVEHICLESETUP* setup, int32_t j) {
  const MLIB* library = LibraryOf(SB_Var.VehiclePrototype);
  if (!setup || !library || j < 0 || static_cast<uint32_t>(j) >= library->NbTextures) return nullptr;
  BMAP* source = library->Textures[j].Picture;
  if (!source || source->Depth != 24) return nullptr;
  BMAP* copy = SB_CreateBmap(source->SizeX, source->SizeY, 24, LS_DefaultHeap, kTextureOwner);
  if (!copy) return nullptr;
  SB_Bitmove(source, copy, 0, 0, source->SizeX - 1, source->SizeY - 1, 0, 0);
  SB_ShiftHueBand(copy, SB_PAINTBANDLOW, SB_PAINTBANDHIGH, static_cast<int32_t>(setup->HDelta),
                  static_cast<int32_t>(setup->VDelta), static_cast<int32_t>(setup->SDelta));
  SB_BmapHSVtoRGB(copy);
  SB_ApplyStickers(setup, copy, j);
  return copy;
}

void SB_ObjectBmapsRGBtoHSV(OBJECT* object) {
  MLIB* library = LibraryOf(object);
  for (uint32_t j = 0; library && j < library->NbTextures; ++j) SB_BmapRGBtoHSV(library->Textures[j].Picture);
}

void SB_GenerateCarTextures(TVEHICLESETUP* setups, int32_t index) {
  TCAR* car = CarOf(index);
  if (!car) return;
  static const TVEHICLESETUP kPlain{};
  const TVEHICLESETUP& setup = setups ? setups[index] : kPlain;
  car->TexturesReady = 1;
  SB_MarkLightFaces(index);
  MLIB* library = LibraryOf(car->Object);
  const bool reduced = SB_Var.TextureReduction && index != SB_Var.DrivenCar && index != SB_Var.ReplayCar;
  for (uint32_t j = 0; library && j < library->NbTextures; ++j) {
    BMAP* bitmap = SB_BuildCarTexture(&setup, static_cast<int32_t>(j));
    if (!bitmap) continue;
    if (reduced) {
      if (BMAP* half = SB_StretchBmap(bitmap, bitmap->SizeX / 2, bitmap->SizeY / 2)) {
        SB_FreeBmap(bitmap);
        bitmap = half;
      }
    }
    StoreTexture(setup, *library, static_cast<int32_t>(j), bitmap);
    SB_FreeBmap(bitmap);
  }
  SB_BindCarPvrTextures(car);
}

void SB_MarkLightFaces(int32_t index) {
  const TCAR* car = CarOf(index);
  const MLIB* library = car ? LibraryOf(car->Object) : nullptr;
  if (!library) return;
  uintptr_t lamps[2] = {0, 0};
  for (uint32_t k = 0; k < library->NbMaterials; ++k) {
    const TMATERIAL& m = library->Materials[k];
    if (!lamps[0] && NamedAs(m, "feuga")) lamps[0] = reinterpret_cast<uintptr_t>(&m);
    if (!lamps[1] && NamedAs(m, "feudr")) lamps[1] = reinterpret_cast<uintptr_t>(&m);
  }
  for (OBJECT* o = car->Object; o; o = o->Next)
    for (TATOM* atom : o->Atoms) {
      if (!IsAtom(atom)) continue;
      for (int32_t f = 0; f < atom->NbFaces; ++f) {
        TGRAF& face = atom->Faces[f];
        if (face.G_TEXTURE && (face.G_TEXTURE == lamps[0] || face.G_TEXTURE == lamps[1]))
          face.G_FLAGS |= 1 << 6;
      }
    }
}

void SB_BindCarPvrTextures(TCAR* car) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !car) return;
  MLIB* library = LibraryOf(car->Object);
  for (uint32_t k = 0; library && k < library->NbMaterials; ++k) {
    TMATERIAL& m = library->Materials[k];
    if (m.Flags & MATERIAL_UNTEXTURED) continue;
    if (m.Texture >= 0 && static_cast<uint32_t>(m.Texture) < library->NbTextures)
      m.CardTexture = library->Textures[m.Texture].CardTexture;
  }
}
