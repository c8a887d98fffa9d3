// The binary map file: its header and sections, round trips in both
// renderer modes, the loading lines, a second load, other formats, and the
// release of a map.
#include <gtest/gtest.h>

#include "engine3d/types.h"
#include "system/heap.h"
#include "tests/track/maps.h"
#include "tests/track/track_fixture.h"

namespace {

using ztest::ReadSections;
using ztest::SavedSection;

class DecorFile : public ztest::TrackTest {
 protected:
  std::string Save(const std::string& name = "MAP.DEC") {
    SB_SaveDecor(name.c_str());
    return ztest::ReadFile(Path(name));
  }
  // The index of every link's target, to compare across a save and load.
  static std::vector<long> Links() {
    const TDECOR& d = SB_Var.Decor;
    std::vector<long> at;
    for (int i = 0; i < d.NbBigEntitys; ++i) {
      const TBIGENTITY& b = d.BigEntitys[i];
      at.push_back(SB_DecorSmallEntityRun(b.SmallEntitys, b.NbSmallEntitys) - d.SmallEntitys);
      at.push_back(SB_DecorFaceRun(b.Faces, b.NbFaces) - d.Faces);
      at.push_back(SB_DecorWordVertexRun(b.WordVertices, b.NbWordVertices) - d.WordVertices);
    }
    for (int i = 0; i < d.NbSmallEntitys; ++i) {
      const TSMALLENTITY& s = d.SmallEntitys[i];
      at.push_back(SB_DecorVertexRun(s.Vertices, s.NbVertices) - d.Vertices);
      at.push_back(SB_DecorFaceRun(s.Faces, s.NbFaces) - d.Faces);
      at.push_back(SB_SeenList(i) ? SB_SeenList(i) - d.SeenEntitysList : -1);
    }
    for (int i = 0; i < d.NbCube10Polys; ++i)
      for (int run = 0; run < SB_CELLRUNS; ++run) at.push_back(SB_CellFaces(&d.Cube10Polys[i], run) - d.FacePolys);
    for (int i = 0; i < d.NbFacePolys; ++i)
      for (int k = 0; k < d.FacePolys[i].NbCorners; ++k) {
        at.push_back(SB_FacePolyPoint(&d.FacePolys[i], k) - d.PointOffsets);
        at.push_back(SB_FacePolyTexturePoint(&d.FacePolys[i], k) - d.PointTextures);
      }
    return at;
  }
};

TEST_F(DecorFile, HeaderThenFifteenSectionsInOrder) {
  ztest::RichMap().Install();
  const std::string bytes = Save();
  EXPECT_EQ(bytes.substr(0, 15), std::string("Map file v1.07\0", 15));
  EXPECT_EQ(bytes[15], 1);  // the cube map is there
  EXPECT_EQ(bytes.substr(16, 240), std::string(240, '\0'));
  size_t end = 0;
  const std::vector<SavedSection> s = ReadSections(bytes, true, &end);
  EXPECT_EQ(end, bytes.size());
  const TDECOR& d = SB_Var.Decor;
  const int32_t counts[] = {d.NbBigEntitys,  d.NbSmallEntitys,   d.NbVertices,     d.NbWordVertices,
                            d.NbFaces,       d.NbSmallEntitys,   d.NbSeenEntitysList, SB_Var.NbTextures,
                            d.NbPPointOffsets, d.NbPPointTextures, d.NbPointOffsets, d.NbPointTextures,
                            d.NbFacePolys,   d.NbCube10Polys,    d.NbNames2};
  ASSERT_EQ(s.size(), 15u);
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_EQ(s[i].count, static_cast<uint32_t>(counts[i])) << s[i].word;
    EXPECT_GT(s[i].count, 0u) << s[i].word;  // the map has every kind
  }
  // The accelerator's renderer stores the same file while the map has its
  // cubes, and the polygons only once it has none.
  SB_Var.Renderer = SB_RENDERER_PVR;
  EXPECT_EQ(Save("PVR.DEC"), bytes);
  SB_FreeDecor();
  ztest::WriteFile(Path("POLYGONS.DEC"), bytes.substr(0, 15) + '\2' + bytes.substr(16, 240) +
                                             bytes.substr(s[7].countAt));
  ASSERT_EQ(SB_LoadDecor("POLYGONS.DEC"), 1);
  const std::string polygons = Save("PVR.DEC");
  EXPECT_EQ(polygons[15], 2);
  ASSERT_EQ(ReadSections(polygons, false, &end).front().word, "names");
  EXPECT_EQ(end, polygons.size());
}

