// Registry layer, byte-order readers and the random-number generator.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/config.h"
#include "system/util.h"
#include "tests/support/testenv.h"

namespace {

class RegistryTest : public ztest::Environment {
 protected:
  void TearDown() override {
    LS_RegClose();
    Environment::TearDown();
  }
};

TEST_F(RegistryTest, StringsAndNumbersRoundTripThroughTheStore) {
  ASSERT_EQ(LS_RegOpen("Zentrova Race"), 1);
  char accel[14] = "SHIFT";
  const uint8_t version[4] = {6, 0, 0, 0};
  EXPECT_EQ(LS_RegSetValue("Accel", accel, sizeof accel, LS_REG_STRING), 1);
  EXPECT_EQ(LS_RegSetValue("Version", version, 4, LS_REG_STRING), 1);
  EXPECT_EQ(LS_RegClose(), 1);

  plat::SetConfigDir(config_);  // forget everything held in memory
  ASSERT_EQ(LS_RegOpen("zentrova race"), 1);
  char text[32] = {};
  uint32_t size = sizeof text;
  EXPECT_EQ(LS_RegGetValue("ACCEL", text, &size), 1);
  EXPECT_EQ(size, 14u);
  EXPECT_STREQ(text, "SHIFT");
  uint8_t number[4] = {};
  size = 4;
  EXPECT_EQ(LS_RegGetValue("Version", number, &size), 1);
  EXPECT_EQ(std::memcmp(number, version, 4), 0);
  size = 4;
  EXPECT_EQ(LS_RegGetValue("Missing", number, &size), 0);
  size = 2;
  EXPECT_EQ(LS_RegGetValue("Accel", text, &size), 0);  // buffer too small
  EXPECT_EQ(size, 14u);
}

TEST_F(RegistryTest, TextsAndFourByteNumbersAreWritten) {
  ASSERT_EQ(LS_RegOpen("Zentrova Race"), 1);
  EXPECT_EQ(LS_RegSetValue("Blob", "x", 1, 3), 0);
  uint32_t size = 8, type = 0;
  char buffer[8];
  EXPECT_EQ(LS_RegGetValue("Blob", buffer, &size), 0);
  const char list[] = "a\0b\0";
  EXPECT_EQ(LS_RegSetValue("List", list, sizeof list, LS_REG_MULTISTRING), 1);
  size = sizeof buffer;
  EXPECT_EQ(LS_RegGetValue("List", buffer, &size, &type), 1);
  EXPECT_EQ(type, LS_REG_MULTISTRING);

  const uint8_t six[4] = {6, 0, 0, 0};
  EXPECT_EQ(LS_RegSetValue("Version", six, 2, LS_REG_NUMBER), 0);  // a number is 4 bytes
  EXPECT_EQ(LS_RegSetValue("Version", six, 4, LS_REG_NUMBER), 1);
  size = sizeof buffer;
  EXPECT_EQ(LS_RegGetValue("Version", buffer, &size, &type), 1);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(type, LS_REG_NUMBER);
  EXPECT_EQ(std::memcmp(buffer, six, 4), 0);
}

TEST_F(RegistryTest, NothingWorksWithoutAnOpenKey) {
  uint32_t size = 4;
  char buffer[4];
  EXPECT_EQ(LS_RegSetValue("A", "x", 1, LS_REG_STRING), 0);
  EXPECT_EQ(LS_RegGetValue("A", buffer, &size), 0);
  EXPECT_EQ(LS_RegClose(), 0);
}

TEST(ByteOrder, ReadsWordsAndLongs) {
  const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(LS_ReadBEWord(bytes), 0x1234);
  EXPECT_EQ(LS_ReadLEWord(bytes), 0x3412);
  EXPECT_EQ(LS_ReadBELong(bytes), 0x12345678u);
  EXPECT_EQ(LS_ReadLELong(bytes), 0x78563412u);
  const uint8_t high[] = {0xFF, 0xFE, 0xFD, 0xFC};
  EXPECT_EQ(LS_ReadLELong(high), 0xFCFDFEFFu);
}

TEST(Random, DrawsTheSameFifteenBitSequenceEveryRun) {
  LSI_ResetRand();
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int32_t value : expected) EXPECT_EQ(LSI_Rand(), value);
  LSI_ResetRand();
  for (int i = 0; i < 100000; ++i) {
    const int32_t v = LSI_Rand();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

TEST(Random, ScalesIntoTheRange) {
  LSI_ResetRand();
  EXPECT_EQ(LS_Random(32767), 41);
  EXPECT_EQ(LS_Random(0), 0);
  EXPECT_EQ(LS_Random(1), 0);  // 6334
  LSI_ResetRand();
  EXPECT_EQ(LS_Random(1000), 41 * 1000 / 32767);
  LSI_ResetRand();
  int top = 0;
  for (int i = 0; i < 200000; ++i) {
    const int32_t v = LS_Random(65535);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 65535);
    top = std::max(top, v);
  }
  EXPECT_GT(top, 65000);
}

TEST(Utilities, CopyUpperCaseAndRectangles) {
  char buffer[16] = {};
  LS_MemCopy(buffer, "abcdefghij", 11);
  EXPECT_STREQ(buffer, "abcdefghij");
  LS_StrUpr(buffer);
  EXPECT_STREQ(buffer, "ABCDEFGHIJ");
  LS_RECT rect;
  LS_SetRect(&rect, 1, 2, 3, 4);
  EXPECT_EQ(rect.x1, 1);
  EXPECT_EQ(rect.y1, 2);
  EXPECT_EQ(rect.x2, 3);
  EXPECT_EQ(rect.y2, 4);
}

}  // namespace
