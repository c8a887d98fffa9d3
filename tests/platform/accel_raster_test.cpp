// The accelerator stand-in's drawing: golden pictures of its rules, a
// plain reference rasteriser, exact coverage of shared edges, thread
// counts, recording, and bad input, each at 1, 2, 3, 8 and 64 threads.
// ZENTROVA_UPDATE_GOLDEN=1 rewrites the golden pictures
// (tests/platform/golden/*.tga) instead of comparing.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"

namespace {

using Image = std::vector<uint8_t>;  // 24-bit rows, blue, green, red

TSGLVERTEX V(float x, float y, float invW, uint32_t colour, uint32_t specular = 0, float u = 0, float v = 0) {
  return {x, y, 0.5f, invW, colour, specular, u, v};
}

// A picture of the screen: device w x h, drawn into memory with a margin
// of sentinel bytes that nothing may touch.
class Raster : public testing::TestWithParam<int32_t> {
 protected:
  static inline std::vector<uint8_t> memory;
  static inline SGLRENDERTARGET answer{};
  static constexpr size_t kMargin = 64;

  SGLCONTEXT c{};
  int32_t w = 0, h = 0;
  uint32_t* status = nullptr;

  void SetUp() override { plat::AccelReset(); }
  void TearDown() override { plat::AccelReset(); }

