// The CD audio stand-in: its exact commands, the table of tracks, playing
// a range through the sound output, and the end-of-play message, posted
// from the thread that renders.
#include "platform/cdaudio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "datagen/wavwrite.h"
#include "platform/window.h"
#include "tests/support/soundtest.h"

namespace {

namespace cd = plat::cdaudio;
namespace audio = plat::audio;
using Codes = std::vector<uintptr_t>;

class CdDeviceTest : public ztest::Environment {
 protected:
  void SetUp() override {
    ztest::Environment::SetUp();
    cd::Reset();
    ASSERT_EQ(audio::AttachOutput(ztest::kOutRate, 1), audio::kOk);
    disc_ = temp_ + "/disc";
    SetDrives({{'C', plat::DriveType::Fixed, "", root_}, {'E', plat::DriveType::CdRom, "", disc_}});
  }
  void TearDown() override {
    cd::Reset();
    audio::Reset();
    ztest::Environment::TearDown();
  }

  // Track n: frames of a constant level at the rate.
  void Track(int n, uint32_t rate, uint32_t frames, uint16_t channels = 1, uint16_t bits = 16) {
    datagen::Wave w = ztest::MakeWave(rate, channels, bits);
    w.samples = datagen::ConstantSamples(w, bits == 8 ? 200 : 10000, frames);
    ztest::WriteBytes(TrackFile(n), datagen::EncodeWave(w));
  }
  std::string TrackFile(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "/CDAUDIO/track%02d.wav", n);  // any case will do
    return disc_ + name;
  }
  static uint32_t Send(const std::string& command, std::string* reply = nullptr) {
    std::string answer;
    const uint32_t result = cd::SendCommand(command, answer, 77);
    if (reply) *reply = answer;
    return result;
  }
  static std::string Status(const std::string& what, int track) {
    std::string reply;
    EXPECT_EQ(Send("status cdaudio " + what + " track " + std::to_string(track), &reply), cd::kOk) << track;
    return reply;
  }
  static uint32_t Play(int from, int to) {
    return Send("play cdaudio from " + std::to_string(from) + " to " + std::to_string(to) + " notify");
  }
  // Frames until the output falls silent.
  static size_t PlayedFrames() { return ztest::AudibleFrames(ztest::Render(44100), 1); }
  static Codes Messages() {
    Codes codes;
    for (plat::WindowMessage m{}; plat::PeekWindowMessage(m);) {
      EXPECT_EQ(m.message, plat::kMsgCdNotify);
      codes.push_back(m.wParam);
    }
    return codes;
  }

  std::string disc_;
};

TEST_F(CdDeviceTest, OnlyTheExactCommandsAreUnderstood) {
  Track(1, 11025, 1103);
  for (const char* c :
       {"open cdaudio", "OPEN CDAUDIO WAIT", "open cdaudio wait ", "status cdaudio length track",
        "status cdaudio length track 05", "status cdaudio length track +5", "play cdaudio from 1 to 2",
        "play cdaudio from 1 to 2 notify now", "status cdaudio mode", "pause cdaudio", ""})
    EXPECT_EQ(Send(c), cd::kUnknownCommand) << c;
  EXPECT_EQ(Send("status cdaudio length track 1"), cd::kNotOpen);
  EXPECT_EQ(Send("stop cdaudio"), cd::kNotOpen);
  EXPECT_EQ(Send("open cdaudio wait"), cd::kOk);
  EXPECT_EQ(Send("open cdaudio wait"), cd::kAlreadyOpen);
  EXPECT_EQ(Send("set cdaudio time format milliseconds"), cd::kOk);
  EXPECT_EQ(Send("status cdaudio length track 99999999999999999999"), cd::kUnknownCommand);
  EXPECT_EQ(Send("close cdaudio"), cd::kOk);
  EXPECT_EQ(Send("close cdaudio"), cd::kNotOpen);
  EXPECT_EQ(cd::SentCommands().size(), 19u);
  EXPECT_EQ(cd::SentCommands()[11], "status cdaudio length track 1");
}

TEST_F(CdDeviceTest, LengthsAndPositionsInMilliseconds) {
  Track(2, 11025, 11025);       // 1000 ms
  Track(4, 22050, 2205, 2, 8);  // 100 ms
  Track(5, 8000, 4004);         // 500.5 ms: 500
  ztest::WriteFile(TrackFile(3), "not a wave at all");
  Track(9, 48000, 48);  // 1 ms
  // Track 6: an odd chunk and its pad byte before the samples (100 ms);
  // track 7: a block size that does not match its format.
  datagen::Wave w = ztest::MakeWave(11025, 1, 16);
  w.samples = datagen::ConstantSamples(w, 1000, 1103);
  std::vector<uint8_t> bytes = datagen::EncodeWave(w);
  const std::vector<uint8_t> odd = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + 36, odd.begin(), odd.end());
  ztest::WriteBytes(TrackFile(6), bytes);
  bytes = datagen::EncodeWave(w);
  bytes[32] = 3;
  ztest::WriteBytes(TrackFile(7), bytes);
  ASSERT_EQ(Send("open cdaudio wait"), cd::kOk);
  const std::tuple<const char*, int, const char*> replies[] = {
      {"length", 2, "1000"}, {"position", 2, "0"},    {"length", 4, "100"},   {"position", 4, "1000"},
      {"length", 5, "500"},  {"position", 5, "1100"}, {"length", 6, "100"},   {"position", 9, "1700"}};
  for (const auto& [what, track, reply] : replies) EXPECT_EQ(Status(what, track), reply) << what << track;
  for (int n : {0, 1, 3, 7, 99, 100, -2})
    for (const char* what : {"length", "position"})
      EXPECT_EQ(Send(std::string("status cdaudio ") + what + " track " + std::to_string(n)), cd::kNoTrack)
          << n;
}

