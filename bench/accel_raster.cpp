// The accelerator stand-in's rasteriser on seeded frames, and beside it
// Mesa's llvmpipe drawing the same triangles through OSMesa on one thread
// and, in a child process, on its default threads: frames per second of
// each, their ratios, and how many pixels the pictures share. Also: four
// threads and the machine's cores, 800 x 600 at 24 bits with 30 %
// translucent triangles beside the same scene opaque, and 18 shadow
// volumes of 100 planes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"

#include "bench/llvmpipe.h"
#include "bench/timecollect.h"

namespace {

constexpr int32_t kTextures = 8;

// Seeded triangles of random size, place, depth, colour and fog over a
// screen, about `cover` times over, each with one of eight textures.
struct Scene {
  int32_t width, height;
  std::vector<TSGLVERTEX> v;
  std::vector<int32_t> texture;              // per triangle
  std::vector<std::vector<uint32_t>> maps;   // 32-bit texels, red low
  std::vector<int32_t> sides;
  std::vector<std::vector<uint16_t>> faces;  // per texture, four words a face

  Scene(int32_t w, int32_t h, int32_t count, double cover, double translucent, uint32_t seed) : width(w), height(h) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int32_t t = 0; t < kTextures; ++t) {
      const int32_t side = 64 << (t % 3);
      sides.push_back(side);
      std::vector<uint32_t> map(size_t(side) * side);
      for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
          map[size_t(y) * side + x] = ((x / 8 + y / 8) % 2 ? 0x00F0D0B0u : 0x00405080u) ^ uint32_t(x * 3 | y * 5 << 8) ^ (t * 0x1F3D5B);
      maps.push_back(std::move(map));
    }
    // Mean area so that the triangles cover the screen `cover` times.
    const float mean = float(cover * w * h / count);
    faces.resize(kTextures);
    for (int32_t i = 0; i < count; ++i) {
      const float area = mean * (0.25f + 1.5f * unit(random)), r = std::sqrt(area / 1.3f);
      const float cx = unit(random) * w, cy = unit(random) * h, turn = unit(random) * 6.2832f;
      const float z = 1 + 9 * unit(random), tilt = (unit(random) - 0.5f) * 0.02f;
      const int32_t tex = int32_t(random() % kTextures);
      const uint32_t alpha = unit(random) < translucent ? 0x60000000u : 0;
      const float u0 = unit(random) * 4 - 2, v0 = unit(random) * 4 - 2;
      for (int k = 0; k < 3; ++k) {
        const float a = turn + k * 2.0944f;
        const float x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        v.push_back({x, y, 0, 1 / (z + tilt * (x - cx)), uint32_t(random() & 0xFFFFFF) | alpha, uint32_t(random() & 0x3F3F3F),
                     u0 + std::cos(a), v0 + std::sin(a)});
      }
      texture.push_back(tex);
      const uint16_t first = uint16_t(i * 3);
      faces[tex].insert(faces[tex].end(), {first, uint16_t(first + 1), uint16_t(first + 2), 0});
    }
  }
};

// A 5-bit channel widened to 8 bits, as the card holds its texels.
uint32_t Widen(uint32_t c) { return (c & 0xF8) | (c & 0xF8) >> 5; }

std::vector<uint8_t> g_frame;
uint16_t g_pitch = 0;
uint8_t g_bpp = 16;
int32_t Target(SGLRENDERTARGET* target) {
  *target = {g_frame.data(), g_pitch, g_bpp};
  return 0;
}

