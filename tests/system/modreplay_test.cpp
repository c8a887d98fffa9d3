// Music module replay: ticks, rows, jumps, loops and effects, watched
// through a recording output driver; and the length of whole songs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "datagen/modwrite.h"
#include "system/modstate.h"
#include "system/module.h"
#include "tests/support/modtest.h"

namespace {

using ztest::kHighLoop;
using ztest::kSquareLoop;
using ztest::TestModule;

struct MixCall {
  uint32_t tick;
  uint32_t channel, sample, volume, period, step, retriggered;
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
  g_mixes.push_back({g_tick, c.Number, c.Sample, c.Volume, c.Period, c.Step, c.Retriggered});
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
const MODDRIVER kRecorder = {nullptr,   nullptr,     nullptr,    LSI_AsmPrepareSample, nullptr,
                             nullptr,   nullptr,     nullptr,    RecordMix,            RecordTempo,
                             RecordStep, LSI_AsmOutputMix};

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

  // One replay tick; the row it read, if it read one.
  static std::optional<Row> Tick() {
    MODSTATE& s = LSI_ModState;
    const bool reads = s.Speed != 0 && s.TickCounter == 1 && s.PatternDelay == 0;
    ++g_tick;
    LSI_AsmTick(s);
    if (!reads) return std::nullopt;
    return Row{static_cast<int32_t>(s.CurrentPattern), s.Row - 1, g_tick};
  }
  // The rows read in ticks ticks.
  static std::vector<Row> Rows(uint32_t ticks) {
    std::vector<Row> rows;
    for (uint32_t i = 0; i < ticks; ++i)
      if (auto r = Tick()) rows.push_back(*r);
    return rows;
  }
  static std::vector<uint32_t> RowNumbers(const std::vector<Row>& rows) {
    std::vector<uint32_t> out;
    for (const Row& r : rows) out.push_back(r.row);
    return out;
  }
  static std::vector<MixCall> MixesOf(uint32_t channel) {
    std::vector<MixCall> out;
    for (const MixCall& m : g_mixes)
      if (m.channel == channel) out.push_back(m);
    return out;
  }
  static std::vector<uint32_t> StepPeriods(uint32_t channel, uint32_t fromTick) {
    std::vector<uint32_t> out;
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
  for (const MixCall& c : g_mixes) EXPECT_EQ(c.sample, LS_MODNOSAMPLE);
  EXPECT_EQ(g_mixes.size(), 5u * 4);
  EXPECT_EQ(Tick(), (Row{0, 0, 6}));
  const MixCall last = MixesOf(0).back();
  EXPECT_EQ(last.tick, 6u);
  EXPECT_EQ(last.sample, 0u);
  EXPECT_EQ(last.period, 428u);
  EXPECT_EQ(last.volume, 64u);
  EXPECT_EQ(last.step, LSI_ModState.StepConstant / 428);
  EXPECT_EQ(last.retriggered, 1u);
  EXPECT_EQ(Rows(12), (std::vector<Row>{{0, 1, 12}, {0, 2, 18}}));
}

TEST_F(ModReplayTest, BreakContinuesAtItsRow) {
  datagen::Module m = TestModule(4, "M.K.", {0, 1});
  m.At(0, 5, 2) = {0, 0, 0xD, 0x32};
  Start(m);
  const std::vector<Row> rows = Rows(6 * 8);
  EXPECT_EQ(rows[5], (Row{0, 5, 36}));
  EXPECT_EQ(rows[6], (Row{1, 32, 42}));
  EXPECT_EQ(rows[7], (Row{1, 33, 48}));
}

TEST_F(ModReplayTest, JumpPlaysItsPositionAndTheLaterChannelsBreakRowWins) {
  datagen::Module m = TestModule(4, "M.K.", {0, 1, 2, 3, 4, 5, 6});
  m.At(0, 2, 1) = {0, 0, 0xB, 0x05};  // B05: position 5 next
  m.At(5, 1, 0) = {0, 0, 0xD, 0x10};  // D10, then B02 on a later channel: row 0
  m.At(5, 1, 3) = {0, 0, 0xB, 0x02};
  m.At(2, 0, 0) = {0, 0, 0xB, 0x03};  // B03, then D10 on a later channel: row 10
  m.At(2, 0, 1) = {0, 0, 0xD, 0x10};
  Start(m);
  const std::vector<Row> rows = Rows(6 * 7);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[2], (Row{0, 2, 18}));
  EXPECT_EQ(rows[3], (Row{5, 0, 24}));
  EXPECT_EQ(rows[4], (Row{5, 1, 30}));
  EXPECT_EQ(rows[5], (Row{2, 0, 36}));
  EXPECT_EQ(rows[6], (Row{3, 10, 42}));
}

TEST_F(ModReplayTest, JumpsPastTheSongAndBadBreakRowsStayInside) {
  datagen::Module m = TestModule(4, "M.K.", {0, 1, 2});
  m.restart = 1;
  m.At(0, 0, 0) = {0, 0, 0xB, 0x40};  // past the song: the restart position
  m.At(1, 0, 0) = {0, 0, 0xD, 0x99};  // break row 99: row 0
  m.At(2, 0, 0) = {0, 0, 0xD, 0x6A};  // break row 70: row 0
  Start(m);
  const std::vector<Row> rows = Rows(6 * 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1].order, 1);
  EXPECT_EQ(rows[1].row, 0u);
  EXPECT_EQ(rows[2].order, 2);
  EXPECT_EQ(rows[2].row, 0u);
  EXPECT_EQ(rows[3].order, 1);  // past the end: the restart position
  EXPECT_EQ(rows[3].row, 0u);
}

