// Object paths of the track editor: clicks recorded (the first twice, a
// click taken by a button left out), the ".TRJ" text, ".CRD" samples and
// their ".TAB" records, an empty recording, and names that cannot be
// created.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

}  // namespace
