// Writes PCM WAVE files: the RIFF header, the "fmt " chunk, optional chunks
// before the samples, and the "data" chunk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct WaveChunk {
  std::string tag;  // four characters
  std::vector<uint8_t> bytes;
};

struct Wave {
  uint32_t rate = 11025;
  uint16_t channels = 1;
  uint16_t bits = 8;              // 8 (unsigned, centred on 128) or 16 (signed)
  std::vector<uint8_t> samples;   // interleaved PCM, little-endian
  std::vector<WaveChunk> before;  // chunks written between "fmt " and "data"
};

// The file's bytes; an odd-length chunk gets no pad byte.
std::vector<uint8_t> EncodeWave(const Wave& wave);
bool WriteWave(const std::string& path, const Wave& wave);

// Samples of a tone: frames frames of a sine at hertz, of the given peak
// (0..1 of full scale), the same on every channel.
std::vector<uint8_t> SineSamples(const Wave& format, double hertz, uint32_t frames, double peak);
// Samples all at one value (16-bit signed, or 8-bit raw byte).
std::vector<uint8_t> ConstantSamples(const Wave& format, int32_t value, uint32_t frames);

}  // namespace datagen
