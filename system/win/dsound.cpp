// The sound system's side of the platform: the device and primary buffer,
// each sound's buffer, and the sound error box.
#include "system/win/dsound.h"

#include <algorithm>
#include <cstring>

#include "platform/audio.h"
#include "platform/profile.h"
#include "platform/window.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

namespace audio = plat::audio;

plat::audio::Device* LSYS_DirectSound = nullptr;
plat::audio::Buffer* LSYS_PrimarySoundBuffer = nullptr;
SOUND* LSYS_PrimarySound = nullptr;

namespace {

// The primary format at start: 22050 Hz, stereo, 16 bits.
constexpr SOUNDFORMAT kStartFormat = {22050, 2, 16};

SOUND g_primaryRecord;

// The main window the device cooperates with (framed window in framed
// style, else the full-screen one); null before the windows exist.
const void* LSYS_SoundWindow() { return LSYS_MainWindow; }

audio::PcmFormat PcmOf(const SOUNDFORMAT& f) {
  audio::PcmFormat pcm{};
  pcm.formatTag = audio::kFormatPcm;
  pcm.channels = f.Channels;
  pcm.samplesPerSec = f.Rate;
  pcm.bitsPerSample = f.Bits == 8 ? 8 : 16;
  pcm.blockAlign = static_cast<uint16_t>(pcm.channels * (pcm.bitsPerSample / 8));
  pcm.avgBytesPerSec = pcm.samplesPerSec * pcm.blockAlign;
  return pcm;
}

void RecordPrimaryFormat(const audio::PcmFormat& pcm) {
  SOUND& r = g_primaryRecord;
  r.FormatTag = pcm.formatTag;
  r.Channels = pcm.channels;
  r.SampleRate = pcm.samplesPerSec;
  r.BitsPerSample = pcm.bitsPerSample;
  r.BlockAlign = pcm.blockAlign;
  r.AvgBytesPerSec = pcm.avgBytesPerSec;
  r.Frequency = static_cast<int32_t>(pcm.samplesPerSec);
}

bool SoundSwitchedOff() {
  if (LSI_Var.Master) return false;
  return plat::GetProfileString("ZIDADE", "Sound", "TRUE") == "FALSE";
}

bool MakePrimaryBuffer() {
  audio::BufferDesc desc;
  desc.flags = audio::kPrimary;
  if (audio::CreateBuffer(LSYS_DirectSound, desc, &LSYS_PrimarySoundBuffer) != audio::kOk) {
    LSYS_PrimarySoundBuffer = nullptr;
    LSYS_SoundError("CreateSoundBuffer1 Error!");
    return false;
  }
  if (audio::Play(LSYS_PrimarySoundBuffer, true) != audio::kOk) LSYS_SoundError("SoundPlay Primary Error!");
  std::memset(&g_primaryRecord, 0, sizeof g_primaryRecord);
  g_primaryRecord.Buffer = LSYS_PrimarySoundBuffer;
  LSYS_PrimarySound = &g_primaryRecord;
  RecordPrimaryFormat(PcmOf(kStartFormat));
  if (LSYS_SetPrimaryFormat(&kStartFormat) == 0) LSYS_SoundError("Set Format Primary Error!");
  return true;
}

}  // namespace

void LSYS_SoundError(const char* text) {
  if (LSI_Var.Debug) plat::MessageBox(text ? text : "", "Zidade Sound Error");
}

int32_t LSYS_InitSound() {
  if (!LSYS_SoundWindow()) return 0;
  if (SoundSwitchedOff()) return 0;
  if (audio::CreateDevice(&LSYS_DirectSound) != audio::kOk) {
    LSYS_DirectSound = nullptr;
    LSYS_SoundError("DirectSoundCreate Error!");
    return 0;
  }
  LSYS_SetSoundCooperative();
  if (!MakePrimaryBuffer()) {
    audio::ReleaseDevice(LSYS_DirectSound);
    LSYS_DirectSound = nullptr;
    return 0;
  }
  return 1;
}

void LSYS_SetSoundCooperative() {
  if (!LSYS_DirectSound) return;
  if (audio::SetCooperativeLevel(LSYS_DirectSound, LSYS_SoundWindow(), audio::kCoopPriority) != audio::kOk)
    LSYS_SoundError("SetCooperativeLevel Error!");
}

void LSYS_CloseSound() {
  if (LSYS_DirectSound) audio::ReleaseDevice(LSYS_DirectSound);
  LSYS_DirectSound = nullptr;
  LSYS_PrimarySoundBuffer = nullptr;
  LSYS_PrimarySound = nullptr;
  std::memset(&g_primaryRecord, 0, sizeof g_primaryRecord);
}

