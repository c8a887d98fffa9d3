// What the road generator's tests share: the dialogue's default piece, the
// mesh's faces and vertices read back, and a written scene's vertices.
#pragma once
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/tools_fixture.h"
#include "tools/roadgen/roadgen.h"

namespace ztest {

// The piece every builder starts from: 4 lanes of 5 m, gutters of 2 m,
// segments of 10 m over 100 m, two lanes a strip.
inline TROADPARAMS DefaultPiece() {
  TROADPARAMS p = {};
  p.LaneWidth = 5, p.BaseLength = 10, p.Length = 100, p.TextureLength = 10, p.GutterWidth = 2;
  p.NbLanes = 4, p.LanesPerStrip = 2;
  return p;
}

inline const TROADVERTEX& Corner(int32_t face, int32_t k) {
  const TROADFACE& f = RoadFaces[face];
  return RoadVertices[k == 0 ? f.A : k == 1 ? f.B : f.C];
}

// The faces of the built mesh with that material.
inline std::vector<int32_t> FacesOf(const char* material) {
  std::vector<int32_t> out;
  for (int32_t i = 0; i < RoadNbFaces; ++i)
    if (std::strcmp(RoadFaces[i].Material, material) == 0) out.push_back(i);
  return out;
}

// The vertices of the road strips of a written scene, as the writer
// printed them (face f has vertices 3f to 3f + 2).
inline std::vector<TROADVERTEX> StripVertices(const std::string& text) {
  std::vector<TROADVERTEX> vertices, out;
  std::istringstream in(text);
  int32_t face = 0;
  for (std::string line; std::getline(in, line);) {
    long i = 0;
    TROADVERTEX v;
    if (std::sscanf(line.c_str(), "Vertex %ld: X:%lf Y:%lf Z:%lf U:%lf V:%lf", &i, &v.X, &v.Y, &v.Z, &v.U, &v.V) == 6)
      vertices.push_back(v);
    if (line.rfind("Material: ", 0) == 0 && line.find("\"rout") != std::string::npos)
      for (int k = 0; k < 3 && 3 * size_t(face) + k < vertices.size(); ++k) out.push_back(vertices[3 * face + k]);
    if (line.rfind("Material: ", 0) == 0) ++face;
  }
  return out;
}

}  // namespace ztest
