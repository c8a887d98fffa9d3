// The accelerator stand-in's textures: source maps preprocessed into
// twiddled 16-bit blocks (with their smaller levels for the formats that
// have them), and card textures copied from those blocks into a card of
// limited memory.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/accel/state.h"

using plat::accel::Accel;
using plat::accel::CardTexture;
using plat::accel::Fail;

namespace {

// Entry i has bit k of i moved to bit 2k.
constexpr std::array<uint16_t, 256> MakeSpread() {
  std::array<uint16_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i)
    for (uint32_t k = 0; k < 8; ++k) table[i] |= static_cast<uint16_t>(((i >> k) & 1) << (2 * k));
  return table;
}
constexpr std::array<uint16_t, 256> kSpread = MakeSpread();

uint32_t Twiddled(int32_t x, int32_t y) { return static_cast<uint32_t>(kSpread[x] << 1 | kSpread[y]); }

int32_t Log2(int32_t side) {
  int32_t n = 0;
  while ((1 << (n + 1)) <= side) ++n;
  return n;
}

bool HasLevels(char kind) { return kind == '1' || kind == '4'; }

// Texels of levels first .. first + count - 1 of a map of the side.
size_t LevelTexels(int32_t side, int32_t first, int32_t count) {
  size_t texels = 0;
  for (int32_t j = first; j < first + count; ++j) texels += static_cast<size_t>(side >> j) * (side >> j);
  return texels;
}

uint16_t Texel555(uint32_t w) {
  return static_cast<uint16_t>((w & 0xF8) << 7 | (w >> 6 & 0x3E0) | (w >> 19 & 0x1F));
}

uint16_t Texel4444(uint32_t w) {
  return static_cast<uint16_t>((w >> 28) << 12 | (w >> 4 & 0xF) << 8 | (w >> 12 & 0xF) << 4 | (w >> 20 & 0xF));
}

// Each byte of the four texels averaged, rounded to nearest.
uint32_t Average(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sum = (a >> shift & 0xFF) + (b >> shift & 0xFF) + (c >> shift & 0xFF) + (d >> shift & 0xFF);
    out |= ((sum + 2) / 4) << shift;
  }
  return out;
}

// One level, row after row in, twiddled out.
void WriteLevel(uint16_t* out, const uint32_t* in, int32_t side, uint16_t (*convert)(uint32_t)) {
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) out[Twiddled(x, y)] = convert(in[y * side + x]);
}

// Halves the level in place: each texel the average of its 2 x 2 block.
void Shrink(std::vector<uint32_t>& level, int32_t side) {
  const int32_t half = side / 2;
  for (int32_t y = 0; y < half; ++y)
    for (int32_t x = 0; x < half; ++x) {
      const uint32_t* top = &level[static_cast<size_t>(2 * y) * side + 2 * x];
      level[static_cast<size_t>(y) * half + x] = Average(top[0], top[1], top[side], top[side + 1]);
    }
}

// What a processed map holds: its format digit, level 0's side, the levels
// it names and where their texels lie in its block.
struct Shape {
  bool ok = false;
  char kind = 0;
  int32_t side = 0;
  int32_t first = 0, count = 0;
  size_t offset = 0, texels = 0;
};

Shape ShapeOf(const SGLMAP* map) {
  Shape shape;
  if (!map || !map->Pixels || map->Id[0] != 'Z' || map->Id[1] != 'T') return shape;
  const char kind = map->Id[2];
  const int32_t side = map->XSize;
  if (std::strchr("0134", kind) == nullptr || kind == 0 || side != map->YSize) return shape;
  if (side < SGL_MIN_MAP_SIDE || side > SGL_MIN_MAP_SIDE << SGL_MAX_SIZE_CODE || (side & (side - 1))) return shape;
  const int32_t n = Log2(side), below = static_cast<uint8_t>(map->Id[3]);
  if (below > (HasLevels(kind) ? n : 0)) return shape;
  shape = {true, kind, side, n - below, below + 1};
  if (!HasLevels(kind)) shape.first = 0;
  shape.offset = LevelTexels(side, 0, shape.first);
  shape.texels = LevelTexels(side, shape.first, shape.count);
  return shape;
}

uint32_t FreeBytes() {
  const auto& s = Accel();
  return s.cardMemory > s.usedMemory ? s.cardMemory - s.usedMemory : 0;
}

uint16_t Fitting(uint32_t free, size_t bytes) { return static_cast<uint16_t>(std::min<size_t>(free / bytes, 0xFFFF)); }

