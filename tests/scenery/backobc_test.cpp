// Background objects: the lines of "backobc.txt", the objects it loads and
// refuses, bad lists, the race's instances with their textures back in
// RGB, and everything given back.
#include "scenery/backobc.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "datagen/modelwrite.h"
#include "datagen/meshes.h"
#include "datagen/mountains.h"
#include "engine3d/matrix.h"
#include "scenery/devenv.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;
using namespace std::string_literals;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  char line[SB_TEXTLINESIZE];
  const char* end = text.data() + text.size();
  for (const char* p = text.data(); (p = GetNextTextLine(p, end, line));) out.emplace_back(line);
  return out;
}

TEST(TextLines, EveryLineEndAndTheLastLineWithoutOne) {
  struct Row {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {"a\rb\nc\r\nd\n\re", {"a", "b", "c", "d", "e"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},  // LF CR, then a line ended by LF
      {"", {}},
      {"x", {"x"}},
  };
  for (const Row& r : rows) EXPECT_EQ(Lines(r.text), r.lines) << r.text;
}

TEST(TextLines, LongLinesAreCutAndNulBytesKept) {
  const std::string text = std::string(100000, 'x') + "\r\nnext\r\n" + "a\0b"s;
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(SB_TEXTLINESIZE - 1, 'x'));
  EXPECT_EQ(lines[1], "next");
  EXPECT_EQ(lines[2], "a") << "the text ends at the NUL";
  char line[SB_TEXTLINESIZE];
  EXPECT_EQ(GetNextTextLine(text.data(), text.data(), line), nullptr);
}

class BackObcTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 16;
    SB_Var.VideoModes[0].Format = SB_Var.VideoModes[0].TextureFormat = BMAP_RGB555;
    E3D_MatFromAngles(SB_Var.CarAxisMatrix, M_PI / 2, M_PI / 2, 0.0);
    folder_ = root_ + "/OBC/BACKOBC";
    std::filesystem::create_directories(folder_);
    for (const datagen::BackObject& o : datagen::BackObjects()) ASSERT_TRUE(datagen::WriteBackObject(folder_, o));
  }
  void TearDown() override {
    DisposeBackObc();
    FreeBackObc();
    SceneryTest::TearDown();
  }
  void WriteList(const std::string& text) { std::ofstream(root_ + "/BACKOBC.TXT", std::ios::binary) << text; }
  // An object whose library holds no texture.
  void WritePlainObject(const std::string& name) {
    datagen::Model model;
    model.objects.push_back({name, 0, {}, datagen::kNoIndex});
    model.atomNames.push_back(name);
    model.library = name + ".MTL";
    const datagen::MaterialLibrary library{name + ".MTL", {}, {{{0, 0}, 1, 0}}, "MATR", {}, {}};
    ASSERT_TRUE(datagen::WriteBytes(folder_ + "/" + name + ".OBC", datagen::ObcBytes(model, {})));
    ASSERT_TRUE(datagen::WriteBytes(folder_ + "/" + name + ".ATM",
                                    datagen::AtmBytes(datagen::BoxMesh({name, 1000, 0, 64, 64}), {})));
    ASSERT_TRUE(datagen::WriteBytes(folder_ + "/" + name + ".MTL", datagen::MaterialBytes(library, {"v1.3", false})));
  }
  static MLIB* Library(OBJECT* o) { return o->Materials->Library; }
  std::string folder_;
};

TEST_F(BackObcTest, TheDefaultListLoadsItsMountains) {
  WriteList(datagen::BackObcList());
  LoadBackObcFile();
  SB_ClearPrintedLines();
  LoadBackObcFile();  // again: the first objects are not lost (nothing is left at the end)
  ASSERT_EQ(SB_Var.NbBackObcs, 3);
  std::vector<std::string> expected{"Loading background objects..."};
  const auto objects = datagen::BackObjects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const TBACKOBC& r = SB_Var.BackObcs[i];
    const std::string name = "OBC>BACKOBC>" + objects[i].name + ".OBC";
    expected.push_back("Loading object " + name + "...");
    EXPECT_EQ(r.Name, name);
    EXPECT_EQ((std::tuple{r.X, r.Y, r.Z}), (std::tuple{static_cast<float>(objects[i].x),
                                                       static_cast<float>(objects[i].y),
                                                       static_cast<float>(objects[i].z)}));
    ASSERT_NE(r.Object, nullptr);
    EXPECT_EQ(r.Instance, nullptr);
  }
  EXPECT_EQ(SB_PrintedLines(), expected);
}