TEST_F(ModReplayTest, PatternLoopPlaysItsRowsFourTimes) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 2, 1) = {0, 0, 0xE, 0x60};
  m.At(0, 5, 1) = {0, 0, 0xE, 0x63};
  Start(m);
  const std::vector<uint32_t> rows = RowNumbers(Rows(6 * 20));
  const std::vector<uint32_t> expected = {0, 1, 2, 3, 4, 5, 2, 3, 4, 5, 2, 3, 4, 5, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(rows, expected);
}

TEST_F(ModReplayTest, PatternDelayHoldsTheRow) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 3, 0) = {428, kSquareLoop, 0xE, 0xE2};
  Start(m);
  const std::vector<Row> rows = Rows(6 * 8);
  EXPECT_EQ(rows[3], (Row{0, 3, 24}));
  EXPECT_EQ(rows[4], (Row{0, 4, 24 + 18}));
  // The delayed rows still mix every channel on every tick.
  EXPECT_EQ(g_mixes.size(), g_tick * 4);
}

TEST_F(ModReplayTest, SpeedSetsTicksPerRowFromItsOwnRow) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {0, 0, 0xF, 0x03};
  m.At(0, 2, 0) = {0, 0, 0xF, 0x1F};
  Start(m);
  const std::vector<Row> rows = Rows(80);
  ASSERT_GE(rows.size(), 5u);
  EXPECT_EQ(rows[0].tick, 6u);
  EXPECT_EQ(rows[1].tick, 9u);
  EXPECT_EQ(rows[2].tick, 12u);
  EXPECT_EQ(rows[3].tick, 12u + 31);
  EXPECT_EQ(rows[4].tick, 12u + 62);
  EXPECT_EQ(LSI_ModState.Speed, 31u);
}

TEST_F(ModReplayTest, TempoShortensTicksAndSpeedZeroHaltsTheSong) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {0, 0, 0xF, 0x20};
  m.At(0, 1, 1) = {428, kSquareLoop, 0xF, 0x00};
  Start(m);
  EXPECT_EQ(LSI_ModState.SamplesPerTick, 220u);
  Rows(6);
  EXPECT_EQ(g_tempos, std::vector<uint32_t>{32});
  EXPECT_EQ(LSI_ModState.Tempo, 32u);
  EXPECT_EQ(LSI_ModState.SamplesPerTick, 860u);
  EXPECT_EQ(LSI_ModState.BytesPerTick, 860u);
  // F00: no row is read again; the note sounds on.
  EXPECT_EQ(Rows(6).size(), 1u);
  const uint8_t* before = LSI_ModState.Channel[1].Position;
  EXPECT_TRUE(Rows(500).empty());
  const std::vector<MixCall> mixes = MixesOf(1);
  EXPECT_EQ(mixes.back().tick, g_tick);
  EXPECT_EQ(mixes.back().sample, 0u);
  EXPECT_EQ(mixes.back().volume, 64u);
  EXPECT_NE(LSI_ModState.Channel[1].Position, before);
}

