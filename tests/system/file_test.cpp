// Logical drives, path resolution and files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "system/error.h"
#include "system/file.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

class FileTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  std::string Physical(const char* name) {
    char path[LS_PATHSIZE];
    std::strcpy(path, name);
    return LSI_GetPhysicalPath(path) < 0 ? std::string("<overflow>") : std::string(path);
  }
  std::string Logical(const char* name) {
    char path[LS_PATHSIZE];
    std::strcpy(path, name);
    return LS_GetLogicalPath(path) < 0 ? std::string("<overflow>") : std::string(path);
  }
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
  struct Expected {
    const char* root;
    uint32_t kind, number, present;
  } expected[] = {{"A:", FLOPPY, 1, 1},       {"C:", HDISK, 1, 1},        {"D:", CDROM, 1, 1},
                  {"E:", REMOTE_SYS, 1, 1},   {"F:", REMOTE_DEV2, 2, 1},  {"G:", REMOTE_TMP, 3, 1},
                  {"H:", REMOTE_TOOLS, 4, 1}, {"I:", 0, 0, 0},            {"J:", 65535, 0, 1},
                  {"K:", HDISK, 2, 1}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].root);
    EXPECT_STREQ(LS_DriveTable[i].Root, expected[i].root);
    EXPECT_EQ(LS_DriveTable[i].Kind, expected[i].kind);
    EXPECT_EQ(LS_DriveTable[i].Number, expected[i].number);
    EXPECT_EQ(LS_DriveTable[i].Present, expected[i].present);
  }
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_EQ(Physical("REMOTE_TMP:>X"), "G:/X");
}

TEST_F(FileTest, MasterModeLeavesRemoteDrivesUnused) {
  SetDrives({{'C', plat::DriveType::Fixed, "", root_}, {'E', plat::DriveType::Remote, "SYS", root_}});
  LSI_InitDirectory();
  EXPECT_EQ(LS_DriveTable[1].Kind, REMOTE_SYS);
  EXPECT_EQ(LS_DriveTable[1].Present, 0u);
  EXPECT_EQ(Physical("REMOTE_SYS:>X"), "REMOTE_SYS:/X");
}

TEST_F(FileTest, DriveTableHoldsTwentyDrives) {
  std::vector<plat::DriveConfig> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) drives.push_back({letter, plat::DriveType::Fixed, "", root_});
  SetDrives(drives);
  LSI_InitDirectory();
  EXPECT_STREQ(LS_DriveTable[19].Root, "T:");
  EXPECT_EQ(LS_DriveTable[19].Number, 20u);
}

TEST_F(FileTest, ParseDriveReadsKindAndNumber) {
  uint32_t kind = 0, number = 0;
  const char* rest = nullptr;
  EXPECT_EQ(LSI_ParseDrive("dat>x", &kind, &number, &rest), 0);
  EXPECT_EQ(number, 1u);
  ASSERT_EQ(LSI_ParseDrive("HDISK3:>A", &kind, &number, &rest), 1);
  EXPECT_EQ(kind, HDISK);
  EXPECT_EQ(number, 3u);
  EXPECT_STREQ(rest, ">A");
  LSI_ParseDrive("REMOTE:>A", &kind, &number, &rest);
  EXPECT_EQ(kind, 30u);
  LSI_ParseDrive("REMOTE_TOOLS:>A", &kind, &number, &rest);
  EXPECT_EQ(kind, 33u);
  LSI_ParseDrive("HDISK7:>A", &kind, &number, &rest);  // 7 is no drive number
  EXPECT_EQ(kind, 65535u);
  LSI_ParseDrive("REMOTE_DEV2:>X", &kind, &number, &rest);
  EXPECT_EQ(kind, 65535u);
  EXPECT_EQ(number, 2u);
}

TEST_F(FileTest, LogicalPathsResolveToPhysicalOnes) {
  EXPECT_EQ(Physical("HDISK:>CONSOLE.TXT"), "C:/CONSOLE.TXT");
  EXPECT_EQ(Physical("HDISK2:>X"), "C:/X");  // the number is not used
  EXPECT_EQ(Physical("HDISK:"), "C:");
  EXPECT_EQ(Physical("REMOTE_DEV2:>X"), "REMOTE_DEV2:/X");
  EXPECT_EQ(Physical("CDROM:>X"), "CDROM:/X");  // no CD drive present
  EXPECT_EQ(Physical("c:/game/x"), "C:/GAME/X");
  EXPECT_EQ(Physical("dat>nrcar.cfg"), "C:/DAT/NRCAR.CFG");
  std::strcpy(LS_Var.CurrentDir, "GAME");
  EXPECT_EQ(Physical("dat>nrcar.cfg"), "C:/GAME/DAT/NRCAR.CFG");
  EXPECT_EQ(Physical("a>>>b"), "C:/GAME/A/B");
}

