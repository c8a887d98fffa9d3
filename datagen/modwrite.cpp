// Tracker module writer and synthetic samples.
#include "datagen/modwrite.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

namespace datagen {
namespace {

constexpr uint32_t kSampleSlots = 31;
constexpr uint32_t kOrderSlots = 128;
constexpr uint32_t kMaxSampleBytes = 131070;

// Finetune-0 periods of octaves 1 to 3.
constexpr uint16_t kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                   428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                   214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

void PutBE16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(v & 0xFF));
}

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t size) {
  for (size_t i = 0; i < size; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

uint32_t Words(uint32_t bytes) { return std::min(bytes, kMaxSampleBytes) / 2; }

void PutSampleHeader(std::vector<uint8_t>& out, const ModSample* s) {
  if (!s) {
    out.insert(out.end(), 30, 0);
    return;
  }
  PutText(out, s->name, 22);
  PutBE16(out, Words(static_cast<uint32_t>(s->data.size())));
  out.push_back(s->finetune & 15);
  out.push_back(s->volume);
  PutBE16(out, Words(s->loopStart));
  PutBE16(out, s->loopLength > 2 ? Words(s->loopLength) : 1);
}

void PutCell(std::vector<uint8_t>& out, const ModCell& c) {
  out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | ((c.period >> 8) & 15)));
  out.push_back(static_cast<uint8_t>(c.period & 0xFF));
  out.push_back(static_cast<uint8_t>(((c.sample & 15) << 4) | (c.effect & 15)));
  out.push_back(c.param);
}

}  // namespace

ModCell& Module::At(uint32_t pattern, uint32_t row, uint32_t channel) {
  if (patterns.size() <= pattern) patterns.resize(pattern + 1);
  ModPattern& p = patterns[pattern];
  p.cells.resize(static_cast<size_t>(kModRows) * channels);
  return p.cells[static_cast<size_t>(row) * channels + channel];
}

std::vector<uint8_t> EncodeMod(const Module& module) {
  std::vector<uint8_t> out;
  PutText(out, module.title, 20);
  for (uint32_t i = 0; i < kSampleSlots; ++i)
    PutSampleHeader(out, i < module.samples.size() ? &module.samples[i] : nullptr);
  out.push_back(static_cast<uint8_t>(std::min<size_t>(module.orders.size(), kOrderSlots)));
  out.push_back(module.restart);
  uint32_t highest = 0;
  for (uint32_t i = 0; i < kOrderSlots; ++i) {
    const uint8_t order = i < module.orders.size() ? module.orders[i] : 0;
    highest = std::max<uint32_t>(highest, order);
    out.push_back(order);
  }
  PutText(out, module.tag, 4);
  const ModCell empty;
  for (uint32_t p = 0; p <= highest; ++p) {
    const ModPattern* pattern = p < module.patterns.size() ? &module.patterns[p] : nullptr;
    for (uint32_t i = 0; i < kModRows * module.channels; ++i)
      PutCell(out, pattern && i < pattern->cells.size() ? pattern->cells[i] : empty);
  }
  for (size_t i = 0; i < module.samples.size() && i < kSampleSlots; ++i) {
    const std::vector<int8_t>& data = module.samples[i].data;
    const size_t bytes = 2 * Words(static_cast<uint32_t>(data.size()));
    for (size_t b = 0; b < bytes; ++b) out.push_back(static_cast<uint8_t>(data[b]));
  }
  return out;
}

bool WriteMod(const std::string& path, const Module& module) {
  const std::vector<uint8_t> bytes = EncodeMod(module);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

uint16_t ModPeriod(int octave, int semitone) {
  const int index = (octave - 1) * 12 + semitone;
  return index >= 0 && index < 36 ? kPeriods[index] : 0;
}

std::vector<int8_t> SquareSample(uint32_t period, uint32_t cycles, int8_t high, int8_t low) {
  std::vector<int8_t> out;
  for (uint32_t c = 0; c < cycles; ++c)
    for (uint32_t i = 0; i < period; ++i) out.push_back(i < period / 2 ? high : low);
  return out;
}

std::vector<int8_t> SawSample(uint32_t period, uint32_t cycles, int8_t peak) {
  std::vector<int8_t> out;
  for (uint32_t c = 0; c < cycles; ++c)
    for (uint32_t i = 0; i < period; ++i)
      out.push_back(static_cast<int8_t>(-peak + static_cast<int32_t>(2 * peak * i / std::max<uint32_t>(1, period - 1))));
  return out;
}

std::vector<int8_t> SineSample(uint32_t period, uint32_t cycles, double peak) {
  std::vector<int8_t> out;
  for (uint32_t c = 0; c < cycles; ++c)
    for (uint32_t i = 0; i < period; ++i)
      out.push_back(static_cast<int8_t>(std::lround(peak * std::sin(2.0 * std::numbers::pi * i / period))));
  return out;
}

std::vector<int8_t> NoiseSample(uint32_t length, uint32_t seed, bool decay) {
  std::vector<int8_t> out;
  uint32_t x = seed ? seed : 1;
  for (uint32_t i = 0; i < length; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const double envelope = decay ? std::exp(-4.0 * i / std::max<uint32_t>(1, length)) : 1.0;
    out.push_back(static_cast<int8_t>(std::lround(static_cast<int8_t>(x & 0xFF) * envelope)));
  }
  return out;
}

std::vector<int8_t> ConstantSample(uint32_t length, int8_t value) { return std::vector<int8_t>(length, value); }

}  // namespace datagen
