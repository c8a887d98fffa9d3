// The interface waves' synthesis: the theme from the CD tune's generator,
// engine idles of whole firing periods, starts that crank and catch, stings
// of plucked notes, noise bursts for the clicks and the swish.
#include "datagen/menusounds.h"

#include <algorithm>
#include <cmath>

#include "datagen/tune.h"

namespace datagen {
namespace {

constexpr uint32_t kRate = 22050;
constexpr double kTwoPi = 6.283185307179586;
using Signal = std::vector<double>;

size_t Frames(double seconds) { return static_cast<size_t>(seconds * kRate); }

// Peak-normalised to the level; stereo puts the same signal, a little
// quieter on the right, on both sides.
Wave ToWave(const Signal& s, double level, uint16_t channels) {
  double peak = 1e-9;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  Wave w;
  w.rate = kRate;
  w.channels = channels;
  w.bits = 16;
  for (double v : s)
    for (uint16_t c = 0; c < channels; ++c) {
      const double side = c == 1 ? 0.9 : 1.0;
      const auto x = static_cast<int16_t>(std::lround(v / peak * level * side * 32000.0));
      w.samples.push_back(static_cast<uint8_t>(x & 0xFF));
      w.samples.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
    }
  return w;
}

Signal Noise(size_t n, uint32_t seed) { return NoiseSignal(n, seed); }
Signal LowPass(const Signal& in, double hertz) { return LowPassSignal(in, hertz, kRate); }

// An idling engine: period samples per firing, repeated whole, each firing
// a few harmonics under a pulse.
Signal Idle(uint32_t period, uint32_t firings) {
  Signal s(static_cast<size_t>(period) * firings);
  for (size_t i = 0; i < s.size(); ++i) {
    const double phase = kTwoPi * static_cast<double>(i % period) / period;
    const double pulse = 0.6 + 0.4 * std::cos(phase);
    s[i] = pulse * (std::sin(phase) + 0.6 * std::sin(2 * phase + 0.5) + 0.35 * std::sin(3 * phase + 1.1) +
                    0.2 * std::sin(5 * phase + 0.3));
  }
  return s;
}

// An engine start: the starter's slow cranking, then the engine catches,
// revs up and settles to an idle of the given frequency.
Signal Start(double idleHertz, double seconds, uint32_t seed) {
  Signal s(Frames(seconds));
  const Signal grit = LowPass(Noise(s.size(), seed), 2000.0);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    double hertz, level;
    if (t < 0.6) {  // cranking: a slow whine under a rhythmic noise
      hertz = 12.0, level = 0.35;
    } else {
      const double x = t - 0.6;
      hertz = idleHertz + 3.0 * idleHertz * x * std::exp(-x * 4.0) * 4.0;
      level = std::min(1.0, x / 0.05);
    }
    phase += kTwoPi * hertz / kRate;
    const double end = std::min(1.0, (seconds - t) / 0.1);
    const double crank = t < 0.6 ? (0.5 + 0.5 * std::sin(phase)) * grit[i] * 2.0 : 0.0;
    s[i] = end * (crank + level * (std::sin(phase) + 0.6 * std::sin(2 * phase) + 0.3 * std::sin(3 * phase)));
  }
  return s;
}

// Plucked notes one after another (semitones from A4), each for step seconds.
Signal Sting(const std::vector<int>& notes, double step, double ring) {
  Signal s(Frames(step * static_cast<double>(notes.size()) + ring));
  for (size_t n = 0; n < notes.size(); ++n) {
    const double hertz = 440.0 * std::pow(2.0, notes[n] / 12.0);
    const size_t from = Frames(step * static_cast<double>(n));
    for (size_t i = from; i < s.size(); ++i) {
      const double t = static_cast<double>(i - from) / kRate;
      const double w = kTwoPi * hertz * t;
      s[i] += std::min(1.0, t / 0.004) * std::exp(-t * 5.0) * (std::sin(w) + 0.3 * std::sin(2 * w));
    }
  }
  const size_t fade = Frames(0.05);
  for (size_t i = 0; i < fade && i < s.size(); ++i) s[s.size() - 1 - i] *= static_cast<double>(i) / fade;
  return s;
}

// A short click: a noise burst over a high tone, decaying fast.
Signal Click(double hertz, double seconds, uint32_t seed) {
  Signal s(Frames(seconds));
  const Signal noise = Noise(s.size(), seed);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    s[i] = std::exp(-t * 150.0) * (0.6 * noise[i] + std::sin(kTwoPi * hertz * t));
  }
  return s;
}

