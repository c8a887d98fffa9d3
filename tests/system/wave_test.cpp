// WAVE files that are damaged or not what they claim: null or a record
// without buffer, never a read outside the file, a leak or a waiting box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/wavwrite.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "tests/support/soundtest.h"

namespace {

using ztest::MakeWave;

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
    EXPECT_EQ(LSI_Var.NbAlloc, allocs_);
    EXPECT_EQ(LS_GetFreeMem(), free_);
    EXPECT_EQ(LSI_Var.NbSound, 0);
    EXPECT_EQ(LS_GetLastError(), 0u);
    ztest::SoundTest::TearDown();
  }

  // A mono 8-bit 11025 Hz file of 100 frames: 44 bytes of header.
  static std::vector<uint8_t> Good() {
    datagen::Wave w = MakeWave(11025, 1, 8);
    w.samples = datagen::ConstantSamples(w, 0xC0, 100);
    return datagen::EncodeWave(w);
  }
  static void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }
  static void Set16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  SOUND* Load(const std::vector<uint8_t>& bytes, HHEAP heap = 4) {
    ztest::WriteBytes(root_ + "/bad.wav", bytes);
    return LS_LoadSound("bad.wav", heap);
  }

  int16_t allocs_ = 0;
  uint32_t free_ = 0;
};

TEST_F(WaveTest, MissingAndEmptyFilesGiveNull) {
  EXPECT_EQ(LS_LoadSound("none.wav", 4), nullptr);
  EXPECT_EQ(Load({}), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, EveryCutOfTheHeaderIsRefused) {
  const std::vector<uint8_t> good = Good();
  for (size_t length = 1; length < 44; ++length) {
    EXPECT_EQ(Load(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length))), nullptr) << length;
  }
  // Cut inside the chunk walk: the "data" tag is out of reach.
  EXPECT_EQ(Boxes().size(), 8u);  // lengths 36 to 43
  for (const std::string& box : Boxes()) EXPECT_EQ(box, "Wave Format Error ");

  // The whole header without its samples: a record with no PCM.
  SOUND* s = Load(std::vector<uint8_t>(good.begin(), good.begin() + 44));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->DataLength, 0u);
  EXPECT_EQ(s->Buffer, nullptr);
  LS_FreeSound(s);
}

TEST_F(WaveTest, OtherRiffFilesAreRefusedQuietly) {
  std::vector<uint8_t> b = Good();
  b[3] = 'X';  // "RIFX"
  EXPECT_EQ(Load(b), nullptr);
  b = Good();
  for (int i = 0; i < 4; ++i) b[8 + static_cast<size_t>(i)] = static_cast<uint8_t>("AVI "[i]);
  EXPECT_EQ(Load(b), nullptr);
  b = Good();
  b[12] = 'F';  // "Fmt "
  EXPECT_EQ(Load(b), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, FmtLengthMustHoldTheFormatAndFitTheFile) {
  std::vector<uint8_t> b = Good();
  Set32(b, 16, 15);
  EXPECT_EQ(Load(b), nullptr);
  Set32(b, 16, static_cast<uint32_t>(b.size()) - 20 + 1);
  EXPECT_EQ(Load(b), nullptr);
  Set32(b, 16, 0x7FFFFFFF);
  EXPECT_EQ(Load(b), nullptr);
  Set32(b, 16, 0x80000000u);
  EXPECT_EQ(Load(b), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, ChunksRunningPastTheEndStopTheWalk) {
  datagen::Wave w = MakeWave(11025, 1, 8);
  w.samples = datagen::ConstantSamples(w, 0xC0, 100);
  w.before = {{"LIST", std::vector<uint8_t>(10, 0)}};
  std::vector<uint8_t> b = datagen::EncodeWave(w);
  for (uint32_t length : {0x7FFFFFFFu, static_cast<uint32_t>(b.size()), 0xFFFFFFF0u}) {
    Set32(b, 40, length);
    EXPECT_EQ(Load(b), nullptr) << length;
  }
  EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(WaveTest, FourChunksBeforeDataAreAFormatError) {
  datagen::Wave w = MakeWave(11025, 1, 8);
  w.samples = datagen::ConstantSamples(w, 0xC0, 100);
  w.before = {{"LIST", {1}}, {"fact", {1, 2, 3, 4}}, {"cue ", {}}, {"junk", {9, 9, 9}}};
  EXPECT_EQ(Load(datagen::EncodeWave(w)), nullptr);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Wave Format Error ");
}

TEST_F(WaveTest, DataLongerThanTheFileIsCut) {
  std::vector<uint8_t> b = Good();
  Set32(b, 40, 5000);
  SOUND* s = Load(b, LS_DefaultHeap);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->DataLength, 100u);
  LS_FreeSound(s);
  s = Load(b);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->Buffer, nullptr);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(ztest::Render(1000))), 400, 2);
  LS_FreeSound(s);
}

TEST_F(WaveTest, NegativeSizesGiveASilentRecord) {
  std::vector<uint8_t> b = Good();
  Set32(b, 4, 0xFFFFFFFEu);  // RIFF size
  SOUND* s = Load(b, LS_DefaultHeap);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->SampleRate, 0u);
  EXPECT_EQ(s->Channels, 0);
  EXPECT_EQ(s->Data, nullptr);
  LS_FreeSound(s);
  s = Load(b);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Buffer, nullptr);
  EXPECT_EQ(PlaySound(s, 0, 0), 0);
  LS_FreeSound(s);

  b = Good();
  Set32(b, 40, 0x80000000u);  // data size
  s = Load(b);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->SampleRate, 11025u);
  EXPECT_EQ(s->DataLength, 0u);
  EXPECT_EQ(s->Data, nullptr);
  EXPECT_EQ(s->Buffer, nullptr);
  LS_FreeSound(s);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(WaveTest, UnplayableFormatsGetNoBufferAndFreeCleanly) {
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    bool wide;
  } cases[] = {
      {"0 channels", 22, 0, false},       {"3 channels", 22, 3, false},     {"0 bits", 34, 0, false},
      {"12 bits", 34, 12, false},         {"24 bits", 34, 24, false},       {"32 bits", 34, 32, false},
      {"-8 bits", 34, 0xFFF8, false},     {"rate 0", 24, 0, true},          {"rate 1000000", 24, 1000000, true},
      {"block align 2", 32, 2, false},    {"tag 3", 20, 3, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = Good();
    if (c.wide)
      Set32(b, c.at, c.value);
    else
      Set16(b, c.at, static_cast<uint16_t>(c.value));
    SOUND* s = Load(b);
    ASSERT_NE(s, nullptr) << c.what;
    EXPECT_EQ(s->Buffer, nullptr) << c.what;
    EXPECT_NE(s->FileImage, nullptr) << c.what;
    EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_NONE);
    LS_FreeSound(s);
  }
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
