// The music player's mixer: volume tables, the channel mixer, tempo and
// playback steps, sample guards and the conversion into stream bytes; and
// the output driver that offers them to the replay.
#include <algorithm>
#include <bit>
#include <type_traits>
#include <cstring>

#include "system/modstate.h"

namespace {

// The step constant's clock: the playback step of a period p is
// kPeriodClock / p sample bytes per second.
constexpr uint64_t kPeriodClock = 3579364;

// Samples per pass of the channel mixer, between two bound tests.
constexpr uint32_t kPass = 16;

// Samples the mixer may take in one pass at a step without reading past
// the guard: from a position at most at the bound, the last read of a pass
// of n samples lies at most (n - 1) x step + 1 bytes further.
uint32_t PassLength(uint32_t step) {
  constexpr uint32_t kReach = (LS_MODGUARD - 2) << 16;
  if (step == 0) return kPass;
  return std::min<uint32_t>(kPass, 1 + kReach / step);
}

}  // namespace

const MODDRIVER LSI_ModPlayerDriver = {
    nullptr, nullptr, nullptr, LSI_AsmPrepareSample, nullptr, nullptr, nullptr, nullptr,
    LS_ModuleMixer, LSI_AsmSetTempo, LSI_AsmPeriodToStep, LSI_AsmOutputMix,
};
const MODDRIVER* LSI_ModDriver = &LSI_ModPlayerDriver;

uint32_t LSI_ModMixDivisor(uint32_t channels, uint32_t stereo) {
  if (!stereo) return std::max<uint32_t>(1, channels);
  uint32_t left = 0;
  for (uint32_t i = 0; i < channels; ++i)
    if (i % 4 == 0 || i % 4 == 3) ++left;
  return std::max<uint32_t>(1, std::max(left, channels - left));
}

// Entry (v, b) is floor(s x f / 256), s the signed value of the sample
// byte b and f = floor(1024 x v / divisor): the channels of one side at
// full volume sum to at most 127 x 4 x 63 and at least -128 x 4 x 63.
void LSI_BuildVolumeTables(int32_t* tables, uint32_t divisor) {
  if (!tables) return;
  if (divisor == 0) divisor = 1;
  for (uint32_t v = 0; v < LS_MODVOLUMES; ++v) {
    const int32_t f = static_cast<int32_t>(1024 * v / divisor);
    for (uint32_t b = 0; b < LS_MODTABLEENTRIES; ++b) {
      const int32_t s = static_cast<int8_t>(static_cast<uint8_t>(b));
      tables[v * LS_MODTABLEENTRIES + b] = (s * f) >> 8;
    }
  }
}

void LSI_AsmSetTempo(MODSTATE& s, uint32_t tempo) {
  if (tempo == 0) return;
  uint32_t samples = s.Rate * 5 / (2 * tempo);
  samples = std::min(samples, LS_MODACCUMULATOR / 2) & ~3u;
  s.SamplesPerTick = samples;
  s.BytesPerTick = samples * (s.Stereo ? 2 : 1) * (s.Bits16 ? 2 : 1);
}

void LSI_AsmPeriodToStep(MODSTATE& s, MODCHANNEL& c, uint32_t period) {
  period &= 0xFFF;
  if (period == 0) return;
  c.Step = s.StepConstant / period;
}

void LSI_AsmPrepareSample(uint8_t* start, uint32_t length, uint32_t loopStart, uint32_t loopLength,
                          uint32_t bytesBehind) {
  uint8_t* end = start + length;
  std::memmove(end + LS_MODGUARD, end, bytesBehind);
  std::memset(end, 0, LS_MODGUARD);
  if (loopLength <= 2) return;
  uint8_t* guard = start + loopStart + loopLength;
  for (uint32_t k = 0; k < LS_MODGUARD; ++k) guard[k] = start[loopStart + k % loopLength];
}