TEST_F(FileTest, NormalizeCollapsesSeparators) {
  char a[] = "A>>B", b[] = "A>>>B", c[] = ">>>", d[] = "";
  LSI_NormalizePath(a);
  LSI_NormalizePath(b);
  LSI_NormalizePath(c);
  LSI_NormalizePath(d);
  EXPECT_STREQ(a, "A>B");
  EXPECT_STREQ(b, "A>B");
  EXPECT_STREQ(c, ">");
  EXPECT_STREQ(d, "");
}

TEST_F(FileTest, PhysicalPathsBecomeLogical) {
  EXPECT_EQ(Logical("c:/game/dat"), "HDISK:>GAME>DAT");
  EXPECT_EQ(Logical("C:\\GAME\\"), "HDISK:>GAME");
  EXPECT_EQ(Logical("C:"), "HDISK1");
  EXPECT_EQ(Logical("Z:/X"), "UNKNOWN:>X");
  EXPECT_EQ(Logical("GAME/DAT"), "GAME>DAT");
}

TEST_F(FileTest, CurrentDirectoryChanges) {
  SetDrives({{'C', plat::DriveType::Fixed, "", root_}, {'D', plat::DriveType::Fixed, "", root_}});
  LSI_InitDirectory();
  EXPECT_EQ(LS_SetCurrentDir("game"), 1);
  EXPECT_STREQ(LS_Var.CurrentDir, ">GAME");
  EXPECT_EQ(LS_SetCurrentDir("dat"), 1);
  EXPECT_STREQ(LS_Var.CurrentDir, ">GAME>DAT");
  EXPECT_EQ(LS_SetCurrentDir(">other"), 1);
  EXPECT_STREQ(LS_Var.CurrentDir, ">OTHER");
  EXPECT_EQ(LS_SetCurrentDir("HDISK:>master"), 1);
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_STREQ(LS_Var.CurrentDir, ">MASTER");
  EXPECT_EQ(Physical("pcx>devenv.pcx"), "C:/MASTER/PCX/DEVENV.PCX");
  EXPECT_EQ(LS_SetCurrentDir("HDISK2:>x"), 1);  // selects nothing: the root stays
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_STREQ(LS_Var.CurrentDir, ">X");
  EXPECT_EQ(LS_SetCurrentDir(std::string(300, 'a').c_str()), 0);  // too long: unchanged
  EXPECT_STREQ(LS_Var.CurrentDir, ">X");
}

TEST_F(FileTest, CurrentDirectoryComesFromThePlatform) {
  ztest::WriteFile(root_ + "/Game/Dat/x", "");
  ASSERT_TRUE(plat::SetCurrentDirectory("C:/game/dat"));
  LSI_InitDirectory();
  EXPECT_STREQ(LS_Var.CurrentDir, "GAME>DAT");
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_EQ(LS_FileExists("X"), 1);
  EXPECT_FALSE(plat::SetCurrentDirectory("C:/nowhere"));
}

TEST_F(FileTest, ExtensionIsAddedOnlyToNamesWithoutADot) {
  char a[32] = "SND>MOTOR", b[32] = "A.B", c[32] = "DIR.X>NAME";
  LS_AddExtension(a, ".WAV");
  LS_AddExtension(b, ".WAV");
  LS_AddExtension(c, ".WAV");
  EXPECT_STREQ(a, "SND>MOTOR.WAV");
  EXPECT_STREQ(b, "A.B");
  EXPECT_STREQ(c, "DIR.X>NAME");
  char tight[8] = "ABCDE";
  EXPECT_EQ(LS_AddExtension(tight, ".WAV"), 0);
  EXPECT_STREQ(tight, "ABCDE");
}

TEST_F(FileTest, NamesAreFoundWithoutRegardToCase) {
  ztest::WriteFile(root_ + "/dat/nrcar.cfg", "cars");
  EXPECT_EQ(LS_FileExists("DAT>NRCAR.CFG"), 1);
  EXPECT_EQ(LS_FileExists("dat>NrCar.cfg"), 1);
  EXPECT_EQ(LS_GetFileSize("DAT>NRCAR.CFG"), 4);
  EXPECT_EQ(LS_FileExists("DAT>MISSING.CFG"), 0);
  EXPECT_EQ(LS_FileExists(nullptr), 0);
  EXPECT_EQ(LS_FileExists(""), 0);
  EXPECT_EQ(LS_FileExists("DAT"), 0);  // a directory is no file
}

TEST_F(FileTest, WriteSeekAndReadBack) {
  int16_t h = LS_Open("out.bin", LS_O_BINARY | LS_O_CREAT | LS_O_TRUNC | LS_O_RDWR);
  ASSERT_GE(h, 0);
  EXPECT_EQ(LS_Write(h, "hello world", 11), 11);
  EXPECT_EQ(LS_Seek(h, 6, 0), 6);
  char text[16] = {};
  EXPECT_EQ(LS_Read(h, text, 16), 5);  // a short read returns what it got
  EXPECT_STREQ(text, "world");
  EXPECT_EQ(LS_Seek(h, -5, 2), 6);
  EXPECT_EQ(LS_Seek(h, 1, 1), 7);
  EXPECT_EQ(LS_Close(h), 0);
  EXPECT_EQ(ztest::ReadFile(root_ + "/OUT.BIN"), "hello world");
  EXPECT_EQ(LSI_Var.LastError, 0u);
}