// The stand-in with the scene's textures on its card.
struct StandIn {
  SGLCONTEXT c{};
  int32_t names[kTextures];
  StandIn(const Scene& s, uint8_t bpp, int32_t threads) {
    plat::AccelReset();
    plat::AccelSetCardMemory(64u << 20);
    plat::AccelSetThreads(threads);
    g_bpp = bpp;
    g_pitch = uint16_t(s.width * (bpp == 24 ? 3 : 2));
    g_frame.assign(size_t(g_pitch) * s.height, 0);
    uint32_t* status = nullptr;
    sgl_create_screen_device(0, s.width, s.height, bpp == 24, 0);
    sgl_use_address_mode(Target, &status);
    for (int32_t t = 0; t < kTextures; ++t) {
      const SGLMAP source{{'I', 'M', 'A', 'P'}, s.sides[t], s.sides[t], const_cast<uint32_t*>(s.maps[t].data())};
      SGLMAP processed{};
      sgl_preprocess_texture(SGL_MAP_555, s.sides[t] == 64 ? 1 : s.sides[t] == 128 ? 2 : 3, 0, 0, &source, 0, &processed);
      names[t] = sgl_create_texture(0, 0, 0, 0, &processed, 0);
      sgl_free_pixels(&processed);
    }
    c.Flags = 0x406;
    c.ShadeFactor = 0.5f;
  }
  ~StandIn() { plat::AccelReset(); }
  // One frame: a call per texture, then the render.
  void Frame(const Scene& s, const std::vector<std::vector<int32_t>>* volumes = nullptr,
             const std::vector<TSGLVERTEX>* volumeVertices = nullptr) {
    sgltri_startofframe(&c);
    for (int32_t t = 0; t < kTextures; ++t) {
      if (s.faces[t].empty()) continue;
      c.TextureName = names[t];
      c.SortDepth = float(100 * t);
      sgltri_triangles(&c, int32_t(s.faces[t].size() / 4), reinterpret_cast<const uint16_t(*)[4]>(s.faces[t].data()),
                       s.v.data());
    }
    if (volumes) {
      const float box[4] = {0, 0, float(s.width), float(s.height)};
      c.VolumeKind = 1;
      for (const auto& faces : *volumes)
        sgltri_shadow(&c, int32_t(faces.size() / 3), reinterpret_cast<const int32_t(*)[3]>(faces.data()),
                      volumeVertices->data(), box);
    }
    sgltri_render(&c);
  }
};

const Scene& MainScene() {
  static const Scene scene(640, 480, 2500, 3.0, 0.0, 2024);
  return scene;
}

// The processor time of every thread of the process so far, in seconds.
double ProcessSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// cpu_ms_all_threads is the processor time of a frame summed over the
// threads: near one thread's, the threads add little work of their own,
// and on a loaded machine it tells what the threads would give on a quiet
// one.
void BM_StandIn640x480x16(benchmark::State& state) {
  const Scene& s = MainScene();
  StandIn stand(s, 16, int32_t(state.range(0)));
  const double before = ProcessSeconds();
  for (auto _ : state) stand.Frame(s);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cpu_ms_all_threads"] = 1000 * (ProcessSeconds() - before) / double(state.iterations());
}

