// Race maps built in code, laid out as the map file keeps them: big cubes
// in x order with their small cubes, vertices and faces in contiguous runs,
// polygon cells with their shared points, faces run by run, and the links
// as byte offsets into their arrays.
#include "datagen/mapbuild.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <stdexcept>

#include "shell/owner.h"
#include "shell/sbvar.h"
#include "track/decor.h"

namespace datagen {

namespace {

constexpr int32_t kSmall = 128;         // map units of a small cube
constexpr int32_t kCell = 16384;        // world units of a polygon cell
constexpr int32_t kPolyHeight = 8252;   // the polygon map's height origin
constexpr int32_t kPolyShift = 64;      // world units the polygon map lies off in x and z
constexpr int32_t kPolyLift = 4;        // and in height

int32_t FloorDiv(int32_t v, int32_t d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

uint8_t Byte(int32_t v, const char* what) {
  if (v < 0 || v > 255) throw std::invalid_argument(what);
  return static_cast<uint8_t>(v);
}

uint16_t Word(int32_t v, const char* what) {
  if (v < 0 || v > 65535) throw std::invalid_argument(what);
  return static_cast<uint16_t>(v);
}

template <typename V>
uint8_t FindOrAdd(std::vector<V>* vertices, const V& v) {
  for (size_t i = 0; i < vertices->size(); ++i)
    if (std::memcmp(&(*vertices)[i], &v, sizeof v) == 0) return static_cast<uint8_t>(i);
  vertices->push_back(v);
  return Byte(static_cast<int32_t>(vertices->size() - 1), "more than 255 vertices in a cube");
}

TMAPFACE MakeFace(const std::vector<uint8_t>& corners, std::array<uint8_t, 3> normal, int32_t texture) {
  if (corners.size() < 3 || corners.size() > 4) throw std::invalid_argument("a cube face has 3 or 4 corners");
  TMAPFACE face{};
  for (size_t i = 0; i < 4; ++i) face.Vertex[i] = i < corners.size() ? corners[i] : 255;
  for (int32_t i = 0; i < 3; ++i) face.Normal[i] = normal[i];
  face.Texture = static_cast<uint8_t>(texture);
  face.TextureCoords[0] = static_cast<uint16_t>((texture >> 8 & 1) << 15);
  return face;
}

int32_t NameIndex(std::vector<std::string>* names, const std::string& name) {
  const auto at = std::find(names->begin(), names->end(), name);
  if (at != names->end()) return static_cast<int32_t>(at - names->begin());
  if (names->size() >= SB_MAXTEXTURES || name.size() > SB_TEXTURENAMESIZE) throw std::invalid_argument(name);
  names->push_back(name);
  return static_cast<int32_t>(names->size() - 1);
}

template <typename T>
T* Copy(const std::vector<T>& from, int32_t* count) {
  *count = static_cast<int32_t>(from.size());
  if (from.empty()) return nullptr;
  T* to = static_cast<T*>(SB_GetMem(static_cast<int32_t>(from.size() * sizeof(T)), "SB_LoadDecor"));
  std::memcpy(to, from.data(), from.size() * sizeof(T));
  return to;
}

void CopyNames(const std::vector<std::string>& from, char (*to)[SB_TEXTURENAMESIZE], int32_t* count) {
  std::memset(to, 0, sizeof(char[SB_MAXTEXTURES][SB_TEXTURENAMESIZE]));
  for (size_t i = 0; i < from.size(); ++i) std::memcpy(to[i], from[i].data(), from[i].size());
  *count = static_cast<int32_t>(from.size());
}

template <typename T>
uint32_t Offset(const std::vector<T>& array) {
  return static_cast<uint32_t>(array.size() * sizeof(T));
}

}  // namespace

// Every array of the map file, laid out.
struct MapBuilder::Layout {
  std::vector<TBIGENTITY> bigs;
  std::vector<TSMALLENTITY> smalls;
  std::vector<TMAPVERTEX> vertices;
  std::vector<TWORDVERTEX> wordVertices;
  std::vector<TMAPFACE> faces;
  std::vector<uint32_t> seen;
  std::vector<uint16_t> seenList;
  std::vector<uint32_t> pointLinks, texturePointLinks;
  std::vector<TFPOINTOFFSET> points;
  std::vector<TFPOINTTEXTURE> texturePoints;
  std::vector<TFFACEPOLY> facePolys;
  std::vector<TFCUBE10POLY> cells;
};

int32_t MapBuilder::Texture(const std::string& name) { return NameIndex(&textures_, name); }
int32_t MapBuilder::Material(const std::string& name) { return NameIndex(&materials_, name); }

void MapBuilder::CubeFace(const std::vector<Point3>& corners, std::array<uint8_t, 3> normal, int32_t texture) {
  const Key key{FloorDiv(corners.at(0).x, kSmall), FloorDiv(corners[0].y, kSmall), FloorDiv(corners[0].z, kSmall)};
  SmallCube& cube = smalls_[key];
  std::vector<uint8_t> indices;
  for (const Point3& p : corners) {
    const TMAPVERTEX v{Byte(p.x - kSmall * std::get<0>(key), "corner outside its small cube"),
                       Byte(p.y - kSmall * std::get<1>(key), "corner outside its small cube"),
                       Byte(p.z - kSmall * std::get<2>(key), "corner outside its small cube"), 0};
    indices.push_back(FindOrAdd(&cube.vertices, v));
  }
  cube.vertices[indices[0]].Flags |= 1;
  cube.faces.push_back(MakeFace(indices, normal, texture));
}

void MapBuilder::BigCubeFace(Point3 bigCube, const std::vector<Point3>& corners, int32_t texture,
                             std::array<uint8_t, 3> normal) {
  BigCube& cube = bigs_[{bigCube.x, bigCube.y, bigCube.z}];
  std::vector<uint8_t> indices;
  for (const Point3& p : corners) {
    const TWORDVERTEX v{Word(p.x, "word vertex"), Word(p.y, "word vertex"), Word(p.z, "word vertex"), 0, 0};
    indices.push_back(FindOrAdd(&cube.vertices, v));
  }
  cube.vertices[indices[0]].Flags |= 1;
  cube.faces.push_back(MakeFace(indices, normal, texture));
}

void MapBuilder::SeenList(Point3 p, const std::vector<uint16_t>& codes) {
  smalls_[{FloorDiv(p.x, kSmall), FloorDiv(p.y, kSmall), FloorDiv(p.z, kSmall)}].seen = codes;
}

void MapBuilder::PolyFace(int32_t run, const std::vector<Point3>& corners, std::array<uint16_t, 3> normal,
                          int32_t material) {
  if (corners.size() < 3 || run < 0 || run >= SB_CELLRUNS) throw std::invalid_argument("polygon face");
  const Point3& first = corners[0];
  const int32_t cx = FloorDiv(first.x + kCell / 2, kCell) + 64, cy = FloorDiv(first.y + kPolyHeight, kCell) + 64;
  const int32_t cz = FloorDiv(first.z + kCell / 2, kCell) + 64;
  Cell& cell = cells_[{cx, cy, cz}];
  PolyFaceData data{};
  TFFACEPOLY& face = data.face;
  face.Box[0] = face.Box[2] = 65535;
  for (const Point3& p : corners) {
    const TFPOINTOFFSET point{Word(p.x + kCell / 2 - kCell * (cx - 64), "polygon corner outside its cell"),
                              Word(p.y + kPolyHeight - kCell * (cy - 64), "polygon corner outside its cell"),
                              Word(p.z + kCell / 2 - kCell * (cz - 64), "polygon corner outside its cell")};
    const auto at = std::find_if(cell.points.begin(), cell.points.end(), [&](const TFPOINTOFFSET& q) {
      return q.X == point.X && q.Y == point.Y && q.Z == point.Z;
    });
    data.corners.push_back(static_cast<uint16_t>(at - cell.points.begin()));
    if (at == cell.points.end()) cell.points.push_back(point);
    face.Box[0] = std::min(face.Box[0], point.X), face.Box[1] = std::max(face.Box[1], point.X);
    face.Box[2] = std::min(face.Box[2], point.Z), face.Box[3] = std::max(face.Box[3], point.Z);
  }
  face.NbCorners = Byte(static_cast<int32_t>(corners.size()), "polygon corners");
  face.Material = Word(material, "material");
  for (int32_t i = 0; i < 3; ++i) face.Normal[i] = normal[i];
  cell.faces[run].push_back(data);
}

void MapBuilder::FlatSquare(int32_t x0, int32_t z0, int32_t side, int32_t y, int32_t texture, int32_t material) {
  for (int32_t i = 0; i < side; ++i)
    for (int32_t j = 0; j < side; ++j) {
      const int32_t xa = x0 + kSmall * i, za = z0 + kSmall * j, xb = xa + kSmall, zb = za + kSmall;
      CubeFace({{xa, y, za}, {xb, y, za}, {xb, y, zb}, {xa, y, zb}}, kCubeUp, texture);
    }
  // The same square in world units, cut where the cells meet.
  const int32_t wx0 = 32 * x0 - 2048 + kPolyShift, wz0 = 32 * z0 - 2048 + kPolyShift;
  const int32_t wx1 = wx0 + 32 * kSmall * side, wz1 = wz0 + 32 * kSmall * side;
  const int32_t wy = 32 * y - 2048 + kPolyLift;
  auto next = [](int32_t v) { return (FloorDiv(v + kCell / 2, kCell) + 1) * kCell - kCell / 2; };
  for (int32_t xa = wx0; xa < wx1; xa = next(xa))
    for (int32_t za = wz0; za < wz1; za = next(za)) {
      const int32_t xb = std::min(next(xa), wx1), zb = std::min(next(za), wz1);
      for (int32_t run : {SB_GROUNDRUN, SB_WHEELRUN})
        PolyFace(run, {{xa, wy, za}, {xb, wy, za}, {xb, wy, zb}, {xa, wy, zb}}, kPolyUp, material);
    }
}

void MapBuilder::Lay(Layout* out) const {
  // Big cubes in key order (x first), each with its small cubes.
  std::set<Key> bigKeys;
  for (const auto& [key, cube] : bigs_) bigKeys.insert(key);
  auto bigOf = [](const Key& k) {
    return Key{(std::get<0>(k) + 2) >> 2, (std::get<1>(k) + 2) >> 2, (std::get<2>(k) + 2) >> 2};
  };
  for (const auto& [key, cube] : smalls_) bigKeys.insert(bigOf(key));
  for (const Key& bigKey : bigKeys) {
    TBIGENTITY big{};
    big.KeyX = Byte(std::get<0>(bigKey) + 64, "big cube");
    big.KeyY = Byte(std::get<1>(bigKey) + 64, "big cube");
    big.KeyZ = Byte(std::get<2>(bigKey) + 64, "big cube");
    big.SmallEntitys = Offset(out->smalls);
    for (const auto& [key, cube] : smalls_) {
      if (bigOf(key) != bigKey) continue;
      TSMALLENTITY small{};
      small.X = static_cast<uint8_t>(((std::get<0>(key) + 2) & 3) + 62);
      small.Z = static_cast<uint8_t>(((std::get<2>(key) + 2) & 3) + 62);
      small.Y = static_cast<uint8_t>(((std::get<1>(key) + 2) & 3) + 62);
      small.NbVertices = static_cast<uint8_t>(cube.vertices.size());
      small.Vertices = Offset(out->vertices);
      small.Faces = Offset(out->faces);
      small.NbFaces = Byte(static_cast<int32_t>(cube.faces.size()), "more than 255 faces in a cube");
      out->vertices.insert(out->vertices.end(), cube.vertices.begin(), cube.vertices.end());
      out->faces.insert(out->faces.end(), cube.faces.begin(), cube.faces.end());
      uint32_t seen = 0;
      if (!cube.seen.empty()) {
        if (out->seenList.empty()) out->seenList.push_back(0);  // entry 0 is never a list
        seen = Offset(out->seenList);
        out->seenList.insert(out->seenList.end(), cube.seen.begin(), cube.seen.end());
        out->seenList.push_back(65535);
      }
      out->seen.push_back(seen);
      out->smalls.push_back(small);
      ++big.NbSmallEntitys;
    }
    big.WordVertices = Offset(out->wordVertices);
    big.Faces = Offset(out->faces);
    if (const auto at = bigs_.find(bigKey); at != bigs_.end()) {
      out->wordVertices.insert(out->wordVertices.end(), at->second.vertices.begin(), at->second.vertices.end());
      out->faces.insert(out->faces.end(), at->second.faces.begin(), at->second.faces.end());
      big.NbWordVertices = Byte(static_cast<int32_t>(at->second.vertices.size()), "word vertices");
      big.NbFaces = Byte(static_cast<int32_t>(at->second.faces.size()), "big cube faces");
    }
    out->bigs.push_back(big);
  }
  // Polygon cells, each with its points and its three face runs.
  for (const auto& [key, cell] : cells_) {
    TFCUBE10POLY c{};
    c.X = Byte(std::get<0>(key), "cell"), c.Y = Byte(std::get<1>(key), "cell"), c.Z = Byte(std::get<2>(key), "cell");
    const uint32_t firstPoint = static_cast<uint32_t>(out->points.size());
    c.PointOffsets = Offset(out->points), c.PointTextures = Offset(out->texturePoints);
    c.NbPointOffsets = c.NbPointTextures = Word(static_cast<int32_t>(cell.points.size()), "cell points");
    for (const TFPOINTOFFSET& p : cell.points) {
      out->points.push_back(p);
      out->texturePoints.push_back({static_cast<uint16_t>(p.X * 4), static_cast<uint16_t>(p.Z * 4), 0});
    }
    c.PPointOffsets = Offset(out->pointLinks), c.PPointTextures = Offset(out->texturePointLinks);
    for (int32_t run = 0; run < SB_CELLRUNS; ++run) {
      c.FaceRuns[run] = Offset(out->facePolys);
      c.NbFaces[run] = Word(static_cast<int32_t>(cell.faces[run].size()), "cell faces");
      for (const PolyFaceData& data : cell.faces[run]) {
        TFFACEPOLY face = data.face;
        face.PointOffsets = Offset(out->pointLinks), face.PointTextures = Offset(out->texturePointLinks);
        for (uint16_t corner : data.corners) {
          out->pointLinks.push_back((firstPoint + corner) * sizeof(TFPOINTOFFSET));
          out->texturePointLinks.push_back((firstPoint + corner) * sizeof(TFPOINTTEXTURE));
        }
        out->facePolys.push_back(face);
      }
    }
    c.NbPPointOffsets = c.NbPPointTextures =
        Word(static_cast<int32_t>((Offset(out->pointLinks) - c.PPointOffsets) / 4), "cell corners");
    out->cells.push_back(c);
  }
}

void MapBuilder::Install() const {
  Layout l;
  Lay(&l);
  SB_FreeDecor();
  TDECOR& d = SB_Var.Decor;
  d.BigEntitys = Copy(l.bigs, &d.NbBigEntitys);
  d.SmallEntitys = Copy(l.smalls, &d.NbSmallEntitys);
  d.Vertices = Copy(l.vertices, &d.NbVertices);
  d.WordVertices = Copy(l.wordVertices, &d.NbWordVertices);
  d.Faces = Copy(l.faces, &d.NbFaces);
  int32_t seenCount = 0;
  d.SeenEntitys = Copy(l.seen, &seenCount);
  d.SeenEntitysList = Copy(l.seenList, &d.NbSeenEntitysList);
  d.PPointOffsets = Copy(l.pointLinks, &d.NbPPointOffsets);
  d.PPointTextures = Copy(l.texturePointLinks, &d.NbPPointTextures);
  d.PointOffsets = Copy(l.points, &d.NbPointOffsets);
  d.PointTextures = Copy(l.texturePoints, &d.NbPointTextures);
  d.FacePolys = Copy(l.facePolys, &d.NbFacePolys);
  d.Cube10Polys = Copy(l.cells, &d.NbCube10Polys);
  CopyNames(textures_, SB_Var.TextureNames, &SB_Var.NbTextures);
  CopyNames(materials_, d.Names2, &d.NbNames2);
  SB_PublishDecor();
  d.FacesRescaled = 0;
  d.Loaded = d.NewlyLoaded = 1;
}

}  // namespace datagen