std::vector<uint32_t> g_pieces;

TEST_F(FileTest, LargeReadsAndWritesGoInPieces) {
  std::string data(70000, 0);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  ztest::WriteFile(root_ + "/big.bin", data);
  int16_t h = LS_Open("BIG.BIN", LS_O_BINARY);
  std::string got(70000, 0);
  g_pieces.clear();
  plat::SetReadObserver([](uint32_t count) { g_pieces.push_back(count); });
  EXPECT_EQ(LS_Read(h, got.data(), 70000), 70000);
  plat::SetReadObserver(nullptr);
  EXPECT_EQ(g_pieces, (std::vector<uint32_t>{32000, 32000, 6000}));
  EXPECT_EQ(got, data);
  LS_Close(h);

  void* block = LS_LoadFile("big.bin", 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::memcmp(block, data.data(), data.size()), 0);
  EXPECT_EQ(LSI_Var.NbAlloc, 1);
  LS_Release(block);
}

TEST_F(FileTest, LoadFileFailsCleanly) {
  EXPECT_EQ(LS_LoadFile("missing.bin", 0), nullptr);
  ztest::WriteFile(root_ + "/empty.bin", "");
  EXPECT_EQ(LS_LoadFile("empty.bin", 0), nullptr);
  ztest::WriteFile(root_ + "/huge.bin", std::string(2 << 20, 'x'));  // larger than the heap
  EXPECT_EQ(LS_LoadFile("huge.bin", 0), nullptr);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_EQ(LSI_Var.LastError, 12u);
}

TEST_F(FileTest, OpenFailuresRaiseErrorsFourAndFive) {
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { LS_Open("dat>none.cfg", LS_O_BINARY); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 4       File not found  : C:/DAT/NONE.CFG \n");
  EXPECT_EQ(ExitCodeOf([] { LS_Open("nodir>new.cfg", LS_O_BINARY | LS_O_CREAT | LS_O_WRONLY); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 5    Can't create file  : C:/NODIR/NEW.CFG \n");
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_LT(LS_Open("REMOTE_DEV2:>X", LS_O_BINARY), 0);
  EXPECT_EQ(LSI_Var.LastError, 4u);
  LSI_Var.LastError = 0;
  EXPECT_LT(LS_Close(-1), 0);
  EXPECT_EQ(LSI_Var.LastError, 10u);
}

TEST_F(FileTest, OverlongPathsFailWithoutOverflow) {
  char small[16] = "dat>nrcar.cfg";
  EXPECT_EQ(LSI_GetPhysicalPath(small), -1);
  EXPECT_STREQ(small, "dat>nrcar.cfg");
  const std::string longName(LS_PATHSIZE + 100, 'a');
  EXPECT_EQ(LS_FileExists(longName.c_str()), 0);
  EXPECT_EQ(LS_GetFileSize(longName.c_str()), 0);
  EXPECT_LT(LS_Open(longName.c_str(), LS_O_BINARY), 0);
  EXPECT_EQ(LSI_Var.LastError, 4u);
  char logical[8] = "C:/GAME";
  EXPECT_EQ(LS_GetLogicalPath(logical), -1);
}

TEST_F(FileTest, NothingOutsideTheDrivesIsReachable) {
  ztest::WriteFile(temp_ + "/secret.txt", "x");
  EXPECT_EQ(LS_FileExists("..>secret.txt"), 0);
  EXPECT_EQ(LS_FileExists("C:/../secret.txt"), 0);
  EXPECT_EQ(LS_FileExists("/tmp/secret.txt"), 0);
  EXPECT_LT(LS_Open("..>made.txt", LS_O_CREAT | LS_O_WRONLY), 0);
  EXPECT_FALSE(ztest::FileExists(temp_ + "/MADE.TXT"));
}

TEST_F(FileTest, ProgramAndSystemDirectory) {
  char name[256];
  ASSERT_EQ(LSYS_GetProgramName(name, sizeof name), 1);
  EXPECT_STREQ(name, "system_tests");
  char dir[256];
  ASSERT_EQ(LSYS_GetSystemDir(dir, sizeof dir), 1);
  EXPECT_STREQ(dir, "HDISK:>SYSTEM");
}

TEST(StrUpper, UpperCasesAsciiOnly) {
  char text[] = "abc>dé1";
  LS_StrUpper(text);
  EXPECT_STREQ(text, "ABC>Dé1");
  LS_StrUpper(nullptr);
}

}  // namespace
