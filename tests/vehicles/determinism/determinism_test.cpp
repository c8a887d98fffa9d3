// Deterministic physics, across processes and builds: the default car
// driven round the default circuit for 90 s at seeded frame times by
// determinism_run, each run in a process of its own, gives the same replay
// file and the same car state at every frame; the replay played back in
// other processes places every record exactly and the same in each; and
// the other build's program (normal or sanitizer), when built, computes the
// same bits.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSeed = "35";
constexpr size_t kHead = 264, kRecord = 84;  // the replay file's header and records

uint32_t U32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int32_t i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return v;
}

// Where two frame files (a u32 entry size, then the entries) first differ.
std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return "";
  const size_t entry = a.size() >= 4 ? U32(a, 0) : 0;
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  if (entry == 0 || at < 4) return "differ in their head";
  return "differ first in frame " + std::to_string((at - 4) / entry) + " of " + std::to_string((a.size() - 4) / entry) +
         " (byte " + std::to_string((at - 4) % entry) + " of its entry); sizes " + std::to_string(a.size()) + " and " +
         std::to_string(b.size());
}

class DeterminismTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zentrova-determinism-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    temp_ = made;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(temp_, ec);
  }
  // A folder of the run's files.
  std::string Folder(const std::string& name) const {
    fs::create_directories(temp_ + "/" + name);
    return temp_ + "/" + name;
  }
  static int Run(const std::string& program, const std::string& arguments) {
    const std::string command = "'" + program + "' " + arguments + " >/dev/null";
    return std::system(command.c_str());
  }
  static void Drive(const std::string& program, const std::string& folder) {
    ASSERT_EQ(Run(program, "drive '" ZENTROVA_DATA_DIR "' '" + folder + "' " + kSeed), 0) << program;
  }
  // Plays the replay of the drive in from, in a folder of its own.
  void Play(const std::string& program, const std::string& from, const std::string& folder) {
    fs::copy_file(from + "/DRIVE.REP", Folder(folder) + "/DRIVE.REP");
    ASSERT_EQ(Run(program, "play '" + temp_ + "/" + folder + "' " + kSeed), 0) << program;
  }
  // The two runs' files are the same bytes.
  static void ExpectSameFiles(const std::string& a, const std::string& b, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      const std::string x = ztest::ReadFile(a + "/" + name), y = ztest::ReadFile(b + "/" + name);
      ASSERT_FALSE(x.empty()) << a << "/" << name;
      if (std::string(name).ends_with(".BIN"))
        EXPECT_TRUE(x == y) << name << ": " << FirstDifference(x, y);
      else
        EXPECT_TRUE(x == y) << name << " differs";
    }
  }
  std::string temp_;
};

TEST_F(DeterminismTest, TwoDrivesGiveTheSameReplayAndStatesAtEveryFrame) {
  const std::string a = Folder("a"), b = Folder("b");
  Drive(ZENTROVA_DETERMINISM_RUN, a);
  Drive(ZENTROVA_DETERMINISM_RUN, b);
  ExpectSameFiles(a, b, {"DRIVE.REP", "STATES.BIN"});
  // 90 s of records, over more than a lap of the 1,100 m circuit.
  const std::string replay = ztest::ReadFile(a + "/DRIVE.REP");
  ASSERT_GE(replay.size(), kHead);
  const uint32_t n = U32(replay, 260);
  EXPECT_GE(n, 440u);
  ASSERT_EQ(replay.size(), kHead + n * kRecord);
  double path = 0.0;
  for (uint32_t i = 1; i < n; ++i) {
    double d2 = 0.0;
    for (size_t k = 0; k < 3; ++k) {
      const double d = (static_cast<int32_t>(U32(replay, kHead + i * kRecord + 4 + 4 * k)) -
                        static_cast<int32_t>(U32(replay, kHead + (i - 1) * kRecord + 4 + 4 * k))) * 0.001;
      d2 += d * d;
    }
    path += std::sqrt(d2);
  }
  EXPECT_GT(path, 1100.0);
}

TEST_F(DeterminismTest, PlaybackPlacesEveryRecordExactlyAndTwoPlaybacksAgree) {
  const std::string drive = Folder("drive");
  Drive(ZENTROVA_DETERMINISM_RUN, drive);
  Play(ZENTROVA_DETERMINISM_RUN, drive, "p1");
  Play(ZENTROVA_DETERMINISM_RUN, drive, "p2");
  ExpectSameFiles(temp_ + "/p1", temp_ + "/p2", {"PLACED.BIN", "PLAYBACK.BIN"});
  // At each record's time the car stands at its millimetres x 0.001, bit
  // for bit.
  const std::string replay = ztest::ReadFile(drive + "/DRIVE.REP");
  const std::string placed = ztest::ReadFile(temp_ + "/p1/PLACED.BIN");
  const uint32_t n = U32(replay, 260);
  ASSERT_GE(n, 2u);
  ASSERT_EQ(placed.size(), (n - 1) * 24u);
  int32_t wrong = 0;
  for (uint32_t i = 0; i + 1 < n; ++i)
    for (size_t k = 0; k < 3; ++k) {
      const double expected = static_cast<int32_t>(U32(replay, kHead + i * kRecord + 4 + 4 * k)) * 0.001;
      if (std::memcmp(&expected, placed.data() + i * 24 + 8 * k, 8) != 0 && wrong++ < 5)
        ADD_FAILURE() << "record " << i << " axis " << k;
    }
  EXPECT_EQ(wrong, 0);
}

// The other build computes the same bits: its drive gives the same files,
// and its playback of this build's replay the same placements.
TEST_F(DeterminismTest, TheOtherBuildGivesTheSameBits) {
  if (!fs::exists(ZENTROVA_PEER_DETERMINISM_RUN))
    GTEST_SKIP() << "the other build has no " << ZENTROVA_PEER_DETERMINISM_RUN;
  SCOPED_TRACE(std::string("the other build's program ") + ZENTROVA_PEER_DETERMINISM_RUN +
               " (built from this source? rebuild that build first)");
  const std::string own = Folder("own"), peer = Folder("peer");
  Drive(ZENTROVA_DETERMINISM_RUN, own);
  Drive(ZENTROVA_PEER_DETERMINISM_RUN, peer);
  ExpectSameFiles(own, peer, {"DRIVE.REP", "STATES.BIN"});
  Play(ZENTROVA_DETERMINISM_RUN, own, "own_play");
  Play(ZENTROVA_PEER_DETERMINISM_RUN, own, "peer_play");
  ExpectSameFiles(temp_ + "/own_play", temp_ + "/peer_play", {"PLACED.BIN", "PLAYBACK.BIN"});
}

}  // namespace
