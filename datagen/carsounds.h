// The car sounds of the "wav>" directory, synthesized: looping engine
// tones, looping noises for skids, scraping and rolling by surface, the
// gearbox's clunks and over-rev blips, the starter, the countdown's beeps
// and two short jingles. All mono, 8 bits, 11025 Hz.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/wavwrite.h"

namespace datagen {

// Samples in one firing cycle of the engine tones: played at 11000 Hz it
// lasts 1/50 s, the firing rate of a four-cylinder engine at 1500 rpm,
// which is where the engine's pitch rule plays them at 11000 Hz.
constexpr uint32_t kEngineCycle = 220;

struct NamedWave {
  std::string name;  // file name in the "wav>" directory, as "MOTOR.WAV"
  Wave wave;
  bool loops;  // played looping by the game: its end runs into its start
};

std::vector<NamedWave> CarSounds();

// Synthesis helpers the interface's waves share: repeatable white noise in
// -1..1, and a one-pole low pass at the cut-off for the sample rate.
std::vector<double> NoiseSignal(size_t n, uint32_t seed);
std::vector<double> LowPassSignal(const std::vector<double>& in, double hertz, double rate);

}  // namespace datagen
