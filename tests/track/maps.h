// Maps of the track's tests, built in code.
#pragma once
#include <cstdio>

#include "datagen/mapbuild.h"

namespace ztest {

// Every array and every kind of link: 300 texture names (a face uses
// texture 260, whose bit 8 rides in its first u), triangles and a
// quadrangle in three small cubes of two big cubes, a big cube's reduced
// face, a seen list for one small cube only, and polygons in every run of
// two cells.
inline datagen::MapBuilder RichMap() {
  datagen::MapBuilder m;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "T%03d    C", i);
    m.Texture(name);
  }
  const int road = m.Material("ROAD    C"), wall = m.Material("WALL");
  m.CubeFace({{0, 0, 0}, {128, 0, 0}, {128, 0, 128}, {0, 0, 128}}, datagen::kCubeUp, 260);
  m.CubeFace({{128, 10, 0}, {256, 10, 0}, {128, 10, 128}}, datagen::kCubeUp, 1);
  m.CubeFace({{512, 0, 0}, {600, 0, 0}, {512, 0, 100}}, datagen::kCubeUp, 2);
  m.BigCubeFace({0, 0, 0}, {{0, 0, 0}, {512, 0, 0}, {0, 0, 512}}, 3);
  m.SeenList({0, 0, 0}, {32640, 32641});
  for (int run = 0; run < SB_CELLRUNS; ++run) {
    m.PolyFace(run, {{0, 0, 0}, {1000, 0, 0}, {1000, 0, 1000}}, datagen::kPolyUp, road);
    m.PolyFace(run, {{20000, 0, 0}, {21000, 0, 0}, {21000, 0, 900}, {20000, 0, 900}}, datagen::kPolyUp, wall);
  }
  return m;
}

// One quadrangle on the cube map, nothing else.
inline datagen::MapBuilder LeanMap() {
  datagen::MapBuilder m;
  m.CubeFace({{0, 0, 0}, {128, 0, 0}, {128, 0, 128}, {0, 0, 128}}, datagen::kCubeUp, m.Texture("ROAD"));
  return m;
}

}  // namespace ztest
