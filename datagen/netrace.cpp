// The default circuit NETRACE: scene, centre line and map-information keys.
#include "datagen/netrace.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine3d/camera.h"

namespace datagen {

namespace {

constexpr double kStraight = 300.0, kRadius = 80.0, kHalfWidth = 16.0, kWall = 1.0;
constexpr int32_t kLanes = 4;           // road strips across
constexpr int32_t kChunk = 600;         // segments per object: 7,200 faces, 4,207 vertices
constexpr double kStartX = 50.0;        // point 0: 200 m into the lower straight
constexpr double kMappingLength = 16.0; // metres of road per texture repeat
constexpr double kStartHeight = 0.2;    // metres of the grid's origin above the road

struct Pos {
  double x, y;    // scene plane
  double nx, ny;  // unit vector from the centre line to the outside
};

double Length() { return 2 * kStraight + 2 * M_PI * kRadius; }

// The centre line at arc length s from the start of the lower straight
// (X = -150, Y = -80), driving towards +X, counter-clockwise seen from +Z.
Pos At(double s) {
  s = std::fmod(s, Length());
  if (s < 0) s += Length();
  const double half = M_PI * kRadius;
  if (s < kStraight) return {-kStraight / 2 + s, -kRadius, 0, -1};
  s -= kStraight;
  if (s < half) {
    const double a = -M_PI / 2 + s / kRadius;
    return {kStraight / 2 + kRadius * std::cos(a), kRadius * std::sin(a), std::cos(a), std::sin(a)};
  }
  s -= half;
  if (s < kStraight) return {kStraight / 2 - s, kRadius, 0, 1};
  s -= kStraight;
  const double a = M_PI / 2 + s / kRadius;
  return {-kStraight / 2 + kRadius * std::cos(a), kRadius * std::sin(a), std::cos(a), std::sin(a)};
}

struct Vertex {
  double x, y, z, u, v;
};

// The face's normal as the construction computes it, in map units.
std::array<double, 3> MapNormal(const Vertex& p, const Vertex& q, const Vertex& r) {
  auto map = [](const Vertex& a) { return std::array<double, 3>{10 * a.x, -10 * a.z, 10 * a.y}; };
  const auto P = map(p), Q = map(q), R = map(r);
  const double e[3] = {R[0] - P[0], R[1] - P[1], R[2] - P[2]}, f[3] = {Q[0] - P[0], Q[1] - P[1], Q[2] - P[2]};
  return {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
}

void Append(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string* out, const char* format, ...) {
  char line[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  *out += line;
  *out += "\r\n";
}

// One object: sections first..last of the segments, each with the road's
// lane points from the inside out and the two wall tops.
// A face of a tri-mesh and its material.
struct Face {
  int32_t a, b, c;
  const char* material;
};

// One named tri-mesh of the scene: its vertices, then its faces.
void AppendMesh(std::string* out, const std::string& name, const std::vector<Vertex>& vs,
                const std::vector<Face>& faces) {
  Append(out, "Named object: \"%s\"", name.c_str());
  Append(out, "Tri-mesh, Vertices: %zu     Faces: %zu", vs.size(), faces.size());
  Append(out, "Vertex list:");
  for (size_t k = 0; k < vs.size(); ++k)
    Append(out, "Vertex %zu:  X:%.6f     Y:%.6f     Z:%.6f     U:%.6f     V:%.6f", k, vs[k].x, vs[k].y, vs[k].z,
           vs[k].u, vs[k].v);
  Append(out, "Face list:");
  for (size_t k = 0; k < faces.size(); ++k) {
    Append(out, "Face %zu:    A:%ld B:%ld C:%ld AB:1 BC:1 CA:1", k, static_cast<long>(faces[k].a),
           static_cast<long>(faces[k].b), static_cast<long>(faces[k].c));
    Append(out, "Material:\"%s\"", faces[k].material);
    Append(out, "Smoothing:  1");
  }
}

void WriteObject(std::string* out, int32_t index, int32_t first, int32_t last, int32_t segments) {
  constexpr int32_t kPerSection = kLanes + 3;
  std::vector<Vertex> vs;
  for (int32_t i = first; i <= last; ++i) {
    const double s = Length() * i / segments;
    const Pos c = At(s);
    const double v = s / kMappingLength;
    for (int32_t w = 0; w <= kLanes; ++w) {
      const double d = -kHalfWidth + 2 * kHalfWidth * w / kLanes;
      vs.push_back({c.x + c.nx * d, c.y + c.ny * d, 0, static_cast<double>(w) / kLanes, v});
    }
    vs.push_back({c.x - c.nx * kHalfWidth, c.y - c.ny * kHalfWidth, kWall, 1, v});  // inner wall top
    vs.push_back({c.x + c.nx * kHalfWidth, c.y + c.ny * kHalfWidth, kWall, 1, v});  // outer wall top
  }
  std::vector<Face> faces;
  // The map draws a face whose normal points away from the viewer: the
  // road's normal points down (map normal (0, 1, 0)), a wall's out of the
  // road, so that both are seen from the road.
  auto add = [&](int32_t a, int32_t b, int32_t c, bool wall, double wantX, double wantY) {
    const auto n = MapNormal(vs[a], vs[b], vs[c]);
    const double along = wall ? n[0] * 10 * wantX + n[2] * 10 * wantY : n[1];
    const char* material = wall ? "MUR1 M" : "ROUT1 C";
    faces.push_back(along >= 0 ? Face{a, b, c, material} : Face{a, c, b, material});
  };
  for (int32_t i = 0; i < last - first; ++i) {
    const int32_t s0 = i * kPerSection, s1 = s0 + kPerSection;
    for (int32_t w = 0; w < kLanes; ++w) {
      add(s0 + w, s1 + w, s1 + w + 1, false, 0, 0);
      add(s0 + w, s1 + w + 1, s0 + w + 1, false, 0, 0);
    }
    const Pos c = At(Length() * (first + i) / segments);
    // Inner wall: between the lane-0 edge and its top; its normal points
    // inwards, away from the road. The outer wall's points outwards.
    add(s0, s1, s1 + kLanes + 1, true, -c.nx, -c.ny);
    add(s0, s1 + kLanes + 1, s0 + kLanes + 1, true, -c.nx, -c.ny);
    add(s0 + kLanes, s1 + kLanes, s1 + kLanes + 2, true, c.nx, c.ny);
    add(s0 + kLanes, s1 + kLanes + 2, s0 + kLanes + 2, true, c.nx, c.ny);
  }
  AppendMesh(out, "NETRACE" + std::to_string(index), vs, faces);
}

// ---------------------------------------------------------------------------
// The start's trackside displays: a gantry over the start line with the LED
// panels "PANSTAD2" and "GO" and the start lamps "DEPART", the boards
// "TIMEX1" to "TIMEX3" beside the straight ahead, and road-light posts
// "TRGROZEB" on both sides. The displays face the cars coming from the
// grid (-X); the gantry and the posts are double-sided wall.
// ---------------------------------------------------------------------------

constexpr double kGantryX = 75.0;  // 30 m ahead of the grid
constexpr double kGantryBottom = 4.5, kGantryTop = 6.5;
constexpr const char* kFrame = "MUR1 D";

// A quad of the scene in the plane X = x, from (y0, z0) to (y1, z1), its
// texture up from z0 and across from the viewer's left.
struct Quad {
  double x, y0, z0, y1, z1;
  const char* material;
};

// A quad lying along X (a post's side, the gantry's beam), at Y = y.
struct SideQuad {
  double x0, x1, y, z0, z1;
  const char* material;
};

void WriteDisplays(std::string* out) {
  std::vector<Vertex> vs;
  std::vector<Face> faces;
  // Faces wound counter-clockwise seen from the side they show, (wantX,
  // wantY) of the scene: their scene normal (b - a) x (c - a) points there.
  auto tri = [&](int32_t a, int32_t b, int32_t c, const char* m, double wantX, double wantY) {
    const Vertex &p = vs[a], &q = vs[b], &r = vs[c];
    const double e[3] = {q.x - p.x, q.y - p.y, q.z - p.z}, f[3] = {r.x - p.x, r.y - p.y, r.z - p.z};
    const double nx = e[1] * f[2] - e[2] * f[1], ny = e[2] * f[0] - e[0] * f[2];
    faces.push_back(nx * wantX + ny * wantY >= 0 ? Face{a, b, c, m} : Face{a, c, b, m});
  };
  // The picture's left edge (u = 0) goes on the viewer's left: +Y seen
  // from -X looking along +X, -Y seen from +X.
  auto facing = [&](const Quad& q, double wantX = -1) {
    const int32_t k = static_cast<int32_t>(vs.size());
    const double u0 = wantX < 0 ? 1 : 0, u1 = 1 - u0;
    vs.push_back({q.x, q.y0, q.z0, u0, 0});
    vs.push_back({q.x, q.y1, q.z0, u1, 0});
    vs.push_back({q.x, q.y1, q.z1, u1, 1});
    vs.push_back({q.x, q.y0, q.z1, u0, 1});
    tri(k, k + 1, k + 2, q.material, wantX, 0);
    tri(k, k + 2, k + 3, q.material, wantX, 0);
  };
  auto along = [&](const SideQuad& q) {
    const int32_t k = static_cast<int32_t>(vs.size());
    vs.push_back({q.x0, q.y, q.z0, 0, 0});
    vs.push_back({q.x1, q.y, q.z0, 1, 0});
    vs.push_back({q.x1, q.y, q.z1, 1, 1});
    vs.push_back({q.x0, q.y, q.z1, 0, 1});
    tri(k, k + 1, k + 2, q.material, 0, 1);
    tri(k, k + 2, k + 3, q.material, 0, 1);
  };
  const double outer = -kRadius - kHalfWidth, inner = -kRadius + kHalfWidth;
  // The gantry: two legs outside the walls and the beam, the displays on its face.
  for (double y : {outer - 1.5, inner + 1.5}) {
    facing({kGantryX, y - 0.3, 0, y + 0.3, kGantryTop + 0.3, kFrame});
    along({kGantryX - 0.3, kGantryX + 0.3, y, 0, kGantryTop + 0.3, kFrame});
  }
  facing({kGantryX + 0.05, outer - 1.8, kGantryBottom - 0.3, inner + 1.8, kGantryTop + 0.3, kFrame});
  // The displays stand 5 cm in front of the beam: their depth-bias letter
  // Z draws them after it in the software renderer's painter's order,
  // where the beam's long triangles would otherwise cover parts of them.
  facing({kGantryX, -95.0, kGantryBottom, -87.0, kGantryTop, "PANSTAD2 Z"});
  facing({kGantryX, -85.0, kGantryBottom, -77.0, kGantryTop, "GO Z"});
  facing({kGantryX, -75.0, kGantryBottom, -71.0, kGantryTop, "DEPART NZ"});
  // The lamps drawn lit, on the gantry's back, where the cars never look.
  facing({kGantryX + 0.1, -75.0, kGantryBottom, -71.0, kGantryTop, "DEPART3 N"}, 1);
  // Boards beside the outer wall, 2 m x 0.5 m on posts.
  const char* boards[] = {"TIMEX1", "TIMEX2", "TIMEX3"};
  for (int32_t i = 0; i < 3; ++i) {
    const double x = 105.0 + 20.0 * i;
    facing({x, outer - 5.0, 1.5, outer - 1.0, 2.5, boards[i]});
    facing({x + 0.05, outer - 3.1, 0, outer - 2.9, 1.5, kFrame});
  }
  // Road lights: a lamp row of 2 m x 0.5 m on a 3 m post, every 20 m on both sides.
  for (double x = 90.0; x <= 150.0; x += 20.0)
    for (double y : {outer - 1.2, inner + 1.2}) {
      facing({x, y - 1.0, 3.0, y + 1.0, 3.5, "TRGROZEB N"});
      facing({x + 0.05, y - 0.1, 0, y + 0.1, 3.0, kFrame});
    }
  AppendMesh(out, "DISPLAYS", vs, faces);
}

}  // namespace

int32_t NetraceSegmentsFor(int32_t faces) { return std::max<int32_t>(16, faces / (2 * kLanes + 4)); }

std::string NetraceScene(int32_t segments) {
  std::string out;
  Append(&out, "Ambient light color: Red=0.3 Green=0.3 Blue=0.3");
  Append(&out, "%s", "");
  for (int32_t first = 0, index = 0; first < segments; first += kChunk, ++index)
    WriteObject(&out, index, first, std::min(first + kChunk, segments), segments);
  WriteDisplays(&out);
  return out;
}

std::array<double, 3> NetraceWorld(double x, double y, double z) { return {x - 6.4, -z - 6.4, y - 6.4}; }

std::vector<std::array<double, 3>> NetraceCentreLine() {
  const int32_t n = static_cast<int32_t>(std::lround(Length()));
  const double start = kStartX + kStraight / 2;  // arc length of point 0
  std::vector<std::array<double, 3>> points;
  for (int32_t i = 0; i < n; ++i) {
    const Pos p = At(start + Length() * i / n);
    points.push_back(NetraceWorld(p.x, p.y, 0));
  }
  return points;
}

std::string NetraceCentreLineFile() {
  const auto points = NetraceCentreLine();
  const int32_t n = static_cast<int32_t>(points.size());
  std::string bytes(4 + 24 * points.size(), '\0');
  std::memcpy(bytes.data(), &n, 4);
  for (size_t i = 0; i < points.size(); ++i) std::memcpy(bytes.data() + 4 + 24 * i, points[i].data(), 24);
  return bytes;
}

std::string NetraceMapInfo() {
  // Both grids start 5 m behind point 0, lane 0 on the inner side; lanes
  // step 5 m outwards (-Y) and rows step back along the straight (-X):
  // heading -90 degrees. The origin is 0.2 m above the road, where a car
  // placed on the grid has its tyres on the road.
  const auto origin = NetraceWorld(kStartX - 5, -kRadius + kHalfWidth - 3.5, kStartHeight);
  std::string out;
  Append(&out, "BSPLINENAME: TXT>NETRACE.BSP");
  for (int slot = 0; slot < 3; ++slot) {
    Append(&out, "FIRSTCAROFF: %.1f,%.1f,%.1f", origin[0], origin[1], origin[2]);
    Append(&out, "CARINITANGLEY: -1.570796");
  }
  // The sun low ahead of the grid, a little to the right of the straight,
  // so that its flare shows from the start.
  Append(&out, "SUN: 3000.0,-450.0,500.0");
  // Two panoramas: the green hills over the start straight and the first
  // bend (where the accelerator's ground plane may show too), the rocky
  // mountains from the back straight on. Point 0 lies half way along the
  // start straight.
  const int32_t points = static_cast<int32_t>(std::lround(Length()));
  const auto back = static_cast<int32_t>(std::ceil(kStraight / 2 + M_PI * kRadius));
  const auto home = static_cast<int32_t>(std::ceil(kStraight * 1.5 + 2 * M_PI * kRadius));
  Append(&out, "NBACKS: 2");
  Append(&out, "BACKFILE1: DECOFON2");
  Append(&out, "BACK11: 0,%d,0", back);
  Append(&out, "BACK12: %d,%d,0", home, points);
  Append(&out, "BACKFILE2: DECOFON");
  Append(&out, "BACK21: %d,%d,0", back, home);
  Append(&out, "BACK22: 0,0,0");
  return out;
}

Picture8 NetracePvsPicture() {
  constexpr int32_t kWidth = 640, kHeight = 480;
  constexpr double kMetresPerPixel = 12.8 / 4;  // a small cube of 12.8 m is 4 pixels
  constexpr double kWall = kRadius - kHalfWidth - 2 * 12.8;
  Picture8 p{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight, 0), std::vector<uint8_t>(768, 0)};
  for (int k = 3; k < 6; ++k) p.palette[k] = 255;  // colour 1 white
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      // The pixel's centre in scene metres (X along the straights, Y across).
      const double sx = (x - 314 + 0.5) * kMetresPerPixel, sy = (242 - y + 0.5) * kMetresPerPixel;
      const double along = std::max(std::fabs(sx) - kStraight / 2, 0.0);
      if (std::hypot(along, sy) < kWall) p.pixels[y * kWidth + x] = 1;
    }
  return p;
}

std::vector<TCAMERA> NetraceCameras(int32_t count) {
  std::vector<TCAMERA> cameras;
  const auto line = NetraceCentreLine();
  const size_t n = line.size();
  for (int32_t i = 0; i < count; ++i) {
    const auto& p = line[n * static_cast<size_t>(i) / count];
    const auto& ahead = line[(n * static_cast<size_t>(i) / count + 20) % n];
    TCAMERA c{};
    c.TargetX = static_cast<int32_t>(p[0] * 320.0);
    c.TargetY = static_cast<int32_t>((p[1] - 1.25) * 320.0);
    c.TargetZ = static_cast<int32_t>(p[2] * 320.0);
    const double look[3] = {ahead[0], ahead[1] - 1.25, ahead[2]};
    SB_CameraLookAt(&c, look);
    SB_UpdateCamera(&c, 1.0, 1.0);
    cameras.push_back(c);
  }
  return cameras;
}

}  // namespace datagen