  static int32_t Callback(SGLRENDERTARGET* t) {
    *t = answer;
    return 0;
  }
  // The device, drawn by the test's count of threads.
  void Open(int32_t width, int32_t height) {
    w = width, h = height;
    plat::AccelSetThreads(GetParam());
    ASSERT_GE(sgl_create_screen_device(0, w, h, 0, 0), 0);
    ASSERT_EQ(sgl_use_address_mode(Callback, &status), 0);
    c.Flags = 0x406;
    c.ShadeFactor = 0.5f;
  }
  void Start() { ASSERT_EQ(sgltri_startofframe(&c), 0); }
  int32_t Triangles(std::vector<TSGLVERTEX> v) {
    std::vector<std::array<uint16_t, 4>> faces;
    for (uint16_t i = 0; size_t{i} + 2 < v.size(); i += 3) faces.push_back({i, uint16_t(i + 1), uint16_t(i + 2), 0});
    return sgltri_triangles(&c, static_cast<int32_t>(faces.size()), reinterpret_cast<const uint16_t(*)[4]>(faces.data()), v.data());
  }
  int32_t Quad(std::array<TSGLVERTEX, 4> v) {
    const uint32_t quad[1][4] = {{0, 1, 2, 3}};
    return sgltri_quads(&c, 1, quad, v.data());
  }
  // A rectangle of one colour and 1/w, with texture coordinates 0..1.
  int32_t Rect(float x0, float y0, float x1, float y1, float invW, uint32_t colour) {
    return Quad({V(x0, y0, invW, colour, 0, 0, 0), V(x1, y0, invW, colour, 0, 1, 0), V(x1, y1, invW, colour, 0, 1, 1),
                 V(x0, y1, invW, colour, 0, 0, 1)});
  }
  // Renders at the depth and gives the picture as 24-bit rows.
  Image Render(uint8_t bpp = 24, int32_t expected = 0) {
    const int32_t bytes = bpp == 24 ? 3 : 2;
    const uint16_t pitch = static_cast<uint16_t>(w * bytes + 5);
    memory.assign(kMargin * 2 + size_t{pitch} * h, 0xA5);
    answer = {memory.data() + kMargin, pitch, bpp};
    EXPECT_EQ(sgltri_render(&c), expected);
    Image out(size_t(w) * h * 3);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint8_t* p = answer.FirstPixel + size_t(y) * pitch + size_t(x) * bytes;
        uint8_t* o = &out[(size_t(y) * w + x) * 3];
        const uint32_t v = p[0] | p[1] << 8;
        if (bpp == 24) o[0] = p[0], o[1] = p[1], o[2] = p[2];
        else if (bpp == 16) o[0] = uint8_t(v << 3), o[1] = uint8_t(v >> 5 << 2), o[2] = uint8_t(v >> 11 << 3);
        else o[0] = uint8_t(v << 3), o[1] = uint8_t(v >> 5 << 3), o[2] = uint8_t(v >> 10 << 3);
      }
    // Nothing outside the device's rows and width.
    for (size_t i = 0; i < memory.size(); ++i) {
      const size_t at = i - kMargin;
      const bool inside = i >= kMargin && at / pitch < size_t(h) && at % pitch < size_t(w) * bytes;
      if (!inside && memory[i] != 0xA5) {
        ADD_FAILURE() << "byte written outside the device at " << i;
        break;
      }
    }
    return out;
  }
  static uint32_t Pixel(const Image& image, int32_t width, int32_t x, int32_t y) {
    const uint8_t* p = &image[(size_t(y) * width + x) * 3];
    return uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
  }
  // A card texture from 32-bit texels (red in the low byte, transparency on top).
  static int32_t Texture(int32_t format, int32_t side, const std::function<uint32_t(int32_t, int32_t)>& texel) {
    std::vector<uint32_t> texels(size_t(side) * side);
    for (int32_t y = 0; y < side; ++y)
      for (int32_t x = 0; x < side; ++x) texels[size_t(y) * side + x] = texel(x, y);
    const SGLMAP source{{'I', 'M', 'A', 'P'}, side, side, texels.data()};
    SGLMAP processed{};
    EXPECT_EQ(sgl_preprocess_texture(format, side == 32 ? 0 : side == 64 ? 1 : 2, 0, 0, &source, 0, &processed), 0);
    const int32_t name = sgl_create_texture(0, 0, 0, 0, &processed, 0);
    sgl_free_pixels(&processed);
    return name;
  }
  void ExpectGolden(const std::string& name, const Image& image) {
    const std::string path = std::string(ZENTROVA_SOURCE_DIR) + "/tests/platform/golden/" + name + ".tga";
    std::string header(18, '\0');
    header[2] = 2;
    header[12] = char(w), header[13] = char(w >> 8), header[14] = char(h), header[15] = char(h >> 8);
    header[16] = 24, header[17] = 0x20;  // top row first
    const std::string tga = header + std::string(image.begin(), image.end());
    const char* update = std::getenv("ZENTROVA_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
      std::ofstream(path, std::ios::binary) << tga;
      return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(stored == tga) << name << ": differs from " << path;
  }
};

TEST_P(Raster, GoldenDepthTextureColourAndKey) {
  Open(64, 48);
  Start();
  // Red is called first with the far depth term, green second; 1/w decides:
  // green (2) is nearer where red's 1/w (1 left, 3 right) is below 2.
  c.TextureName = -1;
  TSGLVERTEX red[3] = {V(4, 4, 1, 0xFF0000), V(60, 4, 3, 0xFF0000), V(32, 44, 2, 0xFF0000)};
  for (TSGLVERTEX& v : red) v.Depth = 0.9f;
  Triangles({red, red + 3});
  // On equal 1/w the earlier call wins: the translucent bar (before green)
  // shows over green, the blue triangle (after it) does not.
  Rect(20, 14, 44, 18, 2, 0x80FFFFFF);
  Triangles({V(4, 24, 2, 0x00FF00), V(60, 24, 2, 0x00FF00), V(32, 0, 2, 0x00FF00)});
  Triangles({V(24, 8, 2, 0x0000FF), V(60, 8, 2, 0x0000FF), V(60, 30, 2, 0x0000FF)});
  ExpectGolden("depth", Render());

  // A texture of 8 x 8 checks with red growing across, repeated 3.5 times
  // from u = -1.75 on a floor whose far edge is at the top.
  const int32_t checks = Texture(0, 32, [](int32_t x, int32_t y) { return uint32_t(x * 8 | ((x / 8 + y / 8) % 2 ? 0xFF8000 : 0)); });
  Start();
  c.TextureName = checks;
  Quad({V(18, 8, 0.5f, 0xFFFFFF, 0, -1.75f, 0), V(46, 8, 0.5f, 0xFFFFFF, 0, 1.75f, 0),
        V(60, 40, 1, 0xFFFFFF, 0, 1.75f, 1), V(4, 40, 1, 0xFFFFFF, 0, -1.75f, 1)});
  ExpectGolden("texture", Render());

  // A colour ramp across with a fog ramp down, saturating at the corner.
  Start();
  c.TextureName = -1;
  Quad({V(0, 0, 1, 0x000000, 0), V(64, 0, 1, 0xFF8040, 0), V(64, 48, 1, 0xFF8040, 0xC0C0C0), V(0, 48, 1, 0, 0xC0C0C0)});
  ExpectGolden("colour", Render());

  // A keyed texture (a transparent ring) before a blue wall.
  const int32_t keyed = Texture(3, 32, [](int32_t x, int32_t y) {
    const int32_t d = (x - 16) * (x - 16) + (y - 16) * (y - 16);
    return d > 60 && d < 160 ? 0xFF000000u : 0x0000FFFFu;
  });
  Start();
  c.TextureName = -1;
  Rect(0, 0, 64, 48, 1, 0x0000FF);
  c.TextureName = keyed;
  Rect(8, 4, 56, 44, 2, 0xFFFFFF);
  ExpectGolden("keyed", Render());
}

TEST_P(Raster, GoldenTranslucencyAndInset) {
  Open(64, 48);
  Start();
  // Called 900, 100, 500: drawn 100 (red), 500 (green), 900 (blue); the
  // magenta bar, also 500 but called first, goes under green.
  c.TextureName = -1;
  Rect(0, 0, 64, 48, 1, 0x404040);
  c.SortDepth = 500;
  Rect(40, 20, 62, 44, 2, 0x80FF00FF);
  const std::pair<float, uint32_t> quads[] = {{900, 0x800000FF}, {100, 0x80FF0000}, {500, 0x8000FF00}};
  for (int i = 0; i < 3; ++i) {
    c.SortDepth = quads[i].first;
    Rect(8.0f + 12 * i, 6.0f + 8 * i, 36.0f + 12 * i, 30.0f + 8 * i, 2, quads[i].second);
  }
  ExpectGolden("translucent", Render());

  // Smoke: an alpha texture of colour 0xA0A0A0 coloured 0x80D0D0D0 over dark grey.
  const int32_t smoke = Texture(3, 32, [](int32_t x, int32_t y) {
    const uint32_t d = uint32_t(std::min(255, ((x - 16) * (x - 16) + (y - 16) * (y - 16)) * 255 / 256));
    return d << 24 | 0xA0A0A0;
  });
  Start();
  Rect(0, 0, 64, 48, 1, 0x505050);
  c.TextureName = smoke;
  c.SortDepth = 1.0f / 0.25f;
  Rect(8, 4, 56, 44, 4, 0x80D0D0D0);
  ExpectGolden("smoke", Render());

  // The inset narrows the area to regions 1..5 across and 1..2 down, draws,
  // and restores it; a later quad draws across the whole device again.
  w = 200, h = 100;
  ASSERT_EQ(sgl_delete_device(0), 0);
  ASSERT_GE(sgl_create_screen_device(0, w, h, 0, 0), 0);
  Start();
  c.TextureName = -1;
  const SGLCONTEXT saved = c;
  c.FirstXRegion = 1, c.LastXRegion = 5, c.FirstYRegion = 1, c.LastYRegion = 2;
  Rect(-50, -50, 250, 150, 1, 0xFF0000);
  c.FirstXRegion = saved.FirstXRegion, c.LastXRegion = saved.LastXRegion;
  c.FirstYRegion = saved.FirstYRegion, c.LastYRegion = saved.LastYRegion;
  Rect(10, 40, 190, 56, 2, 0x0000FF);
  ExpectGolden("inset", Render());
}

TEST_P(Raster, GoldenDepths) {
  Open(48, 40);
  const int32_t name = Texture(1, 64, [](int32_t x, int32_t y) { return uint32_t(x * 4 | y * 4 << 8 | (x ^ y) << 18); });
  for (const uint8_t bpp : {15, 16, 24}) {
    Start();
    c.TextureName = name;
    // Two repeats of 64 texels on about 40 pixels: the second level.
    Quad({V(2, 2, 1, 0xFFFFFF, 0x102030, 0, 0), V(46, 6, 0.5f, 0xFFC080, 0, 2, 0), V(40, 38, 0.5f, 0x80FFFF, 0, 2, 2),
          V(6, 34, 1, 0xFFFFFF, 0x300000, 0, 2)});
    ExpectGolden("depth" + std::to_string(bpp), Render(bpp));
  }
}

// A closed box in the camera's space (x right, y down, z ahead), projected
// with focal 32 about the centre; its triangles wound counter-clockwise
// about their outward normals, or the other way.
struct Box {
  std::vector<TSGLVERTEX> v;
  std::vector<std::array<int32_t, 3>> faces;
  Box(float cx, float cy, float half, float z0, float z1, bool reversed) {
    for (int i = 0; i < 8; ++i) {
      const float x = cx + (i & 1 ? half : -half), y = cy + (i & 2 ? half : -half), z = i & 4 ? z1 : z0;
      v.push_back(V(24 + 32 * x / z, 24 + 32 * y / z, 1 / z, 0));
    }
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
      for (const auto& t : {std::array{q[0], q[1], q[2]}, std::array{q[0], q[2], q[3]}})
        faces.push_back(reversed ? std::array{t[0], t[2], t[1]} : t);
  }
  int32_t Draw(SGLCONTEXT& c, uint32_t kind, uint32_t light = 0) const {
    c.VolumeKind = kind, c.LightColour = light;
    const float box[4] = {0, 0, 800, 600};
    return sgltri_shadow(&c, int32_t(faces.size()), reinterpret_cast<const int32_t(*)[3]>(faces.data()), v.data(), box);
  }
};

TEST_P(Raster, GoldenVolumes) {
  Open(48, 48);
  auto floor = [&](float shadeLeft) {
    Start();
    c.TextureName = -1;
    c.ShadeFactor = shadeLeft;
    Rect(0, 0, 24, 48, 1, 0xC0A080);
    c.ShadeFactor = 1.0f;
    Rect(24, 0, 48, 48, 1, 0x80A0C0);
  };
  // The boxes cross the floor (z = 1): their shadows halve the left half's
  // colours, once where they overlap; the right half's word 56 = 1.0 leaves
  // them.
  floor(0.5f);
  Box(0, 0, 0.3f, 0.8f, 1.25f, false).Draw(c, 1);
  Box(-0.2f, 0.25f, 0.2f, 0.8f, 1.25f, false).Draw(c, 1);
  ExpectGolden("shadow", Render());
  floor(0.5f);
  const Image plain = Render();
  floor(0.5f);
  Box(0, 0, 0.3f, 0.8f, 1.25f, true).Draw(c, 1);  // wound the other way: nothing
  EXPECT_EQ(Render(), plain);
  // Two overlapping light volumes add 0x609880 each, saturating.
  Start();
  Rect(0, 0, 48, 48, 1, 0x202020);
  Box(-0.15f, -0.1f, 0.3f, 0.8f, 1.25f, false).Draw(c, 2, 0x609880);
  Box(0.15f, 0.1f, 0.3f, 0.8f, 1.25f, false).Draw(c, 2, 0x609880);
  ExpectGolden("lights", Render());
}

// Random opaque triangles, some textured, some reaching off the screen.
struct Scene {
  std::vector<TSGLVERTEX> v;
  std::vector<int32_t> textured;  // per triangle
  Scene(uint32_t seed, int32_t count, float width, float height) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> x(-20, width + 20), y(-20, height + 20), q(0.2f, 4.0f), uv(-2, 2);
    for (int32_t i = 0; i < count; ++i) {
      textured.push_back(int32_t(random() % 2));
      for (int k = 0; k < 3; ++k)
        v.push_back(V(x(random), y(random), q(random), random() & 0xFFFFFF, random() & 0x3F3F3F, uv(random), uv(random)));
    }
  }
};

