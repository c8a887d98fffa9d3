// Music modules: the writer's files read back field by field, the tags,
// the period table, and files that must not load.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "datagen/modwrite.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/modstate.h"
#include "system/module.h"
#include "tests/support/modtest.h"

namespace {

using ztest::TestModule;

// Offsets of sample header i's fields in the file.
constexpr size_t SampleField(size_t i, size_t field) { return 20 + 30 * i + field; }
constexpr size_t kLengthField = 22, kLoopStartField = 26, kLoopLengthField = 28;

void PutBE16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<uint8_t>(value);
}

uint32_t CellAt(const MODSTATE& s, uint32_t pattern, uint32_t row, uint32_t channel) {
  return LSI_ModCell(s.ModuleData + ((pattern * 64 + row) * s.Channels + channel) * 4);
}

class ModLoadTest : public ztest::ModTest {
 protected:
  void SetUp() override {
    ztest::ModTest::SetUp();
    StartPlayer();
  }
  MODULE* LoadBytes(const std::vector<uint8_t>& bytes) {
    return LS_LoadModule(PutBytes("t.mod", bytes).c_str(), LS_DefaultHeap);
  }
  // Loads bytes that must not load and checks that nothing was kept.
  void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    const int16_t allocs = LSI_Var.NbAlloc;
    const uint32_t freeMem = LS_GetFreeMem();
    EXPECT_EQ(LoadBytes(bytes), nullptr);
    EXPECT_EQ(LSI_Var.NbAlloc, allocs);
    EXPECT_EQ(LS_GetFreeMem(), freeMem);
  }
};

TEST_F(ModLoadTest, WrittenModulesReadBackFieldByField) {
  struct Case {
    const char* tag;
    uint32_t channels;
  };
  for (const Case c : {Case{"M.K.", 4}, Case{"6CHN", 6}, Case{"8CHN", 8}, Case{"OCTA", 8}, Case{"16CH", 16},
                       Case{"32CH", 32}, Case{"TDZ2", 2}}) {
    SCOPED_TRACE(c.tag);
    datagen::Module m = TestModule(c.channels, c.tag, {2, 0, 1, 2});
    m.restart = 1;
    m.samples[0].finetune = 9;
    m.samples[1].volume = 40;
    m.At(1, 63, c.channels - 1) = {856, 17, 0xE, 0x62};
    m.At(2, 5, 0) = {113, 4, 0xF, 0x20};
    MODULE* module = Load(m);
    ASSERT_NE(module, nullptr);
    const MODSTATE& s = module->Saved;
    EXPECT_EQ(s.Channels, c.channels);
    EXPECT_EQ(s.SongLength, 4u);
    EXPECT_EQ(s.RestartPosition, 1u);
    EXPECT_EQ(s.HighestPattern, 2u);
    EXPECT_EQ(s.Orders[0], 2);
    EXPECT_EQ(s.Orders[3], 2);
    EXPECT_EQ(s.CurrentPattern, 2u);
    EXPECT_EQ(s.Format, &LSI_ProTrackerFormat);
    EXPECT_EQ(module->Size, datagen::EncodeMod(m).size() + LS_MODSPARE);

    // Cells: the note as twice its index in the period table.
    EXPECT_EQ(CellAt(s, 1, 63, c.channels - 1), (2u * 25) << 20 | 17u << 12 | 0xEu << 8 | 0x62u);
    EXPECT_EQ(CellAt(s, 2, 5, 0), (2u * 60) << 20 | 4u << 12 | 0xFu << 8 | 0x20u);
    EXPECT_EQ(CellAt(s, 0, 0, 0), 0u);

    // Samples follow the patterns, each with its guard.
    const uint8_t* first = s.ModuleData + 3 * 64 * c.channels * 4;
    EXPECT_EQ(s.SampleStart[0], first);
    EXPECT_EQ(s.SampleEnd[0], first + 32);
    EXPECT_EQ(s.SampleLoopStart[0], first);
    EXPECT_EQ(s.SampleLoopLength[0], 32u);
    EXPECT_EQ(s.SampleFinetune[0], 9 * 172);
    EXPECT_EQ(s.SampleVolume[0], 64);
    EXPECT_EQ(s.SampleStart[1], first + 32 + 32);
    EXPECT_EQ(s.SampleVolume[1], 40);
    EXPECT_EQ(s.SampleStart[3], first + 3 * (64 + 32) - 32);
    EXPECT_EQ(s.SampleLoopLength[3], 0u);
    EXPECT_EQ(s.SampleEnd[3], s.SampleStart[3] + 64);
    EXPECT_EQ(s.SampleStart[4], nullptr);
    EXPECT_EQ(std::memcmp(s.SampleStart[0], datagen::SquareSample(32, 1).data(), 32), 0);
    EXPECT_EQ(s.ModuleSize, datagen::EncodeMod(m).size() - 1084 + 4 * 32);
    // A looping sample's guard repeats its loop; a one-shot's is silence.
    EXPECT_EQ(std::memcmp(s.SampleStart[0] + 32, s.SampleStart[0], 32), 0);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(s.SampleEnd[3][k], 0);

    // The song starts at its first position, tempo 125, speed 6; the
    // channels have no sample and pan left, right, right, left.
    EXPECT_EQ(s.Tempo, 125u);
    EXPECT_EQ(s.Speed, 6u);
    EXPECT_EQ(s.TickCounter, 6u);
    EXPECT_EQ(s.Row, 0u);
    EXPECT_EQ(s.OrderIndex, 0);
    EXPECT_EQ(s.Playing, 0u);
    for (uint32_t i = 0; i < c.channels; ++i) {
      EXPECT_EQ(s.Channel[i].Sample, LS_MODNOSAMPLE);
      EXPECT_EQ(s.Channel[i].Number, i);
      EXPECT_EQ(s.Channel[i].Pan, (i % 4 == 1 || i % 4 == 2) ? 0x80 : 0);
    }
    EXPECT_EQ(LS_FreeModule(module), 1);
  }
}

