// The car sounds' synthesis: sums of harmonics over whole cycles for the
// engine tones, filtered noise whose end is crossfaded into its start for
// the looping noises, and short enveloped tones and thumps for the rest.
#include "datagen/carsounds.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

constexpr double kRate = 11025.0;
constexpr double kTwoPi = 6.283185307179586;
using Signal = std::vector<double>;

// Peak-normalised to the level, then 8-bit unsigned.
Wave ToWave(Signal s, double level) {
  double peak = 1e-9;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  Wave w;
  w.rate = 11025;
  w.channels = 1;
  w.bits = 8;
  for (double v : s) w.samples.push_back(static_cast<uint8_t>(std::lround(128.0 + v / peak * level * 127.0)));
  return w;
}

uint32_t Samples(double seconds) { return static_cast<uint32_t>(seconds * kRate); }

Signal Noise(size_t n, uint32_t seed) { return NoiseSignal(n, seed); }
Signal LowPass(const Signal& in, double hertz) { return LowPassSignal(in, hertz, kRate); }

Signal Band(const Signal& in, double low, double high) {
  Signal hi = LowPass(in, high), lo = LowPass(in, low);
  for (size_t i = 0; i < hi.size(); ++i) hi[i] -= lo[i];
  return hi;
}

// The first fade samples take in the signal's last ones: n samples that
// loop without a step, from a signal of n + fade.
Signal Loop(const Signal& s, size_t fade) {
  const size_t n = s.size() - fade;
  Signal out(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
  for (size_t i = 0; i < fade; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(fade);
    out[i] = s[i] * t + s[n + i] * (1.0 - t);
  }
  return out;
}

// Whole engine cycles of the harmonics' amplitudes.
Signal Engine(const std::vector<double>& harmonics, uint32_t cycles) {
  Signal s(kEngineCycle * cycles);
  for (size_t i = 0; i < s.size(); ++i) {
    const double phase = kTwoPi * static_cast<double>(i % kEngineCycle) / kEngineCycle;
    for (size_t k = 0; k < harmonics.size(); ++k)
      s[i] += harmonics[k] * std::sin(phase * static_cast<double>(k + 1) + 0.7 * static_cast<double>(k));
  }
  return s;
}

// A tone with a little of its third harmonic, under an attack and release.
Signal Tone(double hertz, double seconds, double third = 0.25) {
  Signal s(Samples(seconds));
  const double attack = 0.01 * kRate, release = 0.04 * kRate;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min({1.0, static_cast<double>(i) / attack, static_cast<double>(s.size() - i) / release});
    s[i] = env * (std::sin(kTwoPi * hertz * t) + third * std::sin(3.0 * kTwoPi * hertz * t));
  }
  return s;
}

void Append(Signal* to, const Signal& s) { to->insert(to->end(), s.begin(), s.end()); }
Signal Silence(double seconds) { return Signal(Samples(seconds), 0.0); }

// A decaying thump with a click: the gearbox.
Signal Clunk(double hertz, double seconds, uint32_t seed) {
  Signal s(Samples(seconds));
  const Signal click = Band(Noise(s.size(), seed), 800.0, 3500.0);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.002);
    s[i] = attack * (std::exp(-t * 30.0) * std::sin(kTwoPi * hertz * t) + 3.0 * std::exp(-t * 120.0) * click[i]);
  }
  return s;
}

// The engine's harmonics swept up and back down: a down-shift's over-rev.
Signal Blip(double from, double peak, double seconds) {
  Signal s(Samples(seconds));
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(s.size());
    const double hertz = from + (peak - from) * std::sin(3.141592653589793 * x);
    phase += kTwoPi * hertz / kRate;
    const double env = std::min(1.0, (1.0 - x) * 6.0);
    s[i] = env * (std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.3 * std::sin(3.0 * phase));
  }
  return s;
}

// A tyre's squeal: a vibrating tone (whole cycles in the loop) over band noise.
Signal Squeal(double hertz, double noise, double lowCut, double highCut, uint32_t seed) {
  const uint32_t n = Samples(0.4), fade = Samples(0.1);  // tones of 2.5 Hz steps loop exactly
  Signal s = Loop(Band(Noise(n + fade, seed), lowCut, highCut), fade);
  for (uint32_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    s[i] = noise * s[i] * 4.0 + std::sin(kTwoPi * hertz * t + 2.0 * std::sin(kTwoPi * 5.0 * t));
  }
  return s;
}

// Loop-ready noise shaped by a band and a grit of random bursts.
Signal Rumble(double lowCut, double highCut, double grit, uint32_t seed, double pulse = 0.0) {
  const uint32_t n = Samples(0.6), fade = Samples(0.1);
  Signal s = Band(Noise(n + fade, seed), lowCut, highCut);
  const Signal bursts = LowPass(Noise(n + fade, seed * 7 + 1), 30.0);
  for (uint32_t i = 0; i < n + fade; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double beat = pulse > 0.0 ? 0.6 + 0.4 * std::sin(kTwoPi * pulse * t) : 1.0;
    s[i] *= beat * (1.0 + grit * std::fabs(bursts[i]) * 20.0);
  }
  return Loop(s, fade);
}