// Every pixel against every triangle in double precision, with the same
// colour rule: texel x colour / 255 + specular, nearest texel, repeating.
uint32_t Reference(const Scene& s, const std::vector<uint32_t>& texels, int32_t side, double px, double py, bool& near) {
  double best = 0;
  uint32_t colour = 0;
  near = false;
  for (size_t t = 0; t < s.textured.size(); ++t) {
    const TSGLVERTEX* v = &s.v[t * 3];
    auto edge = [&](int a, int b) {
      const double ex = double(v[b].X) - v[a].X, ey = double(v[b].Y) - v[a].Y;
      const double e = ex * (py - v[a].Y) - ey * (px - v[a].X);
      near = near || std::fabs(e) / std::hypot(ex, ey) < 1.0 / 256;
      return e;
    };
    const double e0 = edge(1, 2), e1 = edge(2, 0), e2 = edge(0, 1), area = e0 + e1 + e2;
    if (area == 0 || e0 / area < 0 || e1 / area < 0 || e2 / area < 0) continue;
    const double l[3] = {e0 / area * v[0].InvW, e1 / area * v[1].InvW, e2 / area * v[2].InvW};
    const double q = l[0] + l[1] + l[2];
    if (q <= best) continue;
    best = q;
    auto mix = [&](auto field) { return (l[0] * field(v[0]) + l[1] * field(v[1]) + l[2] * field(v[2])) / q; };
    uint32_t texel = 0xFFFFFF;
    if (s.textured[t]) {
      const double u = mix([](const TSGLVERTEX& a) { return a.U; }) * side, w = mix([](const TSGLVERTEX& a) { return a.V; }) * side;
      near = near || std::fabs(u - std::round(u)) < 1e-3 || std::fabs(w - std::round(w)) < 1e-3;
      texel = texels[size_t(int64_t(std::floor(w)) & (side - 1)) * side + (int64_t(std::floor(u)) & (side - 1))];
    }
    colour = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const double c = mix([&](const TSGLVERTEX& a) { return double(a.Colour >> shift & 0xFF); });
      const double sp = mix([&](const TSGLVERTEX& a) { return double(a.Specular >> shift & 0xFF); });
      const double value = (texel >> shift & 0xFF) * c / 255 + sp;
      colour |= uint32_t(std::lround(std::clamp(value, 0.0, 255.0))) << shift;
    }
  }
  return colour;
}

