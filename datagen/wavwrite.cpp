// PCM WAVE writer.
#include "datagen/wavwrite.h"
#include "datagen/bytes.h"

#include <cmath>
#include <fstream>
#include <numbers>

namespace datagen {
namespace {

constexpr uint32_t kFmtLength = 16;

void PutTag(std::vector<uint8_t>& out, const std::string& tag) {
  for (size_t i = 0; i < 4; ++i) out.push_back(i < tag.size() ? static_cast<uint8_t>(tag[i]) : ' ');
}

void PutSample(std::vector<uint8_t>& out, uint16_t bits, int32_t value16) {
  if (bits == 8)
    out.push_back(static_cast<uint8_t>((value16 >> 8) + 128));
  else
    Put16(out, static_cast<uint16_t>(static_cast<int16_t>(value16)));
}

}  // namespace

std::vector<uint8_t> EncodeWave(const Wave& wave) {
  const uint32_t blockAlign = wave.channels * (wave.bits / 8u);
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 0);  // filled in below
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, kFmtLength);
  Put16(out, 1);
  Put16(out, wave.channels);
  Put32(out, wave.rate);
  Put32(out, wave.rate * blockAlign);
  Put16(out, blockAlign);
  Put16(out, wave.bits);
  for (const WaveChunk& chunk : wave.before) {
    PutTag(out, chunk.tag);
    Put32(out, static_cast<uint32_t>(chunk.bytes.size()));
    out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
  }
  PutTag(out, "data");
  Put32(out, static_cast<uint32_t>(wave.samples.size()));
  out.insert(out.end(), wave.samples.begin(), wave.samples.end());
  const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return out;
}

bool WriteWave(const std::string& path, const Wave& wave) {
  const std::vector<uint8_t> bytes = EncodeWave(wave);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::vector<uint8_t> SineSamples(const Wave& format, double hertz, uint32_t frames, double peak) {
  std::vector<uint8_t> out;
  for (uint32_t i = 0; i < frames; ++i) {
    const double x = peak * std::sin(2.0 * std::numbers::pi * hertz * i / format.rate);
    const auto value = static_cast<int32_t>(std::lround(x * 32767.0));
    for (uint16_t c = 0; c < format.channels; ++c) PutSample(out, format.bits, value);
  }
  return out;
}

std::vector<uint8_t> ConstantSamples(const Wave& format, int32_t value, uint32_t frames) {
  std::vector<uint8_t> out;
  for (uint32_t i = 0; i < frames * format.channels; ++i) {
    if (format.bits == 8)
      out.push_back(static_cast<uint8_t>(value));
    else
      Put16(out, static_cast<uint16_t>(static_cast<int16_t>(value)));
  }
  return out;
}

}  // namespace datagen
