// The default circuit: a square of 40 x 40 small cubes (512 m a side)
// around the world's origin, large enough to hold the generated circuit's
// centre line and its grid, saved by the game's map writer on a drive C:
// over the output folder, and a circle of 60 m radius as its centre line,
// one point per metre, counter-clockwise from (60, 0).
#include "datagen/circuit.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "datagen/mapbuild.h"
#include "platform/fs.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/heap.h"
#include "track/decor.h"

namespace datagen {

namespace {

constexpr int32_t kSide = 40;             // small cubes
constexpr int32_t kCorner = -kSide * 64;  // map units: the square is centred on map 0
constexpr double kRadius = 60.0;          // metres
constexpr double kGroundMetres = -6.4;    // map height 0, in metres (y down)

bool WriteMap(const std::string& folder) {
  plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", folder}});
  if (!LSI_InitMemory(8 << 20)) return false;
  LSI_InitDirectory();
  MapBuilder map;
  map.FlatSquare(kCorner, kCorner, kSide, 0, map.Texture(kCircuitRoadTexture),
                 map.Material(kCircuitRoadTexture));
  map.Install();
  SB_SaveDecor("HDISK:>NETRACE.DEC");
  SB_FreeDecor();
  LSI_CloseMemory();
  return std::ifstream(folder + "/NETRACE.DEC").good();
}

bool WriteCentreLine(const std::string& path) {
  const int32_t n = static_cast<int32_t>(std::lround(2.0 * M_PI * kRadius));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&n), sizeof n);
  for (int32_t i = 0; i < n; ++i) {
    const double angle = 2.0 * M_PI * i / n;
    const double point[3] = {kRadius * std::cos(angle), kGroundMetres, kRadius * std::sin(angle)};
    out.write(reinterpret_cast<const char*>(point), sizeof point);
  }
  return static_cast<bool>(out.flush());
}

}  // namespace

bool WriteSquareCircuit(const std::string& folder) {
  return WriteMap(folder) && WriteCentreLine(folder + "/NETRACE.BSP");
}

}  // namespace datagen
