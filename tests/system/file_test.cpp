// Logical drives, path resolution and files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs.h"
#include "system/error.h"
#include "system/file.h"
#include "tests/support/testenv.h"

namespace {

class FileTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  // A path through one of the path calls; "<overflow>" when it refused.
  template <typename Call>
  static std::string Through(Call call, const char* name) {
    char path[LS_PATHSIZE];
    std::strcpy(path, name);
    return call(path) < 0 ? std::string("<overflow>") : std::string(path);
  }
  static std::string Physical(const char* name) { return Through([](char* p) { return LSI_GetPhysicalPath(p, LS_PATHSIZE); }, name); }
  static uint32_t Error() { return std::exchange(LSI_Var.LastError, 0u); }
};

TEST_F(FileTest, DrivesAreClassifiedIntoKinds) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  LSI_ReadSwitches();
  const std::string r = root_;
  SetDrives({{'A', plat::DriveType::Removable, "", r},   {'C', plat::DriveType::Fixed, "", r},
             {'D', plat::DriveType::CdRom, "", r},       {'E', plat::DriveType::Remote, "SYS", r},
             {'F', plat::DriveType::Remote, "dev2", r},  {'G', plat::DriveType::Remote, "TEMP", r},
             {'H', plat::DriveType::Remote, "TOOLS", r}, {'I', plat::DriveType::Remote, "HOME", r},
             {'J', plat::DriveType::RamDisk, "", r},     {'K', plat::DriveType::Fixed, "", r}});
  LSI_InitDirectory();
  const std::tuple<uint32_t, uint32_t, uint32_t> expected[] = {
      {FLOPPY, 1, 1},     {HDISK, 1, 1},        {CDROM, 1, 1}, {REMOTE_SYS, 1, 1}, {REMOTE_DEV2, 2, 1},
      {REMOTE_TMP, 3, 1}, {REMOTE_TOOLS, 4, 1}, {0, 0, 0},     {65535, 0, 1},      {HDISK, 2, 1}};
  for (size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ((std::tuple{LS_DriveTable[i].Kind, LS_DriveTable[i].Number, LS_DriveTable[i].Present}), expected[i])
        << LS_DriveTable[i].Root;
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_EQ(Physical("REMOTE_TMP:>X"), "G:/X");
  // Master mode leaves remote drives unused.
  WriteWinIni("[ZIDADE]\nMaster=TRUE\n");
  LSI_ReadSwitches();
  LSI_InitDirectory();
  EXPECT_EQ(Physical("REMOTE_SYS:>X"), "REMOTE_SYS:/X");
  // Twenty drives at most.
  std::vector<plat::DriveConfig> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) drives.push_back({letter, plat::DriveType::Fixed, "", root_});
  SetDrives(drives);
  LSI_InitDirectory();
  EXPECT_EQ((std::tuple{std::string(LS_DriveTable[19].Root), LS_DriveTable[19].Number}), (std::tuple{std::string("T:"), 20u}));
}

TEST_F(FileTest, ParseDriveReadsKindAndNumber) {
  const std::tuple<const char*, int32_t, uint32_t, uint32_t> rows[] = {
      {"dat>x", 0, 0, 1},          {"HDISK5:>A", 1, HDISK, 5},        {"REMOTE:>A", 1, 30, 1},
      {"REMOTE_TOOLS:>A", 1, 33, 1}, {"HDISK7:>A", 1, 65535, 1},       {"REMOTE_DEV2:>X", 1, 65535, 2}};
  for (auto [path, found, kind, number] : rows) {
    uint32_t k = 0, n = 0;
    const char* rest = nullptr;
    EXPECT_EQ(LSI_ParseDrive(path, &k, &n, &rest), found) << path;
    EXPECT_EQ((std::tuple{k, n}), (std::tuple{kind, number})) << path;
    if (found) { EXPECT_STREQ(rest, std::strchr(path, ':') + 1); }
  }
}