TEST_F(DecorFile, RoundTripRestoresEveryByteAndLink) {
  ztest::RichMap().Install();
  const std::vector<long> links = Links();
  const std::string first = Save();
  SB_FreeDecor();
  SB_ClearPrintedLines();
  ASSERT_EQ(SB_LoadDecor("MAP.DEC"), 1);
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(SB_SeenList(1), nullptr);  // a small cube without a list
  EXPECT_EQ(SB_MapFaceTexture(&SB_Var.Decor.Faces[0]), 260);
  EXPECT_EQ(Save("AGAIN.DEC"), first);
  // The lines of the load, in the order of the file.
  const std::vector<std::string> lines = {
      "Loading 2 big entitys...",      "Loading 3 small entitys...",    "Loading 10 vertices...",
      "Loading 3 wordvertices...",     "Loading 4 faces...",            "Loading 3 seenentitys...",
      "Loading 4 seenentityslist...",  "Loading 300 names...",          "Loading 21 TFPPOINTOFFSET...",
      "Loading 21 TFPPOINTTEXTURE...", "Loading 7 TFPOINTOFFSET...",    "Loading 7 TFPOINTTEXTURE...",
      "Loading 6 TFFACEPOLY...",       "Loading 2 TFCUBE10POLY...",     "Loading 2 names2..."};
  EXPECT_EQ(SB_PrintedLines(), lines);
  // The published copies follow the new arrays.
  EXPECT_EQ(SB_Var.Decor.Cubes, SB_Var.Decor.BigEntitys);
  EXPECT_EQ(SB_Var.Cube10Polys, SB_Var.Decor.Cube10Polys);
  EXPECT_EQ(SB_Var.Decor.NbMapFaces, 4);
}

TEST_F(DecorFile, AnEmptyArrayIsItsCountAloneAndStaysUnallocated) {
  ztest::LeanMap().Install();
  const std::string bytes = Save();
  size_t end = 0;
  const std::vector<SavedSection> s = ReadSections(bytes, true, &end);
  EXPECT_EQ(end, bytes.size());
  EXPECT_EQ(s[3].count, 0u);  // wordvertices
  SB_FreeDecor();
  ASSERT_EQ(SB_LoadDecor("MAP.DEC"), 1);
  const TDECOR& d = SB_Var.Decor;
  EXPECT_EQ(d.WordVertices, nullptr);
  EXPECT_EQ(d.FacePolys, nullptr);
  EXPECT_EQ(d.NbWordVertices + d.NbFacePolys, 0);
  EXPECT_EQ(SB_SeenList(0), nullptr);
  EXPECT_FALSE(Printed("Loading 0 wordvertices..."));
}

TEST_F(DecorFile, WithoutAMapNothingIsWritten) {
  SB_SaveDecor("MAP.DEC");
  EXPECT_FALSE(ztest::FileExists(Path("MAP.DEC")));
}

TEST_F(DecorFile, AFileThatCannotBeCreatedIsReportedNotFatal) {
  ztest::LeanMap().Install();
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([] { SB_SaveDecor("NOWHERE>MAP.DEC"); }), -999);
  EXPECT_TRUE(Printed("Map error: cannot write NOWHERE>MAP.DEC !!!"));
}

