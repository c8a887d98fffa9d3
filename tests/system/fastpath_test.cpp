// The benchmarks' files decode to the very bytes they always did: each
// picture read by its reader, and the busy modules mixed into the stream,
// checked against checksums of the output taken before the readers and
// the mixer were made faster.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "datagen/benchfiles.h"
#include "datagen/ilbmwrite.h"
#include "system/heap.h"
#include "system/modstate.h"
#include "system/picture.h"
#include "tests/support/modtest.h"
#include "tests/system/picture_fixture.h"

namespace {

using datagen::Scene;
using ztest::Bytes;

constexpr int kWidth = 640, kHeight = 480;

// FNV-1a over the bytes.
uint64_t Fnv(const uint8_t* data, size_t size, uint64_t h = 14695981039346656037ull) {
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

// The bitmap's sizes and the pixel bytes of its rows, padding left out.
uint64_t Checksum(BMAP* b) {
  LS_LockBmap(b);
  const int32_t sizes[3] = {b->SizeX, b->SizeY, b->Depth};
  uint64_t h = Fnv(reinterpret_cast<const uint8_t*>(sizes), sizeof sizes);
  for (int32_t y = 0; y < b->SizeY; ++y)
    h = Fnv(b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen, static_cast<size_t>(b->SizeX) * (b->Depth / 8), h);
  LS_UnlockBmap(b);
  return h;
}

Bytes Tga(Scene scene, int depth, bool packed) {
  return datagen::EncodeTga(datagen::SceneTga(scene, kWidth, kHeight, depth), packed);
}
Bytes Ilbm(Scene scene, int planes, bool packed) {
  return datagen::EncodeIlbm(datagen::SceneIndexed(scene, kWidth, kHeight, planes), planes, packed);
}

class FastPathTest : public ztest::PictureTest {
 protected:
  // Fills the heap's largest gap with a pattern, so that a pixel a reader
  // leaves unwritten shows in the checksum.
  static void Dirty() {
    const uint32_t gap = LSI_GetHeapMaxFree(LSI_GetHeapOf(LS_DefaultHeap)) - LS_HEAP_HEADER;
    void* block = LS_GetMem(gap);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xA5, gap);
    LS_Release(block);
  }
};

TEST_F(FastPathTest, BenchmarkPicturesDecodeToTheirChecksums) {
  // One row per picture; TGA and ILBM are read both raw and coded.
  const Scene photo = Scene::kPhoto, flat = Scene::kFlat;
  const struct {
    const char* name;
    BMAP* (*reader)(const char*, uintptr_t);
    std::function<Bytes(bool)> file;
    uint64_t checksum;
  } rows[] = {
      {"p8.tga", LS_LoadTga, [&](bool c) { return Tga(photo, 8, c); }, 12412999766758444854u},
      {"p24.tga", LS_LoadTga, [&](bool c) { return Tga(photo, 24, c); }, 2624112220113868778u},
      {"f16.tga", LS_LoadTga, [&](bool c) { return Tga(flat, 16, c); }, 13653571728081053618u},
      {"f32.tga", LS_LoadTga, [&](bool c) { return Tga(flat, 32, c); }, 1435088104613501539u},
      {"p.pcx", LS_LoadPcx, [&](bool) { return datagen::EncodePcx(datagen::SceneIndexed(photo, kWidth, kHeight, 8)); },
       12412999766758444854u},
      {"f.pcx", LS_LoadPcx, [&](bool) { return datagen::EncodePcx(datagen::SceneIndexed(flat, kWidth, kHeight, 8)); },
       8250040754145054987u},
      {"p1.lbm", LS_LoadIff, [&](bool c) { return Ilbm(photo, 1, c); }, 4579759493774321268u},
      {"p4.lbm", LS_LoadIff, [&](bool c) { return Ilbm(photo, 4, c); }, 16680551550329032553u},
      {"p8.lbm", LS_LoadIff, [&](bool c) { return Ilbm(photo, 8, c); }, 12412999766758444854u},
      {"f4.lbm", LS_LoadIff, [&](bool c) { return Ilbm(flat, 4, c); }, 10877686687344206950u},
  };
  for (const auto& row : rows) {
    for (const bool coded : {false, true}) {
      Dirty();
      BMAP* b = nullptr;
      ASSERT_TRUE(Load(row.reader, Put(row.name, row.file(coded)), nullptr, &b)) << row.name << " " << coded;
      EXPECT_EQ(Checksum(b), row.checksum) << row.name << " " << coded;
      LS_FreeBmap(b);
    }
  }
}

class FastMixTest : public ztest::ModTest {};

TEST_F(FastMixTest, BusyModulesMixToTheirChecksums) {
  const struct {
    uint32_t channels, rate;
    uint16_t outputs, bits;
    uint64_t checksum;
  } rows[] = {
      {4, 11025, 1, 8, 9505885569687387104u},
      {32, 44100, 2, 16, 1826884143844430248u},
  };
  for (const auto& row : rows) {
    StartPlayer(row.rate, row.outputs, row.bits);
    MODULE* module = Load(datagen::BusySong(row.channels));
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(LS_PlayModule(module, 64, 0), 1);
    // Two patterns of six ticks a row: the song and its first repeat.
    const std::vector<uint8_t> stream = Stream(LSI_ModState.BytesPerTick * 2 * 64 * 6 * 2);
    EXPECT_EQ(Fnv(stream.data(), stream.size()), row.checksum) << row.channels << " " << row.rate;
    LS_FreeModule(module);
    TearDown();
    SetUp();
  }
}

}  // namespace