TEST_F(ModReplayTest, NoteCutAndNoteDelay) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {428, kSquareLoop, 0xE, 0xC0};
  m.At(0, 0, 1) = {404, kSquareLoop, 0xE, 0xD2};
  Start(m);
  Rows(9);
  const std::vector<MixCall> cut = MixesOf(0), delayed = MixesOf(1);
  EXPECT_EQ(cut[5].volume, 64u);  // the row's tick
  EXPECT_EQ(cut[6].volume, 0u);   // tick 1
  EXPECT_EQ(delayed[5].sample, LS_MODNOSAMPLE);
  EXPECT_EQ(delayed[6].sample, LS_MODNOSAMPLE);
  EXPECT_EQ(delayed[7].sample, 0u);  // tick 2
  EXPECT_EQ(delayed[7].period, 404u);
  EXPECT_EQ(delayed[7].retriggered, 1u);
  EXPECT_EQ(delayed[8].retriggered, 0u);
}

TEST_F(ModReplayTest, TonePortamento) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {428, kSquareLoop, 3, 8};  // no note sounds yet: ignored
  m.At(0, 1, 1) = {428, kSquareLoop, 0, 0};
  m.At(0, 2, 1) = {404, 0, 3, 5};            // slides from 428 to 404
  Start(m);
  Rows(6 * 3 + 5);
  const MODCHANNEL& c0 = LSI_ModState.Channel[0];
  EXPECT_EQ(c0.Sample, LS_MODNOSAMPLE);
  EXPECT_EQ(c0.Period, 0u);
  EXPECT_EQ(c0.TonePeriod, 0u);
  const std::vector<MixCall> mixes = MixesOf(1);
  const MixCall& row2 = mixes[6 + 6 + 5];
  EXPECT_EQ(row2.period, 428u);
  EXPECT_EQ(row2.retriggered, 0u);  // the sample plays on
  EXPECT_EQ(StepPeriods(1, row2.tick + 1), (std::vector<uint32_t>{423, 418, 413, 408, 404}));
  Rows(7);
  EXPECT_EQ(LSI_ModState.Channel[1].Period, 404u);
  EXPECT_TRUE(StepPeriods(1, row2.tick + 6).empty());
}

TEST_F(ModReplayTest, SlidesStopAtTheirLimits) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {113, kSquareLoop, 1, 0xFF};
  m.At(0, 0, 1) = {856, kSquareLoop, 2, 0xFF};
  m.At(0, 0, 2) = {0, 0, 0xF, 0x1F};
  Start(m);
  Rows(5 + 31);
  EXPECT_EQ(StepPeriods(0, 7).front(), 28u);
  EXPECT_EQ(LSI_ModState.Channel[0].Period, 28u);
  const std::vector<uint32_t> down = StepPeriods(1, 7);
  EXPECT_EQ(down[0], 856u + 255);
  EXPECT_EQ(down.back(), 3437u);
  EXPECT_EQ(LSI_ModState.Channel[1].Period, 3437u);
}

TEST_F(ModReplayTest, VibratoMovesTheStepNotThePeriod) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {428, kSquareLoop, 4, 0x48};
  m.At(0, 1, 0) = {0, 0, 4, 0x00};  // the same vibrato, from memory
  Start(m);
  Rows(6 + 5);
  EXPECT_EQ(StepPeriods(0, 7), (std::vector<uint32_t>{428, 434, 439, 442, 443}));
  EXPECT_EQ(LSI_ModState.Channel[0].Period, 428u);
  EXPECT_EQ(LSI_ModState.Channel[0].Step, LSI_ModState.StepConstant / 443);
  // Past half a turn of the wave the period goes below the note.
  Rows(6);
  EXPECT_EQ(StepPeriods(0, 13), (std::vector<uint32_t>{442, 439, 422, 428, 422}));
  EXPECT_EQ(LSI_ModState.Channel[0].Period, 428u);
}

TEST_F(ModReplayTest, ArpeggioCyclesAcrossRows) {
  datagen::Module m = TestModule(4, "M.K.");
  m.At(0, 0, 0) = {428, kSquareLoop, 0, 0x47};
  m.At(0, 1, 0) = {0, 0, 0, 0x47};
  Start(m);
  Rows(6 + 11);
  EXPECT_EQ(StepPeriods(0, 7), (std::vector<uint32_t>{339, 285, 428, 339, 285, 428, 339, 285, 428, 339}));
  EXPECT_EQ(LSI_ModState.Channel[0].Period, 428u);
}

