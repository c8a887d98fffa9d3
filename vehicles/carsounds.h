// The car sounds: the race's channels (SB_Var.CarSounds) with their files,
// the one-shots of the gearbox, the starter and the race's events, the
// listener that attenuates and pitches each car by its distance from the
// camera, and the engine sound model that sets every channel's wanted
// volume and frequency once a frame (vehicles/vehicles.h has the frame's
// calls). Volumes are hundredths of a decibel, 0 full, -10000 silent.
#pragma once
#include <cstdint>

struct TCAR;
struct TSBSOUND;

// The channels in their load order.
enum : int32_t {
  SB_SND_DERAP,  // skids, by surface
  SB_SND_DERAP3,
  SB_SND_DERAP4,
  SB_SND_DERAP5,
  SB_SND_FROTTE,  // body scraping
  SB_SND_RAPPORT,  // gear engaged
  SB_SND_GEARDWN,
  SB_SND_GEARDWN1,
  SB_SND_GEARDWN2,
  SB_SND_GEARDWN3,
  SB_SND_GEARUP,
  SB_SND_MOTOR,   // engine, high revs, outside the car
  SB_SND_MOTOR2,  // low revs, outside
  SB_SND_MOTOR3,  // high revs, in-car camera
  SB_SND_MOTOR4,  // low revs, in-car camera
  SB_SND_MOTOR5,
  SB_SND_ROULE2,  // rolling, by surface
  SB_SND_ROULE3,
  SB_SND_ROULE4,
  SB_SND_ROULE5,
  SB_SND_COUNT3,  // the countdown: "3", "2", "1", "go"
  SB_SND_COUNT2,
  SB_SND_COUNT1,
  SB_SND_GO,
  SB_SND_DEMAR1,  // the starter
  SB_SND_BLUESKY,
  SB_SND_TUTUTU,
};

// The file of channel i ("wav>motor.wav"...); null outside the table.
const char* SB_CarSoundFile(int32_t channel);
// The channel i of the race, null when not loaded or outside the table.
TSBSOUND* SB_CarSound(int32_t channel);

// A gear change: "geardwn" when the car's gear is not above its previous
// one, else "gearup".
void SB_PlayGearSound(TCAR* car);
// The over-rev of a down-shift: "geardwn1".."geardwn3" by game time mod 3.
void SB_PlayGearDownVariant();
// A refused down-shift.
void SB_PlayRapportSound();
// The engine start.
void SB_PlayStartSound();
// A channel restarted once at 11025 Hz at full volume (wanted values).
void SB_PlayCarOneShot(TSBSOUND* sound);

// The cars' sound channels, loaded at race start (none while sound is off)
// and freed at its end; the countdown's channels are lent to
// SB_Var.CountdownSounds meanwhile.
void SB_LoadCarSounds();
void SB_FreeCarSounds();
// A car's engine and skid volumes silent and the listener tables reset.
void SB_ResetCarSoundState(TCAR* car);
// Every car's Doppler factor and attenuation 1.0, no previous distance.
void SB_ResetSoundListener();

// The listener of car index for this frame: its Doppler factor and
// attenuation from its distance to the race camera, kept in the tables
// unless the camera cut.
void SB_CarSoundListener(int32_t index);
// A frequency (Hz) and a volume through car index's listener entry.
void SB_ApplySoundListener(int32_t index, double* frequency, double* volume);

// A wanted volume or frequency from a computed value: NaN is silence (or
// 0 Hz), huge values saturate.
int32_t SB_SoundVolumeWord(double volume);
int32_t SB_SoundFrequencyWord(double hertz);
