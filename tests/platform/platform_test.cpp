// The stand-ins: clock, drive configuration and host paths, files, profile
// and registry files, text lines, OEM characters and the message queue.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <tuple>

#include "platform/clock.h"
#include "platform/config.h"
#include "platform/fs.h"
#include "platform/oem.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/textlines.h"
#include "platform/window.h"
#include "tests/support/testenv.h"

namespace {

class PlatformTest : public ztest::Environment {};

TEST_F(PlatformTest, ManualClockAdvancesBySleeping) {
  plat::SetManualTime(1000);
  plat::SleepMs(50);
  EXPECT_EQ(plat::TickMs(), 1050u);
  plat::AdvanceManualTime(5);
  EXPECT_EQ(plat::TickMs(), 1055u);
  plat::UseManualClock(false);
  const uint32_t a = plat::TickMs();
  plat::SleepMs(2);
  EXPECT_GE(plat::TickMs(), a + 2);
  plat::UseManualClock(true);
}

TEST(DriveSpec, ParsesEntriesAndRefusesBadOnes) {
  std::vector<plat::DriveConfig> d;
  ASSERT_TRUE(plat::ParseDriveSpec("D=cdrom:/cd;c=fixed:/data;E=remote,SYS:/srv/sys;", d));
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(std::tie(d[0].letter, d[0].hostRoot), std::tuple('C', "/data"));
  EXPECT_EQ(d[1].type, plat::DriveType::CdRom);
  EXPECT_EQ(d[2].type, plat::DriveType::Remote);
  EXPECT_EQ(std::tie(d[2].label, d[2].hostRoot), std::tuple("SYS", "/srv/sys"));
  for (const char* bad : {"C=floppydisk:/x", "C:/x", ""}) {
    d.clear();
    EXPECT_FALSE(plat::ParseDriveSpec(bad, d)) << bad;
  }
}

TEST_F(PlatformTest, HostPathsMatchWithoutRegardToCaseInsideTheirDrive) {
  ztest::WriteFile(root_ + "/Data/File.TXT", "x");
  ztest::WriteFile(root_ + "/b.txt", "lower");
  ztest::WriteFile(root_ + "/B.TXT", "upper");
  const struct {
    const char* path;
    bool create;
    const char* host;  // under C:, or null when refused
  } cases[] = {
      {"C:/DATA/FILE.TXT", false, "/Data/File.TXT"},
      {"c:\\data\\new.txt", true, "/Data/new.txt"},
      {"C:/DATA/NEW.TXT", false, nullptr},                       // resolving for creation made nothing
      {"C:/OTHER/../data/./file.txt", false, "/Data/File.TXT"},  // ".." within the drive
      {"C:/B.TXT", false, "/B.TXT"},                             // the exact name wins
      {"C:/b.Txt", false, "/B.TXT"},                             // else the first in sorted order
      {"C:/MISSING/NEW.TXT", true, nullptr},
      {"D:/X", true, nullptr},
      {"C:/DATA/../../data/file.txt", false, "/Data/File.TXT"},  // ".." at the root stays there
      {"/etc/passwd", false, nullptr},
  };
  for (const auto& c : cases) {
    std::string host;
    EXPECT_EQ(plat::ResolveHostPath(c.path, c.create, host), c.host != nullptr) << c.path;
    EXPECT_EQ(c.host ? host : "", c.host ? root_ + c.host : "") << c.path;
  }
}

TEST_F(PlatformTest, FilesAreCreatedAsTheUmaskAllows) {
  const struct {
    mode_t umask, mode;
  } cases[] = {{022, 0644}, {077, 0600}, {002, 0664}};
  for (const auto& c : cases) {
    const mode_t saved = ::umask(c.umask);
    const int fd = plat::OpenFile("C:/new.bin", plat::kOpenCreate | plat::kOpenWriteOnly);
    ::umask(saved);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(plat::WriteFile(fd, "abc", 3), 3);
    EXPECT_EQ(plat::CloseFile(fd), 0);
    struct stat st;
    ASSERT_EQ(stat((root_ + "/new.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.mode) << std::oct << c.umask;
    ASSERT_EQ(::unlink((root_ + "/new.bin").c_str()), 0);
  }
  EXPECT_EQ(plat::CloseFile(-1), -1);
  EXPECT_EQ(plat::SeekFile(-1, 0, 0), -1);
}

TEST_F(PlatformTest, ProfileKeysMatchWithoutRegardToCase) {
  WriteWinIni("; comment\n[Other]\nMaster=NO\n[ZIDADE]\r\n  Sound = FALSE \r\n");
  EXPECT_EQ(plat::GetProfileString("zidade", "SOUND", "TRUE"), "FALSE");
  EXPECT_EQ(plat::GetProfileString("ZIDADE", "Master", "TRUE"), "TRUE");
  EXPECT_EQ(plat::GetProfileString("Other", "master", ""), "NO");
  EXPECT_EQ(plat::GetProfileString("Missing", "x", "dflt"), "dflt");
  // A section named by blanks alone is written back as it was read, so
  // its entries survive the rewrite after a dropped line.
  WriteWinIni("[ ]\nk=v\ndropped\n");
  EXPECT_EQ(plat::GetProfileString(" ", "k", ""), "v");
  EXPECT_EQ(ztest::ReadFile(config_ + "/win.ini"), "[ ]\nk=v\n");
  plat::SetConfigDir(config_);
  EXPECT_EQ(plat::GetProfileString("", "k", ""), "v");
}

TEST_F(PlatformTest, RegistryKeepsTypesAndBytesAcrossReloads) {
  plat::RegKey key = plat::RegCreateKey("SOFTWARE\\Test=Key[1]");
  ASSERT_NE(key, 0);
  const uint32_t number = 0xDEADBEEF;
  const char text[] = "with\nnewline and = sign";
  EXPECT_TRUE(plat::RegSetValue(key, "Num", plat::kRegNumber, &number, 4));
  EXPECT_TRUE(plat::RegSetValue(key, "Te%x=t", plat::kRegString, text, sizeof text));
  EXPECT_TRUE(plat::RegSetValue(key, "Empty", plat::kRegBinary, nullptr, 0));
  EXPECT_TRUE(plat::RegCloseKey(key));
  EXPECT_FALSE(plat::RegCloseKey(key));

  plat::SetConfigDir(config_);  // read back from the file
  EXPECT_EQ(plat::RegOpenKey("SOFTWARE\\Missing"), 0);
  key = plat::RegOpenKey("software\\test=key[1]");
  ASSERT_NE(key, 0);
  uint32_t type = 0, got = 0, size = 4;
  ASSERT_TRUE(plat::RegQueryValue(key, "NUM", &type, &got, &size));
  EXPECT_EQ(std::tie(type, got), std::tuple(plat::kRegNumber, number));
  char buffer[64];
  size = sizeof buffer;
  ASSERT_TRUE(plat::RegQueryValue(key, "te%X=T", &type, buffer, &size));
  EXPECT_EQ(size, sizeof text);
  EXPECT_STREQ(buffer, text);
  size = 0;
  EXPECT_TRUE(plat::RegQueryValue(key, "Empty", &type, nullptr, &size));
  EXPECT_EQ(size, 0u);
}

TEST_F(PlatformTest, GarbledRegistryKeepsItsGoodValuesAndIsRewritten) {
  ztest::WriteFile(
      config_ + "/registry.txt",
      "junk before any key\n[K]\nA=1:4100\nB=1:zz\nC=x:00\n[bad%]\nD=4:01000000\n[K2]\nE=4:02000000");
  plat::SetConfigDir(config_);
  char a[4];
  uint32_t size = 4, type = 0, e = 0;
  plat::RegKey key = plat::RegOpenKey("K");
  ASSERT_NE(key, 0);
  EXPECT_TRUE(plat::RegQueryValue(key, "A", &type, a, &size));
  EXPECT_STREQ(a, "A");
  size = 4;
  EXPECT_FALSE(plat::RegQueryValue(key, "B", &type, a, &size));
  size = 4;
  EXPECT_TRUE(plat::RegQueryValue(plat::RegOpenKey("K2"), "E", &type, &e, &size));
  EXPECT_EQ(e, 2u);
  EXPECT_EQ(ztest::ReadFile(config_ + "/registry.txt"), "[K]\nA=1:4100\n[K2]\nE=4:02000000\n");
}

TEST(TextLines, SplitsTrimsAndChecks) {
  EXPECT_EQ(plat::SplitLines("a\r\nb\n\nc\rd"), (std::vector<std::string>{"a", "b", "", "c", "d"}));
  EXPECT_EQ(plat::Trim("  a b \t"), "a b");
  EXPECT_EQ(plat::Trim("   "), "");
  EXPECT_TRUE(plat::IsPrintableText("a\tb"));
  EXPECT_FALSE(plat::IsPrintableText(std::string("a\0b", 3)));
}

TEST(Oem, ConvertsWindowsCharactersToCodePage437) {
  // é ù Ç, the no-break space and ƒ have OEM forms; € and À have none and
  // 0x81 is undefined in Windows-1252: "?".
  const std::pair<int, int> codes[] = {{'A', 'A'},   {0xE9, 0x82}, {0xF9, 0x97}, {0xC7, 0x80}, {0xA0, 0xFF},
                                       {0x83, 0x9F}, {0x80, '?'},  {0x81, '?'},  {0xC0, '?'}};
  for (const auto& [ansi, oem] : codes) EXPECT_EQ(plat::AnsiToOem(static_cast<uint8_t>(ansi)), oem) << ansi;
  char text[] = "d\xE9j\xE0 \x80";
  plat::CharToOem(text, text);
  EXPECT_STREQ(text, "d\x82j\x85 ?");
}

TEST(WindowQueue, DeliversMessagesInOrderFromAnyThread) {
  plat::ClearWindowMessages();
  std::thread poster([] {
    for (int i = 0; i < 100; ++i) plat::PostWindowMessage({plat::kMsgCdNotify, 1, i});
  });
  poster.join();
  plat::PostWindowMessage({plat::kMsgChar, 'a', 0});
  plat::WindowMessage m{};
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(plat::PeekWindowMessage(m));
    EXPECT_EQ(std::tie(m.message, m.lParam), std::tuple(plat::kMsgCdNotify, i));
  }
  ASSERT_TRUE(plat::PeekWindowMessage(m));
  EXPECT_EQ(m.wParam, static_cast<uintptr_t>('a'));
  EXPECT_FALSE(plat::PeekWindowMessage(m));
}

}  // namespace