TEST_F(FileTest, PathsResolveBothWays) {
  std::strcpy(LS_Var.CurrentDir, "GAME");
  const std::pair<const char*, const char*> physical[] = {
      {"HDISK:>CONSOLE.TXT", "C:/CONSOLE.TXT"}, {"HDISK2:>X", "C:/X"},  // the number is not used
      {"HDISK:", "C:"},                         {"CDROM:>X", "CDROM:/X"},  // no CD drive present
      {"c:/game/x", "C:/GAME/X"},               {"dat>nrcar.cfg", "C:/GAME/DAT/NRCAR.CFG"},
      {"a>>>b", "C:/GAME/A/B"},
  };
  for (auto [logical, path] : physical) EXPECT_EQ(Physical(logical), path) << logical;
  const std::pair<const char*, const char*> logical[] = {
      {"c:/game/dat", "HDISK:>GAME>DAT"}, {"C:\\GAME\\", "HDISK:>GAME"}, {"C:", "HDISK1"},
      {"Z:/X", "UNKNOWN:>X"},             {"GAME/DAT", "GAME>DAT"},
  };
  for (auto [path, name] : logical) EXPECT_EQ(Through([](char* p) { return LS_GetLogicalPath(p, LS_PATHSIZE); }, path), name) << path;
  for (auto [path, normal] : {std::pair{"A>>>B", "A>B"}, {">>>", ">"}, {"", ""}}) {
    char text[8];
    std::strcpy(text, path);
    LSI_NormalizePath(text);
    EXPECT_STREQ(text, normal);
  }
}

TEST_F(FileTest, CurrentDirectoryChanges) {
  const std::tuple<const char*, int32_t, const char*> rows[] = {
      {"game", 1, ">GAME"},   {"dat", 1, ">GAME>DAT"}, {">other", 1, ">OTHER"}, {"HDISK:>master", 1, ">MASTER"},
      {"HDISK2:>x", 1, ">X"},  // selects nothing: the root stays
  };
  for (auto [dir, result, current] : rows) {
    EXPECT_EQ(LS_SetCurrentDir(dir), result) << dir;
    EXPECT_STREQ(LS_Var.CurrentDir, current) << dir;
  }
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_EQ(LS_SetCurrentDir(std::string(300, 'a').c_str()), 0);  // too long: unchanged
  EXPECT_STREQ(LS_Var.CurrentDir, ">X");
  EXPECT_EQ(Physical("pcx>devenv.pcx"), "C:/X/PCX/DEVENV.PCX");
  // At start, from the platform's.
  ztest::WriteFile(root_ + "/Game/Dat/x", "");
  ASSERT_TRUE(plat::SetCurrentDirectory("C:/game/dat"));
  LSI_InitDirectory();
  EXPECT_STREQ(LS_Var.CurrentDir, "GAME>DAT");
  EXPECT_EQ(LS_FileExists("X"), 1);
  EXPECT_FALSE(plat::SetCurrentDirectory("C:/nowhere"));
}

TEST_F(FileTest, ExtensionIsAddedOnlyToNamesWithoutADot) {
  for (auto [name, result] : {std::pair{"SND>MOTOR", "SND>MOTOR.WAV"}, {"A.B", "A.B"}, {"DIR.X>NAME", "DIR.X>NAME"}}) {
    char text[32];
    std::strcpy(text, name);
    LS_AddExtension(text, ".WAV");
    EXPECT_STREQ(text, result);
  }
  char tight[8] = "ABCD";  // one byte short
  EXPECT_EQ(LS_AddExtension(tight, ".WAV"), 0);
  EXPECT_STREQ(tight, "ABCD");
  char exact[8] = "ABC";
  EXPECT_EQ(LS_AddExtension(exact, ".WAV"), 1);
}

TEST_F(FileTest, NamesAreFoundWithoutRegardToCase) {
  ztest::WriteFile(root_ + "/dat/nrcar.cfg", "cars");
  EXPECT_EQ(LS_FileExists("dat>NrCar.cfg"), 1);
  EXPECT_EQ(LS_GetFileSize("DAT>NRCAR.CFG"), 4);
  for (const char* missing : {"DAT>MISSING.CFG", "", "DAT"}) EXPECT_EQ(LS_FileExists(missing), 0) << missing;
  EXPECT_EQ(LS_FileExists(nullptr), 0);
}

TEST_F(FileTest, WriteSeekAndReadBack) {
  int16_t h = LS_Open("out.bin", LS_O_BINARY | LS_O_CREAT | LS_O_TRUNC | LS_O_RDWR);
  ASSERT_GE(h, 0);
  EXPECT_EQ(LS_Write(h, "hello world", 11), 11);
  EXPECT_EQ(LS_Seek(h, 6, 0), 6);
  char text[16] = {};
  EXPECT_EQ(LS_Read(h, text, 16), 5);  // a short read returns what it got
  EXPECT_STREQ(text, "world");
  EXPECT_EQ(LS_Seek(h, -5, 2) + LS_Seek(h, 1, 1), 6 + 7);
  EXPECT_EQ(LS_Close(h), 0);
  EXPECT_EQ(ztest::ReadFile(root_ + "/OUT.BIN"), "hello world");
  EXPECT_EQ(Error(), 0u);
}

