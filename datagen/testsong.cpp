// The console's test module: four channels (bass, lead, arpeggiated
// chords, drums) over the chords A minor, F, C and G, two patterns played
// twice, about half a minute before it loops.
#include "datagen/testsong.h"

#include <cmath>
#include <numbers>

namespace datagen {
namespace {

enum Instrument : uint8_t { kBass = 1, kLead, kChord, kKick, kSnare, kHat };
enum Channel : uint32_t { kBassChannel, kLeadChannel, kChordChannel, kDrumChannel };

constexpr uint32_t kRowsPerChord = 16;

struct Chord {
  int root;             // semitone of the root
  uint8_t arpeggio;     // the chord's two upper notes, in semitones
  int melody[4];        // four notes of the lead, semitones above C-2
};

// A minor, F, C, G.
constexpr Chord kChords[4] = {
    {9, 0x37, {16, 12, 9, 12}},
    {5, 0x47, {9, 12, 17, 21}},
    {0, 0x47, {19, 16, 12, 16}},
    {7, 0x47, {14, 11, 7, 11}},
};

// A kick: a sine sliding from about 150 Hz to 40 Hz at 8363 bytes a
// second, dying away.
std::vector<int8_t> KickSample() {
  std::vector<int8_t> out;
  double phase = 0;
  constexpr uint32_t kLength = 3000;
  for (uint32_t i = 0; i < kLength; ++i) {
    const double t = static_cast<double>(i) / kLength;
    const double hertz = 40.0 + 110.0 * std::exp(-6.0 * t);
    phase += 2.0 * std::numbers::pi * hertz / 8363.0;
    out.push_back(static_cast<int8_t>(std::lround(120.0 * std::exp(-3.0 * t) * std::sin(phase))));
  }
  return out;
}

ModSample Looped(const std::string& name, std::vector<int8_t> data, uint8_t volume) {
  ModSample s;
  s.name = name;
  s.loopLength = static_cast<uint32_t>(data.size());
  s.data = std::move(data);
  s.volume = volume;
  return s;
}

ModSample OneShot(const std::string& name, std::vector<int8_t> data, uint8_t volume) {
  ModSample s;
  s.name = name;
  s.data = std::move(data);
  s.volume = volume;
  return s;
}

uint16_t Note(int octave, int semitone) { return ModPeriod(octave + semitone / 12, semitone % 12); }

void Drums(Module& m, uint32_t pattern, uint32_t row) {
  const uint32_t beat = row % 8;
  ModCell& c = m.At(pattern, row, kDrumChannel);
  if (beat == 0) c = {Note(2, 0), kKick, 0, 0};
  else if (beat == 4) c = {Note(2, 0), kSnare, 0, 0};
  else if (beat % 2 == 0) c = {Note(3, 0), kHat, 0xC, static_cast<uint8_t>(beat == 2 ? 24 : 16)};
}

void Pattern(Module& m, uint32_t pattern, bool lead) {
  for (uint32_t k = 0; k < 4; ++k) {
    const Chord& chord = kChords[k];
    const uint32_t first = k * kRowsPerChord;
    for (uint32_t r = 0; r < kRowsPerChord; ++r) {
      const uint32_t row = first + r;
      if (r % 4 == 0) m.At(pattern, row, kBassChannel) = {Note(1, chord.root), kBass, 0, 0};
      ModCell& arp = m.At(pattern, row, kChordChannel);
      arp = {r == 0 ? Note(2, chord.root) : uint16_t{0}, static_cast<uint8_t>(r == 0 ? kChord : 0), 0, chord.arpeggio};
      if (lead && r % 4 == 0) m.At(pattern, row, kLeadChannel) = {Note(2, chord.melody[r / 4]), kLead, 4, 0x24};
      Drums(m, pattern, row);
    }
  }
  m.At(pattern, 0, kBassChannel).effect = 0xF;
  m.At(pattern, 0, kBassChannel).param = 6;
}

}  // namespace

Module TestSong() {
  Module m;
  m.title = "zentrova test";
  m.tag = "M.K.";
  m.channels = 4;
  m.samples = {
      Looped("bass", SawSample(64, 4, 100), 48),
      Looped("lead", SquareSample(32, 8, 90, -90), 34),
      Looped("chord", SineSample(64, 4, 110.0), 40),
      OneShot("kick", KickSample(), 64),
      OneShot("snare", NoiseSample(3000, 7), 44),
      OneShot("hat", NoiseSample(900, 11), 30),
  };
  Pattern(m, 0, false);
  Pattern(m, 1, true);
  m.orders = {0, 1, 0, 1};
  return m;
}

}  // namespace datagen