// Each instance turned by the axes the race draws it with: its foot on the
// ground (world y 0, y pointing down), its peak its height above, its
// foot's reach about its radius around its place.
TEST_F(BackObcTest, TheDefaultMountainsStandUprightInTheRace) {
  WriteList(datagen::BackObcList());
  LoadBackObcFile();
  TransBackObc();
  const auto objects = datagen::BackObjects();
  ASSERT_EQ(SB_Var.NbBackObcs, static_cast<int32_t>(objects.size()));
  constexpr double kUnits = 60800.0;
  for (size_t i = 0; i < objects.size(); ++i) {
    SCOPED_TRACE(objects[i].name);
    const OBJECT* instance = SB_Var.BackObcs[i].Instance;
    ASSERT_NE(instance, nullptr);
    const TATOM* atom = instance->Atoms[OBJ_MAIN];
    ASSERT_NE(atom, nullptr);
    const float* m = instance->Orientation;
    double top = 0, foot = -1e18, reach = 0;
    for (int32_t p = 0; p < atom->NbPoints; ++p) {
      const TPOINT3D& q = atom->Points[p];
      const double x = m[0] * q.X + m[3] * q.Y + m[6] * q.Z, y = m[1] * q.X + m[4] * q.Y + m[7] * q.Z,
                   z = m[2] * q.X + m[5] * q.Y + m[8] * q.Z;
      top = std::min(top, y), foot = std::max(foot, y), reach = std::max(reach, std::hypot(x, z));
    }
    EXPECT_NEAR(foot, 0.0, 1.0);
    EXPECT_NEAR(top, -objects[i].height * kUnits, 0.01 * objects[i].height * kUnits);
    EXPECT_GT(reach, 0.85 * objects[i].radius * kUnits);
    EXPECT_LT(reach, 1.2 * objects[i].radius * kUnits);
  }
}

TEST_F(BackObcTest, TexturesAreHsvAfterLoadingAndRgbInEachInstance) {
  WriteList("OBC>BACKOBC>MONT1.OBC 1 2 3\n");
  LoadBackObcFile();
  ASSERT_EQ(SB_Var.NbBackObcs, 1);
  OBJECT* object = SB_Var.BackObcs[0].Object;
  BMAP* picture = Library(object)->Textures[0].Picture;
  ASSERT_NE(picture, nullptr);
  // The picture as written, in RGB, for comparison.
  BMAP* rgb = SB_LoadTga("OBC>BACKOBC>MONT1.TGA");
  ASSERT_NE(rgb, nullptr);
  BMAP* hsv = SB_CreateBmap(rgb->SizeX, rgb->SizeY, 24, 0, "hsv");
  SB_Bitmove(rgb, hsv, 0, 0, rgb->SizeX - 1, rgb->SizeY - 1, 0, 0);
  SB_BmapRGBtoHSV(hsv);
  for (auto [x, y] : {std::pair{5, 60}, {40, 20}})
    EXPECT_EQ(LS_GetPixel(picture, x, y), LS_GetPixel(hsv, x, y)) << "the loaded picture holds HSV";
  SB_FreeBmap(hsv);

  TransBackObc();
  OBJECT* instance = SB_Var.BackObcs[0].Instance;
  ASSERT_NE(instance, nullptr);
  EXPECT_NE(instance->Materials, object->Materials) << "a library of its own";
  for (int32_t k = 0; k < 9; ++k) EXPECT_EQ(instance->Orientation[k], static_cast<float>(SB_Var.CarAxisMatrix[k])) << k;
  BMAP* texture = Library(instance)->Textures[0].Bitmap;
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Depth, 16);
  for (auto [x, y] : {std::pair{0, 0}, {5, 60}, {40, 20}, {63, 63}}) {
    const uint32_t want = LS_GetPixel(rgb, x, y), got = LS_GetPixel(texture, x, y);
    // 5-5-5 against 8-8-8, dithered: within two steps of 8 a component.
    EXPECT_NEAR(static_cast<int>(got >> 10 & 31) * 8, static_cast<int>(want >> 16 & 255), 16) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(got >> 5 & 31) * 8, static_cast<int>(want >> 8 & 255), 16) << x << "," << y;
    EXPECT_NEAR(static_cast<int>(got & 31) * 8, static_cast<int>(want & 255), 16) << x << "," << y;
  }
  EXPECT_EQ(LS_GetPixel(picture, 5, 60), LS_GetPixel(Library(object)->Textures[0].Picture, 5, 60))
      << "the object keeps HSV";
  SB_FreeBmap(rgb);
  for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i)
    EXPECT_STRNE(SB_BmapOwners[i].Owner, "Mountains") << "the work bitmap is freed";
  DisposeBackObc();
  EXPECT_EQ(SB_Var.BackObcs[0].Instance, nullptr);
  EXPECT_NE(SB_Var.BackObcs[0].Object, nullptr) << "the object stays for the next race";
  FreeBackObc();
  EXPECT_EQ(SB_Var.NbBackObcs, 0);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
}

