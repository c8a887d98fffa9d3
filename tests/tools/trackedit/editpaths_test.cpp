// Object paths of the track editor: clicks recorded (the first twice, a
// click taken by a button left out), the ".TRJ" text, ".CRD" samples and
// their ".TAB" records, an empty recording, and names that cannot be
// created; the exports read back by the decor-script reader.
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
#include "tests/tools/tools_fixture.h"
#include "tools/trackedit/trackedit.h"

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
  }
  void TearDown() override {
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
  // Over no ground the height is that of "no ground": 312.5 m.
  EXPECT_EQ(ztest::ReadFile(Path("TXT/WINDMILL.TRJ")),
            "; OBJECT PATH: 'TXT>WINDMILL'\n; 4 coordinates\n{\n"
            "\t{\n\t\tANGLE\t0,90,0\n\t\tSPEED\t0.5,0.5,0.5\n\t\tXYZ\t  12.8, 312.5,  12.8\n\t\tTIME\t    0\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  12.8, 312.5,  12.8\n\t\tTIME\t    8\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  20.8, 312.5,  12.8\n\t\tTIME\t    8\n\t}\n"
            "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t  20.8, 312.5,   4.8\n\t\tTIME\t    0\n\t}\n"
            "}\n");
  const std::string crd = ztest::ReadFile(Path("TXT/WINDMILL.CRD"));
  const std::string tab = ztest::ReadFile(Path("TXT/WINDMILL.TAB"));
  std::vector<std::string> samples;
  for (size_t at = 0, end; (end = crd.find('\n', at)) != std::string::npos; at = end + 1)
    if (crd[at] == '[' && crd[at + 1] != 'C') samples.push_back(crd.substr(at, end - at));
  ASSERT_FALSE(samples.empty());
  EXPECT_EQ(samples.front(), "[0] x:12.8 y:312.5 z:12.8 ");
  EXPECT_GE(samples.size(), 16u);  // about a metre apart over 16 m
  EXPECT_LE(samples.size(), 20u);
  ASSERT_EQ(tab.size(), 24 * samples.size());
  double first[3];
  std::memcpy(first, tab.data(), sizeof first);
  EXPECT_DOUBLE_EQ(first[0], 12.8);
  EXPECT_DOUBLE_EQ(first[1], 312.5);
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
