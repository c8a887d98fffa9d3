// Object paths of the track editor on a ring of road: clicks recorded (the
// first twice, a click taken by a button left out, clicks over no ground),
// the ".TRJ" text, ".CRD" samples and their ".TAB" records to the path's
// end, an empty recording, and names that cannot be created; the exports
// read back by the decor-script reader.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "datagen/carmodels.h"
#include "datagen/decorprops.h"
#include "engine3d/matrix.h"
#include "scenery/decorobjects.h"
#include "scenery/devenv.h"
#include "tests/support/testmap.h"
#include "tests/tools/tools_fixture.h"
#include "tools/trackedit/trackedit.h"
#include "track/ground.h"

namespace {

class ObjectPaths : public ztest::ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    std::filesystem::create_directories(Path("TXT"));
    std::snprintf(names_[0], sizeof names_[0], "TXT>WINDMILL");
    std::snprintf(names_[1], sizeof names_[1], "NOWHERE>BALLOON");
    SB_Var.DecorScriptNames = names_;
    SB_Var.NbDecorObjects = 2;
    SB_Var.EditTileSize = 16;
    SB_Var.Recording = 1;
    StartMoveRecord();
    // Road from 10 to 30 m round the origin, found by the polygon cells'
    // ground query: the clicks at (12.8, 12.8), (20.8, 12.8) and (20.8, 4.8)
    // land on it, (76.8, 12.8) beyond it.
    ztest::BuildRingMap({20.0, 10.0, 0.6, 1.0, 48});
    SB_Var.Renderer = SB_RENDERER_PVR;
    BuildListXZYPoly();
  }
  void TearDown() override {
    SB_FreeListXZYPoly();
    ztest::FreeRingMap();
    SB_Var.Renderer = 0;
    SB_SaveMoveRecord();  // releases the buffer whatever happened
    SB_Var.DecorScriptNames = nullptr;
    SB_Var.NbDecorObjects = 0;
    ToolsTest::TearDown();
  }
  // A left click at the pixel: pressed in one reading, released in the next.
  static void Click(int32_t x, int32_t y, int32_t drag = 0) {
    SB_Var.MouseX = x, SB_Var.MouseY = y, SB_Var.PrevButtons = 0, SB_Var.Buttons = 1, SB_Var.EditDrag = drag;
    SB_AddMovePoint();
    SB_Var.PrevButtons = 1, SB_Var.Buttons = 0;
    SB_AddMovePoint();
  }
  char names_[2][SB_DECORNAMESIZE] = {};
};

TEST_F(ObjectPaths, ThreeClicksExportAFourCommandBlockAndMetreSamples) {
  Click(320, 240);
  Click(500, 100, 1);  // taken by a panel button
  Click(330, 240, 3);  // with a rubber box started
  Click(330, 250);
  ASSERT_EQ(SB_Var.NbMovePoints, 4);
  EXPECT_DOUBLE_EQ(SB_MovePointDistance(1), 8.0);
  EXPECT_DOUBLE_EQ(SB_MovePointDistance(3), 0.0);
  SB_SaveMoveRecord();
  EXPECT_EQ(SB_Var.MoveRecord, nullptr);
  EXPECT_EQ(ztest::ReadFile(Path("TXT/WINDMILL.TRJ")),
            "; OBJECT PATH: 'TXT>WINDMILL'\n; 4 coordinates\n{\n"
            "\t{\n\t\tANGLE\t0,90,0\n\t\tSPEED\t0.5,0.5,0.5\n\t\tXYZ\t  12.8,     0,  12.8\n\t\tTIME\t    0\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  12.8,     0,  12.8\n\t\tTIME\t    8\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  20.8,     0,  12.8\n\t\tTIME\t    8\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  20.8,     0,   4.8\n\t\tTIME\t    0\n\t}\n"
            "}\n");
  const std::string crd = ztest::ReadFile(Path("TXT/WINDMILL.CRD"));
  const std::string tab = ztest::ReadFile(Path("TXT/WINDMILL.TAB"));
  std::vector<std::string> samples;
  for (size_t at = 0, end; (end = crd.find('\n', at)) != std::string::npos; at = end + 1)
    if (crd[at] == '[' && crd[at + 1] != 'C') samples.push_back(crd.substr(at, end - at));
  ASSERT_FALSE(samples.empty());
  EXPECT_EQ(samples.front(), "[0] x:12.8 y:0 z:12.8 ");
  EXPECT_GE(samples.size(), 16u);  // about a metre apart over 16 m
  EXPECT_LE(samples.size(), 20u);
  // The samples run to the path's end: the last line and record are the
  // last click, after the four points' 2000 steps each.
  EXPECT_EQ(samples.back(), "[8000] x:20.8 y:0 z:4.8 ");
  ASSERT_EQ(tab.size(), 24 * samples.size());
  double first[3], last[3];
  std::memcpy(first, tab.data(), sizeof first);
  std::memcpy(last, tab.data() + tab.size() - 24, sizeof last);
  EXPECT_DOUBLE_EQ(first[0], 12.8);
  EXPECT_DOUBLE_EQ(first[1], 0.0);
  EXPECT_DOUBLE_EQ(last[0], 20.8);
  EXPECT_DOUBLE_EQ(last[2], 4.8);
}