TEST_P(Raster, AgreesWithAPlainReference) {
  Open(96, 80);
  std::vector<uint32_t> texels(32 * 32);  // 5-bit channels, as the card holds them
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint32_t(i * 2654435761u) & 0xF8F8F8;
  const int32_t name = Texture(0, 32, [&](int32_t x, int32_t y) {
    const uint32_t t = texels[size_t(y) * 32 + x];
    return (t >> 16 & 0xFF) | (t & 0xFF00) | (t & 0xFF) << 16;
  });
  for (auto& t : texels) t |= (t >> 5 & 0x070707);  // widened as the card widens them
  for (const uint32_t seed : {1u, 2u, 3u}) {
    const Scene s(seed, 60, 96, 80);
    Start();
    for (size_t t = 0; t < s.textured.size(); ++t) {
      c.TextureName = s.textured[t] ? name : -1;
      Triangles({s.v.begin() + t * 3, s.v.begin() + t * 3 + 3});
    }
    const Image image = Render();
    int32_t compared = 0;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        bool near = false;
        const uint32_t expected = Reference(s, texels, 32, x + 0.5, y + 0.5, near);
        if (near) continue;
        ++compared;
        const uint32_t got = Pixel(image, w, x, y);
        for (int shift = 0; shift < 24; shift += 8)
          ASSERT_LE(std::abs(int(got >> shift & 0xFF) - int(expected >> shift & 0xFF)), 1)
              << "seed " << seed << " pixel " << x << ", " << y << std::hex << " got " << got << " expected " << expected;
      }
    EXPECT_GT(compared, w * h * 8 / 10);
  }
}