TEST_F(CdDeviceTest, OpenNeedsADiscWithUsableTracks) {
  EXPECT_EQ(Send("open cdaudio wait"), cd::kNoDisc);  // no folder
  std::filesystem::create_directories(disc_ + "/CDAUDIO");
  ztest::WriteFile(TrackFile(1), "RIFF");
  datagen::Wave w = ztest::MakeWave(11025, 1, 16);  // a track without samples
  ztest::WriteBytes(TrackFile(3), datagen::EncodeWave(w));
  w.bits = 24;
  ztest::WriteBytes(TrackFile(2), datagen::EncodeWave(w));
  ztest::WriteFile(disc_ + "/CDAUDIO/TRACK100.WAV", "");
  EXPECT_EQ(Send("open cdaudio wait"), cd::kNoDisc);  // nothing usable
  SetDrives({{'C', plat::DriveType::Fixed, "", root_}});
  Track(1, 11025, 100);
  EXPECT_EQ(Send("open cdaudio wait"), cd::kNoDisc);  // no CD drive
}

TEST_F(CdDeviceTest, PlaysTheRangeOnceAndNotifiesAtItsEndFromTheRenderingThread) {
  Track(1, 11025, 11025);  // 0 - 1000 ms
  Track(2, 44100, 44100);  // 1000 - 2000 ms
  ASSERT_EQ(Send("open cdaudio wait"), cd::kOk);
  ASSERT_EQ(Play(1250, 1500), cd::kOk);
  EXPECT_NEAR(static_cast<double>(PlayedFrames()), 44100 * 0.25, 2);
  EXPECT_EQ(Messages(), Codes{cd::kNotifySuccessful});
  // A range past the track's end stops at the end of the track.
  ASSERT_EQ(Play(900, 1800), cd::kOk);
  EXPECT_NEAR(static_cast<double>(PlayedFrames()), 44100 * 0.1, 5);
  EXPECT_EQ(Messages(), Codes{cd::kNotifySuccessful});
  ASSERT_EQ(Play(0, 100), cd::kOk);
  std::thread([] { ztest::Render(44100 / 5); }).join();
  EXPECT_EQ(Messages(), Codes{cd::kNotifySuccessful});
}

TEST_F(CdDeviceTest, BadRangesTracksAndOutputsPlayNothing) {
  Track(1, 11025, 11025);
  Track(2, 11025, 1103);
  ASSERT_EQ(Send("open cdaudio wait"), cd::kOk);
  audio::DetachOutput();
  EXPECT_EQ(Play(0, 100), cd::kNoOutput);
  ASSERT_EQ(audio::AttachOutput(ztest::kOutRate, 1), audio::kOk);
  for (const auto& [from, to] : {std::pair{1100, 2000}, {-5, 100}, {500, 500}, {600, 100}})
    EXPECT_EQ(Play(from, to), cd::kOutOfRange) << from << " to " << to;
  EXPECT_EQ(PlayedFrames(), 0u);
  EXPECT_TRUE(Messages().empty());
  // A track that cannot be read any more: the failure is notified.
  ztest::WriteFile(TrackFile(2), "RIFF");
  ASSERT_EQ(Play(1000, 1100), cd::kOk);
  EXPECT_EQ(Messages(), Codes{cd::kNotifyFailure});
  EXPECT_EQ(PlayedFrames(), 0u);
}

TEST_F(CdDeviceTest, StopOrANewPlayDropsThePendingNotification) {
  Track(1, 11025, 1103);  // 100 ms
  Track(2, 11025, 2205);  // 200 ms
  ASSERT_EQ(Send("open cdaudio wait"), cd::kOk);
  ASSERT_EQ(Play(0, 100), cd::kOk);
  ztest::Render(441);
  ASSERT_EQ(Send("stop cdaudio"), cd::kOk);
  EXPECT_EQ(PlayedFrames(), 0u);
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(Play(0, 100), cd::kOk);
  ztest::Render(441);
  ASSERT_EQ(Play(100, 300), cd::kOk);
  EXPECT_NEAR(static_cast<double>(PlayedFrames()), 8820, 5);
  EXPECT_EQ(Messages(), Codes{cd::kNotifySuccessful});
  ASSERT_EQ(Play(0, 100), cd::kOk);
  ASSERT_EQ(Send("close cdaudio"), cd::kOk);
  EXPECT_EQ(PlayedFrames(), 0u);
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
