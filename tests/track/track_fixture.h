// What the track's tests share: the library started with errors kept, the
// map, lists and centre line freed at the end with no block left, the
// console lines printed, and a reader of a saved map's sections.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "datagen/mapbuild.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "track/ground.h"

namespace ztest {

class TrackTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(HeapSize());
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
    SB_FreeBsplinePoints();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << SB_MemOwners[0].Owner;
    LibraryTest::TearDown();
  }
  virtual uint32_t HeapSize() const { return 48 << 20; }
  static bool Printed(const std::string& line) {
    for (const std::string& l : SB_PrintedLines())
      if (l == line) return true;
    return false;
  }
  std::string Path(const std::string& name) const { return root_ + "/" + name; }
};

// One section of a saved map: its word, where its count and its records
// start (no count for the seen entitys), the count and the record size.
struct SavedSection {
  std::string word;
  size_t countAt, dataAt;
  uint32_t count, size;
};

inline uint32_t U32At(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}
inline void PutU32(std::string* bytes, size_t at, uint32_t v) { std::memcpy(bytes->data() + at, &v, 4); }

// Walks the sections of a saved map by the record sizes the file format
// gives, independently of the reader; the walk's end is returned in *end.
inline std::vector<SavedSection> ReadSections(const std::string& bytes, bool cubes, size_t* end) {
  static const std::pair<const char*, uint32_t> kFormat[] = {
      {"big entitys", 24},     {"small entitys", 16},  {"vertices", 4},         {"wordvertices", 8},
      {"faces", 32},           {"seenentitys", 4},     {"seenentityslist", 2},  {"names", 15},
      {"TFPPOINTOFFSET", 4},   {"TFPPOINTTEXTURE", 4}, {"TFPOINTOFFSET", 6},    {"TFPOINTTEXTURE", 6},
      {"TFFACEPOLY", 32},      {"TFCUBE10POLY", 52},   {"names2", 15}};
  std::vector<SavedSection> sections;
  size_t at = 256;
  uint32_t smalls = 0;
  for (int i = cubes ? 0 : 7; i < 15 && at <= bytes.size(); ++i) {
    SavedSection s{kFormat[i].first, at, at, 0, kFormat[i].second};
    if (i == 5) {
      s.countAt = std::string::npos;
      s.count = smalls;
    } else {
      s.count = at + 4 <= bytes.size() ? U32At(bytes, at) : 0;
      s.dataAt = at + 4;
    }
    if (i == 1) smalls = s.count;
    at = s.dataAt + size_t{s.count} * s.size;
    sections.push_back(s);
  }
  *end = at;
  return sections;
}

}  // namespace ztest
