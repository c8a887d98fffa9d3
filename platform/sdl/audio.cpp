// The SDL audio back end: the device, and the callback that renders the
// mixer into the device's format.
#include "platform/sdl/audio.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/audio.h"

namespace plat::sdl {
namespace {

namespace audio = plat::audio;

constexpr int kWantedRate = 44100;
constexpr int kWantedChannels = 2;
constexpr int kWantedSamples = 1024;
constexpr int kChunkFrames = 512;  // frames rendered per pass of the callback

struct AudioDevice {
  SDL_AudioDeviceID id = 0;
  SDL_AudioSpec spec{};  // as obtained; the callback's userdata
};
AudioDevice g_device;

bool Supported(SDL_AudioFormat format) {
  return format == AUDIO_U8 || format == AUDIO_S8 || format == AUDIO_S16SYS || format == AUDIO_U16SYS ||
         format == AUDIO_S32SYS || format == AUDIO_F32SYS;
}

// Writes one signed 16-bit sample in the device's format.
void Put(SDL_AudioFormat format, Uint8* at, int16_t v) {
  switch (format) {
    case AUDIO_U8: *at = static_cast<Uint8>((v >> 8) + 128); break;
    case AUDIO_S8: *at = static_cast<Uint8>(static_cast<int8_t>(v >> 8)); break;
    case AUDIO_S16SYS: std::memcpy(at, &v, 2); break;
    case AUDIO_U16SYS: {
      const uint16_t u = static_cast<uint16_t>(v + 32768);
      std::memcpy(at, &u, 2);
      break;
    }
    case AUDIO_S32SYS: {
      const int32_t w = static_cast<int32_t>(v) * 65536;
      std::memcpy(at, &w, 4);
      break;
    }
    case AUDIO_F32SYS: {
      const float f = static_cast<float>(v) / 32768.0f;
      std::memcpy(at, &f, 4);
      break;
    }
    default: break;
  }
}

// The mixer's sample for device channel c: the mixer's own channels first,
// a mono mix on both front channels, silence on the others.
int16_t ChannelSample(const int16_t* frame, int c, int mixChannels) {
  if (c < mixChannels) return frame[c];
  if (mixChannels == 1 && c == 1) return frame[0];
  return 0;
}

SDL_AudioDeviceID OpenDevice(int allowed) {
  SDL_AudioSpec want{};
  want.freq = kWantedRate;
  want.format = AUDIO_S16SYS;
  want.channels = kWantedChannels;
  want.samples = kWantedSamples;
  want.callback = AudioCallback;
  want.userdata = &g_device.spec;
  return SDL_OpenAudioDevice(nullptr, 0, &want, &g_device.spec, allowed);
}

}  // namespace

void AudioCallback(void* userdata, Uint8* stream, int len) {
  const auto* spec = static_cast<const SDL_AudioSpec*>(userdata);
  if (!stream || len <= 0) return;
  if (!spec || !Supported(spec->format) || spec->channels == 0) {
    std::memset(stream, spec ? spec->silence : 0, static_cast<size_t>(len));
    return;
  }
  const int sampleBytes = SDL_AUDIO_BITSIZE(spec->format) / 8;
  const int frameBytes = sampleBytes * spec->channels;
  const int mixChannels = std::max<int>(1, audio::OutputChannels());
  int frames = len / frameBytes;
  Uint8* at = stream;
  int16_t mix[kChunkFrames * 2];
  while (frames > 0) {
    const int n = std::min(frames, kChunkFrames);
    std::memset(mix, 0, sizeof mix);
    audio::Render(mix, static_cast<uint32_t>(n));
    for (int f = 0; f < n; ++f)
      for (int c = 0; c < spec->channels; ++c, at += sampleBytes)
        Put(spec->format, at, ChannelSample(mix + f * mixChannels, c, mixChannels));
    frames -= n;
  }
  // A piece of a frame at the end, should the device ask for one.
  for (; at < stream + len; at += sampleBytes) {
    if (at + sampleBytes > stream + len) {
      std::memset(at, 0, static_cast<size_t>(stream + len - at));
      break;
    }
    Put(spec->format, at, 0);
  }
}

bool OpenAudio() {
  if (g_device.id) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  g_device.id = OpenDevice(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE |
                           SDL_AUDIO_ALLOW_FORMAT_CHANGE);
  if (g_device.id && !Supported(g_device.spec.format)) {
    SDL_CloseAudioDevice(g_device.id);
    g_device.id = OpenDevice(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  }
  const auto channels = static_cast<uint16_t>(std::min<int>(g_device.spec.channels, 2));
  if (g_device.id && audio::AttachOutput(static_cast<uint32_t>(g_device.spec.freq), channels) != audio::kOk) {
    SDL_CloseAudioDevice(g_device.id);
    g_device.id = 0;
  }
  if (!g_device.id) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(g_device.id, 0);
  return true;
}

void CloseAudio() {
  if (!g_device.id) return;
  SDL_CloseAudioDevice(g_device.id);
  g_device.id = 0;
  audio::DetachOutput();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioOpen() { return g_device.id != 0; }

}  // namespace plat::sdl
