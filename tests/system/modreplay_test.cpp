// Music module replay: ticks, rows, jumps, loops and effects, watched
// through a recording output driver; and the length of whole songs.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "datagen/modwrite.h"
#include "system/modstate.h"
#include "system/module.h"
#include "tests/support/modtest.h"

namespace {

using datagen::ModCell;
using ztest::kHighLoop;
using ztest::kSquareLoop;
using ztest::TestModule;
using Values = std::vector<uint32_t>;

constexpr uint8_t kLongOnce = 5;  // 1024 bytes, once: added by the effect tests

struct MixCall {
  uint32_t tick, channel, sample, volume, period, retriggered;
  const uint8_t* position;
};
struct StepCall {
  uint32_t tick, channel, period;
};

uint32_t g_tick = 0;
std::vector<MixCall> g_mixes;
std::vector<StepCall> g_steps;
std::vector<uint32_t> g_tempos;

// Records each call, then does what the player's driver does.
void RecordMix(MODSTATE& s, MODCHANNEL& c) {
  g_mixes.push_back({g_tick, c.Number, c.Sample, c.Volume, c.Period, c.Retriggered, c.Position});
  LS_ModuleMixer(s, c);
}
void RecordStep(MODSTATE& s, MODCHANNEL& c, uint32_t period) {
  g_steps.push_back({g_tick, c.Number, period});
  LSI_AsmPeriodToStep(s, c, period);
}
void RecordTempo(MODSTATE& s, uint32_t tempo) {
  g_tempos.push_back(tempo);
  LSI_AsmSetTempo(s, tempo);
}
const MODDRIVER kRecorder = {nullptr, nullptr,   nullptr,     LSI_AsmPrepareSample, nullptr,    nullptr,
                             nullptr, nullptr,   RecordMix,   RecordTempo,          RecordStep, LSI_AsmOutputMix};

struct Cell {
  uint32_t pattern, row, channel;
  ModCell cell;
};

// A row read: the pattern it was read from (the test songs play pattern
// n at position n), its number and the tick.
struct Row {
  int32_t order;
  uint32_t row, tick;
  bool operator==(const Row&) const = default;
};

class ModReplayTest : public ztest::ModTest {
 protected:
  void Start(const datagen::Module& m, uint32_t rate = 11025) {
    LSI_ModDriver = &LSI_ModPlayerDriver;
    StartPlayer(rate, 1, 8);
    module_ = Load(m);
    ASSERT_NE(module_, nullptr);
    ASSERT_EQ(LS_PlayModule(module_, 64, 0), 1);
    LSI_ModDriver = &kRecorder;
    g_tick = 0;
    g_mixes.clear();
    g_steps.clear();
    g_tempos.clear();
  }
  void Stop() {
    LS_CloseModuleSystem();
    LS_FreeModule(module_);
    LibraryTest::TearDown();
    plat::audio::Reset();
    LibraryTest::SetUp();
  }

  // One replay tick; the row it read, if it read one.
  static std::optional<Row> Tick() {
    MODSTATE& s = LSI_ModState;
    const bool reads = s.Speed != 0 && s.TickCounter == 1 && s.PatternDelay == 0;
    ++g_tick;
    LSI_AsmTick(s);
    if (!reads) return std::nullopt;
    return Row{static_cast<int32_t>(s.CurrentPattern), s.Row - 1, g_tick};
  }
  static std::vector<Row> Rows(uint32_t ticks) {
    std::vector<Row> rows;
    for (uint32_t i = 0; i < ticks; ++i)
      if (auto r = Tick()) rows.push_back(*r);
    return rows;
  }
  static std::vector<MixCall> MixesOf(uint32_t channel, uint32_t fromTick = 0) {
    std::vector<MixCall> out;
    for (const MixCall& m : g_mixes)
      if (m.channel == channel && m.tick >= fromTick) out.push_back(m);
    return out;
  }
  static Values StepPeriods(uint32_t channel, uint32_t fromTick) {
    Values out;
    for (const StepCall& s : g_steps)
      if (s.channel == channel && s.tick >= fromTick) out.push_back(s.period);
    return out;
  }

