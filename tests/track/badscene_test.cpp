// Scenes the construction cannot hold end with the construction's message
// in bounded time and keep nothing: a pile of triangles in one small cube,
// and one triangle repeated 200,000 times, whose faces from the 160,001st
// on do not fit the map heap beside those read before, and whose weld
// counts every later copy of each corner without visiting it.
#include <string>

#include "datagen/facepile.h"
#include "datagen/netrace.h"
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
  const char* reader;   // the reader's message
};

TEST_F(BadScene, EndsWithItsMessageAndKeepsNothing) {
  const BadSceneRow rows[] = {
      {"pile in one cube", datagen::FacePileScene(50000, 67), "Welding nearest vertices 100/100 welded 265 vertices...",
       "Map conversion error: TFPPOINTOFFSET full !!!", "Map after loading: (50000 faces)"},
      // Each corner welds the same corner of every later copy: 3 n (n - 1) / 2
      // of the n = 160,000 read.
      {"one face repeated", datagen::RepeatedFaceScene(200000),
       "Welding nearest vertices 100/100 welded 38399760000 vertices...", "Map error: SB_CopyMap full !!!",
       "......Map error object \"PILE32\": not enough memory !!!"},
  };
  for (const BadSceneRow& row : rows) {
    SB_ClearPrintedLines();
    ztest::WriteFile(Path("ASC/BAD.ASC"), row.scene);
    SB_Var.SplitTextureRepeats = 1;
    EXPECT_EQ(SB_LoadAndBuildMap("ASC>BAD.ASC"), 0) << row.name;
    EXPECT_TRUE(Printed(row.weld)) << row.name;
    EXPECT_TRUE(Printed(row.reader)) << row.name;
    ASSERT_FALSE(SB_PrintedLines().empty());
    EXPECT_EQ(SB_PrintedLines().back(), row.refusal) << row.name;
    EXPECT_EQ(SB_Var.Decor.Loaded, 0) << row.name;
  }
}

// A scene too large for the default heap, read while a failed block ends
// the program (the game's error mode): the load's own message, the map
// refused, the program still running and its error mode back.
class SmallHeapScene : public ztest::TrackTest {
 protected:
  uint32_t HeapSize() const override { return 4u << 20; }
};

TEST_F(SmallHeapScene, TooLargeForTheHeapIsTheMapsError) {
  ztest::WriteFile(Path("ASC/BIG.ASC"), datagen::NetraceScene(datagen::NetraceSegmentsFor(20000)));
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(SB_LoadAndBuildMap("ASC>BIG.ASC"), 0);
  EXPECT_EQ(LSI_Var.ErrorMode, uint32_t{LS_ERRMODE_FATAL});
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_TRUE(Printed("......Map error: no faces !!!"));
}

}  // namespace