// The same 3,900 triangles with 30 % of them translucent (range 30) and
// all opaque (range 0), on one thread.
void BM_StandIn800x600x24(benchmark::State& state) {
  static const Scene translucent(800, 600, 3900, 3.0, 0.3, 77), opaque(800, 600, 3900, 3.0, 0.0, 77);
  const Scene& s = state.range(0) ? translucent : opaque;
  StandIn stand(s, 24, 1);
  for (auto _ : state) stand.Frame(s);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// 18 prisms of 26 sides (100 triangles each), closed and wound
// counter-clockwise about their outward normals, over the screen.
void BM_StandIn640x480ShadowVolumes(benchmark::State& state) {
  const Scene& s = MainScene();
  std::vector<TSGLVERTEX> vertices;
  std::vector<std::vector<int32_t>> volumes;
  constexpr int32_t kSides = 26;
  for (int32_t n = 0; n < 18; ++n) {
    const float cx = -0.9f + 0.36f * (n % 6), cy = -0.6f + 0.6f * float(n / 6), z0 = 1.5f, z1 = 9;
    std::vector<int32_t> faces;
    const int32_t base = int32_t(vertices.size());
    for (int32_t end = 0; end < 2; ++end)
      for (int32_t k = 0; k < kSides; ++k) {
        const float a = 6.2832f * k / kSides, z = end ? z1 : z0;
        const float x = cx * z + 0.25f * std::cos(a), y = cy * z + 0.25f * std::sin(a);
        vertices.push_back({320 + 400 * x / z, 240 + 400 * y / z, 0, 1 / z, 0, 0, 0, 0});
      }
    for (int32_t k = 0; k < kSides; ++k) {
      const int32_t a = base + k, b = base + (k + 1) % kSides, c = a + kSides, d = b + kSides;
      faces.insert(faces.end(), {a, c, d, a, d, b});
    }
    for (int32_t k = 1; k + 1 < kSides; ++k) {
      faces.insert(faces.end(), {base, base + k + 1, base + k});
      faces.insert(faces.end(), {base + kSides, base + kSides + k, base + kSides + k + 1});
    }
    volumes.push_back(std::move(faces));
  }
  StandIn stand(s, 16, 1);
  for (auto _ : state) stand.Frame(s, &volumes, &vertices);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

std::vector<uint16_t> g_standInPicture;

#if defined(ZENTROVA_HAVE_OSMESA)
// The same frame through OSMesa: clip coordinates (x, y, z, 1) x w with w =
// 1 / (1/w), so that GL interpolates as the stand-in does; nearest texels,
// repeating; texel x colour plus the secondary colour; a depth test on
// 1/w; a 5-6-5 buffer.
struct Llvmpipe {
  bench::OsmesaTarget target;
  std::vector<uint16_t>& buffer = target.buffer;
  std::vector<float> position, uv;
  std::vector<uint8_t> colour, secondary;
  GLuint textures[kTextures];
  std::string renderer = target.renderer;
  explicit Llvmpipe(const Scene& s, bool oneThread = true) : target(s.width, s.height, oneThread) {
    if (renderer.empty()) return;
    float maxQ = 0;
    for (const TSGLVERTEX& v : s.v) maxQ = std::max(maxQ, v.InvW);
    for (const TSGLVERTEX& v : s.v) {
      const float w = 1 / v.InvW, z = 1 - 2 * v.InvW / (maxQ * 1.01f);
      position.insert(position.end(), {(2 * v.X / s.width - 1) * w, (1 - 2 * v.Y / s.height) * w, z * w, w});
      uv.insert(uv.end(), {v.U, v.V});
      colour.insert(colour.end(), {uint8_t(v.Colour >> 16), uint8_t(v.Colour >> 8), uint8_t(v.Colour), 255});
      secondary.insert(secondary.end(), {uint8_t(v.Specular >> 16), uint8_t(v.Specular >> 8), uint8_t(v.Specular)});
    }
    glGenTextures(kTextures, textures);
    for (int32_t t = 0; t < kTextures; ++t) {
      std::vector<uint8_t> rgb;
      for (uint32_t texel : s.maps[t]) rgb.insert(rgb.end(), {uint8_t(Widen(texel)), uint8_t(Widen(texel >> 8)), uint8_t(Widen(texel >> 16))});
      bench::OsmesaTarget::Texture(textures[t], s.sides[t], s.sides[t], rgb.data());
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_COLOR_SUM);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0, 0, 0, 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_SECONDARY_COLOR_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, position.data());
    glTexCoordPointer(2, GL_FLOAT, 0, uv.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colour.data());
    using SecondaryPointer = void (*)(GLint, GLenum, GLsizei, const void*);
    reinterpret_cast<SecondaryPointer>(OSMesaGetProcAddress("glSecondaryColorPointer"))(3, GL_UNSIGNED_BYTE, 0, secondary.data());
  }
  void Frame(const Scene& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    std::vector<GLuint>& indices = Indices();
    for (int32_t t = 0; t < kTextures; ++t) {
      indices.clear();
      for (size_t f = 0; f < s.faces[t].size(); f += 4) indices.insert(indices.end(), {s.faces[t][f], s.faces[t][f + 1], s.faces[t][f + 2]});
      glBindTexture(GL_TEXTURE_2D, textures[t]);
      glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    }
    glFinish();
  }
  static std::vector<GLuint>& Indices() {
    static std::vector<GLuint> indices;
    return indices;
  }
};

// Pixels whose channels differ by at most one step of 5-6-5, in percent.
double Agreement(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
  size_t same = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    auto near = [&](int shift, int mask) { return std::abs(int(a[i] >> shift & mask) - int(b[i] >> shift & mask)) <= 1; };
    same += near(11, 31) && near(5, 63) && near(0, 31);
  }
  return 100.0 * double(same) / double(a.size());
}

double g_agreement = -1;

