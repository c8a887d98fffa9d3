// The road mesh construction: a spine of equal segments whose heading,
// bank and altitude follow blend curves, and at every sample a cross
// section of lanes, a gutter on each side and a low wall on each gutter's
// outer edge, emitted as triangles of their own vertices.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/console.h"
#include "shell/owner.h"
#include "tools/roadgen/roadgen.h"
#include "track/scene.h"

TROADVERTEX* RoadVertices = nullptr;
int32_t RoadNbVertices = 0;
TROADFACE* RoadFaces = nullptr;
int32_t RoadNbFaces = 0;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kQuarterTurn = 1.5707964f;
constexpr double kWallHeight = 1.0;
constexpr double kFlatGradient = 0.001;  // both gradients below: curve mode
constexpr int32_t kVertexRoomLeft = 3;   // a face needs three vertices

// The piece being built: its description, spine and segment count.
struct TROADBUILD {
  const TROADPARAMS* P;
  TROADSAMPLE* Spine;
  int32_t N;
};

enum class TCURVE { S, C1, C2 };

// The blend from 0 to 1 with smoothing s: s = 0 linear, s = 1 the curve.
// Within a double's last bit of 1 at t = 1, which the samples' single
// precision rounds away: the piece ends at exactly its end values.
double Blend(double t, double s, TCURVE curve) {
  double q = 0.0;
  switch (curve) {
    case TCURVE::S: q = 1.0 - (0.5 * std::cos(kPi * t) + 0.5); break;
    case TCURVE::C1: q = 1.0 - std::cos(t * kPi / 2); break;
    case TCURVE::C2: q = std::sin(t * kPi / 2); break;
  }
  return (1.0 - s) * t + s * q;
}

double CurveAltitude(const TROADPARAMS& p, double t, double previous) {
  switch (p.SlopeCurve) {
    case 0: return p.StartZ + p.AltitudeChange * Blend(t, p.SlopeSmooth, TCURVE::S);
    case 1: return p.StartZ + p.AltitudeChange * Blend(t, p.SlopeSmooth, TCURVE::C1);
    case 2: return p.StartZ + p.AltitudeChange * Blend(t, p.SlopeSmooth, TCURVE::C2);
    default: return previous;
  }
}

void BuildSpine(const TROADBUILD& b) {
  const TROADPARAMS& p = *b.P;
  const bool gradientMode = std::fabs(p.StartGradient) >= kFlatGradient || std::fabs(p.GradientChange) >= kFlatGradient;
  double x = p.StartX, y = p.StartY, profile = p.StartZ;
  for (int32_t i = 0; i <= b.N; ++i) {
    const double t = static_cast<double>(i) / b.N;
    const float h = static_cast<float>(p.StartHeading + p.HeadingChange * Blend(t, p.HeadingSmooth, TCURVE::S));
    const float bank = static_cast<float>(p.StartBank + p.BankChange * Blend(t, p.BankSmooth, TCURVE::S));
    if (i > 0 && gradientMode)
      profile += p.BaseLength * std::tan(p.StartGradient + p.GradientChange * Blend(t, p.SlopeSmooth, TCURVE::S));
    else if (i > 0)
      profile = CurveAltitude(p, t, profile);
    // The lower road edge lies on the profile: the spine side, or the far
    // edge when the road banks the other way.
    const double lift = bank < 0 ? -p.NbLanes * double{p.LaneWidth} * std::tan(bank) : 0.0;
    b.Spine[i] = {static_cast<float>(y), static_cast<float>(profile + lift), static_cast<float>(x), h, bank};
    x += p.BaseLength * std::sin(h);
    y += p.BaseLength * std::cos(h);
  }
}

// A point d across the road from sample i (toward higher lanes), e above
// the banked road plane.
TROADVERTEX Point(const TROADBUILD& b, int32_t i, double d, double e) {
  const TROADSAMPLE& s = b.Spine[i];
  const double lateral = s.Heading + kQuarterTurn;
  return {s.X + d * std::sin(lateral), s.Y + d * std::cos(lateral), s.Altitude + d * std::tan(s.Bank) + e, 0.0,
          i * double{b.P->BaseLength} / b.P->TextureLength};
}

TROADVERTEX WithU(TROADVERTEX v, double u) {
  v.U = u;
  return v;
}

