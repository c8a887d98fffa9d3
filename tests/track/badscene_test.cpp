// Scenes the construction cannot hold end with the construction's message
// in bounded time and keep nothing: a pile of triangles in one small cube,
// and one triangle repeated 200,000 times (whose weld counts every later
// copy of each corner without visiting it).
#include <string>

#include "datagen/facepile.h"
#include "tests/track/track_fixture.h"
#include "track/scene.h"

namespace {

class BadScene : public ztest::TrackTest {
 protected:
  uint32_t HeapSize() const override { return 200u << 20; }
};

struct BadSceneRow {
  const char* name;
  std::string scene;
  const char* weld;     // the weld's line
  const char* refusal;  // the last line
};

TEST_F(BadScene, EndsWithItsMessageAndKeepsNothing) {
  const BadSceneRow rows[] = {
      {"pile in one cube", datagen::FacePileScene(50000, 67), nullptr,
       "Map conversion error: TFPPOINTOFFSET full !!!"},
      // Each corner welds the same corner of every later copy: 3 n (n - 1) / 2.
      {"one face repeated", datagen::RepeatedFaceScene(200000),
       "Welding nearest vertices 100/100 welded 59999700000 vertices...", "Memory allocation error !!!"},
  };
  for (const BadSceneRow& row : rows) {
    SB_ClearPrintedLines();
    ztest::WriteFile(Path("ASC/BAD.ASC"), row.scene);
    SB_Var.SplitTextureRepeats = 1;
    EXPECT_EQ(SB_LoadAndBuildMap("ASC>BAD.ASC"), 0) << row.name;
    if (row.weld) {
      EXPECT_TRUE(Printed(row.weld)) << row.name;
    }
    ASSERT_FALSE(SB_PrintedLines().empty());
    EXPECT_EQ(SB_PrintedLines().back(), row.refusal) << row.name;
    EXPECT_EQ(SB_Var.Decor.Loaded, 0) << row.name;
  }
}

}  // namespace
