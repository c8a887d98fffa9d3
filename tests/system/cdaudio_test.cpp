// CD audio: the commands the library sends, playing once, a number of
// times or for ever through the notifications, stopping, and running
// without a CD.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/wavwrite.h"
#include "platform/cdaudio.h"
#include "platform/window.h"
#include "system/cdaudio.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "tests/support/soundtest.h"

namespace {

namespace cd = plat::cdaudio;
using Commands = std::vector<std::string>;

constexpr uint32_t kRate = 8000;  // whole frames per millisecond

class CdTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    cd::Reset();
    cd_ = temp_ + "/cd";
    SetDrives({{'C', plat::DriveType::Fixed, "", root_}, {'D', plat::DriveType::CdRom, "", cd_}});
  }
  void TearDown() override {
    ztest::LibraryTest::TearDown();
    cd::Reset();
    plat::audio::Reset();
  }

  // A track of the given milliseconds of a constant level.
  void Track(int number, uint32_t ms, int32_t level = 8000) {
    datagen::Wave w = ztest::MakeWave(kRate, 1, 16);
    w.samples = datagen::ConstantSamples(w, level, kRate * ms / 1000);
    char name[32];
    std::snprintf(name, sizeof name, "/CDAUDIO/TRACK%02d.WAV", number);
    ztest::WriteBytes(cd_ + name, datagen::EncodeWave(w));
  }
  // Tracks 1, 3 and 5 of 100, 50 and 80 ms: track 5 starts at 150 ms.
  void Disc() {
    Track(1, 100);
    Track(3, 50);
    Track(5, 80);
  }
  void Start() {
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    cd::ClearSentCommands();
  }

  // Renders until the CD's notification arrives (at most a second);
  // returns its code, or 0 when none came, and whether sound was heard.
  uintptr_t RenderToEnd(bool* heard = nullptr) {
    for (int i = 0; i < 100; ++i) {
      const std::vector<int16_t> out = ztest::Render(441);
      if (heard && ztest::Peak(out) > 0) *heard = true;
      plat::WindowMessage m{};
      if (plat::PeekWindowMessage(m)) {
        EXPECT_EQ(m.message, plat::kMsgCdNotify);
        EXPECT_EQ(m.lParam, cd::kDeviceId);
        return m.wParam;
      }
    }
    return 0;
  }
  static int Plays() {
    const Commands& sent = cd::SentCommands();
    return static_cast<int>(std::count_if(sent.begin(), sent.end(), [](const std::string& c) {
      return c.starts_with("play");
    }));
  }

  std::string cd_;
};

TEST_F(CdTest, LibraryStartOpensTheDeviceInMilliseconds) {
  Disc();
  StartLibrary();
  EXPECT_EQ(LSI_Var.CDOn, 1u);
  EXPECT_EQ(cd::SentCommands(), (Commands{"open cdaudio wait", "set cdaudio time format milliseconds"}));
  LS_CloseZidAde();
  started_ = false;
  EXPECT_EQ(std::tuple(LSI_Var.CDOn, cd::SentCommands().back()), std::tuple(0u, std::string("close cdaudio")));
}

// Each play queries the track, then plays its range; each end plays it
// again until the count is used up, and a count of zero plays for ever.
TEST_F(CdTest, TheCountSaysHowManyTimesTheTrackPlays) {
  Disc();
  Start();
  const Commands play = {"status cdaudio length track 5", "status cdaudio position track 5",
                         "play cdaudio from 150 to 230 notify"};
  const struct {
    int32_t count, ends, plays;
  } rows[] = {{1, 1, 1}, {3, 3, 3}, {0, 8, 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.count);
    cd::ClearSentCommands();
    ASSERT_EQ(LS_PlayCDTrack(5, row.count), 1);
    for (int end = 0; end < row.ends; ++end) {
      bool heard = false;
      const uintptr_t code = RenderToEnd(&heard);
      EXPECT_TRUE(heard) << end;
      ASSERT_EQ(code, cd::kNotifySuccessful);
      EXPECT_EQ(LSI_CDNotify(static_cast<uint32_t>(code)), 1);
    }
    Commands expected;
    for (int i = 0; i < row.plays; ++i) expected.insert(expected.end(), play.begin(), play.end());
    EXPECT_EQ(cd::SentCommands(), expected);
    if (row.count == 0) break;
    EXPECT_EQ(ztest::Peak(ztest::Render(4410)), 0);
    EXPECT_EQ(RenderToEnd(), 0u);
  }
  EXPECT_LT(LSI_Var.CDReplays, 0);
}