// The starter cranking, then the engine catching.
Signal Starter() {
  Signal s(Samples(1.0));
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double crank = 0.55 + 0.45 * std::sin(kTwoPi * 7.0 * t);
    s[i] = crank * (std::sin(kTwoPi * 160.0 * t) + 0.4 * std::sin(kTwoPi * 320.0 * t));
  }
  const Signal engine = Blip(45.0, 90.0, 0.5);
  for (double v : engine) {
    phase += 1.0;
    s.push_back(v * std::min(1.0, phase / 400.0));
  }
  return s;
}

Signal Jingle(const std::vector<double>& notes, double each, double last) {
  Signal s;
  for (size_t i = 0; i < notes.size(); ++i) Append(&s, Tone(notes[i], i + 1 == notes.size() ? last : each));
  return s;
}

Signal Tututu() {
  Signal s;
  for (int i = 0; i < 3; ++i) {
    Append(&s, Tone(660.0, 0.1, 0.4));
    Append(&s, Silence(0.07));
  }
  Append(&s, Tone(990.0, 0.3, 0.4));
  return s;
}

}  // namespace

std::vector<double> NoiseSignal(size_t n, uint32_t seed) {
  std::vector<double> s(n);
  for (double& v : s) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<double>(seed >> 8) / 8388607.5 - 1.0;
  }
  return s;
}

std::vector<double> LowPassSignal(const std::vector<double>& in, double hertz, double rate) {
  const double a = 1.0 - std::exp(-kTwoPi * hertz / rate);
  std::vector<double> out(in.size());
  double y = 0.0;
  for (size_t i = 0; i < in.size(); ++i) out[i] = y += a * (in[i] - y);
  return out;
}

std::vector<NamedWave> CarSounds() {
  constexpr uint32_t kCycles = 20;
  return {
      {"DERAP.WAV", ToWave(Squeal(900.0, 0.3, 600.0, 2500.0, 11), 0.8), true},
      {"DERAP3.WAV", ToWave(Squeal(700.0, 0.8, 300.0, 1800.0, 12), 0.8), true},
      {"DERAP4.WAV", ToWave(LowPass(Squeal(700.0, 0.8, 300.0, 1800.0, 12), 900.0), 0.7), true},
      {"DERAP5.WAV", ToWave(Squeal(500.0, 2.0, 150.0, 1200.0, 13), 0.8), true},
      {"FROTTE.WAV", ToWave(Rumble(500.0, 3000.0, 1.0, 21), 0.8), true},
      {"RAPPORT.WAV", ToWave(Clunk(90.0, 0.15, 31), 0.9), false},
      {"GEARDWN.WAV", ToWave(Clunk(70.0, 0.2, 32), 0.9), false},
      {"GEARDWN1.WAV", ToWave(Blip(60.0, 140.0, 0.35), 0.8), false},
      {"GEARDWN2.WAV", ToWave(Blip(60.0, 165.0, 0.35), 0.8), false},
      {"GEARDWN3.WAV", ToWave(Blip(60.0, 190.0, 0.4), 0.8), false},
      {"GEARUP.WAV", ToWave(Clunk(110.0, 0.15, 33), 0.9), false},
      {"MOTOR.WAV", ToWave(Engine({1.0, 0.45, 0.3, 0.2, 0.12}, kCycles), 0.8), true},
      {"MOTOR2.WAV", ToWave(Engine({1.0, 0.3, 0.1}, kCycles), 0.8), true},
      {"MOTOR3.WAV", ToWave(Engine({1.0, 0.25, 0.12, 0.05}, kCycles), 0.8), true},
      {"MOTOR4.WAV", ToWave(Engine({1.0, 0.15, 0.04}, kCycles), 0.8), true},
      {"MOTOR5.WAV", ToWave(Engine({1.0, 0.5, 0.35, 0.25, 0.18, 0.1}, kCycles), 0.8), true},
      {"ROULE2.WAV", ToWave(Rumble(40.0, 300.0, 0.1, 41), 0.7), true},
      {"ROULE3.WAV", ToWave(Rumble(30.0, 180.0, 0.1, 42), 0.7), true},
      {"ROULE4.WAV", ToWave(Rumble(80.0, 1500.0, 0.8, 43), 0.7), true},
      {"ROULE5.WAV", ToWave(Rumble(40.0, 400.0, 0.2, 44, 15.0), 0.7), true},
      {"3.WAV", ToWave(Tone(880.0, 0.25), 0.8), false},
      {"2.WAV", ToWave(Tone(880.0, 0.25), 0.8), false},
      {"1.WAV", ToWave(Tone(880.0, 0.25), 0.8), false},
      {"GO.WAV", ToWave(Tone(1760.0, 0.6), 0.8), false},
      {"DEMAR1.WAV", ToWave(Starter(), 0.8), false},
      {"BLUESKY.WAV", ToWave(Jingle({523.25, 659.25, 783.99, 1046.5}, 0.15, 0.45), 0.8), false},
      {"TUTUTU.WAV", ToWave(Tututu(), 0.8), false},
  };
}

}  // namespace datagen
