// The generated default circuit: it loads cleanly, its faces face the
// right way, and its centre line and start grids lie on its road.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "datagen/netrace.h"
#include "tests/track/track_fixture.h"
#include "track/scene.h"

namespace {

using Point = std::array<double, 3>;

// A map point in world metres.
Point World(const TLMAPVERTEX& v) { return datagen::NetraceWorld(v.X / 10, v.Z / 10, -v.Y / 10); }

bool OverTriangle(double x, double z, const Point& a, const Point& b, const Point& c) {
  auto side = [&](const Point& p, const Point& q) { return (q[0] - p[0]) * (z - p[2]) - (q[2] - p[2]) * (x - p[0]); };
  const double s1 = side(a, b), s2 = side(b, c), s3 = side(c, a);
  return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class Netrace : public ztest::TrackTest {
 protected:
  void SetUp() override {
    ztest::TrackTest::SetUp();
    // The default map names its scene from the parent of the game's folder,
    // which at a drive's root is the root itself.
    ztest::WriteFile(Path("ASC/NETRACE.ASC"), datagen::NetraceScene());
    map_ = SB_LoadAsciiMap("..>ASC>NETRACE.ASC");
    ASSERT_NE(map_, nullptr);
    SB_CalcMapNormals(map_);
  }
  void TearDown() override {
    SB_FreeTLMAP(map_);
    ztest::TrackTest::TearDown();
  }
  bool OnRoad(double x, double z) const {
    for (uint32_t i = 0; i < map_->NbFaces; ++i) {
      const TLMAPFACE& f = map_->Faces[i];
      if (std::memcmp(f.Material, "ROUT1", 5) == 0 &&
          OverTriangle(x, z, World(f.V[0]), World(f.V[1]), World(f.V[2])))
        return true;
    }
    return false;
  }
  TLMAP* map_ = nullptr;
};

TEST_F(Netrace, LoadsCleanlyWithItsFacesTheRightWay) {
  for (const std::string& l : SB_PrintedLines()) EXPECT_EQ(l.find("Map error"), std::string::npos) << l;
  const auto line = datagen::NetraceCentreLine();
  auto distance = [&](double x, double z) {
    double best = 1e30;
    for (const Point& p : line) best = std::min(best, std::hypot(p[0] - x, p[2] - z));
    return best;
  };
  int roads = 0, walls = 0, displays = 0;
  for (uint32_t i = 0; i < map_->NbFaces; ++i) {
    const TLMAPFACE& f = map_->Faces[i];
    if (std::memcmp(f.Material, "ROUT1\0\0\0C", 9) == 0) {
      ++roads;
      EXPECT_NEAR(f.NormalY, 1.0, 1e-12) << i;
      continue;
    }
    // The start's displays and their frames are checked apart.
    if (std::memcmp(f.Material, "MUR1\0\0\0\0M", 9) != 0) {
      ++displays;
      continue;
    }
    ++walls;
    // Half a metre along the normal is farther from the centre line: the
    // normal points away from the road, from which the wall is seen.
    Point c = {0, 0, 0};
    for (const TLMAPVERTEX& v : f.V)
      for (int k = 0; k < 3; ++k) c[k] += World(v)[k] / 3;
    // The normal in world axes: map x and z are world x and z.
    EXPECT_GT(distance(c[0] + 0.5 * f.NormalX, c[2] + 0.5 * f.NormalZ), distance(c[0], c[2])) << i;
  }
  EXPECT_EQ(roads, 2 * walls);
  EXPECT_GT(roads + walls, 2000);
  EXPECT_GT(displays, 0);
}

// The start's displays are drawn from the grid: every face of a one-sided
// material, but the lit lamps on the gantry's back, has its normal pointing
// away from the grid (the map draws such faces), and the scene carries each
// display's material, the lamps and road lights with "N".
TEST_F(Netrace, TheStartsDisplaysFaceTheGrid) {
  double x0, y0, z0;
  ASSERT_EQ(std::sscanf(datagen::NetraceMapInfo().c_str(), "BSPLINENAME: TXT>NETRACE.BSP\r\nFIRSTCAROFF: %lf,%lf,%lf",
                        &x0, &y0, &z0),
            3);
  const Point eye = {x0, y0 - 1.0, z0};  // a driver's eye on the grid
  std::map<std::string, int> seen;
  for (uint32_t i = 0; i < map_->NbFaces; ++i) {
    const TLMAPFACE& f = map_->Faces[i];
    const std::string name(f.Material, strnlen(f.Material, 8));
    const std::string letters(f.Material + 8, strnlen(f.Material + 8, 7));
    if (name == "ROUT1" || (name == "MUR1" && letters == "M")) continue;
    ++seen[name + (letters.empty() ? "" : " " + letters)];
    if (letters.find('D') != std::string::npos) continue;  // double-sided frame
    Point c = {0, 0, 0};
    for (const TLMAPVERTEX& v : f.V)
      for (int k = 0; k < 3; ++k) c[k] += World(v)[k] / 3;
    // Map x and z are world x and z, map y world y.
    const double away = f.NormalX * (c[0] - eye[0]) + f.NormalY * (c[1] - eye[1]) + f.NormalZ * (c[2] - eye[2]);
    if (name == "DEPART3")
      EXPECT_LT(away, 0.0) << i;
    else
      EXPECT_GT(away, 0.0) << name << " " << i;
  }
  for (const char* m : {"GO Z", "PANSTAD2 Z", "TIMEX1", "TIMEX2", "TIMEX3", "DEPART NZ", "DEPART3 N", "TRGROZEB N"})
    EXPECT_GT(seen[m], 0) << m;
}

// The displays' pictures read as drawn from the side they show: on every
// face of a one-sided display the corner furthest to the viewer's left has
// u = 0 and the one furthest right u = 1 (a mirrored picture swaps them).
TEST_F(Netrace, TheDisplaysPicturesAreNotMirrored) {
  int checked = 0;
  for (uint32_t i = 0; i < map_->NbFaces; ++i) {
    const TLMAPFACE& f = map_->Faces[i];
    const std::string name(f.Material, strnlen(f.Material, 8));
    const std::string letters(f.Material + 8, strnlen(f.Material + 8, 7));
    if (name == "ROUT1" || name == "MUR1") continue;
    // The viewer looks along the normal with map -Y up; the map's axes are
    // right-handed, so the viewer's right is normal x up.
    const double right[3] = {f.NormalZ, 0, -f.NormalX};
    auto across = [&](const TLMAPVERTEX& v) { return v.X * right[0] + v.Z * right[2]; };
    const auto [left, rightmost] = std::minmax_element(
        std::begin(f.V), std::end(f.V), [&](const TLMAPVERTEX& a, const TLMAPVERTEX& b) { return across(a) < across(b); });
    EXPECT_EQ(left->U, 0.0) << name << " " << i;
    EXPECT_EQ(rightmost->U, 1.0) << name << " " << i;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST_F(Netrace, CentreLineAndGridsLieOnTheRoad) {
  const auto line = datagen::NetraceCentreLine();
  for (size_t i = 0; i < line.size(); ++i) {
    const Point &p = line[i], &q = line[(i + 1) % line.size()];
    const double gap = std::hypot(q[0] - p[0], q[2] - p[2]);
    ASSERT_TRUE(gap >= 0.9 && gap <= 1.1) << i;
    ASSERT_TRUE(OnRoad(p[0], p[2])) << i;
  }
  // Both grids of 8 cars from the keys: six lanes, then two lanes.
  double x0, y0, z0, a;
  const std::string keys = datagen::NetraceMapInfo();
  ASSERT_EQ(std::sscanf(keys.c_str(), "BSPLINENAME: TXT>NETRACE.BSP\r\nFIRSTCAROFF: %lf,%lf,%lf\r\nCARINITANGLEY: %lf",
                        &x0, &y0, &z0, &a),
            4);
  static const int kSix[6] = {3, 2, 4, 1, 5, 0};
  for (int n = 0; n < 16; ++n) {
    const bool two = n >= 8;
    int lane = two ? 3 - n % 2 : kSix[n % 6];
    const int row = two ? 2 * (n - 8) : n / 6;
    if (!two && row % 2) lane = 5 - lane;
    const double x = x0 + lane * 5 * std::cos(a) + row * 10 * std::sin(a);
    const double z = z0 + lane * 5 * std::sin(a) - row * 10 * std::cos(a);
    EXPECT_TRUE(OnRoad(x, z)) << n;
    EXPECT_LT(x, line[0][0]) << n;  // behind point 0
  }
}

TEST(NetraceFiles, RepeatableAndTheDataKeysMatch) {
  EXPECT_EQ(datagen::NetraceScene(), datagen::NetraceScene());
  std::ifstream in(std::string(ZENTROVA_SOURCE_DIR) + "/data/txt/netrace.txt");
  std::stringstream data;
  data << in.rdbuf();
  const auto all = Lines(data.str()), keys = Lines(datagen::NetraceMapInfo());
  const auto at = std::find(all.begin(), all.end(), keys[0]);
  ASSERT_NE(at, all.end());
  EXPECT_EQ(std::vector<std::string>(at, std::min(all.end(), at + keys.size())), keys);
  const std::string bsp = datagen::NetraceCentreLineFile();
  int32_t n = 0;
  std::memcpy(&n, bsp.data(), 4);
  EXPECT_EQ(bsp.size(), 4 + 24u * n);
}

}  // namespace