TEST_F(DecorFile, ASecondLoadOnlyClearsNewlyLoaded) {
  ztest::LeanMap().Install();
  Save();
  const TMAPFACE* faces = SB_Var.Decor.Faces;
  EXPECT_EQ(SB_LoadDecor("OTHER.DEC"), 1);  // not even opened
  EXPECT_EQ(SB_Var.Decor.NewlyLoaded, 0);
  EXPECT_EQ(SB_Var.Decor.Loaded, 1);
  EXPECT_EQ(SB_Var.Decor.Faces, faces);
  SB_FreeDecor();
  EXPECT_EQ(SB_LoadDecor("MISSING.DEC"), 0);
  EXPECT_TRUE(SB_PrintedLines().empty());  // a missing file says nothing
  EXPECT_EQ(std::make_pair(SB_Var.Decor.Loaded, SB_Var.Decor.NewlyLoaded), std::make_pair(0, 1));
}

TEST_F(DecorFile, AnyOtherHeaderIsAnOldFormat) {
  ztest::LeanMap().Install();
  const std::string good = Save();
  SB_FreeDecor();
  std::vector<std::string> bad = {"Map file v1.06" + good.substr(14), good.substr(0, 15) + '\3' + good.substr(16),
                                  good.substr(0, 10)};
  for (int i = 0; i < 15; ++i) {
    bad.push_back(good);
    bad.back()[i] ^= 0x20;
  }
  for (const std::string& bytes : bad) {
    ztest::WriteFile(Path("BAD.DEC"), bytes);
    SB_ClearPrintedLines();
    EXPECT_EQ(SB_LoadDecor("BAD.DEC"), 0);
    EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Map error: old map format !!!"});
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
  }
}

// The accelerator keeps the cube map of a file that has it (its editors
// draw it), and takes a file without it, or unmarked, as polygons only.
TEST_F(DecorFile, TheAcceleratorReadsWhatTheFileHolds) {
  ztest::RichMap().Install();
  const std::string withCubes = Save();
  SB_FreeDecor();
  size_t end = 0;
  const std::vector<SavedSection> s = ReadSections(withCubes, true, &end);
  std::string withoutCubes = withCubes.substr(0, 15) + '\2' + withCubes.substr(16, 240) + withCubes.substr(s[7].countAt);
  ztest::WriteFile(Path("PVR.DEC"), withoutCubes);
  withoutCubes[15] = 0;  // unmarked: read as the current renderer writes
  ztest::WriteFile(Path("UNMARKED.DEC"), withoutCubes);
  SB_Var.Renderer = SB_RENDERER_PVR;
  const struct {
    const char* name;
    int32_t bigEntitys;
  } rows[] = {{"MAP.DEC", 2}, {"PVR.DEC", 0}, {"UNMARKED.DEC", 0}};
  for (const auto& r : rows) {
    ASSERT_EQ(SB_LoadDecor(r.name), 1) << r.name;
    const TDECOR& d = SB_Var.Decor;
    EXPECT_EQ(d.NbBigEntitys, r.bigEntitys) << r.name;
    EXPECT_EQ(d.BigEntitys != nullptr, r.bigEntitys > 0) << r.name;
    EXPECT_EQ(std::make_pair(d.NbFacePolys, SB_Var.NbTextures), std::make_pair(6, 300)) << r.name;
    SB_FreeDecor();
  }
}

TEST_F(DecorFile, FreeingLeavesNoBlockCountOrCopy) {
  ztest::RichMap().Install();
  SB_Var.GameHeap = LS_GetHeap(1 << 16);
  const uint32_t free = LS_GetFreeMem();
  SB_FreeDecor();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Var.GameHeap, 0u);
  EXPECT_GT(LS_GetFreeMem(), free);
  const TDECOR& d = SB_Var.Decor;
  EXPECT_EQ(d.NbBigEntitys + d.NbFaces + d.NbFacePolys + d.NbCube10Polys + d.NbCubes + d.NbMapFaces, 0);
  EXPECT_EQ(SB_Var.NbCube10Polys + SB_Var.NbTextures + d.NbNames2 + d.Loaded, 0);
  EXPECT_EQ(d.Cubes, nullptr);
  EXPECT_EQ(SB_Var.Cube10Polys, nullptr);
}

}  // namespace