TEST_F(ModLoadTest, TagsGiveTheirChannelsExactly) {
  struct Case {
    const char* tag;
    uint32_t channels;
  };
  const Case cases[] = {
      {"M.K.", 4}, {"M!K!", 4}, {"FLT4", 4}, {"OCTA", 8}, {"FLT8", 8}, {"TDZ1", 1}, {"TDZ3", 3},
      {"1CHN", 1}, {"9CHN", 9}, {"10CH", 10}, {"16CH", 16}, {"32CH", 32}, {"0CHN", 0}, {"33CH", 0},
      {"09CH", 0}, {"TDZ4", 0}, {"TDZ0", 0}, {"M.K ", 0}, {"m.k.", 0}, {"CHN4", 0}, {"\xFF\xFF\xFF\xFF", 0},
      {"FLT6", 0}, {"2CH ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(LSI_ModChannelsOfTag(reinterpret_cast<const uint8_t*>(c.tag)), c.channels);
  }
}

TEST_F(ModLoadTest, PeriodTableRowsFollowTheFinetunes) {
  const uint16_t firsts[15] = {3400, 3376, 3352, 3328, 3304, 3280, 3256, 3628,
                               3600, 3576, 3548, 3524, 3500, 3472, 3448};
  EXPECT_EQ(LSI_ModPeriods[0][1], 3424);
  EXPECT_EQ(LSI_ModPeriods[0][37], 428);
  EXPECT_EQ(LSI_ModPeriods[0][84], 28);
  for (uint32_t r = 0; r < 16; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(LSI_ModPeriods[r][0], 65535);
    EXPECT_EQ(LSI_ModPeriods[r][85], 0);
    if (r) {
      EXPECT_EQ(LSI_ModPeriods[r][1], firsts[r - 1]);
    }
    for (uint32_t n = 2; n < 85; ++n) EXPECT_LT(LSI_ModPeriods[r][n], LSI_ModPeriods[r][n - 1]);
    // Each octave up halves the period, give or take the rounding.
    for (uint32_t n = 13; n < 85; ++n) EXPECT_NEAR(2 * LSI_ModPeriods[r][n], LSI_ModPeriods[r][n - 12], 2);
  }
  // The tracker's own values for finetune -8 and 7 at C-2 and B-3.
  EXPECT_EQ(LSI_ModPeriods[8][25], 907);
  EXPECT_EQ(LSI_ModPeriods[7][48], 216);
  EXPECT_EQ(LSI_ModPeriod(7 * 172, 2 * 25), 814);
  // Notes of periods: the first entry not above it; below 28 the final 0.
  EXPECT_EQ(LSI_ModNoteOfPeriod(428), 37u);
  EXPECT_EQ(LSI_ModNoteOfPeriod(427), 38u);
  EXPECT_EQ(LSI_ModNoteOfPeriod(4095), 1u);
  EXPECT_EQ(LSI_ModNoteOfPeriod(27), 85u);
}

TEST_F(ModLoadTest, RestartByteCountsOnlyInsideTheSong) {
  for (const auto& [restart, expected] : {std::pair<uint8_t, uint32_t>{2, 2}, {3, 0}, {200, 0}, {0, 0}}) {
    datagen::Module m = TestModule(4, "M.K.", {0, 0, 0});
    m.restart = restart;
    MODULE* module = Load(m);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Saved.RestartPosition, expected) << int{restart};
    LS_FreeModule(module);
  }
}

TEST_F(ModLoadTest, SamplesKeepTheirFullLengthAndAreCutAtTheFileEnd) {
  datagen::Module m = TestModule(4, "M.K.");
  datagen::ModSample big;
  big.data = datagen::ConstantSample(70000, 5);
  big.loopStart = 69000;
  big.loopLength = 1000;
  m.samples = {big, m.samples[0]};
  std::vector<uint8_t> bytes = datagen::EncodeMod(m);
  MODULE* module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  const MODSTATE& s = module->Saved;
  EXPECT_EQ(s.SampleEnd[0] - s.SampleStart[0], 70000);
  EXPECT_EQ(s.SampleLoopStart[0] - s.SampleStart[0], 69000);
  EXPECT_EQ(s.SampleStart[1], s.SampleStart[0] + 70000 + 32);
  EXPECT_EQ(s.SampleStart[1][0], 127);
  LS_FreeModule(module);

  // Cut 40000 bytes short: the first sample ends at the file's end and
  // its loop is clamped into it; the second has no bytes left.
  bytes.resize(bytes.size() - 32 - 40000);
  module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->Saved.SampleStart[0] + 30000, module->Saved.SampleLoopStart[0] + 0);
  EXPECT_EQ(module->Saved.SampleLoopLength[0], 0u);  // the loop start is the end: no loop
  EXPECT_EQ(module->Saved.SampleEnd[0] - module->Saved.SampleStart[0], 30000);
  EXPECT_EQ(module->Saved.SampleStart[1], nullptr);
  LS_FreeModule(module);
}

