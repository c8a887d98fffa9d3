// The software map frame on the default circuit of the build's data tree:
// from the start grid at a driver's height, looking along the road, the
// road ahead is listed and nothing behind but the faces of the entities
// around the camera.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "racescene/mapinfo.h"
#include "system/file.h"
#include "tests/softrender/softmap_fixture.h"
#include "track/track.h"

namespace {

using ztest::SoftMapTest;

TEST_F(SoftMapTest, NetraceStartGridListsTheRoadAhead) {
  SetDrives({{'C', plat::DriveType::Fixed, "",
              (std::filesystem::path(ZENTROVA_EXE).parent_path() / "data").string()}});
  LSI_InitDirectory();
  Limits(2500, 9000);
  ASSERT_EQ(SB_LoadDecor("DEC>NETRACE.DEC"), 1);
  ASSERT_EQ(SB_LoadMapInfo("TXT>NETRACE.TXT"), 1);
  const TSTARTSLOT& slot = SB_Var.StartSlots[0];
  // The grid's rows run back from the first one: ahead is against them.
  const double ahead[3] = {slot.X - slot.RowStepX * 2.0, slot.Y, slot.Z - slot.RowStepZ * 2.0};
  camera_.TargetX = static_cast<int32_t>(slot.X * 320.0);
  camera_.TargetY = static_cast<int32_t>((slot.Y - 1.25) * 320.0);
  camera_.TargetZ = static_cast<int32_t>(slot.Z * 320.0);
  SB_CameraLookAt(&camera_, ahead);
  SB_UpdateCamera(&camera_, 1.0, 1.0);
  SB_SetView(&scene_, &camera_, &window_, 400, 96000, 0);
  Frame();
  int32_t road = 0, behind = 0, deepest = 0;
  for (TSOFTPOLY* p : Polygons()) {
    int32_t nearest = p->FirstVertex[0].CamZ, farthest = nearest;
    for (int32_t k = 1; k < p->NbVertices; ++k)
      nearest = std::min(nearest, p->FirstVertex[k].CamZ), farthest = std::max(farthest, p->FirstVertex[k].CamZ);
    if (farthest <= 0) ++behind;
    deepest = std::min(deepest, farthest);
    if (nearest > 0 && std::strncmp(SB_Var.TextureNames[p->Material], "ROUT", 4) == 0) ++road;
  }
  // Behind the camera, only faces of the entities that straddle the near
  // plane, which the sphere test keeps whole; the near clip drops them.
  EXPECT_GT(road, 100);
  EXPECT_LT(behind * 10, road);
  EXPECT_GT(deepest, -2 * SB_CELLREACH);
}

}  // namespace