  // Ticks from the song's first row to its return to the restart position,
  // and its samples summed over them.
  static std::pair<uint32_t, uint64_t> SongLength() {
    uint32_t first = 0;
    uint64_t samples = 0;
    for (uint32_t i = 0; i < 100000; ++i) {
      const std::optional<Row> row = Tick();
      if (row && first && row->order == LSI_ModState.Orders[LSI_ModState.RestartPosition] && row->row == 0 &&
          row->tick > first)
        return {row->tick - first, samples};
      if (row && !first) first = row->tick;
      if (first) samples += LSI_ModState.SamplesPerTick;
    }
    return {0, 0};
  }

  MODULE* module_ = nullptr;
};

TEST_F(ModReplayTest, RowZeroSoundsOnTheSixthTick) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {428, kSquareLoop, 0, 0};
  Start(m);
  for (uint32_t t = 1; t <= 5; ++t) EXPECT_EQ(Tick(), std::nullopt);
  EXPECT_EQ(g_mixes.size(), 5u * 4);  // every channel on every tick, silent
  EXPECT_EQ(g_mixes.back().sample, LS_MODNOSAMPLE);
  EXPECT_EQ(Tick(), (Row{0, 0, 6}));
  const MixCall last = MixesOf(0).back();
  EXPECT_EQ((std::tuple{last.sample, last.period, last.volume, last.retriggered}), (std::tuple{0u, 428u, 64u, 1u}));
  EXPECT_EQ(LSI_ModState.Channel[0].Step, LSI_ModState.StepConstant / 428);
  EXPECT_EQ(Rows(12), (std::vector<Row>{{0, 1, 12}, {0, 2, 18}}));
}

