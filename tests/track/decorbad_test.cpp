// Damaged map files: every cut, impossible counts, links that leave their
// arrays, and a file without the cube map in the software renderer. Each
// is refused with its message, keeps nothing, and the good file still
// loads afterwards.
#include <gtest/gtest.h>

#include "tests/track/maps.h"
#include "tests/track/track_fixture.h"

namespace {

using ztest::SavedSection;

class BadMap : public ztest::TrackTest {
 protected:
  void SetUp() override {
    TrackTest::SetUp();
    ztest::RichMap().Install();
    SB_SaveDecor("GOOD.DEC");
    SB_FreeDecor();
    good_ = ztest::ReadFile(Path("GOOD.DEC"));
    size_t end = 0;
    sections_ = ztest::ReadSections(good_, true, &end);
  }
  void TearDown() override {
    ASSERT_EQ(SB_LoadDecor("GOOD.DEC"), 1);  // nothing of the bad loads is in the way
    TrackTest::TearDown();
  }
  const SavedSection& Section(const std::string& word) const {
    for (const SavedSection& s : sections_)
      if (s.word == word) return s;
    throw std::invalid_argument(word);
  }
  // Loads the bytes and expects the refusal with that message.
  void ExpectRefused(const std::string& bytes, const std::string& message, const std::string& why) {
    ztest::WriteFile(Path("BAD.DEC"), bytes);
    SB_ClearPrintedLines();
    EXPECT_EQ(SB_LoadDecor("BAD.DEC"), 0) << why;
    EXPECT_TRUE(Printed(message)) << why << ": " << (SB_PrintedLines().empty() ? "" : SB_PrintedLines().back());
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << why;
    EXPECT_EQ(SB_Var.Decor.Loaded, 0) << why;
  }
  static std::string Corrupt(const std::string& word) { return "Map error: corrupt map file (" + word + ") !!!"; }
  std::string good_;
  std::vector<SavedSection> sections_;
};

TEST_F(BadMap, EveryCutIsRefusedWithItsSection) {
  ExpectRefused(good_.substr(0, 100), Corrupt("header"), "inside the header");
  for (const SavedSection& s : sections_) {
    if (s.countAt != std::string::npos) ExpectRefused(good_.substr(0, s.countAt), Corrupt(s.word), s.word + " count");
    ExpectRefused(good_.substr(0, s.dataAt + s.size * s.count - 1), Corrupt(s.word), s.word + " records");
  }
}

TEST_F(BadMap, ImpossibleCountsAreRefused) {
  for (const SavedSection& s : sections_) {
    if (s.countAt == std::string::npos) continue;
    std::string bytes = good_;
    ztest::PutU32(&bytes, s.countAt, 0x7FFFFFFF);
    ExpectRefused(bytes, Corrupt(s.word), s.word);
  }
  // 513 names fit in the file but not in the table of 512.
  for (const char* word : {"names", "names2"}) {
    const SavedSection& s = Section(word);
    std::string bytes = good_.substr(0, s.dataAt) + std::string(513 * 15, 'A') + good_.substr(s.dataAt + s.count * 15);
    ztest::PutU32(&bytes, s.countAt, 513);
    ExpectRefused(bytes, Corrupt(word), word);
  }
}

TEST_F(BadMap, LinksOutsideTheirArraysAreRefused) {
  struct Row {
    const char* why;
    const char* section;  // of the record changed
    size_t at;            // byte inside that section's records
    uint32_t value;       // written as a u32, or as a byte
    bool byte;
    const char* refused;  // the section the message names
  };
  const uint32_t faces = Section("faces").count * 32, smalls = Section("small entitys").count * 16;
  const Row rows[] = {
      {"big entity's faces past the array", "big entitys", 8, faces + 32, false, "big entitys"},
      {"big entity's small entitys off a record", "big entitys", 12, smalls - 15, false, "big entitys"},
      {"small entity's vertex run past the end", "small entitys", 4, (Section("vertices").count - 1) * 4, false,
       "small entitys"},
      {"face vertex beyond its cube's", "faces", 5, 200, true, "faces"},
      {"texture number past the names", "faces", 27, 255, true, "faces"},
      {"seen list off a record", "seenentitys", 0, 3, false, "seenentitys"},
      {"seen list without its end", "seenentityslist", 6, 7, true, "seenentitys"},
      {"corner point past the points", "TFPPOINTOFFSET", 0, 7 * 6, false, "TFPPOINTOFFSET"},
      {"corner texture point off a record", "TFPPOINTTEXTURE", 0, 1, false, "TFPPOINTTEXTURE"},
      {"a 2-corner polygon", "TFFACEPOLY", 30, 2, true, "TFFACEPOLY"},
      {"material past the names2", "TFFACEPOLY", 12, 9, true, "TFFACEPOLY"},
      {"cell's face run past the end", "TFCUBE10POLY", 36, 200, true, "TFCUBE10POLY"},
  };
  for (const Row& r : rows) {
    std::string bytes = good_;
    const size_t at = Section(r.section).dataAt + r.at;
    if (r.byte)
      bytes[at] = static_cast<char>(r.value);
    else
      ztest::PutU32(&bytes, at, r.value);
    // A texture number of 511 needs bit 8 in the face's first u.
    if (std::string(r.why).rfind("texture", 0) == 0) bytes[Section("faces").dataAt + 9] |= '\x80';
    if (std::string(r.why) == "seen list without its end") bytes[at + 1] = 0;
    ExpectRefused(bytes, Corrupt(r.refused), r.why);
  }
}

TEST_F(BadMap, AFileWithoutCubesIsRefusedInSoftware) {
  std::string bytes = good_;
  bytes[15] = 2;
  ExpectRefused(bytes, "Map error: map file has no cube data !!!", "marked without cubes");
}

}  // namespace