TEST_F(CdTest, TracksThatCannotPlayReturnZero) {
  Disc();
  ztest::WriteFile(cd_ + "/CDAUDIO/TRACK07.WAV", "RIFF....WAVEjunk");
  Start();
  for (int32_t track : {0, 2, 7, 100, -1}) {
    cd::ClearSentCommands();
    EXPECT_EQ(LS_PlayCDTrack(track, 1), 0) << track;
    EXPECT_EQ(cd::SentCommands(), Commands{"status cdaudio length track " + std::to_string(track)});
  }
  EXPECT_EQ(std::tuple(LSI_Var.CDPlaying, RenderToEnd()), std::tuple(0, uintptr_t{0}));
}

TEST_F(CdTest, StopSendsNothingWhileIdle) {
  Disc();
  Start();
  EXPECT_EQ(LS_StopCD(), 1);
  EXPECT_TRUE(cd::SentCommands().empty());
  ASSERT_EQ(LS_PlayCDTrack(1, 2), 1);
  ztest::Render(441);
  EXPECT_EQ(LS_StopCD(), 1);
  EXPECT_EQ(cd::SentCommands().back(), "stop cdaudio");
  EXPECT_EQ((std::tuple{ztest::Peak(ztest::Render(441)), RenderToEnd()}), std::tuple(0, uintptr_t{0}));
  EXPECT_EQ(LS_StopCD(), 1);
  EXPECT_EQ(cd::SentCommands().size(), 4u);
}

// A failure notification, as a track that cannot be read sends, stops the
// CD; other codes do nothing.
TEST_F(CdTest, FailureNotificationStopsTheCd) {
  Disc();
  Start();
  std::filesystem::remove(cd_ + "/CDAUDIO/TRACK05.WAV");
  ASSERT_EQ(LS_PlayCDTrack(5, 0), 1);
  const uintptr_t code = RenderToEnd();
  EXPECT_EQ(code, cd::kNotifyFailure);
  EXPECT_EQ(LSI_CDNotify(static_cast<uint32_t>(code)), 1);
  EXPECT_EQ(std::tuple(cd::SentCommands().back(), LSI_Var.CDPlaying), std::tuple(std::string("stop cdaudio"), 0));
  EXPECT_EQ(ztest::Peak(ztest::Render(4410)), 0);
  cd::ClearSentCommands();
  EXPECT_EQ(LSI_CDNotify(2), 1);
  EXPECT_TRUE(cd::SentCommands().empty());
}

TEST_F(CdTest, SuccessPostedJustBeforeAStopPlaysNothing) {
  Disc();
  Start();
  ASSERT_EQ(LS_PlayCDTrack(3, 5), 1);
  const uintptr_t code = RenderToEnd();  // the end is posted...
  LS_StopCD();                            // ...and the player stops before it is seen
  const size_t sent = cd::SentCommands().size();
  EXPECT_EQ(LSI_CDNotify(static_cast<uint32_t>(code)), 1);
  EXPECT_EQ((std::tuple{cd::SentCommands().size(), ztest::Peak(ztest::Render(4410))}), std::tuple(sent, 0));
}

TEST_F(CdTest, WithoutTheFolderOrTheDriveEveryCallReturnsZeroAndSendsNothing) {
  Track(2, 50);
  std::filesystem::rename(cd_ + "/CDAUDIO", cd_ + "/MUSIC");
  StartLibrary();
  EXPECT_EQ(LSI_Var.CDOn, 0u);
  EXPECT_EQ(LS_PlayCDTrack(2, 1) + LS_StopCD() + LSI_CDNotify(LS_CD_NOTIFY_SUCCESSFUL) + LSI_CloseCD(), 0);
  EXPECT_EQ(cd::SentCommands(), Commands{"open cdaudio wait"});
  LS_CloseZidAde();
  started_ = false;
  SetDrives({{'C', plat::DriveType::Fixed, "", root_}});
  StartLibrary();
  EXPECT_EQ(std::tuple(LSI_Var.CDOn, LS_PlayCDTrack(1, 1)), std::tuple(0u, 0));
}

TEST_F(CdTest, CloseStopsThenCloses) {
  Disc();
  Start();
  ASSERT_EQ(LS_PlayCDTrack(1, 1), 1);
  EXPECT_EQ(LSI_CloseCD(), 1);
  const Commands& sent = cd::SentCommands();
  EXPECT_EQ(Commands(sent.end() - 2, sent.end()), (Commands{"stop cdaudio", "close cdaudio"}));
  EXPECT_EQ((std::tuple{LSI_Var.CDOn, LSI_CloseCD(), RenderToEnd()}), std::tuple(0u, 0, uintptr_t{0}));
}

}  // namespace