// A mesh of 2,048 triangles over jittered grid points on a quarter-pixel
// grid (so that many edges run through pixel centres), in random order and
// winding, each at transparency 0x80 over black: each pixel is blended once.
float Quarter(float v) { return std::round(v * 4) / 4; }

TEST_P(Raster, SharedEdgesCoverEachPixelOnce) {
  Open(160, 120);
  std::mt19937 random(7);
  std::uniform_real_distribution<float> jitter(-1.0f, 1.0f);  // small enough that every cell stays convex
  std::vector<TSGLVERTEX> grid;
  for (int j = 0; j <= 32; ++j)
    for (int i = 0; i <= 32; ++i)
      grid.push_back(V(Quarter(-8 + i * 5.5f + (i % 32 ? jitter(random) : 0)),
                       Quarter(-8 + j * 4.25f + (j % 32 ? jitter(random) : 0)), 1, 0x80FFFFFF));
  std::vector<TSGLVERTEX> v;
  for (int j = 0; j < 32; ++j)
    for (int i = 0; i < 32; ++i) {
      const TSGLVERTEX &a = grid[j * 33 + i], &b = grid[j * 33 + i + 1], &d = grid[j * 33 + i + 33], &e = grid[j * 33 + i + 34];
      for (const auto& t : {std::array{a, b, e}, std::array{a, e, d}}) {
        const bool flip = random() % 2;
        v.insert(v.end(), {t[0], flip ? t[2] : t[1], flip ? t[1] : t[2]});
      }
    }
  for (size_t i = v.size() / 3 - 1; i > 0; --i) std::swap_ranges(&v[i * 3], &v[i * 3 + 3], &v[(random() % (i + 1)) * 3]);
  Start();
  c.TextureName = -1;
  Triangles(v);
  const Image image = Render();
  for (size_t i = 0; i < image.size(); ++i) ASSERT_EQ(image[i], 127) << "byte " << i;
}

