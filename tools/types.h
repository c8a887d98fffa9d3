// Records and constants of the tools that other floors hold: the race
// line's sizes, and the road generator's piece description, spine samples,
// mesh vertices and faces.
#pragma once
#include <cstdint>

// The race line: control points, and the table resampled every metre.
constexpr int32_t SB_MAXRACELINEPOINTS = 1000;
constexpr int32_t SB_MAXBSPLINEMETERS = 10000;

// One road piece, as the road-piece dialogue fills it (angles in radians,
// lengths in metres; the file's Z axis is up).
struct TROADPARAMS {
  const char* Path;       // the output path (the builders pass it apart)
  float StartY;           // start position on the file's Y axis
  float StartZ;           // start altitude
  float StartX;           // start position on the file's X axis
  float StartHeading;     // heading at the first sample
  float StartGradient;    // gradient angle of the first segment
  float StartBank;        // bank angle at the first sample
  float HeadingChange;    // changes over the piece
  float GradientChange;
  float BankChange;
  float AltitudeChange;   // in curve mode
  float LaneWidth;
  float BaseLength;       // length of one segment
  float Length;           // requested length of the piece
  float TextureLength;    // divisor of the V texture coordinate
  float SlopeSmooth;      // 0..1: share of the curve in the altitude or gradient blend
  float BankSmooth;       // share of the S-curve in the bank blend
  float HeadingSmooth;    // share of the S-curve in the heading blend
  float GutterWidth;
  int32_t NbLanes;
  int32_t LanesPerStrip;  // lanes one road strip covers (one texture repeat across)
  int32_t SlopeCurve;     // curve mode: 0 S-curve, 1 quarter-cosine rise, 2 quarter-sine rise
  int32_t SimplifiedWall; // walls and gutter outer edges on every second sample
};

// One spine sample.
struct TROADSAMPLE {
  float Y, Altitude, X, Heading, Bank;
};

// One mesh vertex.
struct TROADVERTEX {
  double X, Y, Z, U, V;
};

// One triangle: its three vertices and its material name.
constexpr int32_t SB_ROADMATERIALSIZE = 16;
struct TROADFACE {
  int32_t A, B, C;
  char Material[SB_ROADMATERIALSIZE];
};

// Room of the mesh work arrays.
constexpr int32_t SB_MAXROADVERTICES = 10000;
constexpr int32_t SB_MAXROADFACES = 2500;