// Mixes the tick's samples of one channel: each sample byte adds its
// volume-table entry to the channel's side of the accumulator. The bound
// is tested after each pass; a looping sample wraps back by its loop
// length, a one-shot ends the tick past its end.
void LS_ModuleMixer(MODSTATE& s, MODCHANNEL& c) {
  const uint32_t index = c.Sample / 4;
  if (index >= LS_MODSAMPLES || !s.SampleStart[index] || !c.Position || !s.MixBuffer) return;
  const uint8_t* start = s.SampleStart[index];
  const uint8_t* end = s.SampleEnd[index];
  if (end - start <= 2 || c.Position > end) return;
  c.Retriggered = 0;

  int32_t* acc = s.Accumulator + ((s.Stereo && c.Pan > 0x40) ? 1 : 0);
  const uint32_t loopLength = s.SampleLoopLength[index];
  const uint8_t* loopStart = s.SampleLoopStart[index];
  const bool looping = loopLength > 2;
  const uint32_t level = std::min<uint32_t>(LS_MODVOLUMES - 1, c.Volume * s.MasterVolume * 4 / 256);
  const int32_t* table = s.MixBuffer + level * LS_MODTABLEENTRIES;

  // The position within a pass is kept as a 16.16 offset from the pass's
  // first byte: adding the step moves the fraction and carries into the
  // bytes at once, as the separate whole and fraction steps would.
  const uint32_t pass = PassLength(c.Step);
  const uint64_t step = c.Step;
  const uint8_t* p = c.Position;
  uint32_t fraction = c.Fraction & 0xFFFF;
  uint32_t left = s.SamplesPerTick;
  uint32_t n = left % pass;
  if (n == 0) n = pass;
  while (left > 0) {
    uint64_t at = fraction;
    for (uint32_t k = 0; k < n; ++k, at += step) acc[2 * k] += table[p[at >> 16]];
    acc += 2 * n;
    p += at >> 16;
    fraction = static_cast<uint32_t>(at & 0xFFFF);
    left -= n;
    n = pass;
    if (looping) {
      if (p >= loopStart + loopLength) p = loopStart + (p - loopStart) % loopLength;
    } else if (p > end) {
      p = end + 1;
      break;
    }
  }
  c.Position = p;
  c.Fraction = fraction;
}

namespace {

// Converts values from the accumulator words from[0], from[Stride], ...
// into the output's bytes, through a local block the compiler can fill
// without fearing that the byte stores change the accumulator.
template <bool Bits16, uint32_t Stride>
void ConvertWords(const int32_t* from, uint8_t* to, uint32_t count) {
  constexpr uint32_t kChunk = 256;
  using Out = std::conditional_t<Bits16, uint16_t, uint8_t>;
  Out block[kChunk];
  while (count > 0) {
    const uint32_t n = std::min(count, kChunk);
    for (uint32_t k = 0; k < n; ++k) {
      const int32_t value = from[k * Stride];
      if constexpr (Bits16)
        block[k] = static_cast<uint16_t>(value & 0xFFFF);
      else
        block[k] = static_cast<uint8_t>(((value >> 8) & 0xFF) ^ 0x80);
    }
    if constexpr (Bits16 && std::endian::native != std::endian::little) {
      for (uint32_t k = 0; k < n; ++k) block[k] = static_cast<uint16_t>(block[k] >> 8 | block[k] << 8);
    }
    std::memcpy(to, block, n * sizeof(Out));
    from += n * Stride;
    to += n * sizeof(Out);
    count -= n;
  }
}

}  // namespace

// The words of the accumulator that exist are converted in loops of one
// output format each (16-bit little-endian, or 8-bit with the top bit
// flipped); words past the tick read as silence.
void LSI_AsmConvertMix(const MODSTATE& s, uint8_t* to, uint32_t bytes, uint32_t* word) {
  if (!to || !word || !s.Accumulator) return;
  const uint32_t size = s.Bits16 ? 2 : 1, stride = s.Stereo ? 1 : 2;
  const uint32_t limit = 2 * s.SamplesPerTick;
  const uint32_t count = bytes / size, first = *word;
  // Values k below `inside` read the accumulator: (first + k) x stride < limit.
  const uint64_t start = uint64_t{first} * stride;
  const uint32_t inside =
      start >= limit ? 0 : std::min<uint32_t>(count, static_cast<uint32_t>((limit - start + stride - 1) / stride));
  const int32_t* from = s.Accumulator + start;
  if (s.Bits16)
    s.Stereo ? ConvertWords<true, 1>(from, to, inside) : ConvertWords<true, 2>(from, to, inside);
  else
    s.Stereo ? ConvertWords<false, 1>(from, to, inside) : ConvertWords<false, 2>(from, to, inside);
  // Silence: 16-bit zeros, or 8-bit 0x80.
  std::memset(to + inside * size, s.Bits16 ? 0 : 0x80, (count - inside) * size);
  *word = first + count;
}

void LSI_AsmOutputMix(MODSTATE& s, uint8_t* first, uint32_t firstBytes, uint8_t* second, uint32_t secondBytes) {
  if (!s.Playing || !s.Accumulator) return;
  uint32_t word = 0;
  LSI_AsmConvertMix(s, first, firstBytes, &word);
  LSI_AsmConvertMix(s, second, secondBytes, &word);
  std::memset(s.Accumulator, 0, sizeof(int32_t) * 2 * s.SamplesPerTick);
}

uint32_t LSI_ModStepConstant(uint32_t rate) {
  if (rate == 0) return 0;
  return static_cast<uint32_t>((kPeriodClock << 16) / rate);
}
