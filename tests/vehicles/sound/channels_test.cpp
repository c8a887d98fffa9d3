// The car-sound channels: their files and load order, the registry, the
// countdown's channels, missing files, freeing, the passes over every
// channel, and the one-shots.
#include "tests/vehicles/sound/sound_fixture.h"

namespace {

class Channels : public ztest::CarSoundTest {};

TEST_F(Channels, LoadOrderThenOneEngineChannelPerCarEachRegistered) {
  // Each file of its own length, so that a channel shows which file it holds.
  const char* names[] = {"derap",    "derap3",   "derap4",  "derap5",  "frotte", "rapport", "geardwn",
                         "geardwn1", "geardwn2", "geardwn3", "gearup", "motor",  "motor2",  "motor3",
                         "motor4",   "motor5",   "roule2",  "roule3",  "roule4", "roule5",  "3",
                         "2",        "1",        "go",      "demar1",  "bluesky", "tututu"};
  for (int i = 0; i < SB_NBCARSOUNDS; ++i) {
    datagen::Wave w = ztest::MakeWave(11025, 1, 8);
    w.samples.assign(100 + i, 128);
    Put(std::string("wav/") + names[i] + ".wav", w);
  }
  Race(3);
  const TCARSOUNDS& s = SB_Var.CarSounds;
  ASSERT_EQ(s.NbRegistered, SB_NBCARSOUNDS + 3);
  for (int i = 0; i < SB_NBCARSOUNDS; ++i) {
    ASSERT_NE(s.Channels[i], nullptr) << names[i];
    EXPECT_EQ(s.Channels[i]->Sound->DataLength, 100u + i) << names[i];
    EXPECT_EQ(s.Registry[i], &s.Channels[i]);
  }
  for (int car = 0; car < 3; ++car) {
    ASSERT_NE(Engine(car), nullptr);
    EXPECT_EQ(Engine(car)->Sound->DataLength, 111u);  // "motor"
    EXPECT_EQ(s.Registry[SB_NBCARSOUNDS + car], &s.Engines[car]);
  }
  EXPECT_EQ(Engine(3), nullptr);
  // The countdown's sounds 0..3, the fifth names no file.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(SB_Var.CountdownSounds[i], s.Channels[SB_SND_COUNT3 + i]);
  EXPECT_EQ(SB_Var.CountdownSounds[4], nullptr);
}

TEST_F(Channels, FreeingLeavesNoBlockAndNoSlot) {
  PutSounds();
  Race(2);
  EXPECT_GT(SB_Var.NbMemOwners, 0);
  SB_FreeCarSounds();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(LSI_Var.NbSound, 0);
  EXPECT_EQ(SB_Var.CarSounds.NbRegistered, 0);
  EXPECT_EQ(Ch(SB_SND_MOTOR), nullptr);
  EXPECT_EQ(Engine(0), nullptr);
  EXPECT_EQ(SB_Var.CountdownSounds[0], nullptr);
  SB_LoadCarSounds();  // a second race loads them again
  SB_LoadCarSounds();  // and loading twice frees the first set
  EXPECT_EQ(SB_Var.CarSounds.NbRegistered, SB_NBCARSOUNDS + 2);
}

TEST_F(Channels, MissingOrBrokenFilesLeaveNullChannelsThatEveryPassSkips) {
  PutSounds("MOTOR2.WAV");
  ztest::WriteFile(root_ + "/WAV/DERAP.WAV", "RIFF\x10\0\0\0WAVEfmt ");  // truncated
  Race(2);
  EXPECT_EQ(Ch(SB_SND_MOTOR2), nullptr);
  EXPECT_EQ(Ch(SB_SND_DERAP), nullptr);
  EXPECT_EQ(SB_Var.CarSounds.NbRegistered, SB_NBCARSOUNDS - 2 + 2);
  Car(0).EngineSpeed = 300.0;
  SB_UpdateCarSounds();
  SB_CommitCarSounds();
  SB_SilenceCarSounds();
  SB_MuteCarSoundsNow();
  SB_PlayGearSound(&Car(0));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Channels, SoundOffLoadsNothing) {
  PutSounds();
  SB_Var.UsingSound = 0;
  Race(2);
  EXPECT_EQ(SB_Var.CarSounds.NbRegistered, 0);
  SB_UpdateCarSounds();  // nothing to do
}

TEST_F(Channels, SilenceWaitsForTheCommitAndMuteActsAtOnce) {
  PutSounds();
  Race(2);
  SB_UpdateCarSounds();
  SB_CommitCarSounds();
  ASSERT_EQ(Ch(SB_SND_MOTOR2)->Volume, 0);  // at rest, outside: the low layer at full volume
  SB_SilenceCarSounds();
  for (int i = 0; i < SB_Var.CarSounds.NbRegistered; ++i)
    EXPECT_EQ((*SB_Var.CarSounds.Registry[i])->WantedVolume, -10000);
  EXPECT_EQ(Ch(SB_SND_MOTOR2)->Volume, 0);
  SB_CommitCarSounds();
  EXPECT_EQ(Ch(SB_SND_MOTOR2)->Volume, -3000);
  EXPECT_EQ(LS_GetSoundStatus(Ch(SB_SND_MOTOR2)->Sound), LS_SOUND_STOPPED);
  SB_UpdateCarSounds();
  SB_CommitCarSounds();
  SB_MuteCarSoundsNow();
  EXPECT_EQ(Ch(SB_SND_MOTOR2)->Volume, -3000);
  EXPECT_EQ(LS_GetSoundStatus(Ch(SB_SND_MOTOR2)->Sound), LS_SOUND_STOPPED);
}

TEST_F(Channels, OneShotsPlayOnceAt11025HzAtFullVolume) {
  PutSounds();
  Race(1);
  struct Row {
    std::function<void()> play;
    int32_t channel;
  };
  const Row rows[] = {
      {[&] { Car(0).Gear = 2, Car(0).PrevGear = 1; SB_PlayGearSound(&Car(0)); }, SB_SND_GEARUP},
      {[&] { Car(0).Gear = 2, Car(0).PrevGear = 2; SB_PlayGearSound(&Car(0)); }, SB_SND_GEARDWN},
      {[&] { Car(0).Gear = 1, Car(0).PrevGear = 2; SB_PlayGearSound(&Car(0)); }, SB_SND_GEARDWN},
      {[] { SB_Var.Time = 300; SB_PlayGearDownVariant(); }, SB_SND_GEARDWN1},
      {[] { SB_Var.Time = 301; SB_PlayGearDownVariant(); }, SB_SND_GEARDWN2},
      {[] { SB_Var.Time = 302; SB_PlayGearDownVariant(); }, SB_SND_GEARDWN3},
      {SB_PlayRapportSound, SB_SND_RAPPORT},
      {SB_PlayStartSound, SB_SND_DEMAR1},
      {SB_PlayBlueskySound, SB_SND_BLUESKY},
      {SB_PlayTututuSound, SB_SND_TUTUTU},
  };
  for (const Row& r : rows) {
    SB_SilenceCarSounds();
    SB_CommitCarSounds();
    r.play();
    TSBSOUND* c = Ch(r.channel);
    EXPECT_EQ(c->WantedPlaying, 1) << r.channel;
    EXPECT_EQ(c->WantedVolume, 0) << r.channel;
    EXPECT_EQ(c->WantedFrequency, 11025) << r.channel;
    SB_CommitCarSounds();
    EXPECT_EQ(c->Sound->Once, 1) << r.channel;
    EXPECT_EQ(c->Sound->Frequency, 11025) << r.channel;
    EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_PLAYING) << r.channel;
  }
  SB_PlayGearSound(nullptr);  // no car, no sound
}

}  // namespace
