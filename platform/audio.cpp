// Sound output stand-in: the output, the device and the buffer calls.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio.h"
#include "platform/audio_state.h"

namespace plat::audio {
namespace {

using Lock_ = std::lock_guard<std::mutex>;

bool ValidFormat(const PcmFormat& f) {
  if (f.formatTag != kFormatPcm) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) return false;
  return f.samplesPerSec >= kFrequencyMin && f.samplesPerSec <= kFrequencyMax;
}

// The format the primary buffer reports before any is set.
PcmFormat DefaultPrimaryFormat() { return {kFormatPcm, 2, 22050, 88200, 4, 16}; }

void Count(Buffer* b, uint32_t CallCounts::*which) {
  ++b->calls.total;
  ++(b->calls.*which);
}

void Forget(State& s, Buffer* b) {
  s.mixed.erase(std::remove(s.mixed.begin(), s.mixed.end(), b), s.mixed.end());
  if (b->device) {
    auto& list = b->device->buffers;
    list.erase(std::remove(list.begin(), list.end(), b), list.end());
  }
  delete b;
}

bool KnownDevice(const State& s, const Device* d) {
  return d && std::find(s.devices.begin(), s.devices.end(), d) != s.devices.end();
}

// True when the region lies inside the buffer's data.
bool Inside(const Buffer* b, const Region& r) {
  if (!r.data) return r.bytes == 0;
  const uint8_t* p = static_cast<const uint8_t*>(r.data);
  const uint8_t* begin = b->data.data();
  return p >= begin && r.bytes <= b->data.size() && p + r.bytes <= begin + b->data.size();
}

}  // namespace

State& TheState() {
  static State* state = new State;
  return *state;
}

int32_t GainOf(int32_t volume) {
  return static_cast<int32_t>(std::lround(std::pow(10.0, volume / 2000.0) * 65536.0));
}

Result AttachOutput(uint32_t rate, uint16_t channels) {
  if (rate < kOutputRateMin || rate > kOutputRateMax || channels < 1 || channels > 2) return kInvalidParam;
  State& s = TheState();
  Lock_ lock(s.mutex);
  s.attached = true;
  s.rate = rate;
  s.channels = channels;
  return kOk;
}

void DetachOutput() {
  State& s = TheState();
  Lock_ lock(s.mutex);
  s.attached = false;
}

bool OutputAttached() {
  State& s = TheState();
  Lock_ lock(s.mutex);
  return s.attached;
}

uint32_t OutputRate() {
  State& s = TheState();
  Lock_ lock(s.mutex);
  return s.attached ? s.rate : 0;
}

uint16_t OutputChannels() {
  State& s = TheState();
  Lock_ lock(s.mutex);
  return s.attached ? s.channels : 0;
}

Result CreateDevice(Device** device) {
  if (!device) return kInvalidParam;
  *device = nullptr;
  State& s = TheState();
  Lock_ lock(s.mutex);
  if (!s.attached) return kNoDevice;
  *device = new Device;
  s.devices.push_back(*device);
  return kOk;
}

Result SetCooperativeLevel(Device* device, const void*, uint32_t) {
  State& s = TheState();
  Lock_ lock(s.mutex);
  return KnownDevice(s, device) ? kOk : kInvalidParam;
}

Result CreateBuffer(Device* device, const BufferDesc& desc, Buffer** buffer) {
  if (!buffer) return kInvalidParam;
  *buffer = nullptr;
  State& s = TheState();
  Lock_ lock(s.mutex);
  if (!KnownDevice(s, device)) return kInvalidParam;
  Buffer* b = new Buffer;
  b->device = device;
  b->flags = desc.flags | kLocSoftware;
  b->flags &= ~kLocHardware;
  if (desc.flags & kPrimary) {
    b->format = DefaultPrimaryFormat();
  } else {
    const PcmFormat& f = desc.format;
    if (!ValidFormat(f) || desc.bytes < f.blockAlign || desc.bytes > kBufferBytesMax) {
      delete b;
      return kInvalidParam;
    }
    b->format = f;
    b->data.assign(desc.bytes, f.bitsPerSample == 8 ? 0x80 : 0);
    b->frames = desc.bytes / f.blockAlign;
    b->frequency = f.samplesPerSec;
    s.mixed.push_back(b);
  }
  device->buffers.push_back(b);
  *buffer = b;
  return kOk;
}

void ReleaseDevice(Device* device) {
  State& s = TheState();
  Lock_ lock(s.mutex);
  if (!KnownDevice(s, device)) return;
  while (!device->buffers.empty()) Forget(s, device->buffers.back());
  s.devices.erase(std::remove(s.devices.begin(), s.devices.end(), device), s.devices.end());
  delete device;
}

