// The scene reader: lines, materials, objects and their errors, chaining
// and the load's messages.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "system/file.h"
#include "platform/window.h"
#include "tests/track/track_fixture.h"
#include "track/scene.h"

namespace {

// One triangle object with the given corner lines and a material line.
std::string Object(const std::string& name, const std::vector<std::string>& vertices,
                   const std::string& material = "Material:\"ROAD C\"", const std::string& face = "Face 0: A:0 B:1 C:2") {
  std::string s = "Named object: \"" + name + "\"\r\nTri-mesh, Vertices: " + std::to_string(vertices.size()) +
                  " Faces: 1\r\nVertex list:\r\n";
  for (const std::string& v : vertices) s += v + "\r\n";
  return s + "Face list:\r\n" + face + "\r\n" + material + "\r\n";
}
const std::vector<std::string> kTriangle = {"Vertex 0: X:0 Y:0 Z:0 U:0 V:0", "Vertex 1: X:1 Y:0 Z:0 U:1 V:0",
                                            "Vertex 2: X:0 Y:1 Z:0 U:0 V:1"};

// Scenes are read from C:>GAME, so that "..>ASC>" is C:>ASC.
class Scene : public ztest::TrackTest {
 protected:
  void SetUp() override {
    ztest::TrackTest::SetUp();
    ztest::WriteFile(Path("GAME/KEEP"), "");
    ASSERT_EQ(LS_SetCurrentDir(">GAME"), 1);
  }
  void TearDown() override {
    SB_FreeTLMAP(map_);
    ztest::TrackTest::TearDown();
  }
  TLMAP* Load(const std::string& text, const char* name = "S.ASC") {
    ztest::WriteFile(Path(std::string("GAME/") + name), text);
    SB_ClearPrintedLines();
    SB_FreeTLMAP(map_);
    map_ = SB_LoadAsciiMap(name);
    return map_;
  }
  int Count(const std::string& line) {
    int n = 0;
    for (const std::string& l : SB_PrintedLines()) n += l == line;
    return n;
  }
  TLMAP* map_ = nullptr;
};

TEST(SceneLines, ReaderSplitsCleansAndLimits) {
  struct Row {
    std::string text;
    std::vector<std::string> lines;
    bool tooLong;
  } rows[] = {
      {"A\rB\nC\r\nD", {"A", "B", "C", "D"}, false},
      {"A\r\n\r\n\tX \t  Y  \n", {"A", "X Y "}, false},
      {std::string(255, 'x') + "\n", {std::string(255, 'x')}, false},
      {"A\n" + std::string(256, 'x') + "\nB", {"A"}, true},
      {"", {}, false},
  };
  for (const Row& r : rows) {
    TASCIIREADER reader;
    SB_InitAsciiReader(&reader, r.text.c_str());
    std::vector<std::string> got;
    while (SB_ReadAsciiLine(&reader)) got.push_back(reader.Line);
    EXPECT_EQ(got, r.lines) << r.text.substr(0, 20);
    EXPECT_EQ(reader.TooLong, r.tooLong) << r.text.substr(0, 20);
  }
}

TEST(SceneLines, MaterialNamesAndFlags) {
  struct Row {
    const char* text;
    std::string name, flags;
  } rows[] = {{"ROAD C\"", "ROAD", "C"},     {"ROAD ZC\"", "ROAD", "CZ"},  {"ABCDEFGHIJ C\"", "ABCDEFGH", "C"},
              {"ROAD\"", "ROAD", ""},         {"MUR1 M\"", "MUR1", "M"},    {"R \xC9Z\"", "R", ""}};
  for (const Row& r : rows) {
    char entry[15] = {};
    std::memcpy(entry, r.text, std::min<size_t>(std::strlen(r.text), 15));
    SB_ParseMaterialName(entry);
    EXPECT_EQ(std::string(entry, strnlen(entry, 8)), r.name) << r.text;
    EXPECT_EQ(std::string(entry + 8, strnlen(entry + 8, 7)), r.flags) << r.text;
  }
}

TEST_F(Scene, LowerCaseSceneConvertsCoordinatesAndReadsMaterials) {
  std::string text = Object("a", {"vertex 0: x:1 y:2 z:3 u:0.25 v:0.5", "Vertex 1: X:2 Y:2 Z:3 U:0 V:0",
                                  "Vertex 2: X:1 Y:3 Z:3 U:0 V:0"},
                            "material:\"road c\"");
  text += Object("b", kTriangle, "Material: \"mur1 m\"");  // a blank after the colon
  text += Object("c", kTriangle, "Material:\"" + std::string(40, 'W') + "\xE9\xFF " + std::string(40, 'F') + "\"");
  ASSERT_TRUE(Load(text));
  ASSERT_EQ(map_->NbFaces, 3u);
  EXPECT_EQ(std::string(map_->Faces[2].Material, 15), std::string("WWWWWWWW\0\0\0\0\0\0\0", 15));
  const TLMAPVERTEX& v = map_->Faces[0].V[0];
  EXPECT_EQ(std::vector<double>({v.X, v.Y, v.Z, v.U, v.V}), std::vector<double>({10, -30, 20, 0.25, -0.5}));
  EXPECT_EQ(std::string(map_->Faces[0].Material, 15), std::string("ROAD\0\0\0\0C\0\0\0\0\0\0", 15));
  EXPECT_EQ(std::string(map_->Faces[1].Material, 5), std::string("MUR1\0", 5));
  EXPECT_EQ(map_->Faces[1].Material[8], 'M');
  EXPECT_EQ(SB_PrintedLines().front(), "...Loading map data S.ASC ...");
  EXPECT_TRUE(Printed("......Transformed objects: 3"));
}

// Each broken object loses its faces, says why, and the next is read.
TEST_F(Scene, EveryObjectErrorDropsItsObjectAndReadsTheNext) {
  const std::string v0 = "Vertex 0: X:0 Y:0 Z:0 U:0 V:0", v1 = "Vertex 1: X:1 Y:0 Z:0 U:0 V:0";
  struct Row {
    std::string object, message;
  } rows[] = {
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 0 Faces: 1\r\n", "no vertices"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: -1 Faces: 1\r\n", "no vertices"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 0\r\n", "no faces"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 2147483647 Faces: 1\r\n", "more than 16384 vertices"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 8193\r\n", "more than 8192 faces"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 1\r\nFace list:\r\n", "no vertice list"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 1\r\nVertex list:\r\n" + v0 + "\r\n", "truncated vertice list"},
      {Object("E", {v0, v1, "Vertex 3: X:0 Y:1 Z:0 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex -1: X:0 Y:1 Z:0 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex 2: X:nan Y:1 Z:0 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex 2: X:inf Y:1 Z:0 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex 2: X:1e300 Y:1 Z:0 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex 2: X:0 Y:1 U:0 V:0"}), "invalid vertice defined"},
      {Object("E", {v0, v1, "Vertex 1: X:0 Y:1 Z:0 U:0 V:0"}), "vertice defined twice"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 1\r\nVertex list:\r\n" + v0 + "\r\n" + v1 +
           "\r\nVertex 2: X:0 Y:1 Z:0\r\n",
       "no faces list"},
      {Object("E", kTriangle, "", "Face 1: A:0 B:1 C:2"), "invalid face defined"},
      {Object("E", kTriangle, "", "Face 2147483648: A:0 B:1 C:2"), "invalid face defined"},
      {Object("E", kTriangle, "", "Face 0: A:0 B:1 C:3"), "face uses undefined vertex"},
      {Object("E", kTriangle, "", "Face 0: A:-1 B:1 C:2"), "face uses undefined vertex"},
      {Object("E", {v0, v1, "Vertex 2: X:200.01 Y:1 Z:0 U:0 V:0"}), "illegal face size"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 2\r\nVertex list:\r\n" + v0 + "\r\n" + v1 +
           "\r\nVertex 2: X:0 Y:1 Z:0\r\nFace list:\r\nFace 0: A:0 B:1 C:2\r\nFace 0: A:0 B:1 C:2\r\n",
       "face defined twice"},
      {"Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 2\r\nVertex list:\r\n" + v0 + "\r\n" + v1 +
           "\r\nVertex 2: X:0 Y:1 Z:0\r\nFace list:\r\nFace 0: A:0 B:1 C:2\r\n",
       "truncated faces list"},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(Load(r.object + Object("GOOD", kTriangle))) << r.message;
    EXPECT_EQ(map_->NbFaces, 1u) << r.message;
    EXPECT_TRUE(Printed("......Map error object \"E\": " + r.message + " !!!")) << r.message;
  }
}

TEST_F(Scene, UnmappedFacesAreReportedOnceAndGetTheFixedMapping) {
  const std::string twoFaces = "Named object: \"M\"\r\nTri-mesh, Vertices: 3 Faces: 2\r\nVertex list:\r\n" +
                               kTriangle[0] + "\r\n" + kTriangle[1] + "\r\nVertex 2: X:0 Y:1 Z:0 U:300 V:0\r\n" +
                               "Face list:\r\nFace 0: A:0 B:1 C:2\r\nFace 1: A:0 B:1 C:2\r\n";
  struct Row {
    std::string text, message;
  } rows[] = {{twoFaces, "face without mapping"},
              {twoFaces.substr(0, twoFaces.find("Face 1")) + "Material:\"A\"\r\nFace 1: A:0 B:1 C:2\r\nMaterial:\"A\"\r\n",
               "face with illegal mapping"}};
  for (const Row& r : rows) {
    ASSERT_TRUE(Load(r.text));
    ASSERT_EQ(map_->NbFaces, 2u);
    EXPECT_EQ(Count("......Map error object \"M\": " + r.message + " !!!"), 1) << r.message;
    const TLMAPVERTEX* v = map_->Faces[1].V;
    EXPECT_EQ(std::vector<double>({v[0].U, v[0].V, v[1].U, v[1].V, v[2].U, v[2].V}),
              std::vector<double>({0.1, 0.1, 0.5, 0.1, 0.5, 0.5}));
  }
}

TEST_F(Scene, TheRoadWritersLayoutLoadsWithoutMappingErrors) {
  const std::string text =
      "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\r\n\r\nNamed object: \"road0\"\r\n"
      "Tri-mesh, Vertices: 3     Faces: 1\r\nVertex list:\r\n"
      "Vertex 0:  X:0.000000     Y:0.000000     Z:0.000000     U:0.000000     V:0.000000\r\n"
      "Vertex 1:  X:1.000000     Y:0.000000     Z:0.000000     U:1.000000     V:0.000000\r\n"
      "Vertex 2:  X:0.000000     Y:1.000000     Z:0.000000     U:0.000000     V:1.000000\r\n"
      "Mapped\r\nFace list:\r\nFace 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\r\nMaterial: \"mur1 m\"\r\nSmoothing: 1\r\n";
  ASSERT_TRUE(Load(text));
  ASSERT_EQ(map_->NbFaces, 1u);
  EXPECT_EQ(std::string(map_->Faces[0].Material, 9), std::string("MUR1\0\0\0\0M", 9));
  for (const std::string& l : SB_PrintedLines()) EXPECT_EQ(l.find("Map error"), std::string::npos) << l;
}

TEST_F(Scene, ChainedFilesAreReadOnceEach) {
  ztest::WriteFile(Path("ASC/NEXT.ASC"), Object("B", kTriangle) + Object("$S", {}));
  ASSERT_TRUE(Load(Object("A", kTriangle) + "Named object: \"$NEXT\"\r\nTri-mesh, Vertices: 0 Faces: 0\r\n"));
  EXPECT_EQ(map_->NbFaces, 2u);
  EXPECT_TRUE(Printed("...Loading map data ..>ASC>NEXT.ASC ..."));
  EXPECT_TRUE(Printed("......Transformed objects: 2 (total: 4)"));
  EXPECT_TRUE(Printed("...Loading map data ..>ASC>S.ASC ..."));  // S.ASC here is another file
  ztest::WriteFile(Path("ASC/S.ASC"), Object("C", kTriangle) + Object("$NEXT", {}));
  ASSERT_TRUE(Load(Object("A", kTriangle) + Object("$NEXT", {})));
  EXPECT_EQ(map_->NbFaces, 3u);
  EXPECT_TRUE(Printed("......Map error: file ..>ASC>NEXT.ASC already loaded !!!"));
  ASSERT_TRUE(Load(Object("A", kTriangle) + Object("$MISSING", {})));
  EXPECT_EQ(map_->NbFaces, 1u);
}

TEST_F(Scene, FailedLoadsFreeEverything) {
  struct Row {
    std::string text, message;
  } rows[] = {{"", "......Map error: no faces !!!"},
              {std::string("\x01\xFF\x7F garbage\0more", 17), "......Map error: no faces !!!"},
              {Object("A", kTriangle) + std::string(100000, 'x'), "......Map error: line too long !!!"},
              {Object("A", kTriangle) + "Named object: \"E\"\r\nTri-mesh, Vertices: 3 Faces: 1\r\nVertex list:\r\n",
               "......Map error object \"E\": truncated vertice list !!!"}};
  for (const Row& r : rows) {
    Load(r.text);
    EXPECT_TRUE(Printed(r.message)) << r.message;
  }
  EXPECT_EQ(Load(Object("A", kTriangle)) != nullptr, true);
  SB_FreeTLMAP(map_);
  map_ = nullptr;
  // Every cut of a good scene loads or fails cleanly.
  const std::string whole = Object("A", kTriangle) + Object("B", kTriangle);
  for (size_t at = 0; at < whole.size(); at += 7) Load(whole.substr(0, at));
  EXPECT_EQ(SB_LoadAsciiMap("MISSING.ASC"), nullptr);
}

TEST_F(Scene, EscapeStopsTheLoadAndTheClockPacesTheProgress) {
  ztest::WriteFile(Path("GAME/S.ASC"), Object("A", kTriangle));
  plat::SetKeyState(SB_KEY_ESCAPE, true);
  EXPECT_EQ(SB_LoadAsciiMap("S.ASC"), nullptr);
  plat::SetKeyState(SB_KEY_ESCAPE, false);
  EXPECT_TRUE(Printed("Map loading stopped !!!"));
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(Scene, MoreThanTheMapsFacesDropsTheObject) {
  auto object = [](int faces) {
    std::string s = "Named object: \"BIG\"\r\nTri-mesh, Vertices: 3 Faces: " + std::to_string(faces) +
                    "\r\nVertex list:\r\n" + kTriangle[0] + "\r\n" + kTriangle[1] + "\r\n" + kTriangle[2] +
                    "\r\nFace list:\r\n";
    for (int i = 0; i < faces; ++i) s += "Face " + std::to_string(i) + ": A:0 B:1 C:2\r\nMaterial:\"R\"\r\n";
    return s;
  };
  map_ = SB_Init3dMap();
  map_->Faces = static_cast<TLMAPFACE*>(SB_GetMem(SB_MAXMAPFACES * sizeof(TLMAPFACE), "test"));
  map_->Capacity = SB_MAXMAPFACES;
  map_->NbFaces = SB_MAXMAPFACES - 1000;
  auto* work = static_cast<TSCENEWORK*>(SB_GetMem(sizeof(TSCENEWORK), "test"));
  std::string text = object(1001) + object(1000);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  TASCIIREADER reader;
  SB_InitAsciiReader(&reader, text.c_str());
  while (SB_ReadANewObject(map_, &reader, work)) {
  }
  SB_Release(work);
  EXPECT_EQ(map_->NbFaces, static_cast<uint32_t>(SB_MAXMAPFACES));
  EXPECT_EQ(Count("......Map error object \"BIG\": more than 200000 faces in the map !!!"), 1);
}

}  // namespace