// A horizontal edge through the pixel centres of row 2 belongs to the
// triangle below it (its top edge), not to the one above (its bottom edge),
// in either winding.
TEST_P(Raster, AHorizontalEdgeThroughPixelCentresBelongsToTheTriangleBelow) {
  Open(8, 6);
  const TSGLVERTEX a = V(0.5f, 0.5f, 1, 0xFFFFFF), b = V(0.5f, 2.5f, 1, 0xFFFFFF), d = V(7.5f, 2.5f, 1, 0xFFFFFF),
                   e = V(0.5f, 4.5f, 1, 0xFFFFFF);
  const struct {
    std::vector<TSGLVERTEX> triangle;
    bool owns;
  } rows[] = {{{a, d, b}, false}, {{a, b, d}, false}, {{b, d, e}, true}, {{b, e, d}, true}};
  for (const auto& r : rows) {
    Start();
    c.TextureName = -1;
    Triangles(r.triangle);
    const Image image = Render();
    for (int32_t x = 1; x < 6; ++x)
      EXPECT_EQ(Pixel(image, w, x, 2) != 0, r.owns) << &r - rows << " x " << x;
    EXPECT_EQ(Pixel(image, w, 1, r.owns ? 3 : 1) != 0, true) << &r - rows;  // each covers its own side
  }
}

// One busy frame (more triangles than a batch of the set-up, translucent
// ones in several sort groups, a shadow) drawn by one thread and by the
// test's count: the same bytes.
TEST_P(Raster, ThreadCountsDrawTheSameFrame) {
  Open(200, 150);
  const int32_t name = Texture(4, 32, [](int32_t x, int32_t y) { return uint32_t((x * y) % 3 ? 0x40000000 : 0) | uint32_t(x * 8 | y << 11); });
  const Scene s(9, 300, 200, 150);
  Image first;
  for (const int32_t threads : {1, GetParam()}) {
    plat::AccelSetThreads(threads);
    Start();
    for (size_t t = 0; t < s.textured.size(); ++t) {
      c.TextureName = s.textured[t] ? name : -1;
      c.SortDepth = float(t % 7);
      std::vector<TSGLVERTEX> tri(s.v.begin() + t * 3, s.v.begin() + t * 3 + 3);
      if (t % 5 == 0) tri[0].Colour |= 0x60000000;
      Triangles(tri);
    }
    Box(0, 0, 0.3f, 0.8f, 1.25f, false).Draw(c, 1);
    const Image image = Render();
    if (first.empty()) first = image;
    EXPECT_TRUE(image == first) << threads << " threads";
  }
}