// The point family.
TROADVERTEX RoadLanePoint(const TROADBUILD& b, int32_t i, int32_t k) {
  return WithU(Point(b, i, k * double{b.P->LaneWidth}, 0.0), static_cast<double>(k) / b.P->LanesPerStrip);
}
TROADVERTEX RoadGutterPointLeft(const TROADBUILD& b, int32_t i, double u) {
  return WithU(Point(b, i, -b.P->GutterWidth, 0.0), u);
}
TROADVERTEX RoadGutterPointRight(const TROADBUILD& b, int32_t i, double u) {
  return WithU(Point(b, i, b.P->NbLanes * double{b.P->LaneWidth} + b.P->GutterWidth, 0.0), u);
}
TROADVERTEX RoadWallPointLeft(const TROADBUILD& b, int32_t i) {
  return Point(b, i, -b.P->GutterWidth, kWallHeight);
}
TROADVERTEX RoadWallPointRight(const TROADBUILD& b, int32_t i) {
  return Point(b, i, b.P->NbLanes * double{b.P->LaneWidth} + b.P->GutterWidth, kWallHeight);
}

void Triangle(const TROADVERTEX& a, const TROADVERTEX& b, const TROADVERTEX& c, const char* material) {
  RoadAddTriangle(&a, &b, &c, material);
}

// The road strips of the segment i..j, each LanesPerStrip lanes wide but
// a last narrower one.
void EmitStrips(const TROADBUILD& b, int32_t i, int32_t j) {
  const int32_t n = b.P->NbLanes, per = b.P->LanesPerStrip;
  char material[32];  // copied into the face, 15 characters at most
  int32_t k = 0;
  for (long m = 1; k < n; ++m) {
    const int32_t next = k <= n - per ? k + per : n;
    std::snprintf(material, sizeof material, "rout%ld c", m);
    Triangle(RoadLanePoint(b, i, k), RoadLanePoint(b, i, next), RoadLanePoint(b, j, next), material);
    Triangle(RoadLanePoint(b, i, k), RoadLanePoint(b, j, next), RoadLanePoint(b, j, k), material);
    k = next;
  }
}

void EmitSegment(const TROADBUILD& b, int32_t i) {
  const int32_t j = i + 1, n = b.P->NbLanes;
  const TROADVERTEX wl[2] = {RoadWallPointLeft(b, i), RoadWallPointLeft(b, j)};
  const TROADVERTEX wr[2] = {RoadWallPointRight(b, i), RoadWallPointRight(b, j)};
  const TROADVERTEX l0[2] = {WithU(RoadLanePoint(b, i, 0), 1.0), WithU(RoadLanePoint(b, j, 0), 1.0)};
  const TROADVERTEX ln[2] = {WithU(RoadLanePoint(b, i, n), 1.0), WithU(RoadLanePoint(b, j, n), 1.0)};
  Triangle(wl[0], RoadGutterPointLeft(b, i, 1.0), RoadGutterPointLeft(b, j, 1.0), "mur1 m");
  Triangle(wl[0], RoadGutterPointLeft(b, j, 1.0), wl[1], "mur1 m");
  Triangle(RoadGutterPointLeft(b, i, 0.0), l0[0], l0[1], "caniv1 c");
  Triangle(RoadGutterPointLeft(b, i, 0.0), l0[1], RoadGutterPointLeft(b, j, 0.0), "caniv1 c");
  EmitStrips(b, i, j);
  Triangle(ln[0], RoadGutterPointRight(b, i, 0.0), RoadGutterPointRight(b, j, 0.0), "caniv1 c");
  Triangle(ln[0], RoadGutterPointRight(b, j, 0.0), ln[1], "caniv1 c");
  Triangle(RoadGutterPointRight(b, i, 1.0), wr[0], wr[1], "mur1 m");
  Triangle(RoadGutterPointRight(b, i, 1.0), wr[1], RoadGutterPointRight(b, j, 1.0), "mur1 m");
}

// Segments i..i+1 and i+1..i+2 with walls and gutter edges on samples i
// and i + 2 only.
void EmitPair(const TROADBUILD& b, int32_t i) {
  const int32_t j = i + 1, l = i + 2, n = b.P->NbLanes;
  const TROADVERTEX wl[2] = {RoadWallPointLeft(b, i), RoadWallPointLeft(b, l)};
  const TROADVERTEX wr[2] = {RoadWallPointRight(b, i), RoadWallPointRight(b, l)};
  TROADVERTEX l0[3], ln[3];
  for (int32_t s = 0; s < 3; ++s) {
    l0[s] = WithU(RoadLanePoint(b, i + s, 0), 1.0);
    ln[s] = WithU(RoadLanePoint(b, i + s, n), 1.0);
  }
  Triangle(wl[0], RoadGutterPointLeft(b, i, 1.0), RoadGutterPointLeft(b, l, 1.0), "mur1 m");
  Triangle(wl[0], RoadGutterPointLeft(b, l, 1.0), wl[1], "mur1 m");
  Triangle(RoadGutterPointLeft(b, i, 0.0), l0[0], l0[1], "caniv1 c");
  Triangle(RoadGutterPointLeft(b, i, 0.0), l0[1], RoadGutterPointLeft(b, l, 0.0), "caniv1 c");
  Triangle(l0[1], l0[2], RoadGutterPointLeft(b, l, 0.0), "caniv1 c");
  EmitStrips(b, i, j);
  Triangle(RoadGutterPointRight(b, i, 0.0), ln[1], ln[0], "caniv1 c");
  Triangle(RoadGutterPointRight(b, i, 0.0), RoadGutterPointRight(b, l, 0.0), ln[1], "caniv1 c");
  Triangle(ln[1], RoadGutterPointRight(b, l, 0.0), ln[2], "caniv1 c");
  Triangle(RoadGutterPointRight(b, i, 1.0), wr[0], wr[1], "mur1 m");
  Triangle(RoadGutterPointRight(b, i, 1.0), wr[1], RoadGutterPointRight(b, l, 1.0), "mur1 m");
  EmitStrips(b, j, l);
}