Result GetCaps(Buffer* b, uint32_t* flags, uint32_t* bytes) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::caps);
  if (flags) *flags = b->flags;
  if (bytes) *bytes = static_cast<uint32_t>(b->data.size());
  return kOk;
}

Result Lock(Buffer* b, uint32_t offset, uint32_t bytes, Region* first, Region* second) {
  if (!b || !first) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::lock);
  if (b->primary()) return kFailed;
  const uint32_t size = static_cast<uint32_t>(b->data.size());
  if (offset >= size || bytes == 0 || bytes > size) return kInvalidParam;
  const uint32_t head = std::min(bytes, size - offset);
  *first = {b->data.data() + offset, head};
  const Region rest = head < bytes ? Region{b->data.data(), bytes - head} : Region{};
  if (second) *second = rest;
  else if (rest.bytes) return kInvalidParam;
  return kOk;
}

Result Unlock(Buffer* b, const Region& first, const Region& second) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::unlock);
  if (b->primary()) return kFailed;
  return Inside(b, first) && Inside(b, second) ? kOk : kInvalidParam;
}

Result Play(Buffer* b, bool looping) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::play);
  b->playing = true;
  b->looping = looping;
  return kOk;
}

Result Stop(Buffer* b) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::stop);
  b->playing = false;
  return kOk;
}

Result GetStatus(Buffer* b, uint32_t* status) {
  if (!b || !status) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::status);
  *status = b->playing ? kStatusPlaying | (b->looping ? kStatusLooping : 0) : 0;
  return kOk;
}

Result GetPosition(Buffer* b, uint32_t* play, uint32_t* write) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::position);
  const uint32_t at = static_cast<uint32_t>(b->position >> 32) * b->format.blockAlign;
  if (play) *play = b->primary() ? 0 : at;
  if (write) *write = b->primary() ? 0 : at;
  return kOk;
}

Result SetPosition(Buffer* b, uint32_t bytes) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::setPosition);
  if (b->primary()) return kFailed;
  if (bytes >= b->frames * b->format.blockAlign) return kInvalidParam;
  b->position = static_cast<uint64_t>(bytes / b->format.blockAlign) << 32;
  return kOk;
}

Result SetFrequency(Buffer* b, uint32_t hertz) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::frequency);
  if (!(b->flags & kCtrlFrequency) || b->primary()) return kControlUnavailable;
  if (hertz == kFrequencyOriginal) hertz = b->format.samplesPerSec;
  if (hertz < kFrequencyMin || hertz > kFrequencyMax) return kInvalidParam;
  b->frequency = hertz;
  return kOk;
}

Result SetVolume(Buffer* b, int32_t volume) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::volume);
  if (!(b->flags & kCtrlVolume)) return kControlUnavailable;
  if (volume < kVolumeMin || volume > kVolumeMax) return kInvalidParam;
  b->volume = volume;
  b->gain = GainOf(volume);
  return kOk;
}

Result SetFormat(Buffer* b, const PcmFormat& format) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::format);
  if (!b->primary()) return kFailed;
  if (!ValidFormat(format)) return kInvalidParam;
  b->format = format;
  return kOk;
}

Result GetFormat(Buffer* b, PcmFormat* format) {
  if (!b || !format) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  Count(b, &CallCounts::format);
  *format = b->format;
  return kOk;
}

Result Release(Buffer* b) {
  if (!b) return kInvalidParam;
  State& s = TheState();
  Lock_ lock(s.mutex);
  if (b == s.beep) return kFailed;
  Forget(s, b);
  return kOk;
}

Result SetEndHook(Buffer* b, EndHook hook, void* context) {
  if (!b) return kInvalidParam;
  Lock_ lock(TheState().mutex);
  b->endHook = hook;
  b->endContext = context;
  return kOk;
}

CallCounts Calls(const Buffer* b) {
  if (!b) return {};
  Lock_ lock(TheState().mutex);
  return b->calls;
}

void Reset() {
  State& s = TheState();
  Lock_ lock(s.mutex);
  for (Device* d : s.devices) {
    for (Buffer* b : d->buffers) {
      b->device = nullptr;
      s.mixed.erase(std::remove(s.mixed.begin(), s.mixed.end(), b), s.mixed.end());
      delete b;
    }
    delete d;
  }
  s.devices.clear();
  if (s.beep) Forget(s, s.beep);
  s.beep = nullptr;
  s.mixed.clear();
  s.attached = false;
  s.rate = 0;
  s.channels = 0;
}

}  // namespace plat::audio