// A swish: low-passed noise rising and falling, its cut-off sweeping up.
Signal Swish(double seconds, uint32_t seed) {
  const Signal noise = Noise(Frames(seconds), seed);
  Signal s(noise.size());
  double y = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(s.size());
    const double a = 1.0 - std::exp(-kTwoPi * (400.0 + 5000.0 * x) / kRate);
    y += a * (noise[i] - y);
    s[i] = std::sin(3.141592653589793 * x) * y;
  }
  return s;
}

// Clock ticks: count clicks every interval seconds.
Signal Ticks(int count, double interval, uint32_t seed) {
  Signal s(Frames(interval * count));
  for (int k = 0; k < count; ++k) {
    const Signal tick = Click(k % 2 ? 1800.0 : 2400.0, 0.03, seed + static_cast<uint32_t>(k));
    std::copy(tick.begin(), tick.end(), s.begin() + static_cast<std::ptrdiff_t>(Frames(interval * k)));
  }
  return s;
}

}  // namespace

std::vector<NamedWave> MenuSounds() {
  std::vector<NamedWave> out;
  // Each sound in its full-quality (stereo) and low-memory (mono) file.
  auto both = [&out](const std::string& full, const std::string& low, const Signal& s, double level, bool loops = false) {
    out.push_back({full, ToWave(s, level, 2), loops});
    out.push_back({low, ToWave(s, level, 1), loops});
  };
  auto shared = [&out](const std::string& name, const Signal& s, double level) {
    out.push_back({name, ToWave(s, level, 1), false});
  };
  out.push_back({"MENU1.WAV", MakeTheme(4, 2), true});
  out.push_back({"MENU1M.WAV", MakeTheme(4, 1), true});
  both("RALENTI1.WAV", "RALENT1M.WAV", Idle(630, 70), 0.7, true);  // 35 Hz, 2 s
  both("RALENTI2.WAV", "RALENT2M.WAV", Idle(490, 90), 0.7, true);  // 45 Hz, 2 s
  both("STARTENG.WAV", "STARTENM.WAV", Start(35.0, 1.6, 11), 0.8);
  shared("STARTENP.WAV", Start(45.0, 1.4, 12), 0.8);
  both("CHOOSCAR.WAV", "CHOOSCAM.WAV", Sting({3, 7, 10, 15}, 0.08, 0.3), 0.7);
  both("CPURACE.WAV", "CPURACEM.WAV", Sting({0, 4, 7, 12}, 0.07, 0.3), 0.7);
  both("NETRACE.WAV", "NETRACEM.WAV", Sting({5, 9, 12, 17}, 0.07, 0.3), 0.7);
  both("STRTRACE.WAV", "STRTRACM.WAV", Sting({12, 12, 19}, 0.1, 0.4), 0.7);
  both("SELCTCAR.WAV", "SELCTCAM.WAV", Sting({7, 3}, 0.09, 0.25), 0.7);
  shared("COMMAND.WAV", Click(2200.0, 0.05, 21), 0.6);
  shared("CONFIG.WAV", Click(1500.0, 0.05, 22), 0.6);
  shared("SLIDE.WAV", Swish(0.35, 23), 0.6);
  shared("CHRONO.WAV", Ticks(4, 0.25, 24), 0.6);
  shared("BLANK.WAV", Signal(Frames(0.1), 0.0), 0.0);
  return out;
}

}  // namespace datagen
