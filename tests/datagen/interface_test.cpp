// datagen's interface waves (the files the sound table names, their
// formats and lengths, clean loops, repeatable bytes) and the busy
// cursor's frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "datagen/busycursor.h"
#include "datagen/menusounds.h"
#include "datagen/tune.h"

namespace {

int16_t Sample(const datagen::Wave& w, size_t frame, int channel = 0) {
  const size_t at = (frame * w.channels + static_cast<size_t>(channel)) * 2;
  return static_cast<int16_t>(w.samples[at] | (w.samples[at + 1] << 8));
}
size_t FramesOf(const datagen::Wave& w) { return w.samples.size() / 2 / w.channels; }

// Every file the table names once, in the channels its quality asks.
TEST(MenuSounds, TheTableFilesInTheirFormats) {
  const std::map<std::string, uint16_t> expected = {
      {"CHOOSCAR.WAV", 2}, {"CHOOSCAM.WAV", 1}, {"CHRONO.WAV", 1},   {"COMMAND.WAV", 1},  {"CONFIG.WAV", 1},
      {"CPURACE.WAV", 2},  {"CPURACEM.WAV", 1}, {"MENU1.WAV", 2},    {"MENU1M.WAV", 1},   {"NETRACE.WAV", 2},
      {"NETRACEM.WAV", 1}, {"RALENTI1.WAV", 2}, {"RALENT1M.WAV", 1}, {"RALENTI2.WAV", 2}, {"RALENT2M.WAV", 1},
      {"SELCTCAR.WAV", 2}, {"SELCTCAM.WAV", 1}, {"SLIDE.WAV", 1},    {"STARTENG.WAV", 2}, {"STARTENM.WAV", 1},
      {"STRTRACE.WAV", 2}, {"STRTRACM.WAV", 1}, {"BLANK.WAV", 1},    {"STARTENP.WAV", 1}};
  std::map<std::string, uint16_t> got;
  for (const datagen::NamedWave& n : datagen::MenuSounds()) {
    EXPECT_TRUE(got.emplace(n.name, n.wave.channels).second) << n.name;
    EXPECT_EQ((std::pair{n.wave.rate, n.wave.bits}), (std::pair{22050u, uint16_t{16}})) << n.name;
    EXPECT_GT(FramesOf(n.wave), 0u) << n.name;
  }
  EXPECT_EQ(got, expected);
}

// Lengths and levels of what each kind is: silence, loops of whole
// periods, a theme of whole bars, short stings and clicks.
TEST(MenuSounds, KindsHaveTheirLengthsAndLoops) {
  std::map<std::string, datagen::Wave> w;
  for (datagen::NamedWave& n : datagen::MenuSounds()) w[n.name] = n.wave;
  const datagen::Wave& blank = w["BLANK.WAV"];
  EXPECT_EQ(FramesOf(blank), 2205u);
  for (size_t i = 0; i < FramesOf(blank); ++i) ASSERT_EQ(Sample(blank, i), 0);
  for (const char* idle : {"RALENTI1.WAV", "RALENT1M.WAV", "RALENTI2.WAV", "RALENT2M.WAV"}) {
    const datagen::Wave& x = w[idle];
    const size_t period = std::string(idle).find('1') != std::string::npos ? 630 : 490;
    EXPECT_EQ(FramesOf(x) % period, 0u) << idle;
    // The last sample runs on into the first as into the next of a period.
    EXPECT_EQ(Sample(x, 0), Sample(x, period)) << idle;
    EXPECT_LT(std::abs(Sample(x, FramesOf(x) - 1) - Sample(x, period - 1)), 2) << idle;
  }
  EXPECT_EQ(FramesOf(w["MENU1.WAV"]) % 22050, 0u);  // whole bars of 1 s
  EXPECT_GE(FramesOf(w["MENU1.WAV"]), 2u * 22050);
  EXPECT_EQ(FramesOf(w["MENU1M.WAV"]), FramesOf(w["MENU1.WAV"]));
  for (const char* sting : {"CHOOSCAR.WAV", "CPURACE.WAV", "NETRACE.WAV", "STRTRACE.WAV", "SELCTCAR.WAV"})
    EXPECT_LT(FramesOf(w[sting]), 22050u) << sting;
  for (const char* click : {"COMMAND.WAV", "CONFIG.WAV"}) EXPECT_LT(FramesOf(w[click]), 22050u / 10) << click;
  for (const char* start : {"STARTENG.WAV", "STARTENP.WAV"}) EXPECT_GT(FramesOf(w[start]), 22050u) << start;
}

TEST(MenuSounds, TwoRunsGiveTheSameBytes) {
  const auto a = datagen::MenuSounds(), b = datagen::MenuSounds();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].wave.samples, b[i].wave.samples) << a[i].name;
}

// The mono theme is the mean of the stereo one's sides.
TEST(MenuSounds, MonoThemeIsTheMeanOfTheSides) {
  const datagen::Wave stereo = datagen::MakeTheme(2, 2), mono = datagen::MakeTheme(2, 1);
  ASSERT_EQ(FramesOf(stereo), FramesOf(mono));
  for (size_t i : {size_t{100}, size_t{5000}, size_t{30000}})
    EXPECT_NEAR(Sample(mono, i), (Sample(stereo, i, 0) + Sample(stereo, i, 1)) / 2.0, 1.0) << i;
}

}  // namespace

// The busy cursor's wheel: 32 x 32 on black, each frame a new turn, the
// frame after the last back at the first (one spoke period).
TEST(BusyCursor, FramesTurnThroughOneSpokePeriod) {
  std::vector<datagen::TgaImage> frames;
  for (int k = 0; k < datagen::kBusyCursorFrames; ++k) frames.push_back(datagen::BusyCursorImage(k));
  for (size_t k = 0; k < frames.size(); ++k) {
    EXPECT_EQ((std::tuple{frames[k].width, frames[k].height, frames[k].depth}), (std::tuple{32, 32, 24})) << k;
    for (size_t c = 0; c < 3; ++c) EXPECT_EQ(frames[k].pixels[c], 0) << k;  // a black corner
    for (size_t j = 0; j < k; ++j) EXPECT_NE(frames[k].pixels, frames[j].pixels) << k << " " << j;
  }
  EXPECT_EQ(datagen::BusyCursorImage(datagen::kBusyCursorFrames).pixels, frames[0].pixels);
  EXPECT_EQ(datagen::BusyCursorImage(3).pixels, frames[3].pixels);
}