TEST_F(ModLoadTest, LoopsAndVolumesAreClampedIntoTheirSample) {
  std::vector<uint8_t> bytes = datagen::EncodeMod(TestModule(4, "M.K."));
  // Sample 2 (64 bytes): a loop from byte 40 of 200 bytes, volume 99.
  PutBE16(bytes, SampleField(1, kLoopStartField), 20);
  PutBE16(bytes, SampleField(1, kLoopLengthField), 100);
  bytes[SampleField(1, 25)] = 99;
  // Sample 3: a loop starting past its end.
  PutBE16(bytes, SampleField(2, kLoopStartField), 500);
  PutBE16(bytes, SampleField(2, kLoopLengthField), 8);
  MODULE* module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  const MODSTATE& s = module->Saved;
  EXPECT_EQ(s.SampleLoopStart[1] - s.SampleStart[1], 40);
  EXPECT_EQ(s.SampleLoopLength[1], 24u);
  EXPECT_EQ(s.SampleEnd[1] - s.SampleStart[1], 64);
  EXPECT_EQ(s.SampleVolume[1], 64);
  EXPECT_EQ(s.SampleLoopLength[2], 0u);
  EXPECT_EQ(s.SampleEnd[2] - s.SampleStart[2], 64);
  LS_FreeModule(module);
}

TEST_F(ModLoadTest, BadFilesGiveNullAndKeepNothing) {
  const std::vector<uint8_t> good = datagen::EncodeMod(TestModule(4, "M.K.", {0, 1}));
  MODULE* loaded = LoadBytes(good);
  ASSERT_NE(loaded, nullptr);
  LS_FreeModule(loaded);

  EXPECT_EQ(LS_LoadModule("missing.mod", LS_DefaultHeap), nullptr);
  ExpectRefused({}, "empty");
  ExpectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 1083), "1083 bytes");
  for (const char* tag : {"0CHN", "33CH", "\xFF\xFF\xFF\xFF", "    "}) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(bytes.data() + 1080, tag, 4);
    ExpectRefused(bytes, std::string("tag ") + tag);
  }
  for (uint8_t length : {0, 129, 255}) {
    std::vector<uint8_t> bytes = good;
    bytes[950] = length;
    ExpectRefused(bytes, "song length " + std::to_string(length));
  }
  {
    std::vector<uint8_t> bytes = good;
    bytes[952 + 127] = 2;  // a third pattern, past the file's end
    ExpectRefused(bytes, "pattern past the end");
    bytes = good;
    bytes.resize(1084 + 2 * 1024 - 1);
    ExpectRefused(bytes, "patterns cut short");
    bytes[952 + 5] = 255;
    ExpectRefused(bytes, "pattern 255");
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModLoadTest, NothingLoadsOrPlaysBeforeInit) {
  const std::string name = PutBytes("t.mod", datagen::EncodeMod(TestModule(4, "M.K.")));
  MODULE* module = LS_LoadModule(name.c_str(), LS_DefaultHeap);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LS_PlayModule(nullptr, 64, 0), 0);
  LS_CloseModuleSystem();
  const int16_t allocs = LSI_Var.NbAlloc;
  EXPECT_EQ(LS_LoadModule(name.c_str(), LS_DefaultHeap), nullptr);
  EXPECT_EQ(LSI_Var.NbAlloc, allocs);
  EXPECT_EQ(LS_PlayModule(module, 64, 0), 0);
  EXPECT_EQ(LS_GetModuleStatus(), 0);
  EXPECT_EQ(LS_FreeModule(module), 1);
  EXPECT_EQ(LS_FreeModule(nullptr), 0);
}

TEST_F(ModLoadTest, ModulesComeFromTheCallersHeap) {
  const HHEAP heap = LS_GetHeap(200000);
  ASSERT_NE(heap, 0u);
  const int16_t allocs = LSI_Var.NbAlloc;
  MODULE* module = Load(TestModule(4, "M.K."));
  LS_FreeModule(module);
  module = LS_LoadModule(PutBytes("u.mod", datagen::EncodeMod(TestModule(8, "OCTA"))).c_str(), heap);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LSI_Var.NbAlloc, allocs);
  EXPECT_STREQ(module->Name, "u.mod");
  EXPECT_EQ(LSI_FindHeap(module), LSI_FindHeap(module->Data));
  LS_FreeModule(module);
  LS_ReleaseHeap(heap);
}

}  // namespace
