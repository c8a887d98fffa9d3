// The accelerator stand-in: processed texture sizes, texel formats and
// levels, the card's memory, moved blocks, the frame's regions and clear,
// and bad input refused with nothing changed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"

namespace {

using Texels = std::vector<uint32_t>;

class Accel : public testing::Test {
 protected:
  void SetUp() override { plat::AccelReset(); }
  void TearDown() override { plat::AccelReset(); }

  // A processed map of the format from a square source of 32 << code:
  // every texel the same, or columns of red 248 and 0 by x's parity.
  static SGLMAP Make(int32_t format, int32_t code, uint32_t texel, bool stripes = false) {
    const int32_t side = 32 << code;
    Texels texels(static_cast<size_t>(side) * side, texel);
    for (size_t i = 0; stripes && i < texels.size(); ++i) texels[i] = i % 2 ? 0 : 0xF8;
    const SGLMAP source{{'I', 'M', 'A', 'P'}, side, side, texels.data()};
    SGLMAP processed{};
    EXPECT_EQ(sgl_preprocess_texture(format, code, 0, 0, &source, 0, &processed), 0);
    return processed;
  }
  static int32_t Create(const SGLMAP& map) { return sgl_create_texture(0, 0, 0, 0, &map, 0); }
  static std::pair<int32_t, int32_t> Errors() {
    std::pair<int32_t, int32_t> e;
    sgl_get_errors(&e.first, &e.second);
    return e;
  }
};

TEST_F(Accel, SizesFormatsAndLevels) {
  struct Row {
    int32_t format, code;
    uint32_t texel;
    int32_t bytes, levels, expected;
  };
  for (const Row& r : {Row{0, 1, 0x000000FF, 8192, 0, 0x7C00}, {0, 0, 0x00FFFFFF, 2048, 0, 0x7FFF},
                       {1, 3, 0x00FF0000, 174762, 8, 0x001F}, {3, 2, 0xFF000000, 32768, 0, 0xF000},
                       {4, 0, 0x80F0E0D0, 2730, 5, 0x8DEF}}) {
    SGLMAP map = Make(r.format, r.code, r.texel);
    EXPECT_EQ(std::string(map.Id, 3), std::string("ZT") + char('0' + r.format));
    EXPECT_EQ(std::pair(sgl_texture_size(&map), int32_t{map.Id[3]}), std::pair(r.bytes, r.levels)) << r.format;
    const int32_t name = Create(map);
    EXPECT_EQ(plat::AccelReadTexel(name, 0, 31, 7), r.expected) << r.format;
    EXPECT_EQ(plat::AccelReadTexel(name, r.levels, 0, 0), r.expected) << r.format;
    EXPECT_EQ(sgl_free_pixels(&map), 0);
  }
  EXPECT_EQ(plat::AccelLiveBlocks(), 0);
  // Each smaller level is the 2 x 2 average of the one above.
  SGLMAP map = Make(1, 1, 0, true);
  const int32_t name = Create(map);
  const std::tuple<int32_t, int32_t, int32_t> texels[] = {{0, 2, 0x7C00}, {0, 3, 0}, {1, 3, 0x3C00}, {6, 0, 0x3C00}};
  for (const auto& [level, x, texel] : texels) EXPECT_EQ(plat::AccelReadTexel(name, level, x, 5 >> level), texel);
  EXPECT_EQ(plat::AccelReadTexel(name, 7, 0, 0), -1);
  sgl_free_pixels(&map);
}

TEST_F(Accel, TheCardsMemoryComesFromTheEnvironment) {
  const struct {
    const char* value;
    uint32_t bytes;
  } rows[] = {{nullptr, 4u << 20}, {"1", 1u << 20},      {"256", 256u << 20}, {"0.5", 512u << 10},
              {"0.25", 256u << 10}, {"0.9", 921u << 10}, {"0.2", 4u << 20},  {"257", 4u << 20},
              {"nan", 4u << 20},    {"1e400", 4u << 20}, {"2x", 4u << 20},   {"", 4u << 20}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.value ? r.value : "(unset)");
    if (r.value)
      setenv("ZENTROVA_ACCEL_MB", r.value, 1);
    else
      unsetenv("ZENTROVA_ACCEL_MB");
    plat::AccelReset();
    EXPECT_EQ(plat::AccelCardMemory(), r.bytes);
  }
  unsetenv("ZENTROVA_ACCEL_MB");
}