void EmitMesh(const TROADBUILD& b) {
  int32_t single = 0;
  if (b.P->SimplifiedWall)
    for (; single < b.N - 1; single += 2) EmitPair(b, single);
  for (; single < b.N; ++single) EmitSegment(b, single);
}

// What the piece's numbers may be: all finite; a smoothing a share; the
// bank and the gradient short of a right angle, where the road would
// stand on its edge; positions, altitudes and widths well inside what a
// float holds, so that the spine's sums stay numbers (the map's own
// limits are checked on the built mesh).
constexpr double kMaxBank = 1.5, kMaxGradient = 1.5;  // radians
constexpr double kMaxPlace = 1e6, kMaxWidth = 1000.0;  // metres
constexpr double kMapUnits = 10.0;                     // a scene metre in the map's units

bool Finite(const TROADPARAMS& p) {
  const float values[] = {p.StartY,       p.StartZ,     p.StartX,         p.StartHeading, p.StartGradient,
                          p.StartBank,    p.HeadingChange, p.GradientChange, p.BankChange, p.AltitudeChange,
                          p.LaneWidth,    p.BaseLength, p.Length,         p.TextureLength, p.SlopeSmooth,
                          p.BankSmooth,   p.HeadingSmooth, p.GutterWidth};
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

bool Share(float s) { return s >= 0.0f && s <= 1.0f; }

bool Within(double v, double limit) { return std::fabs(v) <= limit; }

// Why the numbers make no piece, before anything is built; null when they
// make one, its segment count in *segments.
const char* Refusal(const TROADPARAMS& p, int32_t* segments) {
  if (!Finite(p)) return "Nombre invalide !!!";
  if (p.BaseLength < 1.0f) return "Un metre de base mimimum !!!";
  const double n = std::ceil(static_cast<double>(p.Length) / p.BaseLength);
  if (n > SB_MAXROADSEGMENTS || p.NbLanes < 0 || p.NbLanes > SB_MAXROADLANES || p.LanesPerStrip < 1 ||
      p.BaseLength > kMaxWidth)
    return "Portion de route trop grande !!!";
  if (n < 1) return "Un segment minumum !!!";
  if (!Share(p.SlopeSmooth) || !Share(p.BankSmooth) || !Share(p.HeadingSmooth)) return "Smooth entre 0.0 et 1.0 !!!";
  if (!Within(p.StartBank, kMaxBank) || !Within(double{p.StartBank} + p.BankChange, kMaxBank))
    return "Virage trop incline !!!";
  if (!Within(p.StartGradient, kMaxGradient) || !Within(double{p.StartGradient} + p.GradientChange, kMaxGradient))
    return "Pente trop forte !!!";
  if (!(p.LaneWidth > 0.0f && p.LaneWidth <= kMaxWidth && p.GutterWidth >= 0.0f && p.GutterWidth <= kMaxWidth &&
        p.TextureLength > 0.0f))
    return "Nombre invalide !!!";
  if (!Within(p.StartX, kMaxPlace) || !Within(p.StartY, kMaxPlace) || !Within(p.StartZ, kMaxPlace) ||
      !Within(p.AltitudeChange, kMaxPlace))
    return "Portion de route hors de la carte !!!";
  *segments = static_cast<int32_t>(n);
  return nullptr;
}

// A bend whose inner edge would run backwards (a radius below the road's
// width on the inside of the turn) folds the road onto itself. Turning
// toward the lanes (a growing heading) the inside is the far edge.
bool TooTight(const TROADBUILD& b) {
  const double left = b.P->GutterWidth, right = b.P->NbLanes * double{b.P->LaneWidth} + b.P->GutterWidth;
  for (int32_t i = 0; i < b.N; ++i) {
    const double turn = double{b.Spine[i + 1].Heading} - b.Spine[i].Heading;
    const double inside = turn > 0 ? right : left;
    if (!(std::fabs(turn) < kQuarterTurn && std::fabs(turn) * inside < b.P->BaseLength)) return true;
  }
  return false;
}

// Whether the track's scene reader takes the mesh as it will be written:
// every vertex inside the map's coordinates and texture range, and no
// face larger than the reader's bound on an axis. The reader turns the
// file's (X, Y, Z) into map (10 X, -10 Z, 10 Y).
bool InsideMap() {
  auto map = [](const TROADVERTEX& v, int32_t axis) {
    return axis == 0 ? kMapUnits * v.X : axis == 1 ? -kMapUnits * v.Z : kMapUnits * v.Y;
  };
  for (int32_t i = 0; i < RoadNbVertices; ++i) {
    const TROADVERTEX& v = RoadVertices[i];
    for (int32_t axis = 0; axis < 3; ++axis)
      if (!(map(v, axis) >= SB_MINMAPCOORD && map(v, axis) <= SB_MAXMAPCOORD)) return false;
    if (!Within(v.U, SB_MAXMAPPING) || !Within(v.V, SB_MAXMAPPING)) return false;
  }
  for (int32_t f = 0; f < RoadNbFaces; ++f) {
    const TROADFACE& face = RoadFaces[f];
    const TROADVERTEX* c[3] = {&RoadVertices[face.A], &RoadVertices[face.B], &RoadVertices[face.C]};
    for (int32_t k = 0; k < 3; ++k)
      for (int32_t axis = 0; axis < 3; ++axis)
        if (!Within(map(*c[k], axis) - map(*c[(k + 1) % 3], axis), SB_MAXFACESPAN)) return false;
  }
  return true;
}

int32_t g_droppedFaces = 0;  // triangles the arrays had no room for, in this build

}  // namespace