void BM_Llvmpipe640x480x16(benchmark::State& state) {
  const Scene& s = MainScene();
  Llvmpipe gl(s);
  if (gl.renderer.find("llvmpipe") == std::string::npos) {
    state.SkipWithError(("the renderer is not llvmpipe: " + gl.renderer).c_str());
    return;
  }
  for (auto _ : state) gl.Frame(s);
  if (g_standInPicture.empty()) {
    StandIn stand(s, 16, 1);
    stand.Frame(s);
    g_standInPicture.assign(reinterpret_cast<const uint16_t*>(g_frame.data()),
                            reinterpret_cast<const uint16_t*>(g_frame.data()) + size_t(s.width) * s.height);
  }
  g_agreement = Agreement(gl.buffer, g_standInPicture);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["agree_pct"] = g_agreement;
  state.SetLabel(gl.renderer);
}
// llvmpipe on its default threads. It takes its count at the process's
// first context, so it runs in a child forked before this process makes
// one; the child times two seconds of frames and sends the time per frame.
void BM_LlvmpipeDefaultThreads640x480x16(benchmark::State& state) {
  int fds[2];
  if (pipe(fds) != 0) return state.SkipWithError("no pipe");
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    double perFrame = -1;
    const Scene& s = MainScene();
    Llvmpipe gl(s, false);
    if (gl.renderer.find("llvmpipe") != std::string::npos) {
      for (int i = 0; i < 5; ++i) gl.Frame(s);
      const auto start = std::chrono::steady_clock::now();
      int frames = 0;
      double elapsed = 0;
      do {
        gl.Frame(s);
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      } while (elapsed < 2.0);
      perFrame = elapsed / frames;
    }
    if (write(fds[1], &perFrame, sizeof perFrame) != sizeof perFrame) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  double perFrame = -1;
  const bool got = child > 0 && read(fds[0], &perFrame, sizeof perFrame) == sizeof perFrame;
  close(fds[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  if (!got || perFrame <= 0) return state.SkipWithError("llvmpipe did not run in the child");
  for (auto _ : state) state.SetIterationTime(perFrame);
  state.counters["fps"] = 1 / perFrame;
  state.counters["threads"] = double(std::thread::hardware_concurrency());
}
// First, before any context of this process.
BENCHMARK(BM_LlvmpipeDefaultThreads640x480x16)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_Llvmpipe640x480x16)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
#endif

// threads:0 is the machine's cores.
BENCHMARK(BM_StandIn640x480x16)->Arg(1)->Arg(4)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_StandIn800x600x24)->Arg(30)->Arg(0)->ArgName("translucent_pct")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_StandIn640x480ShadowVolumes)->Unit(benchmark::kMillisecond)->UseRealTime();

using Collect = bench::TimeCollect;

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Collect reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto find = [&](const std::string& prefix) {
    const auto run = std::find_if(reporter.seconds.begin(), reporter.seconds.end(),
                                  [&](const auto& r) { return r.first.rfind(prefix, 0) == 0; });
    return run == reporter.seconds.end() ? 0.0 : run->second;
  };
  const double one = find("BM_StandIn640x480x16/threads:1/"), four = find("BM_StandIn640x480x16/threads:4/");
  const double cores = find("BM_StandIn640x480x16/threads:0/");
  const double translucent = find("BM_StandIn800x600x24/translucent_pct:30/");
  const double opaque = find("BM_StandIn800x600x24/translucent_pct:0/");
  std::printf("\n");
  if (one > 0 && four > 0) std::printf("Stand-in, 640 x 480 x 16: 4 threads %.2f times 1 thread (goal 3 on a quiet machine)\n", one / four);
  if (translucent > 0 && opaque > 0)
    std::printf("Stand-in, 800 x 600 x 24: 30%% translucent %.2f times the time of the scene opaque (goal at most 1.5)\n",
                translucent / opaque);
#if defined(ZENTROVA_HAVE_OSMESA)
  const double gl = find("BM_Llvmpipe640x480x16"), glCores = find("BM_LlvmpipeDefaultThreads640x480x16");
  if (one > 0 && gl > 0) {
    std::printf("One thread, 640 x 480 x 16, 2,500 textured triangles: stand-in %.1f fps, llvmpipe %.1f fps, "
                "ratio %.2f (goal 1.5); pictures agree on %.1f%% of pixels%s\n",
                1 / one, 1 / gl, gl / one, g_agreement, g_agreement >= 95 ? "" : " (below 95%: not comparable)");
  }
  if (cores > 0 && glCores > 0)
    std::printf("The machine's %u threads: stand-in %.1f fps, llvmpipe %.1f fps, ratio %.2f (goal above 1)\n",
                std::thread::hardware_concurrency(), 1 / cores, 1 / glCores, glCores / cores);
#else
  std::printf("OSMesa was not found when this was built: no llvmpipe comparison.\n");
#endif
  benchmark::Shutdown();
  return 0;
}
