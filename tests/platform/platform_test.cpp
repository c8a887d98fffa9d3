// The stand-ins: clock, drive configuration, profile and registry files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

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
  EXPECT_EQ(plat::TickMs(), 1000u);
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

TEST(DriveSpec, ParsesEntries) {
  std::vector<plat::DriveConfig> drives;
  ASSERT_TRUE(plat::ParseDriveSpec("D=cdrom:/cd;c=fixed:/data;E=remote,SYS:/srv/sys;", drives));
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].letter, 'C');
  EXPECT_EQ(drives[0].hostRoot, "/data");
  EXPECT_EQ(drives[1].type, plat::DriveType::CdRom);
  EXPECT_EQ(drives[2].type, plat::DriveType::Remote);
  EXPECT_EQ(drives[2].label, "SYS");
  EXPECT_EQ(drives[2].hostRoot, "/srv/sys");
  drives.clear();
  EXPECT_FALSE(plat::ParseDriveSpec("C=floppydisk:/x", drives));
  drives.clear();
  EXPECT_FALSE(plat::ParseDriveSpec("C:/x", drives));
  drives.clear();
  EXPECT_FALSE(plat::ParseDriveSpec("", drives));
}

TEST_F(PlatformTest, HostPathsAreMatchedWithoutRegardToCase) {
  ztest::WriteFile(root_ + "/Data/File.TXT", "x");
  std::string host;
  ASSERT_TRUE(plat::ResolveHostPath("C:/DATA/FILE.TXT", false, host));
  EXPECT_EQ(host, root_ + "/Data/File.TXT");
  ASSERT_TRUE(plat::ResolveHostPath("c:\\data\\new.txt", true, host));
  EXPECT_EQ(host, root_ + "/Data/new.txt");
  EXPECT_FALSE(plat::ResolveHostPath("C:/DATA/NEW.TXT", false, host));
  EXPECT_FALSE(plat::ResolveHostPath("C:/MISSING/NEW.TXT", true, host));
  EXPECT_FALSE(plat::ResolveHostPath("D:/X", true, host));
  EXPECT_FALSE(plat::ResolveHostPath("C:/DATA/../../X", true, host));
  ASSERT_TRUE(plat::ResolveHostPath("C:/OTHER/../data/./file.txt", false, host));  // ".." within the drive
  EXPECT_EQ(host, root_ + "/Data/File.TXT");
  EXPECT_FALSE(plat::ResolveHostPath("/etc/passwd", false, host));
}

TEST_F(PlatformTest, ExactNameWinsOverOtherCases) {
  ztest::WriteFile(root_ + "/b.txt", "lower");
  ztest::WriteFile(root_ + "/B.TXT", "upper");
  std::string host;
  ASSERT_TRUE(plat::ResolveHostPath("C:/B.TXT", false, host));
  EXPECT_EQ(host, root_ + "/B.TXT");
  ASSERT_TRUE(plat::ResolveHostPath("C:/b.Txt", false, host));
  EXPECT_EQ(host, root_ + "/B.TXT");  // first in sorted order
}

