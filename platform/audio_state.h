// Inside the sound output stand-in: the buffer and device records and the
// one state they share with the mixer. Only platform/audio*.cpp include it.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio.h"

namespace plat::audio {

struct Buffer {
  Device* device = nullptr;  // null for the beep's own buffer
  uint32_t flags = 0;
  PcmFormat format{};
  std::vector<uint8_t> data;  // empty for the primary buffer
  uint32_t frames = 0;        // whole frames in data
  uint64_t position = 0;      // frame index in the high 32 bits, fraction below
  uint32_t frequency = 0;     // Hz the buffer plays at
  int32_t volume = 0;
  int32_t gain = 65536;  // 10^(volume / 2000) in 16.16 fixed point
  bool playing = false;
  bool looping = false;
  EndHook endHook = nullptr;
  void* endContext = nullptr;
  CallCounts calls;

  bool primary() const { return (flags & kPrimary) != 0; }
};

struct Device {
  std::vector<Buffer*> buffers;
};

struct State {
  std::mutex mutex;
  bool attached = false;
  uint32_t rate = 0;
  uint16_t channels = 0;
  std::vector<Device*> devices;
  std::vector<Buffer*> mixed;  // every secondary buffer, the beep's included
  Buffer* beep = nullptr;
};

// Never destroyed, so that an audio thread still running at process exit
// finds it intact.
State& TheState();

// Fixed-point gain of a volume in hundredths of a decibel.
int32_t GainOf(int32_t volume);

// Adds the buffer's next frames into acc (frames x channels, summed as
// 32-bit) at the output rate, advancing it; a one-shot that reaches its end
// stops with its position back at 0 and calls its end hook. Called with
// the mutex held.
void MixInto(Buffer& buffer, int32_t* acc, uint32_t frames, uint32_t rate, uint16_t channels);

}  // namespace plat::audio
