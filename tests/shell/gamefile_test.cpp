// Game file handles, the chunked read that pumps the network between
// pieces, and whole-file loads.
#include "shell/gamefile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "tests/fakes/shell_fakes.h"

namespace {

class GameFile : public ztest::ShellTest {};

TEST_F(GameFile, ReadingAMissingFileGivesZeroWithoutALibraryError) {
  EXPECT_EQ(SB_OpenFile("dat>none.bin", SB_OPEN_READ), 0);
  EXPECT_EQ(SB_OpenFile("dat>none.bin", SB_OPEN_APPEND), 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
  EXPECT_FALSE(ztest::FileExists(root_ + "/DAT/NONE.BIN"));
}

TEST_F(GameFile, HandlesAreTheLibraryHandlePlusOne) {
  const int32_t file = SB_OpenFile("made.bin", SB_OPEN_CREATE);
  ASSERT_GT(file, 0);
  EXPECT_EQ(SB_WriteFile(file, "abc", 3), 3);
  // The library handle is one less: the library reads the same file.
  EXPECT_EQ(LS_Seek(static_cast<int16_t>(file - 1), 0, 1), 3);
  SB_CloseFile(file);
  EXPECT_EQ(ztest::ReadFile(root_ + "/MADE.BIN"), "abc");
}

TEST_F(GameFile, AppendModeWritesAtTheEnd) {
  ztest::WriteFile(root_ + "/LOG.TXT", "one\n");
  const int32_t file = SB_OpenFile("log.txt", SB_OPEN_APPEND);
  ASSERT_GT(file, 0);
  SB_WriteFile(file, "two\n", 4);
  SB_CloseFile(file);
  EXPECT_EQ(ztest::ReadFile(root_ + "/LOG.TXT"), "one\ntwo\n");
}

TEST_F(GameFile, CreateModeTruncates) {
  ztest::WriteFile(root_ + "/OLD.BIN", "a long old text");
  const int32_t file = SB_OpenFile("old.bin", SB_OPEN_CREATE);
  SB_WriteFile(file, "new", 3);
  SB_CloseFile(file);
  EXPECT_EQ(ztest::ReadFile(root_ + "/OLD.BIN"), "new");
}

TEST_F(GameFile, HandleZeroDoesNothing) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SB_ReadFile(0, buffer, 4), 0);
  EXPECT_EQ(SB_WriteFile(0, buffer, 4), 0);
  SB_CloseFile(0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(LS_GetLastError(), 0u);
}

TEST_F(GameFile, ReadStopsAtTheEndOfTheFile) {
  ztest::WriteFile(root_ + "/TEN.BIN", "0123456789");
  const int32_t file = SB_OpenFile("ten.bin", SB_OPEN_READ);
  char buffer[32] = {};
  EXPECT_EQ(SB_ReadFile(file, buffer, 4), 4);
  EXPECT_EQ(SB_ReadFile(file, buffer, 32), 6);
  EXPECT_STREQ(buffer, "456789");
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(SB_ReadFile(file, buffer, 32), 0);
  EXPECT_EQ(buffer[0], 'z');
  SB_CloseFile(file);
}

TEST_F(GameFile, CountsBelowOneReadNothing) {
  ztest::WriteFile(root_ + "/TEN.BIN", "0123456789");
  const int32_t file = SB_OpenFile("ten.bin", SB_OPEN_READ);
  char buffer[4] = {};
  EXPECT_EQ(SB_ReadFile(file, buffer, 0), 0);
  EXPECT_EQ(SB_ReadFile(file, buffer, -5), 0);
  EXPECT_EQ(ztest::Shell().netUpdates, 0);
  EXPECT_EQ(SB_ReadFile(file, buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "01");
  SB_CloseFile(file);
}

std::vector<int64_t> g_readAtPumps;
int64_t g_readSoFar = 0;

TEST_F(GameFile, LongReadsPumpTheNetworkAfterEachPiece) {
  std::string data(600000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  ztest::WriteFile(root_ + "/BIG.BIN", data);
  g_readAtPumps.clear();
  g_readSoFar = 0;
  plat::SetReadObserver([](uint32_t count) { g_readSoFar += count; });
  ztest::Shell().onNetUpdate = [] { g_readAtPumps.push_back(g_readSoFar); };
  std::vector<char> buffer(700000);
  const int32_t file = SB_OpenFile("big.bin", SB_OPEN_READ);
  EXPECT_EQ(SB_ReadFile(file, buffer.data(), 700000), 600000);
  SB_CloseFile(file);
  plat::SetReadObserver(nullptr);
  // Pieces of 262144, 262144 and 75712 bytes.
  EXPECT_EQ(g_readAtPumps, (std::vector<int64_t>{262144, 524288, 600000}));
  EXPECT_EQ(std::memcmp(buffer.data(), data.data(), data.size()), 0);
}

TEST_F(GameFile, LoadFileIsAnUnregisteredBlock) {
  ztest::WriteFile(root_ + "/DAT/T.TXT", "hello");
  char* text = static_cast<char*>(SB_LoadFile("dat>t.txt"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, 5), "hello");
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Release(text), 1);
  EXPECT_EQ(SB_LoadFile("dat>missing.txt"), nullptr);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

TEST_F(GameFile, LoadFileWithZeroEndsWithAZeroByte) {
  ztest::WriteFile(root_ + "/DAT/T.TXT", std::string("he\0llo", 6));
  char* text = SB_LoadFileWithZero("dat>t.txt");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, 7), std::string("he\0llo\0", 7));
  ASSERT_EQ(SB_Var.NbMemOwners, 1);
  EXPECT_STREQ(SB_MemOwners[0].Owner, "Load File With Zero");
  EXPECT_EQ(SB_MemOwners[0].Size, 7u);
  SB_Release(text);
  EXPECT_EQ(SB_LoadFileWithZero("dat>missing.txt"), nullptr);
}

TEST_F(GameFile, AnEmptyFileLoadsWithItsZeroByte) {
  ztest::WriteFile(root_ + "/DAT/EMPTY.TXT", "");
  char* text = SB_LoadFileWithZero("dat>empty.txt");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text[0], 0);
  SB_Release(text);
}

TEST_F(GameFile, AFileLargerThanTheHeapGivesNoBlock) {
  ztest::WriteFile(root_ + "/HUGE.BIN", std::string(5 << 20, 'h'));
  EXPECT_EQ(SB_LoadFile("huge.bin"), nullptr);
  EXPECT_EQ(SB_LoadFileWithZero("huge.bin"), nullptr);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

}  // namespace