TEST_F(PlatformTest, FilesAreCreatedPrivate) {
  const int fd = plat::OpenFile("C:/new.bin", plat::kOpenCreate | plat::kOpenWriteOnly);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(plat::WriteFile(fd, "abc", 3), 3);
  EXPECT_EQ(plat::CloseFile(fd), 0);
  struct stat st;
  ASSERT_EQ(stat((root_ + "/new.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(plat::CloseFile(-1), -1);
  EXPECT_EQ(plat::SeekFile(-1, 0, 0), -1);
}

TEST_F(PlatformTest, ProfileKeysMatchWithoutRegardToCase) {
  WriteWinIni("; comment\n[Other]\nMaster=NO\n[ZIDADE]\r\n  Sound = FALSE \r\n");
  EXPECT_EQ(plat::GetProfileString("zidade", "SOUND", "TRUE"), "FALSE");
  EXPECT_EQ(plat::GetProfileString("ZIDADE", "Master", "TRUE"), "TRUE");
  EXPECT_EQ(plat::GetProfileString("Other", "master", ""), "NO");
  EXPECT_EQ(plat::GetProfileString("Missing", "x", "dflt"), "dflt");
}

TEST_F(PlatformTest, RegistryKeepsTypesAndBytesAcrossReloads) {
  plat::RegKey key = plat::RegCreateKey("SOFTWARE\\Test=Key[1]");
  ASSERT_NE(key, 0);
  const uint32_t number = 0xDEADBEEF;
  const char text[] = "with\nnewline and = sign";
  EXPECT_TRUE(plat::RegSetValue(key, "Num", plat::kRegNumber, &number, 4));
  EXPECT_TRUE(plat::RegSetValue(key, "Te%xt", plat::kRegString, text, sizeof text));
  EXPECT_TRUE(plat::RegSetValue(key, "Empty", plat::kRegBinary, nullptr, 0));
  EXPECT_TRUE(plat::RegCloseKey(key));
  EXPECT_FALSE(plat::RegCloseKey(key));

  plat::SetConfigDir(config_);
  EXPECT_EQ(plat::RegOpenKey("SOFTWARE\\Missing"), 0);
  key = plat::RegOpenKey("software\\test=key[1]");
  ASSERT_NE(key, 0);
  uint32_t type = 0, got = 0, size = 4;
  ASSERT_TRUE(plat::RegQueryValue(key, "NUM", &type, &got, &size));
  EXPECT_EQ(type, plat::kRegNumber);
  EXPECT_EQ(got, number);
  char buffer[64];
  size = sizeof buffer;
  ASSERT_TRUE(plat::RegQueryValue(key, "te%XT", &type, buffer, &size));
  EXPECT_EQ(size, sizeof text);
  EXPECT_STREQ(buffer, text);
  size = 0;
  EXPECT_TRUE(plat::RegQueryValue(key, "Empty", &type, nullptr, &size));
  EXPECT_EQ(size, 0u);
}

TEST_F(PlatformTest, GarbledRegistryKeepsItsGoodValuesAndIsRewritten) {
  ztest::WriteFile(config_ + "/registry.txt",
                   "junk before any key\n[K]\nA=1:4100\nB=1:zz\nC=x:00\n[bad%]\nD=4:01000000\n[K2]\nE=4:02000000");
  plat::SetConfigDir(config_);
  plat::RegKey key = plat::RegOpenKey("K");
  ASSERT_NE(key, 0);
  char a[4];
  uint32_t size = 4, type = 0;
  EXPECT_TRUE(plat::RegQueryValue(key, "A", &type, a, &size));
  EXPECT_STREQ(a, "A");
  size = 4;
  EXPECT_FALSE(plat::RegQueryValue(key, "B", &type, a, &size));
  plat::RegKey key2 = plat::RegOpenKey("K2");
  uint32_t e = 0;
  size = 4;
  EXPECT_TRUE(plat::RegQueryValue(key2, "E", &type, &e, &size));
  EXPECT_EQ(e, 2u);
  EXPECT_EQ(ztest::ReadFile(config_ + "/registry.txt"), "[K]\nA=1:4100\n[K2]\nE=4:02000000\n");
}

TEST(TextLines, SplitsTrimsAndChecks) {
  EXPECT_EQ(plat::SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(plat::Trim("  a b \t"), "a b");
  EXPECT_EQ(plat::Trim("   "), "");
  EXPECT_TRUE(plat::IsPrintableText("a\tb"));
  EXPECT_FALSE(plat::IsPrintableText(std::string("a\0b", 3)));
}

}  // namespace

namespace {

TEST(Oem, ConvertsWindowsCharactersToCodePage437) {
  EXPECT_EQ(plat::AnsiToOem('A'), 'A');
  EXPECT_EQ(plat::AnsiToOem(0xE9), 0x82);  // é
  EXPECT_EQ(plat::AnsiToOem(0xF9), 0x97);  // ù
  EXPECT_EQ(plat::AnsiToOem(0xC7), 0x80);  // Ç
  EXPECT_EQ(plat::AnsiToOem(0xA0), 0xFF);  // no-break space
  EXPECT_EQ(plat::AnsiToOem(0x83), 0x9F);  // ƒ
  EXPECT_EQ(plat::AnsiToOem(0x80), '?');   // € has no OEM form
  EXPECT_EQ(plat::AnsiToOem(0x81), '?');   // undefined in Windows-1252
  EXPECT_EQ(plat::AnsiToOem(0xC0), '?');   // À
  char text[] = "d\xE9j\xE0 \x80";
  plat::CharToOem(text, text);
  EXPECT_STREQ(text, "d\x82j\x85 ?");
}

}  // namespace

namespace {

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
    EXPECT_EQ(m.message, plat::kMsgCdNotify);
    EXPECT_EQ(m.lParam, i);
  }
  ASSERT_TRUE(plat::PeekWindowMessage(m));
  EXPECT_EQ(m.wParam, static_cast<uintptr_t>('a'));
  EXPECT_FALSE(plat::PeekWindowMessage(m));
}

}  // namespace