int32_t LSYS_SetPrimaryFormat(const SOUNDFORMAT* format) {
  if (!LSYS_PrimarySoundBuffer || !format) return 0;
  const audio::PcmFormat pcm = PcmOf(*format);
  if (audio::SetFormat(LSYS_PrimarySoundBuffer, pcm) != audio::kOk) return 0;
  RecordPrimaryFormat(pcm);
  return 1;
}

// Copies the sound's PCM into its new buffer; false when the buffer will
// not lock.
static bool FillBuffer(SOUND* sound, audio::Buffer* buffer) {
  audio::Region first, second;
  if (audio::Lock(buffer, 0, sound->DataLength, &first, &second) != audio::kOk) {
    LSYS_SoundError("Sound Lock Error!");
    return false;
  }
  if (sound->Data) std::memcpy(first.data, sound->Data, std::min(sound->DataLength, first.bytes));
  if (audio::Unlock(buffer, first, second) != audio::kOk) LSYS_SoundError("Sound Unlock Error!");
  return true;
}

int32_t LSLoadSound(SOUND* sound, HHEAP heap) {
  if (!sound || !LSYS_DirectSound) return 0;
  audio::BufferDesc desc;
  desc.flags = audio::kCtrlFrequency | audio::kCtrlPan | audio::kCtrlVolume | audio::kStatic;
  if (heap != LS_SOUNDHEAP_HARDWARE) desc.flags |= audio::kLocSoftware;
  desc.bytes = sound->DataLength;
  desc.format.formatTag = sound->FormatTag;
  desc.format.channels = sound->Channels;
  desc.format.samplesPerSec = sound->SampleRate;
  desc.format.avgBytesPerSec = sound->AvgBytesPerSec;
  desc.format.blockAlign = sound->BlockAlign;
  desc.format.bitsPerSample = static_cast<uint16_t>(sound->BitsPerSample);
  const bool bitsFit = sound->BitsPerSample <= UINT16_MAX;
  audio::Buffer* buffer = nullptr;
  if (!bitsFit || audio::CreateBuffer(LSYS_DirectSound, desc, &buffer) != audio::kOk) {
    LSYS_SoundError("LSLoadSound Error!");
    return 0;
  }
  uint32_t caps = 0;
  if (audio::GetCaps(buffer, &caps, nullptr) == audio::kOk && (caps & audio::kLocHardware))
    sound->Heap = LS_SOUNDHEAP_INHARDWARE;
  if (!FillBuffer(sound, buffer)) {
    audio::Release(buffer);
    return 0;
  }
  if (sound->FileImage) LS_Release(sound->FileImage);
  sound->FileImage = nullptr;
  sound->Data = nullptr;
  sound->Buffer = buffer;
  return 1;
}

int32_t LSYS_SetSoundVolume(SOUND* sound, int32_t volume) {
  if (!sound || !sound->Buffer) return 0;
  const audio::Result r = audio::SetVolume(sound->Buffer, volume);
  if (r == audio::kOk || r == audio::kControlUnavailable) return 1;
  LSYS_SoundError("Set Volume Error!");
  return 0;
}

int32_t LSYS_SetSoundFrequency(SOUND* sound, int32_t hertz) {
  if (!sound || !sound->Buffer) return 0;
  if (hertz < 0 || audio::SetFrequency(sound->Buffer, static_cast<uint32_t>(hertz)) != audio::kOk) {
    LSYS_SoundError("Set Freq Error!");
    return 0;
  }
  return 1;
}

int32_t LSYS_PlaySound(SOUND* sound, int32_t once) {
  if (!sound || !sound->Buffer) return 0;
  if (audio::Play(sound->Buffer, once == 0) != audio::kOk) {
    LSYS_SoundError("SoundPlay Error!");
    return 0;
  }
  return 1;
}

int32_t LSYS_StopSound(SOUND* sound) {
  if (!sound || !sound->Buffer) return 0;
  if (audio::Stop(sound->Buffer) != audio::kOk) {
    LSYS_SoundError("StopSound Error!");
    return 0;
  }
  return 1;
}

int32_t LSYS_ReleaseSound(SOUND* sound) {
  if (!sound || !sound->Buffer) return 0;
  const audio::Result r = audio::Release(sound->Buffer);
  sound->Buffer = nullptr;
  if (r != audio::kOk) {
    LSYS_SoundError("StopSound Error!");
    return 0;
  }
  return 1;
}

int32_t LSYS_GetSoundStatus(SOUND* sound) {
  if (!sound || !sound->Buffer) return 0;
  uint32_t status = 0;
  if (audio::GetStatus(sound->Buffer, &status) != audio::kOk) return 0;
  return (status & audio::kStatusPlaying) ? LS_SOUND_PLAYING : LS_SOUND_STOPPED;
}

int32_t LSYS_SetSoundPosition(SOUND* sound, uint32_t offset) {
  if (!sound || !sound->Buffer) return 0;
  return audio::SetPosition(sound->Buffer, offset) == audio::kOk ? 1 : 0;
}
