// Music modules: the writer's files read back field by field, the tags,
// the period table, and files that must not load.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

using Bytes = std::vector<uint8_t>;
using ztest::TestModule;

uint32_t CellAt(const MODSTATE& s, uint32_t pattern, uint32_t row, uint32_t channel) {
  return LSI_ModCell(s.ModuleData + ((pattern * 64 + row) * s.Channels + channel) * 4);
}

Bytes With(Bytes b, size_t at, std::initializer_list<uint8_t> values) {
  std::copy(values.begin(), values.end(), b.begin() + static_cast<long>(at));
  return b;
}

class ModLoadTest : public ztest::ModTest {
 protected:
  void SetUp() override {
    ztest::ModTest::SetUp();
    StartPlayer();
  }
  MODULE* LoadBytes(const Bytes& bytes) { return LS_LoadModule(PutBytes("t.mod", bytes).c_str(), LS_DefaultHeap); }
};

TEST_F(ModLoadTest, WrittenModulesReadBackFieldByField) {
  for (auto [tag, channels] : {std::pair{"M.K.", 4u}, {"32CH", 32u}}) {
    SCOPED_TRACE(tag);
    datagen::Module m = TestModule(channels, tag, {2, 0, 1, 2});
    m.samples[0].finetune = 9;
    m.samples[1].volume = 40;
    m.At(1, 63, channels - 1) = {856, 17, 0xE, 0x62};
    m.At(2, 5, 0) = {113, 4, 0xF, 0x20};
    MODULE* module = Load(m);
    ASSERT_NE(module, nullptr);
    const MODSTATE& s = module->Saved;
    EXPECT_EQ(std::tuple(s.Channels, s.SongLength, s.HighestPattern, s.CurrentPattern), std::tuple(channels, 4u, 2u, 2u));
    EXPECT_EQ(module->Size, datagen::EncodeMod(m).size() + LS_MODSPARE);
    // Cells: the note as twice its index in the period table.
    EXPECT_EQ(CellAt(s, 1, 63, channels - 1), (2u * 25) << 20 | 17u << 12 | 0xEu << 8 | 0x62u);
    EXPECT_EQ(CellAt(s, 2, 5, 0), (2u * 60) << 20 | 4u << 12 | 0xFu << 8 | 0x20u);
    // Samples follow the patterns, each with its guard: a looping sample's
    // repeats its loop, a one-shot's is silence.
    const uint8_t* first = s.ModuleData + 3 * 64 * channels * 4;
    EXPECT_EQ(std::tuple(s.SampleStart[0], s.SampleLoopLength[0], s.SampleFinetune[0], s.SampleVolume[1]),
              std::tuple(first, 32u, 9 * 172, 40));
    EXPECT_EQ(std::tuple(s.SampleStart[3], s.SampleEnd[3] - s.SampleStart[3], s.SampleLoopLength[3], s.SampleStart[4]),
              std::tuple(first + 3 * (64 + 32) - 32, ptrdiff_t{64}, 0u, nullptr));
    EXPECT_EQ(std::memcmp(s.SampleStart[0], datagen::SquareSample(32, 1).data(), 32), 0);
    EXPECT_EQ(std::memcmp(s.SampleStart[0] + 32, s.SampleStart[0], 32), 0);
    EXPECT_EQ(std::count(s.SampleEnd[3], s.SampleEnd[3] + 32, 0), 32);
    // The song starts at its first position, tempo 125, speed 6; the
    // channels have no sample and pan left, right, right, left.
    EXPECT_EQ(std::tuple(s.Tempo, s.Speed, s.Playing, s.Channel[channels - 1].Sample), std::tuple(125u, 6u, 0u, LS_MODNOSAMPLE));
    EXPECT_EQ((std::array{s.Channel[0].Pan, s.Channel[1].Pan, s.Channel[2].Pan, s.Channel[3].Pan}),
              (std::array<decltype(s.Channel[0].Pan), 4>{0, 0x80, 0x80, 0}));
    EXPECT_EQ(LS_FreeModule(module), 1);
  }
}

TEST_F(ModLoadTest, TagsGiveTheirChannelsExactly) {
  const std::pair<const char*, uint32_t> rows[] = {
      {"M.K.", 4}, {"OCTA", 8}, {"FLT8", 8}, {"TDZ3", 3}, {"9CHN", 9}, {"32CH", 32},
      {"0CHN", 0}, {"33CH", 0}, {"09CH", 0}, {"m.k.", 0}, {"FLT6", 0},
  };
  for (const auto& [tag, channels] : rows)
    EXPECT_EQ(LSI_ModChannelsOfTag(reinterpret_cast<const uint8_t*>(tag)), channels) << tag;
}

TEST_F(ModLoadTest, PeriodTableRowsFollowTheFinetunes) {
  const std::pair<uint32_t, uint16_t> firsts[] = {{0, 3424}, {1, 3400}, {7, 3256}, {8, 3628}, {15, 3448}};
  for (auto [row, period] : firsts) EXPECT_EQ(LSI_ModPeriods[row][1], period) << row;
  // Each octave up halves the period, give or take the rounding.
  for (uint32_t r = 0; r < 16; ++r)
    for (uint32_t n = 13; n < 85; ++n) ASSERT_NEAR(2 * LSI_ModPeriods[r][n], LSI_ModPeriods[r][n - 12], 2) << r << " " << n;
  // The ends, and the tracker's own values for finetune -8 and 7 at C-2 and B-3.
  EXPECT_EQ(std::tuple(LSI_ModPeriods[3][0], LSI_ModPeriods[3][85], LSI_ModPeriods[0][84]), std::tuple(65535, 0, 28));
  EXPECT_EQ(std::tuple(LSI_ModPeriods[8][25], LSI_ModPeriod(7 * 172, 2 * 25)), std::tuple(907, 814u));
  // Notes of periods: the first entry not above it; below 28 the final 0.
  for (auto [period, note] : {std::pair{428u, 37u}, {427u, 38u}, {4095u, 1u}, {27u, 85u}})
    EXPECT_EQ(LSI_ModNoteOfPeriod(period), note) << period;
}

