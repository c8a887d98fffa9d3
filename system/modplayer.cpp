// The music module player: the stream buffer and mix buffer, loading and
// freeing modules, play, stop, fades, the focus pause, and the mixing step
// that the thread runs.
#include <cstring>
#include <mutex>
#include <new>

#include "platform/audio.h"
#include "platform/clock.h"
#include "system/file.h"
#include "system/module.h"
#include "system/win/dsound.h"
#include "system/win/shell.h"

namespace audio = plat::audio;

MODSTATE LSI_ModState;
MODPLAYER LSI_ModPlayer;

namespace {

constexpr uint32_t kStartTempo = 125;
constexpr uint32_t kStartSpeed = 6;
constexpr int32_t kVolumeMax = 64;
// Room the stream must have beyond two ticks before a step writes them.
constexpr uint32_t kStreamSlack = 16;

// The critical section of the mixing step; it lives as long as the
// process.
std::mutex& MixMutex() {
  static std::mutex* mutex = new std::mutex;
  return *mutex;
}

uint8_t ClampVolume(int32_t volume) {
  return static_cast<uint8_t>(volume < 0 ? 0 : volume > kVolumeMax ? kVolumeMax : volume);
}

// Fills the whole stream with silence: 0x80 for 8-bit, 0 for 16-bit.
void SilenceStream() {
  audio::Region first, second;
  if (audio::Lock(LSI_ModPlayer.Stream, 0, LS_MODSTREAMSIZE, &first, &second) != audio::kOk) return;
  const int silence = LSI_ModPlayer.Bits16 ? 0 : 0x80;
  std::memset(first.data, silence, first.bytes);
  if (second.data) std::memset(second.data, silence, second.bytes);
  audio::Unlock(LSI_ModPlayer.Stream, first, second);
}

bool MakeStream() {
  audio::PcmFormat format{};
  if (!LSYS_DirectSound || !LSYS_PrimarySoundBuffer) return false;
  if (audio::GetFormat(LSYS_PrimarySoundBuffer, &format) != audio::kOk) return false;
  audio::BufferDesc desc;
  desc.flags = audio::kGetCurrentPosition2 | audio::kGlobalFocus | audio::kCtrlVolume | audio::kCtrlPan |
               audio::kCtrlFrequency | audio::kLocSoftware;
  desc.bytes = LS_MODSTREAMSIZE;
  desc.format = format;
  if (audio::CreateBuffer(LSYS_DirectSound, desc, &LSI_ModPlayer.Stream) != audio::kOk) {
    LSI_ModPlayer.Stream = nullptr;
    return false;
  }
  LSI_ModPlayer.Stereo = format.channels == 2 ? 1 : 0;
  LSI_ModPlayer.Bits16 = format.bitsPerSample == 16 ? 1 : 0;
  LSI_ModPlayer.Rate = format.samplesPerSec;
  return true;
}

// The stream's format and the mix buffer, into a state.
void SetOutput(MODSTATE& s) {
  s.StreamSize = LS_MODSTREAMSIZE;
  s.Stereo = LSI_ModPlayer.Stereo;
  s.Bits16 = LSI_ModPlayer.Bits16;
  s.Rate = LSI_ModPlayer.Rate;
  s.MixBuffer = LSI_ModPlayer.MixBuffer;
  s.Accumulator = LSI_ModPlayer.MixBuffer ? LSI_ModPlayer.MixBuffer + LS_MODVOLUMES * LS_MODTABLEENTRIES : nullptr;
}

void ReleaseModule(MODULE* module) {
  if (module->Data) LS_Release(module->Data);
  module->~MODULE();
  LS_Release(module);
}

// Reads the whole file into the module's block; false on a short read.
bool ReadModuleFile(const char* name, uint8_t* data, int32_t size) {
  const int16_t handle = LS_Open(name, LS_O_RDONLY | LS_O_BINARY);
  if (handle < 0) return false;
  const int32_t got = LS_Read(handle, data, size);
  LS_Close(handle);
  return got == size;
}

// The fade's share of the mixing step; a fade-out that ends stops the
// module (the thread parks after this step).
void StepFade() {
  MODPLAYER& p = LSI_ModPlayer;
  if (!p.FadeActive) return;
  const uint32_t elapsed = plat::TickMs() - p.FadeStart;
  const uint32_t duration = p.FadeDuration;
  const uint8_t target = p.FadeTarget;
  if (elapsed > duration) {
    p.FadeActive = 0;
    if (target) LSI_ModState.MasterVolume = target;
    else LS_StopModule(0);
    return;
  }
  if (target) {
    LSI_ModState.MasterVolume = static_cast<uint8_t>(uint64_t{target} * elapsed / duration);
  } else {
    const uint32_t v = LSI_ModState.MasterVolume;
    LSI_ModState.MasterVolume = static_cast<uint8_t>(v - uint64_t{v} * elapsed / duration);
  }
}

void StartFade(uint8_t target, uint32_t ms) {
  MODPLAYER& p = LSI_ModPlayer;
  p.FadeActive = 0;
  p.FadeTarget = target;
  p.FadeStart = plat::TickMs();
  p.FadeDuration = ms;
  p.FadeActive = 1;
}

}  // namespace