TEST_F(Accel, CardMemoryFillsAndFrees) {
  plat::AccelSetCardMemory(65536);
  SGLMAP map = Make(0, 1, 0);
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(Create(map), i);
  EXPECT_EQ(Create(map), -243);
  EXPECT_EQ(Errors(), std::pair(-243, -243));
  EXPECT_EQ(Errors(), std::pair(0, 0));
  EXPECT_EQ(sgl_delete_texture(5) + sgl_delete_texture(2), 0);
  EXPECT_EQ(Create(map), 2);  // the lowest free name
  EXPECT_EQ(sgl_get_free_texture_mem(), 8192);

  plat::AccelSetCardMemory(57344 + 24576);
  SGLTEXMEMINFO info{};
  EXPECT_EQ(sgl_get_free_texture_mem_info(&info), 0);
  EXPECT_EQ((std::vector<int32_t>{info.FreeTextures[0][1], info.FreeTextures[1][1], info.FreeTextures[2][1]}),
            (std::vector<int32_t>{6, 3, 2}));
  EXPECT_EQ(std::pair(info.FreeMemory, info.LargestBlock), std::pair(24576u, 24576u));

  // One level less: the texture starts at level 1 and costs only its levels.
  SGLMAP levels = Make(1, 1, 0, true), reduced = levels;
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
  SGLMAP map = Make(4, 1, 0x12345678);
  static_cast<uint16_t*>(map.Pixels)[777] = 0x4321;
  std::vector<uint16_t> copy(static_cast<size_t>(sgl_texture_size(&map)) / 2);
  std::memcpy(copy.data(), map.Pixels, copy.size() * 2);
  SGLMAP moved = map;
  moved.Pixels = copy.data();
  const int32_t a = Create(map), b = Create(moved);
  for (int32_t level = 0; level < 7; ++level)
    for (int32_t i = 0; i < (64 >> level); ++i)
      ASSERT_EQ(plat::AccelReadTexel(a, level, i, (i * 7) % (64 >> level)),
                plat::AccelReadTexel(b, level, i, (i * 7) % (64 >> level)));
  copy[13] = 0x1234;  // texel (2, 3) of level 0: x's bits go to the odd bits, y's to the even
  EXPECT_EQ(sgl_set_texture(b, 0, 0, &moved, 0), 0);
  EXPECT_EQ(plat::AccelReadTexel(b, 0, 2, 3), 0x1234);
  sgl_free_pixels(&map);
}

// A device of 37 x 5 drawn from row 1 and a column offset into rows of 128
// bytes, the rest a sentinel.
struct Target {
  static constexpr uint16_t kPitch = 128;
  static inline std::vector<uint8_t> memory;
  static inline SGLRENDERTARGET answer{};
  static inline int32_t calls = 0;
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
    EXPECT_EQ(std::tuple(Target::calls, Target::statusAtCall & 1, *Target::status & 1), std::tuple(1, 0u, 1u));
    std::vector<uint8_t> expected(Target::kPitch * 7, 0xAA);
    for (size_t y = 1; y < 6; ++y)
      for (size_t x = 0; x < 37 * r.pixel.size(); ++x)
        expected[y * Target::kPitch + r.column + x] = r.pixel[x % r.pixel.size()];
    EXPECT_EQ(Target::memory, expected) << int{r.bpp};
  }
  EXPECT_EQ(plat::AccelFrames(), 3);
  TSGLVERTEX v[4]{};
  for (TSGLVERTEX& vertex : v) vertex.InvW = 1.0f;  // drawable, of no area
  const uint32_t quad[1][4]{};
  sgltri_startofframe(&c);
  EXPECT_EQ(sgltri_quads(&c, 1, quad, v) + sgltri_quads(&c, 1, quad, v), 0);
  EXPECT_EQ(plat::AccelDrawCalls(), 2);
}