TEST_F(ModReplayTest, VolumeEffectsAndSampleNumbers) {
  datagen::Module m = TestModule(4, "M.K.");
  m.samples[1].volume = 20;
  m.At(0, 0, 0) = {428, kSquareLoop, 0xC, 0x50};  // volume 80: 64
  m.At(0, 1, 0) = {0, 0, 0xA, 0x0F};              // slide down 15 a tick
  m.At(0, 2, 0) = {0, kHighLoop, 0xE, 0xA3};      // number alone: the current sample's volume, +3
  m.At(0, 3, 0) = {404, 40, 0, 0};                // sample 40: ignored, the note restarts sample 1
  Start(m);
  Rows(6);
  EXPECT_EQ(LSI_ModState.Channel[0].Volume, 64u);
  Rows(11);
  EXPECT_EQ(LSI_ModState.Channel[0].Volume, 0u);
  Rows(6);
  EXPECT_EQ(LSI_ModState.Channel[0].Sample, 0u);
  EXPECT_EQ(LSI_ModState.Channel[0].Volume, 64u);
  Rows(1);
  EXPECT_EQ(LSI_ModState.Channel[0].Sample, 0u);
  EXPECT_EQ(LSI_ModState.Channel[0].Period, 404u);
  EXPECT_EQ(MixesOf(0).back().retriggered, 1u);
}

// 4 channels: two positions at speed 6 and tempo 125: 768 ticks, 15.325 s
// at 44100 Hz, within 0.5 % of the tracker's 15.36 s.
TEST_F(ModReplayTest, SongLengthOfFourChannels) {
  datagen::Module m = TestModule(4, "M.K.", {0, 1});
  for (uint32_t ch = 0; ch < 4; ++ch) m.At(0, 0, ch) = {428, kSquareLoop, 0, 0};
  Start(m, 44100);
  const auto [ticks, samples] = SongLength();
  EXPECT_EQ(ticks, 768u);
  EXPECT_EQ(samples, 768u * 880);
  EXPECT_NEAR(samples / 44100.0, 15.325, 0.001);
  EXPECT_LT(std::abs(samples / 44100.0 - 15.36) / 15.36, 0.005);
}

// 6 channels: speed 5 and tempo 150 (732 samples a tick), a 32-row pattern
// between two full ones: 800 ticks.
TEST_F(ModReplayTest, SongLengthOfSixChannels) {
  datagen::Module m = TestModule(6, "6CHN", {0, 1, 2});
  for (uint32_t ch = 0; ch < 6; ++ch) m.At(0, 0, ch) = {428, kSquareLoop, 0, 0};
  m.At(0, 0, 0) = {428, kSquareLoop, 0xF, 0x05};
  m.At(0, 0, 1) = {428, kSquareLoop, 0xF, 150};
  m.At(1, 31, 5) = {0, 0, 0xD, 0x00};
  Start(m, 44100);
  const auto [ticks, samples] = SongLength();
  EXPECT_EQ(ticks, 800u);
  EXPECT_EQ(samples, 800u * 732);
  EXPECT_NEAR(samples / 44100.0, 13.279, 0.001);
}

// 8 channels: speed 3 and a pattern delay of one row: 195 ticks, with
// either tag.
TEST_F(ModReplayTest, SongLengthOfEightChannels) {
  for (const char* tag : {"8CHN", "OCTA"}) {
    SCOPED_TRACE(tag);
    datagen::Module m = TestModule(8, tag, {0});
    for (uint32_t ch = 0; ch < 8; ++ch) m.At(0, 0, ch) = {428, kSquareLoop, 0, 0};
    m.At(0, 0, 7) = {428, kSquareLoop, 0xF, 0x03};
    m.At(0, 10, 2) = {0, 0, 0xE, 0xE1};
    Start(m, 44100);
    EXPECT_EQ(LSI_ModState.Channels, 8u);
    const auto [ticks, samples] = SongLength();
    EXPECT_EQ(ticks, 195u);
    EXPECT_NEAR(samples / 44100.0, 195 * 880 / 44100.0, 1e-9);
    LS_CloseModuleSystem();
    LS_FreeModule(module_);
    LibraryTest::TearDown();
    plat::audio::Reset();
    LibraryTest::SetUp();
  }
}

}  // namespace