int32_t LS_InitModuleSystem() {
  MODPLAYER& p = LSI_ModPlayer;
  if (p.Initialised) return 0;
  if (!MakeStream()) return 0;
  p.MixBuffer = static_cast<int32_t*>(LS_GetMem(LS_MODMIXBUFFER));
  if (!p.MixBuffer) {
    audio::Release(p.Stream);
    p.Stream = nullptr;
    return 0;
  }
  std::memset(p.MixBuffer, 0, LS_MODMIXBUFFER);
  SetOutput(LSI_ModState);
  LSI_StartModuleThread();
  LSYS_SetMusicHooks(LS_PauseModule, LS_ResumeModule);
  p.Initialised = 1;
  return 1;
}

int32_t LS_CloseModuleSystem() {
  MODPLAYER& p = LSI_ModPlayer;
  if (!p.Initialised) return 1;
  LS_StopModule(0);
  LSI_EndModuleThread();
  LSYS_SetMusicHooks(nullptr, nullptr);
  LS_Release(p.MixBuffer);
  audio::Release(p.Stream);
  LSI_ModState = MODSTATE{};
  LSI_ModPlayer = MODPLAYER{};
  return 1;
}

MODULE* LS_LoadModule(const char* name, HHEAP heap) {
  if (!LSI_ModPlayer.Initialised || !name) return nullptr;
  const int32_t size = LS_GetFileSize(name);
  if (size <= 0 || static_cast<uint32_t>(size) > UINT32_MAX - LS_MODSPARE) return nullptr;
  void* record = LS_GetMemHeap(heap, sizeof(MODULE));
  if (!record) return nullptr;
  MODULE* module = new (record) MODULE{};
  std::strncpy(module->Name, name, sizeof module->Name - 1);
  module->Size = static_cast<uint32_t>(size) + LS_MODSPARE;
  module->Data = static_cast<uint8_t*>(LS_GetMemHeap(heap, module->Size));
  if (!module->Data || !ReadModuleFile(name, module->Data, size)) {
    ReleaseModule(module);
    return nullptr;
  }
  std::memset(module->Data + size, 0, LS_MODSPARE);
  if (!LSI_ParseModule(module, static_cast<uint32_t>(size))) {
    ReleaseModule(module);
    return nullptr;
  }
  return module;
}

int32_t LSI_ParseModule(MODULE* module, uint32_t fileSize) {
  MODSTATE& s = module->Saved;
  s = MODSTATE{};
  SetOutput(s);
  s.MasterVolume = kVolumeMax;
  s.ModuleData = module->Data;
  if (!LSI_AsmSelectDriver(s, fileSize)) return 0;
  s.WritePos = 0;
  return 1;
}

int32_t LS_FreeModule(MODULE* module) {
  if (!module) return 0;
  LS_StopModule(0);
  if (LSI_ModState.ModuleData == module->Data) {
    LSI_ModPlayer.Paused = 0;
    LSI_ModState.Playing = 0;
    LSI_ModState.ModuleData = nullptr;
    LSI_ModState.Format = nullptr;
  }
  ReleaseModule(module);
  return 1;
}

void LSI_AsmStartModule(MODSTATE& saved) {
  MODSTATE& s = LSI_ModState;
  s = saved;
  SetOutput(s);
  s.StepConstant = LSI_ModStepConstant(s.Rate);
  LSI_BuildVolumeTables(s.MixBuffer, LSI_ModMixDivisor(s.Channels, s.Stereo));
  if (s.Accumulator) std::memset(s.Accumulator, 0, sizeof(int32_t) * LS_MODACCUMULATOR);
}

