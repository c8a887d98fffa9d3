// Keyed text files: slots, the key search, chained and repeated scans, the
// typed conversions, and missing, empty, binary and over-long input.
#include "shell/keyfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
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

// One conversion, scanned from the start: the count and the value read.
TEST_F(KeyFileTest, SingleConversions) {
  const struct {
    const char *text, *format;
    int32_t count;
    const char* value;
  } rows[] = {
      {"xxNLAPS: 4 RACENLAPS: 7", "NLAPS: %l", 1, "4"},  // found anywhere
      {"NLAPS: 4", "nlaps: %l", 0, "-7"},                  // case counts
      {"A: one two", "A: %s", 1, "one"},                   // words stop at blanks,
      {"B: x\ty", "B: %s", 1, "x"},                        // tabs
      {"C: z\r\nD", "C: %s", 1, "z"},                      // and line ends
      {"D:    \nE: last", "D: %s", 1, ""},
      {"E: last", "E: %s", 1, "last"},
      {"X: 5 END: ", "END: %f", 1, "0"},  // a key at the very end
      {"X: 5 END: ", "END: %l", 1, "0"},
      {"X: 5 END: ", "END: %s", 1, ""},
      {"BIG: 99999999999", "BIG: %l", 1, "2147483647"},  // integers saturate
      {"SMALL: -99999999999", "SMALL: %d", 1, "-2147483648"},
      {"R: 2.75", "R: %f", 1, "2.75"},  // reals use the dot
      {"BAD: abc", "BAD: %f", 1, "0"},
      {"NAN: nan", "NAN: %f", 1, "nan"},
  };
  for (const auto& row : rows) {
    TKEYFILE* f = Open(row.text);
    int32_t l = -7;
    double r = -7;
    char text[64] = "-7";
    const char conversion = row.format[std::strlen(row.format) - 1];
    std::ostringstream value;
    if (conversion == 'f') {
      EXPECT_EQ(SB_ScanKeyFile(f, 1, row.format, {&r}), row.count) << row.format;
      value << r;
    } else if (conversion == 's') {
      EXPECT_EQ(SB_ScanKeyFile(f, 1, row.format, {text}), row.count) << row.format;
      value << text;
    } else {
      EXPECT_EQ(SB_ScanKeyFile(f, 1, row.format, {&l}), row.count) << row.format;
      value << l;
    }
    EXPECT_EQ(value.str(), row.value) << row.text << " " << row.format;
    SB_CloseKeyFile(f);
  }
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

// A key searched as a line's own: where it is found, by the offset after
// it, or -1.
TEST_F(KeyFileTest, AKeyLineIsFoundOnlyAtTheStartOfALine) {
  const struct {
    const char* text;
    int offset;
  } rows[] = {
      {"NLAPS: 2", 7},                        // the file's first line
      {"RACENLAPS: 3\nNLAPS: 2", 20},         // not inside a longer key
      {"RACENLAPS: 3", -1},                   // nor anywhere else
      {"X: 1 NLAPS: 2", -1},                  // nor after other words
      {"X\r\n  \tNLAPS: 2", 13},              // blanks and tabs before it
      {"X\rNLAPS: 2", 9},                     // a CR alone ends a line
      {"NLAPS: 1\nNLAPS: 2", 7},              // the first one
      {"NLAPS:", -1},                         // the whole key or nothing
      {"X\nNLAPS: ", 9},                      // at the file's very end
      {"", -1},
  };
  for (const auto& row : rows) {
    TKEYFILE* f = Open(row.text);
    char* at = SB_FindKeyLine(f, "NLAPS: ");
    EXPECT_EQ(at ? at - f->Start : -1, row.offset) << row.text;
    if (at) {
      EXPECT_EQ(f->Position, at) << row.text;
    }
    SB_CloseKeyFile(f);
  }
  EXPECT_EQ(SB_FindKeyLine(nullptr, "NLAPS: "), nullptr);
  TKEYFILE* f = Open("NLAPS: 2");
  EXPECT_EQ(SB_FindKeyLine(f, nullptr), nullptr);
  EXPECT_EQ(SB_FindKeyLine(f, ""), nullptr);
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
