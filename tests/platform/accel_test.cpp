// The accelerator stand-in: processed texture sizes, texel formats, levels
// and their twiddled places, the card's memory, the frame's regions and
// clear, and bad input refused with nothing changed.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"

namespace {

using Texels = std::vector<uint32_t>;

class Accel : public testing::Test {
 protected:
  void SetUp() override { plat::AccelReset(); }
  void TearDown() override { plat::AccelReset(); }

  // A processed map of the format from a square source of 32 << code.
  static SGLMAP Preprocess(int32_t format, int32_t code, const Texels& texels) {
    const int32_t side = 32 << code;
    const SGLMAP source{{'I', 'M', 'A', 'P'}, side, side, const_cast<uint32_t*>(texels.data())};
    SGLMAP processed{};
    EXPECT_EQ(sgl_preprocess_texture(format, code, 0, 0, &source, 0, &processed), 0);
    return processed;
  }
  static SGLMAP Flat(int32_t format, int32_t code, uint32_t texel = 0) {
    return Preprocess(format, code, Texels(static_cast<size_t>(32 << code) * (32 << code), texel));
  }
  static int32_t Create(const SGLMAP& map) { return sgl_create_texture(0, 0, 0, 0, &map, 0); }
  static std::pair<int32_t, int32_t> Errors() {
    std::pair<int32_t, int32_t> e;
    sgl_get_errors(&e.first, &e.second);
    return e;
  }
};

TEST_F(Accel, ProcessedSizesAndLevelBytes) {
  struct Row {
    int32_t format, code, bytes, levels;
  };
  for (const Row& r : {Row{0, 1, 8192, 0}, {1, 3, 174762, 8}, {4, 0, 2730, 5}, {3, 2, 32768, 0}}) {
    SGLMAP map = Flat(r.format, r.code);
    EXPECT_EQ(std::string(map.Id, 3), std::string("ZT") + char('0' + r.format));
    EXPECT_EQ(std::pair(sgl_texture_size(&map), int32_t{map.Id[3]}), std::pair(r.bytes, r.levels)) << r.format;
    EXPECT_EQ(sgl_free_pixels(&map), 0);
  }
  EXPECT_EQ(plat::AccelLiveBlocks(), 0);
}

TEST_F(Accel, TexelFormatsAndLevels) {
  struct Row {
    int32_t format;
    uint32_t texel;
    int32_t expected;
  };
  for (const Row& r : {Row{0, 0x000000FF, 0x7C00}, {0, 0x00FFFFFF, 0x7FFF}, {1, 0x00FF0000, 0x001F},
                       {3, 0xFF000000, 0xF000}, {4, 0x80F0E0D0, 0x8DEF}}) {
    SGLMAP map = Flat(r.format, 0, r.texel);
    const int32_t name = Create(map);
    EXPECT_EQ(plat::AccelReadTexel(name, 0, 31, 7), r.expected) << r.format;
    const int32_t smallest = r.format == 1 || r.format == 4 ? 5 : 0;
    EXPECT_EQ(plat::AccelReadTexel(name, smallest, 0, 0), r.expected) << r.format;
    sgl_free_pixels(&map);
  }
  // Columns of red 248 and 0: every smaller level is their average.
  Texels stripes(64 * 64);
  for (size_t i = 0; i < stripes.size(); i += 2) stripes[i] = 0xF8;
  SGLMAP map = Preprocess(1, 1, stripes);
  const int32_t name = Create(map);
  EXPECT_EQ(plat::AccelReadTexel(name, 0, 2, 5), 0x7C00);
  EXPECT_EQ(plat::AccelReadTexel(name, 0, 3, 5), 0);
  EXPECT_EQ(plat::AccelReadTexel(name, 1, 3, 5), 0x3C00);  // 124 of 248
  EXPECT_EQ(plat::AccelReadTexel(name, 6, 0, 0), 0x3C00);
  EXPECT_EQ(plat::AccelReadTexel(name, 7, 0, 0), -1);
  sgl_free_pixels(&map);
}

TEST_F(Accel, TexelsLieTwiddled) {
  Texels texels(32 * 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) texels[y * 32 + x] = static_cast<uint32_t>((x << 3) | (y << 11));
  SGLMAP map = Preprocess(0, 0, texels);
  const auto* block = static_cast<const uint16_t*>(map.Pixels);
  for (const auto& [x, y, index] : {std::tuple{1, 0, 2}, {0, 1, 1}, {2, 3, 13}, {31, 31, 1023}})
    EXPECT_EQ(block[index], (x << 10) | (y << 5)) << x << "," << y;
  sgl_free_pixels(&map);
}

TEST_F(Accel, CardMemoryFillsAndFrees) {
  plat::AccelSetCardMemory(65536);
  SGLMAP map = Flat(0, 1);
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(Create(map), i);
  EXPECT_EQ(Create(map), -243);
  EXPECT_EQ(Errors(), std::pair(-243, -243));
  EXPECT_EQ(Errors(), std::pair(0, 0));
  EXPECT_EQ(sgl_delete_texture(5), 0);
  EXPECT_EQ(sgl_delete_texture(2), 0);
  EXPECT_EQ(Create(map), 2);  // the lowest free name
  EXPECT_EQ(sgl_get_free_texture_mem(), 8192);

  plat::AccelSetCardMemory(65536 - 8192 + 24576);
  SGLTEXMEMINFO info{};
  EXPECT_EQ(sgl_get_free_texture_mem_info(&info), 0);
  EXPECT_EQ((std::vector<int32_t>{info.FreeTextures[0][1], info.FreeTextures[1][1], info.FreeTextures[2][1]}),
            (std::vector<int32_t>{6, 3, 2}));
  EXPECT_EQ(std::pair(info.FreeMemory, info.LargestBlock), std::pair(24576u, 24576u));

  // One level less: the texture starts at level 1 and costs only its levels.
  Texels stripes(64 * 64);
  for (size_t i = 0; i < stripes.size(); i += 2) stripes[i] = 0xF8;
  SGLMAP levels = Preprocess(1, 1, stripes);
  SGLMAP reduced = levels;
  --reduced.Id[3];
  EXPECT_EQ(sgl_texture_size(&reduced), 2730);
  const int32_t name = Create(reduced);
  EXPECT_EQ(sgl_get_free_texture_mem(), 24576 - 2730);
  EXPECT_EQ(plat::AccelReadTexel(name, 0, 0, 0), 0x3C00);
  EXPECT_EQ(sgl_set_texture(name, 0, 0, &levels, 0), 0);  // the whole map updates it
  sgl_free_pixels(&levels);
  sgl_free_pixels(&map);
}

TEST_F(Accel, BlocksMoveAndUploadAgain) {
  Texels texels(64 * 64);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint32_t>(i * 2654435761u);
  SGLMAP map = Preprocess(4, 1, texels);
  std::vector<uint16_t> copy(static_cast<size_t>(sgl_texture_size(&map)) / 2);
  std::memcpy(copy.data(), map.Pixels, copy.size() * 2);
  SGLMAP moved = map;
  moved.Pixels = copy.data();
  const int32_t a = Create(map), b = Create(moved);
  for (int32_t level = 0; level < 7; ++level)
    for (int32_t i = 0; i < (64 >> level); ++i)
      ASSERT_EQ(plat::AccelReadTexel(a, level, i, (i * 7) % (64 >> level)),
                plat::AccelReadTexel(b, level, i, (i * 7) % (64 >> level)));
  copy[13] = 0x1234;  // texel (2, 3) of level 0
  EXPECT_EQ(sgl_set_texture(b, 0, 0, &moved, 0), 0);
  EXPECT_EQ(plat::AccelReadTexel(b, 0, 2, 3), 0x1234);
  sgl_free_pixels(&map);
}

// A device of 37 x 5 drawn from row 1 and a column offset into rows of
// 128 bytes, the rest a sentinel.
struct Target {
  static constexpr uint16_t kPitch = 128;
  static inline std::vector<uint8_t> memory;
  static inline SGLRENDERTARGET answer{};
  static inline int32_t offset = 0, calls = 0;
  static inline uint32_t statusAtCall = 0;
  static inline uint32_t* status = nullptr;
  static int32_t Callback(SGLRENDERTARGET* t) {
    ++calls;
    statusAtCall = *status;
    *t = answer;
    return 0;
  }
  static void Answer(uint8_t bpp, int32_t column, uint16_t pitch = kPitch) {
    memory.assign(kPitch * 7, 0xAA);
    offset = column;
    answer = {memory.data() + kPitch + column, pitch, bpp};
  }
};

TEST_F(Accel, FramesHaveRegionsAndClearTheirArea) {
  SGLCONTEXT c{};
  ASSERT_EQ(sgl_create_screen_device(0, 640, 400, 0, 0), 0);
  ASSERT_EQ(sgl_use_address_mode(Target::Callback, &Target::status), 0);
  ASSERT_EQ(sgltri_startofframe(&c), 0);
  EXPECT_EQ((std::vector<int32_t>{c.FirstXRegion, c.LastXRegion, c.FirstYRegion, c.LastYRegion}),
            (std::vector<int32_t>{0, 19, 0, 12}));
  EXPECT_EQ(std::pair(c.XRegionsPerPixel, c.YRegionsPerPixel), std::pair(0.03125f, 0.03125f));
  EXPECT_EQ(sgl_delete_device(0), 0);

  ASSERT_EQ(sgl_create_screen_device(0, 37, 5, 0, 0), 1);
  c.BackRed = 0.8f, c.BackGreen = 0.9f, c.BackBlue = 1.0f;
  struct Row {
    uint8_t bpp;
    int32_t column;  // an odd one makes the 16-bit rows unaligned
    std::vector<uint8_t> pixel;
  };
  for (const Row& r : {Row{15, 4, {0x9F, 0x67}}, {16, 3, {0x3F, 0xCF}}, {24, 3, {0xFF, 0xE5, 0xCC}}}) {
    Target::Answer(r.bpp, r.column);
    Target::calls = 0;
    ASSERT_EQ(sgltri_startofframe(&c), 0);
    EXPECT_EQ(sgltri_render(&c), 0);
    EXPECT_EQ(std::pair(Target::calls, Target::statusAtCall & 1), std::pair(1, 0u));
    EXPECT_EQ(*Target::status & 1, 1u);
    std::vector<uint8_t> expected(Target::kPitch * 7, 0xAA);
    for (size_t y = 1; y < 6; ++y)
      for (size_t x = 0; x < 37 * r.pixel.size(); ++x)
        expected[y * Target::kPitch + r.column + x] = r.pixel[x % r.pixel.size()];
    EXPECT_EQ(Target::memory, expected) << int{r.bpp};
  }
  EXPECT_EQ(plat::AccelFrames(), 3);
}

// A render with nowhere sound to go writes nothing, records its error and
// still ends the frame.
TEST_F(Accel, RendersRefuseBadTargets) {
  SGLCONTEXT c{};
  ASSERT_EQ(sgl_create_screen_device(0, 37, 5, 0, 0), 0);
  sgltri_startofframe(&c);
  EXPECT_EQ(sgltri_render(&c), SGL_ERR_NO_DEVICE);  // no callback
  EXPECT_EQ(Errors(), std::pair(-2, -2));
  ASSERT_EQ(sgl_use_address_mode(Target::Callback, &Target::status), 0);
  const std::function<void()> answers[] = {[] { Target::Answer(16, 0), Target::answer.FirstPixel = nullptr; },
                                           [] { Target::Answer(32, 0); }, [] { Target::Answer(8, 0); },
                                           [] { Target::Answer(16, 0, 73); }, [] { Target::Answer(24, 0, 110); }};
  for (const auto& answer : answers) {
    answer();
    sgltri_startofframe(&c);
    EXPECT_EQ(sgltri_render(&c), SGL_ERR_BAD_ARGUMENT);
    EXPECT_EQ(Errors(), std::pair(-1, -1));
    EXPECT_EQ(Target::memory, std::vector<uint8_t>(Target::kPitch * 7, 0xAA));
    EXPECT_EQ(sgltri_render(&c), SGL_ERR_NOT_IN_FRAME);
    Errors();
  }
  EXPECT_EQ(plat::AccelFrames(), 0);
}

TEST_F(Accel, TheStatusBitCanBeWithheld) {
  SGLCONTEXT c{};
  Target::Answer(16, 0);
  sgl_create_screen_device(0, 37, 5, 0, 0);
  sgl_use_address_mode(Target::Callback, &Target::status);
  plat::AccelWithholdStatus(true);
  sgltri_startofframe(&c);
  EXPECT_EQ(sgltri_render(&c), 0);
  EXPECT_EQ(*Target::status & 1, 0u);
}

TEST_F(Accel, AnAbsentLibraryAnswersNothing) {
  plat::AccelSetPresent(false);
  uint32_t* status = nullptr;
  EXPECT_EQ(sgl_use_address_mode(Target::Callback, &status), SGL_ERR_ABSENT);
  EXPECT_EQ(status, nullptr);
  EXPECT_EQ(sgl_create_screen_device(0, 640, 480, 0, 0), SGL_ERR_ABSENT);
  EXPECT_EQ(sgl_get_versions(), nullptr);
  EXPECT_EQ(sgl_get_win_versions(), nullptr);
}

TEST_F(Accel, DrawCallsNeedAFrame) {
  SGLCONTEXT c{};
  const TSGLVERTEX v[4]{};
  const uint16_t tri[1][4]{{0, 1, 2, 0}};
  const uint32_t quad[1][4]{{0, 1, 2, 3}};
  const int32_t volume[1][3]{{0, 1, 2}};
  const float box[4]{0, 0, 10, 10};
  const std::function<int32_t()> calls[] = {[&] { return sgltri_triangles(&c, 1, tri, v); },
                                            [&] { return sgltri_quads(&c, 1, quad, v); },
                                            [&] { return sgltri_shadow(&c, 1, volume, v, box); }};
  sgl_create_screen_device(0, 64, 64, 1, 0);
  for (const auto& call : calls) EXPECT_EQ(call(), SGL_ERR_NOT_IN_FRAME);
  sgltri_startofframe(&c);
  for (const auto& call : calls) EXPECT_EQ(call(), 0);
  EXPECT_EQ(sgltri_shadow(&c, 1, volume, v, nullptr), SGL_ERR_BAD_ARGUMENT);
  EXPECT_EQ(plat::AccelDrawCalls(), 3);
}

// Each bad call fails with its code, records it, and changes nothing.
TEST_F(Accel, BadInputIsRefusedWithNothingChanged) {
  SGLMAP good = Flat(1, 1);
  const int32_t name = Create(good);
  sgl_delete_texture(Create(good));
  ASSERT_EQ(sgl_create_screen_device(0, 16, 16, 0, 0), 0);
  Texels texels(64 * 64);
  SGLMAP processed{{'x', 'x', 'x', 'x'}, 7, 7, nullptr};
  const SGLMAP unchanged = processed;
  auto preprocess = [&](const char* id, int32_t x, int32_t y, int32_t format, int32_t code, bool texelsToo) {
    const SGLMAP source{{id[0], id[1], id[2], id[3]}, x, y, texelsToo ? texels.data() : nullptr};
    return sgl_preprocess_texture(format, code, 0, 0, &source, 0, &processed);
  };
  auto mapWith = [&](int byte, char value) {
    SGLMAP m = good;
    m.Id[byte] = value;
    return m;
  };
  SGLMAP noTexels = good;
  noTexels.Pixels = nullptr;
  const SGLMAP badMaps[] = {mapWith(0, 'I'), mapWith(2, '2'), mapWith(3, 7), noTexels};
  SGLCONTEXT context{};
  const std::vector<std::pair<int32_t, std::function<int32_t()>>> rows = {
      {-1, [&] { return preprocess("IMAX", 64, 64, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 32, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 48, 48, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 0, 0, true); }},
      {-1, [&] { return preprocess("IMAP", 512, 512, 0, 4, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 2, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 0, 1, false); }},
      {-1, [&] { return sgl_preprocess_texture(0, 1, 0, 0, nullptr, 0, &processed); }},
      {-1, [&] { return sgl_texture_size(&badMaps[0]); }},
      {-1, [&] { return Create(badMaps[1]); }},
      {-1, [&] { return sgl_set_texture(name, 0, 0, &badMaps[2], 0); }},
      {-1, [&] { return sgl_texture_size(&badMaps[3]); }},
      {-1, [&] { return sgl_free_pixels(&processed); }},
      {-3, [&] { return sgl_set_texture(9, 0, 0, &good, 0); }},
      {-3, [&] { return sgl_delete_texture(1); }},  // deleted already
      {-1, [&] { return sgl_create_screen_device(0, 0, 10, 0, 0); }},
      {-1, [&] { return sgl_create_screen_device(0, 10, 2049, 0, 0); }},
      {-1, [&] { return sgl_create_screen_device(0, 10, 10, 2, 0); }},
      {-5, [&] { return sgl_create_screen_device(0, 10, 10, 0, 0); }},
      {-1, [&] { return sgl_delete_device(4); }},
      {-4, [&] { return sgltri_render(&context); }},
  };
  const int32_t free = sgl_get_free_texture_mem();
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].second(), rows[i].first) << "row " << i;
    EXPECT_EQ(Errors(), std::pair(rows[i].first, rows[i].first)) << "row " << i;
    EXPECT_EQ(std::memcmp(&processed, &unchanged, sizeof processed), 0) << "row " << i;
    EXPECT_EQ(std::tuple(plat::AccelLiveBlocks(), plat::AccelCardTextures(), sgl_get_free_texture_mem()),
              std::tuple(1, 1, free))
        << "row " << i;
  }
  sgl_free_pixels(&good);
}

}  // namespace