void LSI_StartModuleStream(int32_t volume, uint32_t fadeMs) {
  MODSTATE& s = LSI_ModState;
  s.OrderIndex = 0;
  LSI_ModDriver->SetTempo(s, kStartTempo);
  s.Speed = kStartSpeed;
  s.MasterVolume = ClampVolume(volume);
  SilenceStream();
  audio::Play(LSI_ModPlayer.Stream, true);
  LSI_ModPlayer.FadeActive = 0;
  if (fadeMs) {
    StartFade(ClampVolume(volume), fadeMs);
    s.MasterVolume = 0;
  }
  s.Playing = 1;
  LSI_ModPlayer.Paused = 0;
  LSI_ResumeModuleThread();
}

int32_t LS_PlayModule(MODULE* module, int32_t volume, uint32_t fadeMs) {
  if (!module || !LSI_ModPlayer.Initialised || LSI_ModState.Playing) return 0;
  LSI_SuspendModuleThread();
  LSI_AsmStartModule(module->Saved);
  LSI_StartModuleStream(volume, fadeMs);
  return 1;
}

int32_t LS_StopModule(uint32_t fadeMs) {
  MODPLAYER& p = LSI_ModPlayer;
  if (!LSI_ModState.Playing) {
    p.Paused = 0;
    LSI_SuspendModuleThread();
    return 1;
  }
  if (fadeMs) {
    StartFade(0, fadeMs);
    return 1;
  }
  p.FadeActive = 0;
  LSI_ModState.Playing = 0;
  if (p.Stream) audio::Stop(p.Stream);
  LSI_SuspendModuleThread();
  return 1;
}

int32_t LS_PauseModule() {
  MODPLAYER& p = LSI_ModPlayer;
  if (!p.Initialised || !LSI_ModState.Playing || p.Paused) return 0;
  audio::Stop(p.Stream);
  LSI_ModState.Playing = 0;
  p.Paused = 1;
  LSI_SuspendModuleThread();
  return 1;
}

int32_t LS_ResumeModule() {
  MODPLAYER& p = LSI_ModPlayer;
  if (!p.Initialised || !p.Paused) return 0;
  LSI_ModState.Playing = 1;
  p.Paused = 0;
  audio::Play(p.Stream, true);
  LSI_ResumeModuleThread();
  return 1;
}

void LS_SetModuleVolume(int32_t volume) { LSI_ModState.MasterVolume = ClampVolume(volume); }

void LS_SetModulePosition(int32_t pos) {
  MODSTATE& s = LSI_ModState;
  if (pos < 0 || static_cast<uint32_t>(pos) >= s.SongLength) return;
  s.Row = 0;
  s.OrderIndex = pos;
  s.CurrentPattern = s.Orders[pos];
}

int32_t LS_GetModuleStatus() { return LSI_ModState.Playing ? 1 : 0; }

void LSI_MixModule() {
  StepFade();
  std::lock_guard<std::mutex> lock(MixMutex());
  MODSTATE& s = LSI_ModState;
  audio::Buffer* stream = LSI_ModPlayer.Stream;
  if (!s.Playing || !stream || !s.Format || s.BytesPerTick == 0) return;
  uint32_t play = 0;
  if (audio::GetPosition(stream, &play, nullptr) != audio::kOk) return;
  int32_t room = static_cast<int32_t>(play) - static_cast<int32_t>(s.WritePos);
  if (room < 0) room += LS_MODSTREAMSIZE;
  if (static_cast<uint32_t>(room) <= 2 * s.BytesPerTick + kStreamSlack) return;
  for (int tick = 0; tick < 2; ++tick) {
    s.Format->Tick(s);
    audio::Region first, second;
    if (audio::Lock(stream, s.WritePos, s.BytesPerTick, &first, &second) != audio::kOk) return;
    s.LockAddress[0] = static_cast<uint8_t*>(first.data);
    s.LockBytes[0] = first.bytes;
    s.LockAddress[1] = static_cast<uint8_t*>(second.data);
    s.LockBytes[1] = second.bytes;
    LSI_ModDriver->OutputMix(s, s.LockAddress[0], s.LockBytes[0], s.LockAddress[1], s.LockBytes[1]);
    audio::Unlock(stream, first, second);
    s.WritePos = (s.WritePos + s.BytesPerTick) % LS_MODSTREAMSIZE;
  }
}