TEST_F(BackObcTest, ALibraryWithoutTexturesIsFine) {
  WritePlainObject("PLAIN");
  WriteList("OBC>BACKOBC>PLAIN.OBC 0 0 0\r\n");
  LoadBackObcFile();
  ASSERT_EQ(SB_Var.NbBackObcs, 1);
  TransBackObc();
  EXPECT_NE(SB_Var.BackObcs[0].Instance, nullptr);
  EXPECT_EQ(Library(SB_Var.BackObcs[0].Instance)->NbTextures, 0u);
}

TEST_F(BackObcTest, TheEleventhIsRefusedAndAMissingFileDoesNotStopTheList) {
  std::string list;
  for (int32_t i = 0; i < 11; ++i) list += "OBC>BACKOBC>MONT" + std::to_string(i % 3 + 1) + ".OBC 0 0 0\r\n";
  list.insert(0, "OBC>BACKOBC>NOWHERE.OBC 1 1 1\r\n");
  WriteList(list);
  LoadBackObcFile();
  EXPECT_EQ(SB_Var.NbBackObcs, 10);
  const auto& lines = SB_PrintedLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Loading object OBC>BACKOBC>NOWHERE.OBC...");
  EXPECT_EQ(lines[2], "Error, file OBC>BACKOBC>NOWHERE.OBC not found !!!");
  EXPECT_EQ(lines[3], "Loading object OBC>BACKOBC>MONT1.OBC...");
  EXPECT_EQ(lines.back(), "Can't load OBC>BACKOBC>MONT2.OBC, too many objects...");
}

TEST_F(BackObcTest, BadListsAreBoundedSkippedOrRefused) {
  std::string binary;
  for (int32_t i = 0; i < 4096; ++i) binary += static_cast<char>(i * 37 % 256);
  struct Row {
    const char* what;
    std::string text;
    int32_t loaded;
  };
  const std::vector<Row> rows = {
      {"100,000 characters", std::string(100000, 'A') + " 1 2 3\r\nOBC>BACKOBC>MONT1.OBC 1 2 3", 1},
      {"NUL bytes", "OBC>BACKOBC>MONT1.OBC\0 1 2 3\nOBC>BACKOBC>MONT2.OBC 1 2\0003\n"s, 0},
      {"binary", binary, 0},
      {"nan", "OBC>BACKOBC>MONT1.OBC nan 0 0\nOBC>BACKOBC>MONT2.OBC 1e400 0 0\nOBC>BACKOBC>MONT3.OBC 1 2 3\n", 1},
      {"missing numbers", "OBC>BACKOBC>MONT1.OBC 1 2\nOBC>BACKOBC>MONT1.OBC\n\n   \nOBC>BACKOBC>MONT1.OBC 1 x 3\n", 0},
      {"corrupt object", "OBC>BACKOBC>BROKEN.OBC 0 0 0\nOBC>BACKOBC>MONT1.OBC 1 2 3\n", 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::ofstream(folder_ + "/BROKEN.OBC", std::ios::binary) << "POLDEX ---- OBJC v1.1 and then nothing useful";
    WriteList(r.text);
    SB_ClearPrintedLines();
    LoadBackObcFile();
    EXPECT_EQ(SB_Var.NbBackObcs, r.loaded);
    for (const std::string& line : SB_PrintedLines()) EXPECT_LT(line.size(), 400u);
    FreeBackObc();
  }
  std::string fifty;
  for (int32_t i = 0; i < 50; ++i) fifty += "OBC>BACKOBC>MONT1.OBC 0 0 0\n";
  WriteList(fifty);
  SB_ClearPrintedLines();
  LoadBackObcFile();
  EXPECT_EQ(SB_Var.NbBackObcs, 10);
  EXPECT_EQ(SB_PrintedLines().size(), 1u + 10u + 40u);
}

TEST_F(BackObcTest, WithoutTheListNothingHappens) {
  LoadBackObcFile();
  EXPECT_EQ(SB_Var.NbBackObcs, 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
  TransBackObc();
  DisposeBackObc();
}

TEST(BackObcData, TheDataTreesListIsDatagens) {
  std::ifstream in(std::string(ZENTROVA_SOURCE_DIR) + "/data/backobc.txt", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, datagen::BackObcList());
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

}  // namespace
