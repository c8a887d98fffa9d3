// The ramp-and-bridge test scene as a 3D-Studio ASCII text.
#include "datagen/rampbridge.h"

#include <cstdio>
#include <vector>

namespace datagen {

namespace {

struct Corner {
  double x, y, z;
};

// A strip of quads (two triangles each) between the two rails, each rail a
// list of corners; u across, v along (one repeat every 8 m).
void Strip(std::string* out, const char* name, const std::vector<Corner>& left, const std::vector<Corner>& right) {
  char line[200];
  auto put = [&](const char* text) {
    *out += text;
    *out += "\r\n";
  };
  std::snprintf(line, sizeof line, "Named object: \"%s\"", name);
  put(line);
  std::snprintf(line, sizeof line, "Tri-mesh, Vertices: %zu     Faces: %zu", 2 * left.size(), 2 * (left.size() - 1));
  put(line);
  put("Vertex list:");
  for (size_t i = 0; i < left.size(); ++i)
    for (int side = 0; side < 2; ++side) {
      const Corner& c = side ? right[i] : left[i];
      std::snprintf(line, sizeof line, "Vertex %zu:  X:%.4f     Y:%.4f     Z:%.4f     U:%d     V:%.4f", 2 * i + side,
                    c.x, c.y, c.z, side, static_cast<double>(i) / 2);
      put(line);
    }
  put("Face list:");
  for (size_t i = 0, f = 0; i + 1 < left.size(); ++i) {
    const size_t a = 2 * i, b = a + 1, c = a + 2, d = a + 3;
    const size_t tris[2][3] = {{a, c, b}, {b, c, d}};  // facing up: map normal y +1
    for (const auto& t : tris) {
      std::snprintf(line, sizeof line, "Face %zu:    A:%zu B:%zu C:%zu AB:1 BC:1 CA:1", f++, t[0], t[1], t[2]);
      put(line);
      put("Material:\"ROAD C\"");
    }
  }
}

}  // namespace

std::string RampBridgeScene() {
  std::string out = "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\r\n\r\n";
  std::vector<Corner> l, r;
  for (double x = -40; x <= 40; x += 4) l.push_back({x, -4, 0}), r.push_back({x, 4, 0});
  Strip(&out, "ROAD", l, r);
  l.clear(), r.clear();
  for (double y = -20; y <= kRampFrom; y += 4) l.push_back({4, y, kBridgeDeck}), r.push_back({-4, y, kBridgeDeck});
  Strip(&out, "DECK", l, r);
  l.clear(), r.clear();
  for (double y = kRampFrom; y <= kRampTo; y += 4) {
    const double z = kBridgeDeck * (kRampTo - y) / (kRampTo - kRampFrom);
    l.push_back({4, y, z}), r.push_back({-4, y, z});
  }
  Strip(&out, "RAMP", l, r);
  return out;
}

}  // namespace datagen
