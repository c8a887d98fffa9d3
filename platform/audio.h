// Sound output stand-in: a device, a primary buffer that only holds the
// chosen output format, secondary buffers of PCM that play once or looping
// at their own frequency and volume, and a mixer that sums every playing
// buffer into the attached output. An audio back end (or a test) attaches
// the output and pulls frames with Render; without an output there is no
// device. One mutex guards every call and every render, so the back end's
// thread may render while the program calls.
#pragma once
#include <cstdint>

namespace plat::audio {

enum Result : int32_t {
  kOk = 0,
  kInvalidParam,        // an argument out of range; nothing changed
  kControlUnavailable,  // the buffer was made without that control
  kNoDevice,            // no output attached
  kFailed,              // the call makes no sense for this buffer
};

constexpr uint16_t kFormatPcm = 1;

struct PcmFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};

// Buffer flags, asked at creation and reported by GetCaps.
constexpr uint32_t kPrimary = 1u << 0;
constexpr uint32_t kStatic = 1u << 1;
constexpr uint32_t kLocHardware = 1u << 2;
constexpr uint32_t kLocSoftware = 1u << 3;
constexpr uint32_t kCtrlFrequency = 1u << 4;
constexpr uint32_t kCtrlPan = 1u << 5;
constexpr uint32_t kCtrlVolume = 1u << 6;
constexpr uint32_t kGetCurrentPosition2 = 1u << 7;
constexpr uint32_t kGlobalFocus = 1u << 8;

// Status bits.
constexpr uint32_t kStatusPlaying = 1u << 0;
constexpr uint32_t kStatusLooping = 1u << 2;

// Cooperative levels (accepted and ignored).
constexpr uint32_t kCoopNormal = 1;
constexpr uint32_t kCoopPriority = 2;

// Limits: frequency in Hz (0 asks for the format's own rate), volume in
// hundredths of a decibel of attenuation, output rate of an attached output,
// largest secondary buffer.
constexpr uint32_t kFrequencyOriginal = 0;
constexpr uint32_t kFrequencyMin = 100;
constexpr uint32_t kFrequencyMax = 100000;
constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;
constexpr uint32_t kOutputRateMin = 8000;
constexpr uint32_t kOutputRateMax = 192000;
constexpr uint32_t kBufferBytesMax = 0x0FFFFFFF;

struct Device;
struct Buffer;

struct BufferDesc {
  uint32_t flags = 0;
  uint32_t bytes = 0;  // secondary buffers only
  PcmFormat format{};  // secondary buffers only
};

// One locked piece of a buffer; data is null and bytes 0 when unused.
struct Region {
  void* data = nullptr;
  uint32_t bytes = 0;
};

// How often each call was made on a buffer, for tests.
struct CallCounts {
  uint32_t total = 0;
  uint32_t caps = 0, lock = 0, unlock = 0, play = 0, stop = 0, status = 0;
  uint32_t position = 0, setPosition = 0, frequency = 0, volume = 0, format = 0;
};

// The output. Rate kOutputRateMin..kOutputRateMax, 1 or 2 channels.
Result AttachOutput(uint32_t rate, uint16_t channels);
void DetachOutput();
bool OutputAttached();
uint32_t OutputRate();
uint16_t OutputChannels();
// Writes frames x OutputChannels() interleaved signed 16-bit samples of
// everything playing, and advances the playing buffers; writes nothing
// when no output is attached.
void Render(int16_t* out, uint32_t frames);

// The device: kNoDevice without an output.
Result CreateDevice(Device** device);
Result SetCooperativeLevel(Device* device, const void* window, uint32_t level);
Result CreateBuffer(Device* device, const BufferDesc& desc, Buffer** buffer);
// Releases the device with every buffer it made.
void ReleaseDevice(Device* device);

Result GetCaps(Buffer* buffer, uint32_t* flags, uint32_t* bytes);
// Locks bytes from offset: one region, or two when the span wraps past the
// end (the second starts at 0).
Result Lock(Buffer* buffer, uint32_t offset, uint32_t bytes, Region* first, Region* second);
Result Unlock(Buffer* buffer, const Region& first, const Region& second);
// Plays from the current position, once or looping.
Result Play(Buffer* buffer, bool looping);
// Stops and keeps the position.
Result Stop(Buffer* buffer);
Result GetStatus(Buffer* buffer, uint32_t* status);
// Play and write cursors in bytes, rounded down to a frame.
Result GetPosition(Buffer* buffer, uint32_t* play, uint32_t* write);
Result SetPosition(Buffer* buffer, uint32_t bytes);
Result SetFrequency(Buffer* buffer, uint32_t hertz);
Result SetVolume(Buffer* buffer, int32_t volume);
// The primary buffer's format: set, and read back as last set.
Result SetFormat(Buffer* buffer, const PcmFormat& format);
Result GetFormat(Buffer* buffer, PcmFormat* format);
Result Release(Buffer* buffer);

// Called on the rendering thread when a buffer playing once reaches its
// end, with the stand-in's lock held (so it must not call the stand-in). A
// buffer that is stopped or released before its end never calls it.
using EndHook = void (*)(void* context);
Result SetEndHook(Buffer* buffer, EndHook hook, void* context);

CallCounts Calls(const Buffer* buffer);

// A short tone through the mixer (the system beep); nothing without output.
void PlayBeep();

// Releases every device and buffer and detaches the output.
void Reset();

}  // namespace plat::audio
