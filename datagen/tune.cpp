// A short tune for the CD and the menus' theme: a melody of plucked notes over a bass line,
// each note a few harmonics under a decaying envelope.
#include "datagen/tune.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace datagen {
namespace {

constexpr uint32_t kRate = 22050;
constexpr double kBeat = 0.25;  // seconds per step
constexpr int kSteps = 32;

// Semitones from A4 per step; -99 is a rest.
constexpr int kMelody[kSteps] = {3, 7, 10, 7, 15, 14, 10, 7, 5, 8, 12, 8, 17, 15, 12, 8,
                                 3, 7, 10, 7, 15, 14, 10, 12, 14, 12, 10, 7, 5, 7, 3, -99};
constexpr int kBass[kSteps / 4] = {-18, -16, -18, -16, -18, -16, -14, -21};

double Hertz(int semitones) { return 440.0 * std::pow(2.0, semitones / 12.0); }

// A plucked note: three harmonics, a fast attack and an exponential decay.
double Note(double hertz, double t, double decay) {
  if (t < 0) return 0;
  const double attack = std::min(1.0, t / 0.005);
  const double w = 2.0 * std::numbers::pi * hertz * t;
  return attack * std::exp(-t * decay) * (std::sin(w) + 0.4 * std::sin(2 * w) + 0.15 * std::sin(3 * w));
}

// The first steps of the tune; with fadeOut its last 50 ms fade to
// silence, otherwise it ends on a step boundary, where it loops. Mono
// takes the mean of the two sides.
Wave RenderTune(int steps, uint16_t channels, bool fadeOut) {
  Wave wave;
  wave.rate = kRate;
  wave.channels = channels;
  wave.bits = 16;
  const uint32_t frames = static_cast<uint32_t>(steps * kBeat * kRate);
  for (uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const int step = std::min(kSteps - 1, static_cast<int>(t / kBeat));
    const int bar = step / 4;
    const double lead = kMelody[step] == -99 ? 0 : Note(Hertz(kMelody[step]), t - step * kBeat, 6.0);
    const double bass = Note(Hertz(kBass[bar]), t - bar * 4 * kBeat, 2.0);
    const double fade = fadeOut ? std::min(1.0, (frames - i) / (0.05 * kRate)) : 1.0;
    const double left = fade * (0.30 * lead + 0.25 * bass), right = fade * (0.22 * lead + 0.30 * bass);
    const std::vector<double> sides = channels == 1 ? std::vector<double>{(left + right) / 2} : std::vector<double>{left, right};
    for (double v : sides) {
      const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32000.0));
      wave.samples.push_back(static_cast<uint8_t>(s & 0xFF));
      wave.samples.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
  }
  return wave;
}

}  // namespace

Wave MakeTune() { return RenderTune(kSteps, 2, true); }

Wave MakeTheme(int bars, uint16_t channels) { return RenderTune(std::clamp(bars, 1, kSteps / 4) * 4, channels, false); }

}  // namespace datagen
