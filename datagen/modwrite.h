// Writes tracker modules: 31 sample headers, the song's order table, a
// four-character tag naming the channel count, the patterns and the
// samples; and makes simple synthetic samples for them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct ModSample {
  std::string name;
  std::vector<int8_t> data;  // signed 8-bit; an odd byte is dropped; at most 131070 bytes
  uint8_t finetune = 0;      // nibble: 0-7, then 8-15 for -8 to -1
  uint8_t volume = 64;
  uint32_t loopStart = 0;    // bytes (even)
  uint32_t loopLength = 0;   // bytes (even); 0 or 2 for no loop
};

struct ModCell {
  uint16_t period = 0;  // 12 bits, 0 for no note
  uint8_t sample = 0;   // 1-31 (up to 255 is written), 0 for none
  uint8_t effect = 0;
  uint8_t param = 0;
};

struct ModPattern {
  std::vector<ModCell> cells;  // 64 rows of channels cells, row after row
};

struct Module {
  std::string title;
  std::string tag = "M.K.";
  uint32_t channels = 4;
  std::vector<ModSample> samples;    // up to 31
  std::vector<uint8_t> orders;       // the song: 1 to 128 pattern numbers
  uint8_t restart = 0;               // the restart byte
  std::vector<ModPattern> patterns;  // empty patterns fill up to the highest order

  // The cell of a pattern, row and channel; the pattern is made (empty)
  // when missing.
  ModCell& At(uint32_t pattern, uint32_t row, uint32_t channel);
};

constexpr uint32_t kModRows = 64;
constexpr uint32_t kModHeaderSize = 1084;

// The file's bytes: as many patterns as the highest number in the order
// table needs.
std::vector<uint8_t> EncodeMod(const Module& module);
bool WriteMod(const std::string& path, const Module& module);

// The tracker's period of a note at finetune 0: octave 1 to 3, semitone 0
// (C) to 11 (B); octave 2 semitone 0 is 428.
uint16_t ModPeriod(int octave, int semitone);

// Samples: one cycle of period bytes repeated cycles times.
std::vector<int8_t> SquareSample(uint32_t period, uint32_t cycles, int8_t high = 127, int8_t low = -128);
std::vector<int8_t> SawSample(uint32_t period, uint32_t cycles, int8_t peak = 100);
std::vector<int8_t> SineSample(uint32_t period, uint32_t cycles, double peak = 100.0);
// Noise with a decaying envelope over length bytes.
std::vector<int8_t> NoiseSample(uint32_t length, uint32_t seed, bool decay = true);
std::vector<int8_t> ConstantSample(uint32_t length, int8_t value);

}  // namespace datagen