// The callers reuse their arrays and change the context after each call:
// the frame keeps what each call saw. Texels are read at the render.
TEST_P(Raster, CallsKeepWhatTheySaw) {
  Open(64, 48);
  const int32_t name = Texture(0, 32, [](int32_t x, int32_t) { return uint32_t(x * 8); });
  auto scene = [&](bool scribble) {
    Start();
    std::vector<TSGLVERTEX> v = {V(0, 0, 1, 0x808080, 0, 0, 0), V(64, 0, 1, 0x808080, 0, 2, 0), V(64, 48, 1, 0x808080, 0x101010, 2, 1),
                                 V(0, 48, 2, 0x40FFFFFF, 0, 0, 1)};
    const uint32_t quad[1][4] = {{0, 1, 2, 3}};
    const struct {
      int32_t texture;
      float sort;
      int32_t lastX;
    } calls[] = {{name, 5, 1}, {-1, 1, 0}, {name, 3, 1}};
    for (const auto& call : calls) {
      c.TextureName = call.texture, c.SortDepth = call.sort, c.LastXRegion = call.lastX, c.FirstYRegion = 0;
      std::vector<TSGLVERTEX> arrays = v;
      uint32_t indices[1][4] = {{quad[0][0], quad[0][1], quad[0][2], quad[0][3]}};
      EXPECT_EQ(sgltri_quads(&c, 1, indices, arrays.data()), 0);
      if (!scribble) continue;
      for (TSGLVERTEX& vertex : arrays) vertex = V(-5, 7, 9, 0x12345678, 0x9ABCDE, 0.3f, 0.6f);
      indices[0][2] = 1;
      c.TextureName = 99, c.SortDepth = -7, c.LastXRegion = 0, c.FirstYRegion = 1;
    }
    c.FirstYRegion = 0, c.LastXRegion = 1;
    return Render();
  };
  const Image drawn = scene(false);
  EXPECT_EQ(scene(true), drawn);
  std::vector<uint32_t> texels(32 * 32, 0xFF);
  const SGLMAP source{{'I', 'M', 'A', 'P'}, 32, 32, texels.data()};
  SGLMAP processed{};
  ASSERT_EQ(sgl_preprocess_texture(0, 0, 0, 0, &source, 0, &processed), 0);
  Start();
  c.TextureName = name;
  Rect(0, 0, 64, 48, 1, 0xFFFFFF);
  EXPECT_EQ(sgl_set_texture(name, 0, 0, &processed, 0), 0);  // after the call, before the render
  EXPECT_EQ(Pixel(Render(), w, 1, 1), 0xFF0000u);
  sgl_free_pixels(&processed);
}