// Rows read, as (position, row) and, where speed or delays change it, the tick.
TEST_F(ModReplayTest, JumpsBreaksLoopsDelaysAndSpeedsPickTheRows) {
  struct Case {
    const char* what;
    std::vector<uint8_t> orders;
    std::vector<Cell> cells;
    std::vector<Row> rows;  // a tick of 0 is not compared
  } cases[] = {
      {"D32 continues at row 32", {0, 1}, {{0, 5, 2, {0, 0, 0xD, 0x32}}},
       {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {0, 5, 0}, {1, 32, 0}, {1, 33, 0}}},
      {"B05, and the later channel's break row wins",
       {0, 1, 2, 3, 4, 5, 6},
       {{0, 2, 1, {0, 0, 0xB, 0x05}}, {5, 1, 0, {0, 0, 0xD, 0x10}}, {5, 1, 3, {0, 0, 0xB, 0x02}},
        {2, 0, 0, {0, 0, 0xB, 0x03}}, {2, 0, 1, {0, 0, 0xD, 0x10}}},
       {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {5, 0, 0}, {5, 1, 0}, {2, 0, 0}, {3, 10, 0}}},
      {"past the song: the restart position; break rows past 63: row 0",
       {0, 1, 2},
       {{0, 0, 0, {0, 0, 0xB, 0x40}}, {1, 0, 0, {0, 0, 0xD, 0x99}}, {2, 0, 0, {0, 0, 0xD, 0x6A}}},
       {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, 0}}},
      {"E60 to E63 plays four times", {0}, {{0, 2, 1, {0, 0, 0xE, 0x60}}, {0, 5, 1, {0, 0, 0xE, 0x63}}},
       {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {0, 5, 0}, {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {0, 5, 0},
        {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {0, 5, 0}, {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {0, 5, 0}, {0, 6, 0}}},
      {"EE2 holds the row two rows more", {0}, {{0, 3, 0, {428, kSquareLoop, 0xE, 0xE2}}},
       {{0, 0, 6}, {0, 1, 12}, {0, 2, 18}, {0, 3, 24}, {0, 4, 42}}},
      {"F03 and F1F set ticks per row from their own row", {0},
       {{0, 0, 0, {0, 0, 0xF, 0x03}}, {0, 2, 0, {0, 0, 0xF, 0x1F}}},
       {{0, 0, 6}, {0, 1, 9}, {0, 2, 12}, {0, 3, 43}, {0, 4, 74}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    datagen::Module m = TestModule(4, "M.K.", c.orders);
    m.restart = 1;
    for (const Cell& cell : c.cells) m.At(cell.pattern, cell.row, cell.channel) = cell.cell;
    Start(m);
    std::vector<Row> rows;
    while (rows.size() < c.rows.size() && g_tick < 1000)
      if (auto r = Tick()) rows.push_back(*r);
    for (size_t i = 0; i < rows.size(); ++i)
      if (!c.rows[i].tick) rows[i].tick = 0;
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(g_mixes.size(), g_tick * 4);  // delayed rows still mix every channel
    Stop();
  }
}

// Channel 0's state after the later ticks of the last of its rows, each row
// of six ticks. Periods 428, 404, 339 and 285 are the notes C, D, E and G.
TEST_F(ModReplayTest, EffectsChangePeriodVolumeAndPosition) {
  struct Case {
    const char* what;
    std::vector<ModCell> rows;
    int32_t period = -1, volume = -1;
    Values steps = {};                     // periods given the driver on the row's later ticks
    std::optional<Values> retriggers = {};  // the row's ticks (0-5) on which the sample restarts
    int32_t offset = -1;                   // the sample byte the row starts at
    uint32_t sample = 0;                   // its index x 4
  } cases[] = {
      {"0 arpeggio, its index going on across rows", {{428, kSquareLoop, 0, 0x47}, {0, 0, 0, 0x47}}, 428, -1,
       {428, 339, 285, 428, 339}},
      {"1 slides up to 28 at most", {{113, kSquareLoop, 1, 0xFF}}, 28},
      {"2 slides down to 3437 at most", {{3424, kSquareLoop, 2, 0xFF}}, 3437},
      {"3 is ignored without a note playing", {{428, kSquareLoop, 3, 8}}, 0, -1, {}, Values{}, -1, LS_MODNOSAMPLE},
      {"3 slides to its note without restarting", {{428, kSquareLoop, 0, 0}, {404, 0, 3, 5}}, 404, -1,
       {423, 418, 413, 408, 404}, Values{}},
      {"4 vibrato moves the step, not the period", {{428, kSquareLoop, 4, 0x48}}, 428, -1, {428, 434, 439, 442, 443}},
      {"4 from memory, below the note", {{428, kSquareLoop, 4, 0x48}, {0, 0, 4, 0}}, 428, -1, {442, 439, 422, 428, 422}},
      {"5 slides the volume and goes on to the note", {{428, kSquareLoop, 0, 0}, {404, 0, 3, 2}, {0, 0, 5, 0x02}}, 408, 54},
      {"6 slides the volume and goes on vibrating", {{428, kSquareLoop, 4, 0x48}, {0, 0, 6, 0x03}}, 428, 49,
       {442, 439, 422, 428, 422}},
      {"7 tremolo moves the volume", {{428, kSquareLoop, 7, 0x4F}}, 428, 52},
      {"9 starts 512 bytes in", {{428, kLongOnce, 9, 0x02}}, 428, -1, {}, Values{0}, 512, 16},
      {"9 past the sample: its end", {{428, kLongOnce, 9, 0x10}}, 428, -1, {}, Values{0}, 1024, 16},
      {"C sets at most 64, A slides down to 0", {{428, kSquareLoop, 0xC, 0x50}, {0, 0, 0xA, 0x0F}}, 428, 0},
      {"a number alone: the current sample's volume", {{428, kSquareLoop, 0xC, 0x20}, {0, kHighLoop, 0xE, 0xA3}}, 428,
       64, {}, Values{}},
      {"sample 40 is ignored; the note restarts", {{428, kSquareLoop, 0, 0}, {404, 40, 0, 0}}, 404, 64, {}, Values{0}},
      {"E1 fine slide up", {{428, kSquareLoop, 0xE, 0x13}}, 425},
      {"E2 fine slide down", {{428, kSquareLoop, 0xE, 0x24}}, 432},
      {"E5 finetune 1 plays the note at 425", {{428, kSquareLoop, 0xE, 0x51}}, 425},
      {"E9 retriggers every second tick", {{428, kSquareLoop, 0xE, 0x92}}, 428, 64, {}, Values{0, 2, 4}},
      {"EB fine volume down", {{428, kSquareLoop, 0xE, 0xB5}}, 428, 59},
      {"EC0 cuts on the first later tick", {{428, kSquareLoop, 0xE, 0xC0}}, 428, 0},
      {"ED2 starts the note on the second later tick", {{404, kSquareLoop, 0xE, 0xD2}}, 404, 64, {}, Values{2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    datagen::Module m = TestModule(4, "M.K.");
    datagen::ModSample longOnce;
    longOnce.data = datagen::SawSample(64, 16);
    m.samples.push_back(longOnce);
    for (uint32_t r = 0; r < c.rows.size(); ++r) m.At(0, r, 0) = c.rows[r];
    Start(m);
    const uint32_t rowTick = 6 * static_cast<uint32_t>(c.rows.size());
    Rows(rowTick + 5);
    const MODCHANNEL& ch = LSI_ModState.Channel[0];
    if (c.period >= 0) { EXPECT_EQ(ch.Period, static_cast<uint32_t>(c.period)); }
    if (c.volume >= 0) { EXPECT_EQ(ch.Volume, static_cast<uint32_t>(c.volume)); }
    if (!c.steps.empty()) { EXPECT_EQ(StepPeriods(0, rowTick + 1), c.steps); }
    EXPECT_EQ(ch.Sample, c.sample);
    const std::vector<MixCall> mixes = MixesOf(0, rowTick);
    Values retriggers;
    for (const MixCall& mix : mixes)
      if (mix.retriggered) retriggers.push_back(mix.tick - rowTick);
    if (c.retriggers) { EXPECT_EQ(retriggers, *c.retriggers); }
    if (c.offset >= 0) { EXPECT_EQ(mixes[0].position - LSI_ModState.SampleStart[kLongOnce - 1], c.offset); }
    Stop();
  }
}

// 4 channels: two positions at speed 6 and tempo 125: 768 ticks, 15.325 s
// at 44100 Hz, within 0.5 % of the tracker's 15.36 s. 6 channels: speed 5
// and tempo 150 (732 samples a tick), a 32-row pattern between two full
// ones: 800 ticks. 8 channels: speed 3 and a pattern delay of one row: 195
// ticks.
TEST_F(ModReplayTest, SongLengths) {
  struct Case {
    uint32_t channels;
    const char* tag;
    std::vector<uint8_t> orders;
    std::vector<Cell> cells;
    uint32_t ticks, samplesPerTick;
  } cases[] = {
      {4, "M.K.", {0, 1}, {}, 768, 880},
      {6, "6CHN", {0, 1, 2}, {{0, 0, 0, {428, kSquareLoop, 0xF, 0x05}}, {0, 0, 1, {428, kSquareLoop, 0xF, 150}},
                              {1, 31, 5, {0, 0, 0xD, 0x00}}}, 800, 732},
      {8, "8CHN", {0}, {{0, 0, 7, {428, kSquareLoop, 0xF, 0x03}}, {0, 10, 2, {0, 0, 0xE, 0xE1}}}, 195, 880},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    datagen::Module m = TestModule(c.channels, c.tag, c.orders);
    for (uint32_t ch = 0; ch < c.channels; ++ch) m.At(0, 0, ch) = {428, kSquareLoop, 0, 0};
    for (const Cell& cell : c.cells) m.At(cell.pattern, cell.row, cell.channel) = cell.cell;
    Start(m, 44100);
    const auto [ticks, samples] = SongLength();
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(samples, uint64_t{c.ticks} * c.samplesPerTick);
    Stop();
  }
}

TEST_F(ModReplayTest, TempoShortensTicksAndSpeedZeroHaltsTheSong) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {0, 0, 0xF, 0x20};
  m.At(0, 1, 1) = {428, kSquareLoop, 0xF, 0x00};
  Start(m);
  EXPECT_EQ(LSI_ModState.SamplesPerTick, 220u);
  Rows(6);
  EXPECT_EQ(g_tempos, Values{32});
  EXPECT_EQ(LSI_ModState.BytesPerTick, 860u);
  // F00: no row is read again; the note sounds on.
  EXPECT_EQ(Rows(6).size(), 1u);
  const uint8_t* before = LSI_ModState.Channel[1].Position;
  EXPECT_TRUE(Rows(500).empty());
  EXPECT_EQ((std::tuple{MixesOf(1).back().tick, MixesOf(1).back().volume}), (std::tuple{g_tick, 64u}));
  EXPECT_NE(LSI_ModState.Channel[1].Position, before);
}

}  // namespace