// Each bad call fails with its code, records it, and changes nothing.
TEST_F(Accel, BadInputIsRefusedWithNothingChanged) {
  SGLMAP good = Make(1, 1, 0);
  const int32_t name = Create(good);
  sgl_delete_texture(Create(good));
  ASSERT_EQ(sgl_create_screen_device(0, 37, 5, 0, 0), 0);
  SGLCONTEXT context{};
  const TSGLVERTEX v[4]{};
  const uint16_t tri[1][4]{};
  const uint32_t quad[1][4]{};
  const int32_t volume[1][3]{};
  const float box[4]{};
  Texels texels(64 * 64);
  SGLMAP processed{{'x', 'x', 'x', 'x'}, 7, 7, nullptr};
  const SGLMAP unchanged = processed;
  auto preprocess = [&](const char* id, int32_t x, int32_t y, int32_t format, int32_t code, bool texelsToo) {
    const SGLMAP source{{id[0], id[1], id[2], id[3]}, x, y, texelsToo ? texels.data() : nullptr};
    return sgl_preprocess_texture(format, code, 0, 0, &source, 0, &processed);
  };
  auto badMap = [&](int byte, char value) {
    SGLMAP m = good;
    if (byte < 4) m.Id[byte] = value;
    else m.Pixels = nullptr;
    return m;
  };
  auto sizeOf = [](SGLMAP m) { return sgl_texture_size(&m); };
  auto set = [&](SGLMAP m) { return sgl_set_texture(name, 0, 0, &m, 0); };
  Target::memory.clear();
  auto render = [&](uint8_t bpp, uint16_t pitch, bool null) {
    Target::Answer(bpp, 0, pitch);
    if (null) Target::answer.FirstPixel = nullptr;
    sgltri_startofframe(&context);
    return sgltri_render(&context);
  };
  const std::vector<std::pair<int32_t, std::function<int32_t()>>> rows = {
      {-1, [&] { return preprocess("IMAX", 64, 64, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 32, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 48, 48, 0, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 0, 0, true); }},
      {-1, [&] { return preprocess("IMAP", 512, 512, 0, 4, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 2, 1, true); }},
      {-1, [&] { return preprocess("IMAP", 64, 64, 0, 1, false); }},
      {-1, [&] { return sgl_preprocess_texture(0, 1, 0, 0, nullptr, 0, &processed); }},
      {-1, [&] { return sizeOf(badMap(0, 'I')); }},
      {-1, [&] { return Create(badMap(2, '2')); }},
      {-1, [&] { return set(badMap(3, 7)); }},      // 7 levels below 64 x 64
      {-1, [&] { return set(badMap(3, 5)); }},      // a level fewer than the texture holds
      {-1, [&] { return Create(badMap(2, '0')); }},  // format 0 with levels
      {-1, [&] { return sizeOf(badMap(4, 0)); }},
      {-1, [&] { return sgl_free_pixels(&processed); }},
      {-3, [&] { return sgl_set_texture(9, 0, 0, &good, 0); }},
      {-3, [&] { return sgl_delete_texture(1); }},  // deleted already
      {-1, [&] { return sgl_create_screen_device(0, 0, 10, 0, 0); }},
      {-1, [&] { return sgl_create_screen_device(0, 10, 2049, 0, 0); }},
      {-1, [&] { return sgl_create_screen_device(0, 10, 10, 2, 0); }},
      {-5, [&] { return sgl_create_screen_device(0, 10, 10, 0, 0); }},
      {-1, [&] { return sgl_delete_device(4); }},
      {-4, [&] { return sgltri_render(&context); }},
      {-4, [&] { return sgltri_triangles(&context, 1, tri, v); }},
      {-4, [&] { return sgltri_quads(&context, 1, quad, v); }},
      {-4, [&] { return sgltri_shadow(&context, 1, volume, v, box); }},
      {-2, [&] { return render(16, 128, false); }},  // no callback yet
      {-1, [&] { return sgl_use_address_mode(Target::Callback, &Target::status) + render(16, 128, true); }},
      {-1, [&] { return render(32, 128, false); }},
      {-1, [&] { return render(16, 73, false); }},
      {-1, [&] { return render(24, 110, false); }},
  };
  const int32_t free = sgl_get_free_texture_mem();
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].second(), rows[i].first) << "row " << i;
    EXPECT_EQ(Errors(), std::pair(rows[i].first, rows[i].first)) << "row " << i;
    EXPECT_EQ(std::memcmp(&processed, &unchanged, sizeof processed), 0) << "row " << i;
    EXPECT_EQ(std::tuple(plat::AccelLiveBlocks(), plat::AccelCardTextures(), sgl_get_free_texture_mem(),
                         plat::AccelFrames(), Target::memory.empty() || Target::memory[128] == 0xAA),
              std::tuple(1, 1, free, 0, true))
        << "row " << i;
  }
  sgl_free_pixels(&good);
}

}  // namespace