TEST_F(ModLoadTest, RestartByteCountsOnlyInsideTheSong) {
  for (const auto& [restart, expected] : {std::pair<uint8_t, uint32_t>{2, 2}, {3, 0}, {200, 0}}) {
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
  Bytes bytes = datagen::EncodeMod(m);
  MODULE* module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  const MODSTATE& s = module->Saved;
  EXPECT_EQ(std::tuple(s.SampleEnd[0] - s.SampleStart[0], s.SampleLoopStart[0] - s.SampleStart[0], s.SampleStart[1]),
            std::tuple(70000, 69000, s.SampleStart[0] + 70000 + 32));
  LS_FreeModule(module);
  // Cut 40000 bytes short: the first sample ends at the file's end and
  // its loop, starting there, is none; the second has no bytes left.
  bytes.resize(bytes.size() - 32 - 40000);
  module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  const MODSTATE& t = module->Saved;
  EXPECT_EQ(std::tuple(t.SampleEnd[0] - t.SampleStart[0], t.SampleLoopLength[0], t.SampleStart[1]),
            std::tuple(30000, 0u, nullptr));
  LS_FreeModule(module);
}

TEST_F(ModLoadTest, LoopsAndVolumesAreClampedIntoTheirSample) {
  Bytes bytes = datagen::EncodeMod(TestModule(4, "M.K."));
  bytes = With(bytes, 20 + 30 + 25, {99, 0, 20, 0, 100});  // sample 2 (64 bytes): volume 99, loop 40 + 200
  bytes = With(bytes, 20 + 60 + 26, {0x01, 0xF4, 0, 8});    // sample 3: a loop starting past its end
  MODULE* module = LoadBytes(bytes);
  ASSERT_NE(module, nullptr);
  const MODSTATE& s = module->Saved;
  EXPECT_EQ(std::tuple(s.SampleLoopStart[1] - s.SampleStart[1], s.SampleLoopLength[1], s.SampleEnd[1] - s.SampleStart[1],
                       s.SampleVolume[1], s.SampleLoopLength[2]),
            std::tuple(40, 24u, 64, 64, 0u));
  LS_FreeModule(module);
}

TEST_F(ModLoadTest, BadFilesGiveNullAndKeepNothing) {
  const Bytes good = datagen::EncodeMod(TestModule(4, "M.K.", {0, 1}));
  Bytes cut(good.begin(), good.begin() + 1084 + 2 * 1024 - 1);
  const std::pair<const char*, Bytes> rows[] = {
      {"empty", {}},
      {"1083 bytes", Bytes(good.begin(), good.begin() + 1083)},
      {"tag 33CH", With(good, 1080, {'3', '3', 'C', 'H'})},
      {"song length 0", With(good, 950, {0})},
      {"song length 129", With(good, 950, {129})},
      {"a pattern past the end", With(good, 952 + 127, {2})},
      {"patterns cut short", cut},
      {"pattern 255", With(cut, 952 + 5, {255})},
  };
  for (const auto& [what, bytes] : rows) {
    const int16_t allocs = LSI_Var.NbAlloc;
    const uint32_t freeMem = LS_GetFreeMem();
    EXPECT_EQ((std::tuple{LoadBytes(bytes), LSI_Var.NbAlloc, LS_GetFreeMem()}), std::tuple(nullptr, allocs, freeMem)) << what;
  }
  EXPECT_EQ(LS_LoadModule("missing.mod", LS_DefaultHeap), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModLoadTest, NothingLoadsOrPlaysBeforeInit) {
  const std::string name = PutBytes("t.mod", datagen::EncodeMod(TestModule(4, "M.K.")));
  MODULE* module = LS_LoadModule(name.c_str(), LS_DefaultHeap);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LS_PlayModule(nullptr, 64, 0), 0);
  LS_CloseModuleSystem();
  const int16_t allocs = LSI_Var.NbAlloc;
  EXPECT_EQ((std::tuple{LS_LoadModule(name.c_str(), LS_DefaultHeap), LSI_Var.NbAlloc}), std::tuple(nullptr, allocs));
  EXPECT_EQ((std::tuple{LS_PlayModule(module, 64, 0), LS_GetModuleStatus(), LS_FreeModule(module), LS_FreeModule(nullptr)}),
            std::tuple(0, 0, 1, 0));
}

TEST_F(ModLoadTest, ModulesComeFromTheCallersHeap) {
  const HHEAP heap = LS_GetHeap(200000);
  const int16_t allocs = LSI_Var.NbAlloc;
  MODULE* module = LS_LoadModule(PutBytes("u.mod", datagen::EncodeMod(TestModule(8, "OCTA"))).c_str(), heap);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(std::tuple(LSI_Var.NbAlloc, std::string(module->Name), LSI_FindHeap(module), LSI_FindHeap(module->Data)),
            std::tuple(allocs, std::string("u.mod"), LSI_GetHeapOf(heap), LSI_GetHeapOf(heap)));
  LS_FreeModule(module);
  LS_ReleaseHeap(heap);
}

}  // namespace
