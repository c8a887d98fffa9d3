// The races' CD music: with CDSONG on, the race set-up plays track 2 with
// 10000 repeats and the tear-down stops it; with it off the CD is left
// alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/wavwrite.h"
#include "frontend/media.h"
#include "platform/cdaudio.h"
#include "shell/sbvar.h"
#include "system/cdaudio.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "tests/support/soundtest.h"

namespace {

namespace cd = plat::cdaudio;

class CdMusicTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    cd::Reset();
    const std::string disc = temp_ + "/cd";
    SetDrives({{'C', plat::DriveType::Fixed, "", root_}, {'D', plat::DriveType::CdRom, "", disc}});
    datagen::Wave w = ztest::MakeWave(8000, 1, 16);
    w.samples = datagen::ConstantSamples(w, 800, 800);
    for (const char* track : {"/CDAUDIO/TRACK01.WAV", "/CDAUDIO/TRACK02.WAV"})
      ztest::WriteBytes(disc + track, datagen::EncodeWave(w));
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    cd::ClearSentCommands();
  }
  void TearDown() override {
    ztest::SoundTest::TearDown();
    cd::Reset();
  }
};

TEST_F(CdMusicTest, CdSongPlaysTrackTwoThroughTheRace) {
  struct Row {
    int32_t cdSong;
    bool played;
  };
  for (const Row& r : {Row{0, false}, Row{1, true}}) {
    cd::ClearSentCommands();
    SB_Var.CdSong = r.cdSong;
    EXPECT_EQ(SB_StartCdMusic(), 1);
    EXPECT_EQ(LSI_Var.CDPlaying, r.played ? 1 : 0) << r.cdSong;
    if (r.played) {
      EXPECT_EQ(std::pair(LSI_Var.CDTrack, LSI_Var.CDReplays), std::pair(2, 9999));
    }
    EXPECT_EQ(!cd::SentCommands().empty(), r.played) << r.cdSong;
    // Off, a track someone else plays (the race controller's) plays on.
    if (!r.played) LS_PlayCDTrack(1, 1);
    EXPECT_EQ(SB_StopCdMusic(), 1);
    EXPECT_EQ(LSI_Var.CDPlaying, r.played ? 0 : 1) << r.cdSong;
    if (!r.played) LS_StopCD();
  }
}

}  // namespace
