// Keyed text files: slots, the key search, chained and repeated scans, the
// typed conversions, and missing, empty, binary and over-long input.
#include "shell/keyfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "tests/support/testenv.h"

namespace {

class KeyFileTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    ztest::LibraryTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    SB_InitKeyFiles();
  }
  void TearDown() override {
    for (TKEYFILE& k : SB_KeyFiles) SB_CloseKeyFile(&k);
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    ztest::LibraryTest::TearDown();
  }
  TKEYFILE* Open(const std::string& text, const std::string& name = "keys.txt") {
    ztest::WriteFile(root_ + "/" + name, text);
    return SB_OpenKeyFile(name.c_str());
  }
};

TEST_F(KeyFileTest, ChainedConversionsReadOneValueAfterAnother) {
  TKEYFILE* f = Open("SUN: 1\nFINALCAMERA: 1.5,-2,3e2\n");
  double x = 0, y = 0, z = 0;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "FINALCAMERA: %f,%f,%f", {&x, &y, &z}), 3);
  EXPECT_DOUBLE_EQ(x, 1.5);
  EXPECT_DOUBLE_EQ(y, -2.0);
  EXPECT_DOUBLE_EQ(z, 300.0);
}

TEST_F(KeyFileTest, RepeatedScansWalkAList) {
  TKEYFILE* f = Open("TIMEXTEND: 0,20\nX\nTIMEXTEND: 700,15\nTIMEXTEND: 1400,10\n");
  double d = 0, s = 0;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "TIMEXTEND: %f,%f", {&d, &s}), 2);
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(s, 20.0);
  EXPECT_EQ(SB_ScanKeyFile(f, 0, "TIMEXTEND: %f,%f", {&d, &s}), 2);
  EXPECT_EQ(d, 700.0);
  EXPECT_EQ(SB_ScanKeyFile(f, 0, "TIMEXTEND: %f,%f", {&d, &s}), 2);
  EXPECT_EQ(d, 1400.0);
  EXPECT_EQ(s, 10.0);
  EXPECT_EQ(SB_ScanKeyFile(f, 0, "TIMEXTEND: %f,%f", {&d, &s}), 0);
  // From the start again: the first one.
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "TIMEXTEND: %f,%f", {&d, &s}), 2);
  EXPECT_EQ(d, 0.0);
}

TEST_F(KeyFileTest, AKeyIsFoundAnywhereAndCaseCounts) {
  TKEYFILE* f = Open("xxNLAPS: 4 RACENLAPS: 7");
  int32_t n = 0;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "NLAPS: %l", {&n}), 1);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "nlaps: %l", {&n}), 0);
  EXPECT_EQ(SB_ScanKeyFile(f, 0, "NLAPS: %d", {&n}), 1);  // after the last match: RACENLAPS
  EXPECT_EQ(n, 7);
}

TEST_F(KeyFileTest, WordsStopAtBlanksTabsAndLineEnds) {
  TKEYFILE* f = Open("A: one two\nB: x\ty\nC: z\r\nD:    \nE: last");
  char word[64];
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %s", {word}), 1);
  EXPECT_STREQ(word, "one");
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "B: %s", {word}), 1);
  EXPECT_STREQ(word, "x");
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "C: %s", {word}), 1);
  EXPECT_STREQ(word, "z");
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "D: %s", {word}), 1);  // spaces only
  EXPECT_STREQ(word, "");
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "E: %s", {word}), 1);
  EXPECT_STREQ(word, "last");
}

TEST_F(KeyFileTest, AKeyAtTheVeryEndGivesZeroOrEmpty) {
  TKEYFILE* f = Open("X: 5 END: ");
  double r = 9;
  int32_t l = 9;
  char s[8] = "abc";
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "END: %f", {&r}), 1);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "END: %l", {&l}), 1);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "END: %s", {s}), 1);
  EXPECT_STREQ(s, "");
}

TEST_F(KeyFileTest, AMissingKeyUsesUpItsOutputAndKeepsTheFlag) {
  TKEYFILE* f = Open("B: 2\nA: 1\n");
  int32_t a = -1, b = -1;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "Z: %lB: %l", {&a, &b}), 1);
  EXPECT_EQ(a, -1);  // nothing stored, output used up
  EXPECT_EQ(b, 2);   // still searched from the start
}

TEST_F(KeyFileTest, OtherConversionsAreSkippedWithoutAnOutput) {
  TKEYFILE* f = Open("A: 1 B: 2");
  int32_t a = 0, b = 0;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %l%x%%B: %l", {&a, &b}), 2);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
}

TEST_F(KeyFileTest, AnOutputOfTheWrongTypeReceivesNothing) {
  TKEYFILE* f = Open("A: 1.5");
  int32_t n = 7;
  char s[4] = "x";
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %f", {&n}), 0);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %l", {s}), 0);
  EXPECT_STREQ(s, "x");
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %f%f", {}), 0);  // no outputs at all
}