void RoadAddTriangle(const TROADVERTEX* p1, const TROADVERTEX* p2, const TROADVERTEX* p3, const char* material) {
  if (RoadNbVertices >= SB_MAXROADVERTICES - kVertexRoomLeft || RoadNbFaces >= SB_MAXROADFACES) {
    ++g_droppedFaces;
    return;
  }
  TROADFACE& f = RoadFaces[RoadNbFaces++];
  f.A = RoadNbVertices;
  f.B = RoadNbVertices + 1;
  f.C = RoadNbVertices + 2;
  std::snprintf(f.Material, sizeof f.Material, "%s", material);
  RoadVertices[RoadNbVertices++] = *p1;
  RoadVertices[RoadNbVertices++] = *p2;
  RoadVertices[RoadNbVertices++] = *p3;
}

int32_t SB_BuildRoadMesh(const TROADPARAMS* params) {
  RoadNbVertices = RoadNbFaces = g_droppedFaces = 0;
  int32_t n = 0;
  if (const char* refusal = Refusal(*params, &n)) {
    SB_ConsolePrintf("%s", refusal);
    return 0;
  }
  auto* spine = static_cast<TROADSAMPLE*>(SB_GetMem((n + 1) * static_cast<int32_t>(sizeof(TROADSAMPLE)),
                                                   "CalcRoadAndSaveAscii"));
  RoadVertices = static_cast<TROADVERTEX*>(
      SB_GetMem(SB_MAXROADVERTICES * static_cast<int32_t>(sizeof(TROADVERTEX)), "Creation de circuits (points)"));
  RoadFaces = static_cast<TROADFACE*>(
      SB_GetMem(SB_MAXROADFACES * static_cast<int32_t>(sizeof(TROADFACE)), "Creation de circuits (faces)"));
  const char* refusal = spine && RoadVertices && RoadFaces ? nullptr : "Memory allocation error...";
  if (!refusal) {
    const TROADBUILD build = {params, spine, n};
    BuildSpine(build);
    if (TooTight(build)) refusal = "Virage trop serre !!!";
  }
  if (!refusal) {
    EmitMesh({params, spine, n});
    // A piece the arrays cannot hold whole, or that the map cannot take,
    // is not written at all.
    if (g_droppedFaces) refusal = "Portion de route trop grande !!!";
    else if (!InsideMap()) refusal = "Portion de route hors de la carte !!!";
  }
  if (spine) SB_Release(spine);
  if (refusal) {
    SB_ConsolePrintf("%s", refusal);
    SB_FreeRoadMesh();
    RoadNbVertices = RoadNbFaces = 0;  // no mesh is left of a refused piece
    return 0;
  }
  SB_ConsolePrintf("Creation du circuit...");
  return n;
}

void SB_FreeRoadMesh() {
  if (RoadVertices) SB_Release(RoadVertices);
  if (RoadFaces) SB_Release(RoadFaces);
  RoadVertices = nullptr;
  RoadFaces = nullptr;
}

void CalcRoadAndSaveAscii(const char* path, const TROADPARAMS* params) {
  if (SB_BuildRoadMesh(params)) SaveRoadAscii(path);
  SB_FreeRoadMesh();
}
