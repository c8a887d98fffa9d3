// What the car-sound tests share: a started library with a memory sound
// output, the car sounds datagen makes written under "wav>", a table of
// cars with the camera at the origin, and which cars count as simulated.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "datagen/carsounds.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "tests/support/cartable.h"
#include "tests/support/soundtest.h"
#include "vehicles/carsounds.h"
#include "vehicles/vehicles.h"

namespace ztest {

inline bool g_soundSimulated[SB_MAXCARS];

class CarSoundTest : public SoundTest {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override {
    SoundTest::SetUp();
    StartLibrary(8 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    for (bool& s : g_soundSimulated) s = true;
    SB_Hooks.IsCarSimulated = [](int32_t car) { return car >= 0 && car < SB_MAXCARS && g_soundSimulated[car] ? 1 : 0; };
    SB_Var.UsingSound = 1;
    SB_Var.FrameTime = 20;
    SB_ResetSoundListener();
  }
  void TearDown() override {
    SB_FreeCarSounds();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
    SoundTest::TearDown();
  }
  // The car sounds as datagen makes them, all or all but one.
  void PutSounds(const std::string& except = "") {
    for (const datagen::NamedWave& s : datagen::CarSounds())
      if (s.name != except) Put("WAV/" + s.name, s.wave);
  }
  // n cars with their engines started, loaded with their sounds.
  void Race(int32_t n) {
    MakeCarTable(cars_, n);
    for (int32_t i = 0; i < n; ++i) cars_[i].EngineStarted = 1;
    SB_LoadCarSounds();
    for (int32_t i = 0; i < n; ++i) SB_ResetCarSoundState(&cars_[i]);
  }
  TCAR& Car(int32_t i) { return cars_[i]; }
  static TSBSOUND* Ch(int32_t channel) { return SB_CarSound(channel); }
  static TSBSOUND* Engine(int32_t car) { return SB_Var.CarSounds.Engines[car]; }
};

}  // namespace ztest