// The card texture of a name, or null.
CardTexture* Texture(int32_t name) {
  auto& textures = Accel().textures;
  if (name < 0 || static_cast<size_t>(name) >= textures.size() || !textures[name].live) return nullptr;
  return &textures[name];
}

}  // namespace

int32_t sgl_preprocess_texture(int32_t format, int32_t sizeCode, int32_t, int32_t, const SGLMAP* source, int32_t,
                               SGLMAP* processed) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  const bool known = format == SGL_MAP_555 || format == SGL_MAP_555_LEVELS || format == SGL_MAP_4444 ||
                     format == SGL_MAP_4444_LEVELS;
  if (!known || sizeCode < 0 || sizeCode > SGL_MAX_SIZE_CODE || !source || !processed)
    return Fail(SGL_ERR_BAD_ARGUMENT);
  const int32_t side = SGL_MIN_MAP_SIDE << sizeCode;
  if (std::memcmp(source->Id, "IMAP", 4) != 0 || source->XSize != side || source->YSize != side || !source->Pixels)
    return Fail(SGL_ERR_BAD_ARGUMENT);
  const char kind = static_cast<char>('0' + format);
  const int32_t levels = HasLevels(kind) ? Log2(side) + 1 : 1;
  auto* block = static_cast<uint16_t*>(std::malloc(LevelTexels(side, 0, levels) * sizeof(uint16_t)));
  if (!block) return Fail(SGL_ERR_OUT_OF_MEMORY);
  const auto* texels = static_cast<const uint32_t*>(source->Pixels);
  uint16_t (*convert)(uint32_t) = format < SGL_MAP_4444 ? Texel555 : Texel4444;
  WriteLevel(block, texels, side, convert);
  if (levels > 1) {
    std::vector<uint32_t> level(texels, texels + static_cast<size_t>(side) * side);
    uint16_t* out = block + static_cast<size_t>(side) * side;
    for (int32_t size = side; size > 1; size /= 2) {
      Shrink(level, size);
      WriteLevel(out, level.data(), size / 2, convert);
      out += static_cast<size_t>(size / 2) * (size / 2);
    }
  }
  s.blocks.insert(block);
  *processed = SGLMAP{{'Z', 'T', kind, static_cast<char>(levels - 1)}, side, side, block};
  return SGL_OK;
}

int32_t sgl_texture_size(const SGLMAP* processed) {
  if (!Accel().present) return Fail(SGL_ERR_ABSENT);
  const Shape shape = ShapeOf(processed);
  return shape.ok ? static_cast<int32_t>(shape.texels * sizeof(uint16_t)) : Fail(SGL_ERR_BAD_ARGUMENT);
}

int32_t sgl_free_pixels(SGLMAP* processed) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!processed || !s.blocks.erase(processed->Pixels)) return Fail(SGL_ERR_BAD_ARGUMENT);
  std::free(processed->Pixels);
  processed->Pixels = nullptr;
  return SGL_OK;
}

int32_t sgl_create_texture(int32_t, int32_t, int32_t, int32_t, const SGLMAP* processed, int32_t) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  const Shape shape = ShapeOf(processed);
  if (!shape.ok) return Fail(SGL_ERR_BAD_ARGUMENT);
  const uint32_t bytes = static_cast<uint32_t>(shape.texels * sizeof(uint16_t));
  if (bytes > FreeBytes()) return Fail(SGL_ERR_TEXTURE_MEMORY_FULL);
  auto free = std::find_if(s.textures.begin(), s.textures.end(), [](const CardTexture& t) { return !t.live; });
  if (free == s.textures.end()) free = s.textures.insert(free, CardTexture{});
  const auto* texels = static_cast<const uint16_t*>(processed->Pixels) + shape.offset;
  *free = CardTexture{true, shape.kind, shape.side, shape.first, shape.count, bytes, {}, false, false, false, {}};
  free->texels.assign(texels, texels + shape.texels);
  s.usedMemory += bytes;
  return static_cast<int32_t>(free - s.textures.begin());
}