// Each bad input gets its code; nothing of the bad item is drawn (it would
// be green), the good red square is, and nothing outside the device is
// written (the sentinel check of Render).
TEST_P(Raster, BadInputDrawsNothingOfTheBadItem) {
  Open(40, 30);
  const float nan = std::nanf("");
  auto green = [&](float x, float invW = 1, float u = 0) {
    return Triangles({V(x, 0, invW, 0x00FF00, 0, u), V(40, 0, 1, 0x00FF00), V(40, 30, 1, 0x00FF00),
                      V(22, 0, 1, 0x0000FF), V(40, 0, 1, 0x0000FF), V(40, 4, 1, 0x0000FF)});
  };
  const std::vector<uint16_t> faces(500000 * 4, 0);
  const std::vector<uint32_t> quads(500000 * 4, 0);
  const TSGLVERTEX one[4] = {V(1, 1, 1, 0), V(1, 1, 1, 0), V(1, 1, 1, 0), V(1, 1, 1, 0)};
  Box box(0, 0, 0.3f, 0.8f, 1.25f, false);
  struct Row {
    int32_t code;
    std::function<int32_t()> act;
    int32_t render = 0;
    int32_t x = 5, y = 5;  // a pixel the good square keeps red
  };
  const Row rows[] = {
      {-1, [&] { return green(nan); }},
      {-1, [&] { return green(20, 1, INFINITY); }},
      {-1, [&] { return green(20, 0); }},
      {-1, [&] { return green(20, -1); }},
      {-1, [&] { return green(-1.5e6f); }},
      {-1, [&] { return sgltri_triangles(&c, 0, reinterpret_cast<const uint16_t(*)[4]>(faces.data()), one); }},
      {-1, [&] { return sgltri_quads(&c, -3, reinterpret_cast<const uint32_t(*)[4]>(quads.data()), one); }},
      {-1, [&] { return sgltri_triangles(&c, 1000001, reinterpret_cast<const uint16_t(*)[4]>(faces.data()), one); }},
      {-1, [&] { return sgltri_triangles(&c, 1, nullptr, one); }},
      {-1, [&] { return sgltri_quads(&c, 1, reinterpret_cast<const uint32_t(*)[4]>(quads.data()), nullptr); }},
      {-8, [&] {
         sgltri_quads(&c, 499999, reinterpret_cast<const uint32_t(*)[4]>(quads.data()), one);
         return sgltri_triangles(&c, 2, reinterpret_cast<const uint16_t(*)[4]>(faces.data()), one);
       }},
      {0, [&] { return c.TextureName = 77, Rect(30, 20, 40, 30, 1, 0xFF0000); }, -3},
      {-1, [&] {
         Box small = box;
         small.faces.resize(3);
         return small.Draw(c, 1);
       }},
      {-1, [&] {
         box.Draw(c, 1);  // recorded, then one whose box is no box
         const float inverted[4] = {30, 0, 10, 30};
         return sgltri_shadow(&c, 12, reinterpret_cast<const int32_t(*)[3]>(box.faces.data()), box.v.data(), inverted);
       }},
      {-1, [&] { return c.FirstXRegion = -2, c.LastYRegion = 9, Rect(-100, -100, 200, 200, 1, 0xFF0000); }},
      {0, [&] {  // no numbers: a sort value orders last, a shade factor leaves the colour
         c.SortDepth = nan, c.ShadeFactor = nan;
         Rect(2, 2, 20, 20, 1.1f, 0xFF0000);  // nearer than the first square, inside the shadow box
         Rect(2, 2, 20, 20, 1.1f, 0x80FF0000);
         return box.Draw(c, 1);
       }, 0, 18, 18},
      {-9, [&] {
         green(20);
         const int32_t code = sgltri_startofframe(&c);
         Rect(2, 2, 20, 20, 1, 0xFF0000);
         return code;
       }},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    c = SGLCONTEXT{};
    c.Flags = 0x406, c.TextureName = -1, c.ShadeFactor = 0.5f;
    Start();
    Rect(2, 2, 20, 20, 1, 0xFF0000);
    EXPECT_EQ(rows[i].act(), rows[i].code) << "row " << i;
    int32_t earliest = 0;
    EXPECT_EQ(sgl_get_errors(&earliest, nullptr), rows[i].code) << "row " << i;
    const Image image = Render(24, rows[i].render);
    for (int32_t p = 0; p < w * h; ++p) ASSERT_EQ(Pixel(image, w, p % w, p / w) & 0x00FF00, 0u) << "row " << i;
    EXPECT_EQ(Pixel(image, w, rows[i].x, rows[i].y), 0xFF0000u) << "row " << i;
    sgl_get_errors(nullptr, nullptr);
  }
}

// Every test of the rasteriser, golden pictures and bad input included,
// at each of these thread counts: the picture never depends on the count.
INSTANTIATE_TEST_SUITE_P(Threads, Raster, testing::Values(1, 2, 3, 8, 64));

}  // namespace