// A click over no ground starts no path; once started, the path keeps the
// height of the point before it there, also past the map's edge and past
// what a map coordinate holds. No file holds the no-ground height.
TEST_F(ObjectPaths, ClicksOverNoGroundTakeTheHeightBeforeThem) {
  const struct {
    const char* what;
    int32_t scrollX, x, y;
    int32_t points;
    double height;  // metres, of the last point
  } rows[] = {
      {"no ground first", 0, 400, 240, 0, 0.0},
      {"on the road", 0, 320, 240, 2, 0.0},
      {"no ground then", 0, 400, 240, 3, 2.5},
      {"past the map's edge", 3000, 320, 240, 4, 2.5},
      {"past a map coordinate", 600000, 320, 240, 5, 2.5},
  };
  for (const auto& r : rows) {
    SB_Var.EditScrollX = r.scrollX;
    Click(r.x, r.y);
    ASSERT_EQ(SB_Var.NbMovePoints, r.points) << r.what;
    if (r.points) {
      EXPECT_EQ(SB_Var.MoveRecord[r.points - 1].y, r.height) << r.what;
    }
    // A point before with a height of its own, that the next ones keep.
    if (r.points) SB_Var.MoveRecord[r.points - 1].y = 2.5;
  }
  SB_Var.EditScrollX = 0;
  SB_SaveMoveRecord();
  const std::string trj = ztest::ReadFile(Path("TXT/WINDMILL.TRJ")), crd = ztest::ReadFile(Path("TXT/WINDMILL.CRD"));
  EXPECT_EQ(trj.find(", 312.5,"), std::string::npos);
  EXPECT_NE(trj.find(",   2.5,"), std::string::npos);
  EXPECT_EQ(crd.find("y:312.5"), std::string::npos);
  EXPECT_NE(crd.find("y:2.5"), std::string::npos);
  const std::string tab = ztest::ReadFile(Path("TXT/WINDMILL.TAB"));
  for (size_t at = 0; at + 24 <= tab.size(); at += 24) {
    double y = 0;
    std::memcpy(&y, tab.data() + at + 8, 8);
    EXPECT_LT(std::fabs(y), 3.0) << at / 24;
  }
}

TEST_F(ObjectPaths, ARecordingStoppedBeforeAnyClickWritesTheBareBlock) {
  SB_SaveMoveRecord();
  EXPECT_EQ(ztest::ReadFile(Path("TXT/WINDMILL.TRJ")), "; OBJECT PATH: 'TXT>WINDMILL'\n; 0 coordinates\n{\n}\n");
  EXPECT_EQ(ztest::ReadFile(Path("TXT/WINDMILL.TAB")), "");
}