// The map must be of the texture's format and side and hold every level
// the texture holds.
int32_t sgl_set_texture(int32_t name, int32_t, int32_t, const SGLMAP* processed, int32_t) {
  if (!Accel().present) return Fail(SGL_ERR_ABSENT);
  CardTexture* texture = Texture(name);
  if (!texture) return Fail(SGL_ERR_UNKNOWN_TEXTURE);
  const Shape shape = ShapeOf(processed);
  if (!shape.ok || shape.kind != texture->kind || shape.side != texture->side || shape.first > texture->first)
    return Fail(SGL_ERR_BAD_ARGUMENT);
  const auto* texels = static_cast<const uint16_t*>(processed->Pixels) + LevelTexels(shape.side, 0, texture->first);
  std::copy_n(texels, texture->texels.size(), texture->texels.begin());
  texture->decoded = false;
  return SGL_OK;
}

int32_t sgl_delete_texture(int32_t name) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  CardTexture* texture = Texture(name);
  if (!texture) return Fail(SGL_ERR_UNKNOWN_TEXTURE);
  s.usedMemory -= texture->bytes;
  *texture = CardTexture{};
  return SGL_OK;
}

int32_t sgl_get_free_texture_mem() {
  return Accel().present ? static_cast<int32_t>(FreeBytes()) : Fail(SGL_ERR_ABSENT);
}

int32_t sgl_get_free_texture_mem_info(SGLTEXMEMINFO* info) {
  if (!Accel().present) return Fail(SGL_ERR_ABSENT);
  if (!info) return Fail(SGL_ERR_BAD_ARGUMENT);
  const uint32_t free = FreeBytes();
  *info = SGLTEXMEMINFO{Accel().cardMemory, {}, free, free};
  for (int32_t code = 0; code <= SGL_MAX_SIZE_CODE; ++code) {
    const int32_t side = SGL_MIN_MAP_SIDE << code;
    const size_t texels = static_cast<size_t>(side) * side;
    info->FreeTextures[0][code] = Fitting(free, texels);
    info->FreeTextures[1][code] = Fitting(free, 2 * texels);
    info->FreeTextures[2][code] = Fitting(free, 2 * LevelTexels(side, 0, Log2(side) + 1));
  }
  return SGL_OK;
}

namespace plat::accel {

// Each held level row after row as 0xTTRRGGBB: 5-bit channels widened by
// repeating their top bits, 4-bit ones times 17.
void DecodeTexture(CardTexture& texture) {
  const bool alpha = texture.kind == '3' || texture.kind == '4';
  texture.rgba.resize(texture.texels.size());
  texture.keyed = texture.translucent = false;
  size_t at = 0;
  for (int32_t level = 0; level < texture.levels; ++level) {
    const int32_t side = texture.side >> (texture.first + level);
    const uint16_t* in = texture.texels.data() + at;
    uint32_t* out = texture.rgba.data() + at;
    for (int32_t y = 0; y < side; ++y)
      for (int32_t x = 0; x < side; ++x) {
        const uint32_t t = in[Twiddled(x, y)];
        uint32_t word;
        if (alpha) {
          word = (t >> 12) * 17 << 24 | (t >> 8 & 15) * 17 << 16 | (t >> 4 & 15) * 17 << 8 | (t & 15) * 17;
        } else {
          auto widen = [](uint32_t c) { return c << 3 | c >> 2; };
          word = widen(t >> 10 & 31) << 16 | widen(t >> 5 & 31) << 8 | widen(t & 31);
        }
        const uint32_t trans = word >> 24;
        texture.keyed = texture.keyed || trans != 0;
        texture.translucent = texture.translucent || (trans != 0 && trans != 255);
        out[y * side + x] = word;
      }
    at += static_cast<size_t>(side) * side;
  }
  texture.decoded = true;
}

const uint32_t* DecodedLevel(const CardTexture& texture, int32_t level) {
  return texture.rgba.data() + LevelTexels(texture.side, texture.first, level);
}

}  // namespace plat::accel

namespace plat {

int32_t AccelReadTexel(int32_t name, int32_t level, int32_t x, int32_t y) {
  const CardTexture* texture = Texture(name);
  if (!texture || level < 0 || level >= texture->levels) return -1;
  const int32_t side = texture->side >> (texture->first + level);
  if (x < 0 || y < 0 || x >= side || y >= side) return -1;
  return texture->texels[LevelTexels(texture->side, texture->first, level) + Twiddled(x, y)];
}

int32_t AccelLiveBlocks() { return static_cast<int32_t>(Accel().blocks.size()); }

int32_t AccelCardTextures() {
  const auto& textures = Accel().textures;
  return static_cast<int32_t>(std::count_if(textures.begin(), textures.end(), [](const CardTexture& t) { return t.live; }));
}

}  // namespace plat