TEST_F(FileTest, LargeReadsGoInPiecesAndWholeFilesLoad) {
  static std::vector<uint32_t> pieces;
  std::string data(70000, 0);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  ztest::WriteFile(root_ + "/big.bin", data);
  int16_t h = LS_Open("BIG.BIN", LS_O_BINARY);
  std::string got(70000, 0);
  plat::SetReadObserver([](uint32_t count) { pieces.push_back(count); });
  EXPECT_EQ(LS_Read(h, got.data(), 70000), 70000);
  plat::SetReadObserver(nullptr);
  EXPECT_EQ(pieces, (std::vector<uint32_t>{32000, 32000, 6000}));
  EXPECT_EQ(got, data);
  LS_Close(h);
  void* block = LS_LoadFile("big.bin", 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::memcmp(block, data.data(), data.size()), 0);
  LS_Release(block);
  // Missing, empty, larger than the heap.
  ztest::WriteFile(root_ + "/empty.bin", "");
  ztest::WriteFile(root_ + "/huge.bin", std::string(2 << 20, 'x'));
  for (const char* name : {"missing.bin", "empty.bin", "huge.bin"}) EXPECT_EQ(LS_LoadFile(name, 0), nullptr) << name;
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_EQ(Error(), 12u);
}

TEST_F(FileTest, FailuresRaiseTheirErrors) {
  LS_SetErrorMode(LS_ERRMODE_LOG);
  const std::string longName(LS_PATHSIZE + 100, 'a');
  const std::tuple<const char*, int32_t, uint32_t> opens[] = {
      {"dat>none.cfg", LS_O_BINARY, 4},
      {"nodir>new.cfg", LS_O_BINARY | LS_O_CREAT | LS_O_WRONLY, 5},
      {"REMOTE_DEV2:>X", LS_O_BINARY, 4},
      {longName.c_str(), LS_O_BINARY, 4},
  };
  for (auto [name, mode, error] : opens) {
    EXPECT_LT(LS_Open(name, mode), 0) << name;
    EXPECT_EQ(Error(), error) << name;
  }
  EXPECT_EQ(Logged(" : C:/NODIR/NEW.CFG"), 1);  // the path as it was resolved
  EXPECT_LT(LS_Close(-1), 0);
  EXPECT_EQ(Error(), 10u);
  // Overlong paths fail without overflow.
  char small[16] = "dat>nrcar.cfg";
  EXPECT_EQ(LSI_GetPhysicalPath(small), -1);
  EXPECT_STREQ(small, "dat>nrcar.cfg");
  EXPECT_EQ(LS_FileExists(longName.c_str()) + LS_GetFileSize(longName.c_str()), 0);
  char logical[8] = "C:/GAME";
  EXPECT_EQ(LS_GetLogicalPath(logical), -1);
}

TEST_F(FileTest, NothingOutsideTheDrivesIsReachable) {
  ztest::WriteFile(temp_ + "/secret.txt", "x");
  for (const char* name : {"..>secret.txt", "C:/../secret.txt", "/tmp/secret.txt"}) EXPECT_EQ(LS_FileExists(name), 0) << name;
  const int16_t made = LS_Open("..>made.txt", LS_O_CREAT | LS_O_WRONLY);  // ".." at a root stays there
  if (made >= 0) LS_Close(made);
  EXPECT_FALSE(ztest::FileExists(temp_ + "/MADE.TXT"));
}

TEST_F(FileTest, ProgramAndSystemDirectory) {
  char name[256];
  ASSERT_EQ(LSYS_GetProgramName(name, sizeof name), 1);
  EXPECT_STREQ(name, "system_tests");
  ASSERT_EQ(LSYS_GetSystemDir(name, sizeof name), 1);
  EXPECT_STREQ(name, "HDISK:>SYSTEM");
  char text[] = "abc>dé1";
  LS_StrUpper(text);
  EXPECT_STREQ(text, "ABC>Dé1");  // ASCII only
  LS_StrUpper(nullptr);
}

}  // namespace