TEST_F(KeyFileTest, IntegersSaturateAndRealsUseTheDot) {
  TKEYFILE* f = Open("BIG: 99999999999 SMALL: -99999999999 R: 2.75 BAD: abc NAN: nan");
  int32_t n = 0;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "BIG: %l", {&n}), 1);
  EXPECT_EQ(n, INT32_MAX);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "SMALL: %d", {&n}), 1);
  EXPECT_EQ(n, INT32_MIN);
  double r = 1;
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "R: %f", {&r}), 1);
  EXPECT_EQ(r, 2.75);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "BAD: %f", {&r}), 1);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "NAN: %f", {&r}), 1);
  EXPECT_TRUE(std::isnan(r));
}

TEST_F(KeyFileTest, LongWordsAreCutToTheirBuffer) {
  TKEYFILE* f = Open("NAME: " + std::string(300, 'w') + "\n");
  char name[64];
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "NAME: %s", {name}), 1);
  EXPECT_EQ(std::string(name), std::string(63, 'w'));
  char one[1] = {'q'};
  EXPECT_EQ(SB_ScanKeyFile(f, 1, "NAME: %s", {TKEYVALUE(one, 1)}), 1);
  EXPECT_EQ(one[0], '\0');
}

TEST_F(KeyFileTest, FindReturnsThePlaceAfterTheMatch) {
  TKEYFILE* f = Open("abcabc");
  char* first = SB_FindInKeyFile(f, "bc", 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first - f->Start, 3);
  char* second = SB_FindInKeyFile(f, "bc", 0);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second - f->Start, 6);
  EXPECT_EQ(SB_FindInKeyFile(f, "bc", 0), nullptr);  // at the end
  EXPECT_EQ(f->Position, second);                    // unchanged by the miss
  EXPECT_EQ(SB_FindInKeyFile(f, "abcabcx", 1), nullptr);
}

TEST_F(KeyFileTest, TheEleventhOpenGivesNull) {
  ztest::WriteFile(root_ + "/k.txt", "A: 1");
  TKEYFILE* slots[SB_MAXKEYFILES];
  for (TKEYFILE*& s : slots) ASSERT_NE(s = SB_OpenKeyFile("k.txt"), nullptr);
  EXPECT_EQ(SB_OpenKeyFile("k.txt"), nullptr);
  EXPECT_EQ(SB_OpenKeyFile(nullptr), nullptr);
  // Closing a slot other than the first frees that slot only.
  SB_CloseKeyFile(slots[3]);
  EXPECT_EQ(SB_KeyFiles[3].InUse, 0);
  EXPECT_EQ(SB_KeyFiles[0].InUse, 1);
  EXPECT_EQ(SB_OpenKeyFile("k.txt"), &SB_KeyFiles[3]);
  SB_CloseKeyFile(nullptr);
}

TEST_F(KeyFileTest, MissingFilesTakeASlotAndLeakNone) {
  for (int i = 0; i < 11; ++i) {
    TKEYFILE* f = SB_OpenKeyFile("nothing.txt");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Start, nullptr);
    double v = 5;
    EXPECT_EQ(SB_ScanKeyFile(f, 1, "A: %f", {&v}), 0);
    EXPECT_EQ(v, 5.0);
    SB_CloseKeyFile(f);
  }
  for (const TKEYFILE& k : SB_KeyFiles) EXPECT_EQ(k.InUse, 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

TEST_F(KeyFileTest, EmptyBinaryAndNulHoldingFiles) {
  int32_t n = 3;
  TKEYFILE* empty = Open("", "empty.txt");
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(empty->Start, nullptr);
  EXPECT_EQ(SB_ScanKeyFile(empty, 1, "A: %l", {&n}), 0);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 37);
  TKEYFILE* junk = Open(binary, "junk.bin");
  char word[16];
  SB_ScanKeyFile(junk, 1, "A%s", {word});  // whatever it finds, it stays in bounds
  TKEYFILE* nul = Open(std::string("A: 1\0B: 2", 9), "nul.txt");
  EXPECT_EQ(SB_ScanKeyFile(nul, 1, "B: %l", {&n}), 1);  // found past the NUL byte
  EXPECT_EQ(n, 2);
  EXPECT_EQ(SB_ScanKeyFile(nul, 1, "A: %s", {word}), 1);
  EXPECT_STREQ(word, "1");
}

TEST_F(KeyFileTest, BuffersAreOwnedAndReleasedOnClose) {
  TKEYFILE* f = Open("A: 1");
  ASSERT_EQ(SB_Var.NbMemOwners, 1);
  EXPECT_STREQ(SB_MemOwners[0].Owner, "Load File With Zero");
  EXPECT_EQ(f->End - f->Start, 4);
  EXPECT_EQ(f->End[0], '\0');
  SB_CloseKeyFile(f);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(KeyFileTest, LongFileNamesAreCut) {
  const std::string name(400, 'n');
  TKEYFILE* f = SB_OpenKeyFile(name.c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(f->FileName), name.substr(0, SB_KEYFILENAMESIZE - 1));
  EXPECT_EQ(f->Start, nullptr);
}

}  // namespace
