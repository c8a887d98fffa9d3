// WAVE files that are damaged or not what they claim: null or a record
// without buffer, never a read outside the file, a leak or a waiting box.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datagen/wavwrite.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "tests/support/soundtest.h"

namespace {

using Bytes = std::vector<uint8_t>;

class WaveTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    allocs_ = LSI_Var.NbAlloc;
    free_ = LS_GetFreeMem();
  }
  void TearDown() override {
    EXPECT_EQ(std::tuple(LSI_Var.NbAlloc, LS_GetFreeMem(), LSI_Var.NbSound, LS_GetLastError()),
              std::tuple(allocs_, free_, 0, 0u));
    ztest::SoundTest::TearDown();
  }
  // A mono 8-bit 11025 Hz file of 100 frames (44 bytes of header), with
  // chunks before its data.
  static Bytes Good(std::vector<datagen::WaveChunk> before = {}) {
    datagen::Wave w = ztest::MakeWave(11025, 1, 8);
    w.samples = datagen::ConstantSamples(w, 0xC0, 100);
    w.before = std::move(before);
    return datagen::EncodeWave(w);
  }
  static Bytes With(Bytes b, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  }
  SOUND* Load(const Bytes& bytes, HHEAP heap = 4) {
    ztest::WriteBytes(root_ + "/bad.wav", bytes);
    return LS_LoadSound("bad.wav", heap);
  }

  int16_t allocs_ = 0;
  uint32_t free_ = 0;
};

TEST_F(WaveTest, RefusedFilesGiveNull) {
  const Bytes good = Good();
  const std::pair<const char*, Bytes> rows[] = {
      {"empty", {}},
      {"cut in the RIFF header", Bytes(good.begin(), good.begin() + 7)},
      {"cut in the format", Bytes(good.begin(), good.begin() + 30)},
      {"RIFX", With(good, 3, 'X', 1)},
      {"AVI", With(good, 8, 0x20495641)},
      {"format of 15 bytes", With(good, 16, 15)},
      {"format past the end", With(good, 16, static_cast<uint32_t>(good.size()) - 19)},
  };
  for (const auto& [what, bytes] : rows) EXPECT_EQ(Load(bytes), nullptr) << what;
  EXPECT_EQ(LS_LoadSound("none.wav", 4), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, ChunkWalkThatCannotReachTheDataIsAFormatError) {
  const Bytes good = Good(), list = Good({{"LIST", Bytes(10, 0)}});
  const Bytes rows[] = {
      Bytes(good.begin(), good.begin() + 40),  // cut before the "data" tag's length
      With(list, 40, 0x7FFFFFFF),                   // a chunk past the end
      With(list, 40, 0xFFFFFFF0u),                  // a chunk of a negative size
      Good({{"LIST", {1}}, {"fact", {1, 2, 3, 4}}, {"cue ", {}}, {"junk", {9, 9, 9}}}),  // data fifth
  };
  for (const Bytes& bytes : rows) EXPECT_EQ(Load(bytes), nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>(4, "Wave Format Error "));
}

TEST_F(WaveTest, DataLongerThanTheFileIsCut) {
  const Bytes b = With(Good(), 40, 5000);
  SOUND* s = Load(b);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(ztest::Render(1000))), 400, 2);
  LS_FreeSound(s);
}

TEST_F(WaveTest, SilentRecords) {
  const Bytes good = Good();
  const std::pair<const char*, Bytes> rows[] = {
      {"header only", Bytes(good.begin(), good.begin() + 44)},
      {"negative RIFF size", With(good, 4, 0xFFFFFFFEu)},
      {"negative data size", With(good, 40, 0x80000000u)},
  };
  for (const auto& [what, bytes] : rows) {
    SOUND* s = Load(bytes, LS_DefaultHeap);
    ASSERT_NE(s, nullptr) << what;
    EXPECT_EQ(s->DataLength, 0u) << what;
    LS_FreeSound(s);
    s = Load(bytes);
    ASSERT_NE(s, nullptr) << what;
    EXPECT_EQ(std::tuple(s->Buffer, PlaySound(s, 0, 0)), std::tuple(nullptr, 0)) << what;
    LS_FreeSound(s);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, UnplayableFormatsGetNoBufferAndFreeCleanly) {
  const Bytes good = Good();
  const std::pair<const char*, Bytes> rows[] = {
      {"3 channels", With(good, 22, 3, 2)},      {"12 bits", With(good, 34, 12, 2)},
      {"-8 bits", With(good, 34, 0xFFF8, 2)},    {"rate 1000000", With(good, 24, 1000000)},
      {"block align 2", With(good, 32, 2, 2)},   {"tag 3", With(good, 20, 3, 2)},
  };
  for (const auto& [what, bytes] : rows) {
    SOUND* s = Load(bytes);
    ASSERT_NE(s, nullptr) << what;
    EXPECT_EQ(std::tuple(s->Buffer, LS_GetSoundStatus(s)), std::tuple(nullptr, LS_SOUND_NONE)) << what;
    LS_FreeSound(s);
  }
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