TEST_F(ObjectPaths, AFolderThatDoesNotExistIsReportedAndTheBufferReleased) {
  SB_NextMoveObject();
  EXPECT_EQ(SB_Var.MoveObject, 1);
  Click(320, 240);
  SB_SaveMoveRecord();
  EXPECT_EQ(Printed(), (std::vector<std::string>{"Error creating file NOWHERE>BALLOON.TRJ !!!",
                                                 "Error creating file NOWHERE>BALLOON.TAB !!!"}));
  EXPECT_EQ(SB_Var.MoveRecord, nullptr);
  SB_NextMoveObject();
  EXPECT_EQ(SB_Var.MoveObject, 0);
  // A name of 63 characters: the files are named within bounds.
  std::snprintf(names_[0], sizeof names_[0], "%s", std::string(63, 'N').c_str());
  StartMoveRecord();
  SB_SaveMoveRecord();
  EXPECT_EQ(ztest::ReadFile(Path(std::string(63, 'N') + ".TRJ")).substr(0, 15), "; OBJECT PATH: ");
}

// The decor-script reader takes the ".TRJ" as one block of its four
// commands, and a TABLE command names the ".TAB" whole.
TEST_F(ObjectPaths, TheDecorScriptReaderReadsTheExportsBack) {
  Click(320, 240);
  Click(330, 240);
  Click(330, 250);
  SB_SaveMoveRecord();
  const size_t records = ztest::ReadFile(Path("TXT/WINDMILL.TAB")).size() / 24;
  ASSERT_GT(records, 10u);
  SB_Var.DecorScriptNames = nullptr;
  SB_Var.NbDecorObjects = 0;
  for (const datagen::CarModel& prop : datagen::DecorProps()) ASSERT_TRUE(datagen::WriteCarModel(root_, prop));
  E3D_MatFromAngles(SB_Var.CarAxisMatrix, std::numbers::pi / 2, std::numbers::pi / 2, 0.0);
  SB_Var.DecorObjectsOn = 1;
  ztest::WriteFile(Path("TXT/TABLE.SCR"), "{\n\t{\n\t\tTABLE \"txt>windmill.tab\"\n\t\tTIME 4\n\t}\n}\n");
  ztest::WriteFile(Path("TXT/LIST.TXT"), "OBJECT \"obc>decor>moulin.obc\",\"txt>windmill.trj\",0\r\n"
                                         "OBJECT \"obc>decor>moulin.obc\",\"txt>table.scr\",1\r\n");
  LoadObjectScript("txt>list.txt");
  ASSERT_EQ(SB_Var.NbDecorObjects, 2);
  const TDECOROBJ& path = SB_Var.DecorObjects[0];
  ASSERT_EQ(path.NbBlocks, 1);
  ASSERT_EQ(path.Blocks[0].NbCommands, 4);
  const TDECORCMD& first = path.Blocks[0].Commands[0];
  EXPECT_EQ(first.Flags & (DECOR_ANGLE | DECOR_SPEED | DECOR_XYZ | DECOR_TIME),
            DECOR_ANGLE | DECOR_SPEED | DECOR_XYZ | DECOR_TIME);
  EXPECT_DOUBLE_EQ(first.Angles[1], 90.0);
  EXPECT_FLOAT_EQ(float(first.Position[0]), 12.8f);  // triples are read at single precision
  EXPECT_FLOAT_EQ(float(path.Blocks[0].Commands[2].Position[0]), 20.8f);
  EXPECT_TRUE(path.Blocks[0].Commands[3].Flags & DECOR_AUTOANGLE);
  const TDECORCMD& table = SB_Var.DecorObjects[1].Blocks[0].Commands[0];
  EXPECT_TRUE(table.Flags & DECOR_TABLE);
  EXPECT_EQ(table.TableCount, static_cast<int32_t>(records));
  SB_FreeDecorNames();
  SB_FreeDecorObjects();
  SB_Var.DecorObjectsOn = 0;
}

}  // namespace
