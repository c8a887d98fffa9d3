// Records and constants of the tools that other floors hold: the race
// line's sizes, and the road generator's piece description, spine samples,
// mesh vertices and faces.
#pragma once
#include <cstdint>

#include "track/types.h"

// The race line: control points, and the table resampled every metre.
constexpr int32_t SB_MAXRACELINEPOINTS = 1000;
constexpr int32_t SB_MAXBSPLINEMETERS = SB_MOSTBSPLINEPOINTS;  // what a race takes

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

// Texture animations: a set of animations, each a list of steps that copy a
// source rectangle of a texture page onto a destination rectangle, or that
// rotate one destination rectangle (scroll kinds).
constexpr uint32_t TXA_LOOP = 0x1;
constexpr uint32_t TXA_KINDMASK = 0x3C;  // bits 2..5: the kind, 0..9
constexpr int32_t TXA_KINDSHIFT = 2;
constexpr uint32_t TXA_PINGPONG = 0x200;
constexpr uint32_t TXA_FORWARD = 0x400;
constexpr uint32_t TXA_PLAYING = 0x1000;
constexpr uint32_t TXA_SCROLL = 0x2000;
constexpr uint32_t TXA_ENDED = 0x4000;
constexpr uint32_t TXA_PAUSED = 0x8000;
constexpr int32_t TXA_NBKINDS = 10;
constexpr int32_t TXA_KIND_NORMAL = 0, TXA_KIND_VIRTUAL = 1, TXA_KIND_TOP = 2, TXA_KIND_BOTTOM = 3,
                  TXA_KIND_LEFT = 4, TXA_KIND_RIGHT = 5, TXA_KIND_TOPLEFT = 6, TXA_KIND_TOPRIGHT = 7,
                  TXA_KIND_BOTLEFT = 8, TXA_KIND_BOTRIGHT = 9;
constexpr uint8_t TXA_SRCDEFINED = 0x80;  // SrcFlags
constexpr uint8_t TXA_DSTDEFINED = 0x01;  // DstFlags
constexpr uint8_t TXA_SELECTED = 0x08;    // DstFlags
constexpr int32_t TXA_NAMESIZE = 16;
constexpr int32_t TXA_MAXSTEPS = 127;  // the most a signed byte counts
constexpr int32_t TXA_STEPDELAY = 65536;

struct TTXTANIMSTEP {
  int32_t Delay;       // in 1/65536 units; the step lasts Delay x Rate ms
  uint32_t StartTime;  // the game clock when the step became current
  uint8_t SrcFlags;
  uint8_t DstFlags;
  int16_t SrcTexture, DstTexture;  // indices of the map's textures
  int16_t SrcX, SrcY, SrcW, SrcH;  // scroll kinds: SrcX is the scroll step
  int16_t DstX, DstY, DstW, DstH;
};

struct BMAP;
struct TTXTANIM {
  char Name[TXA_NAMESIZE];
  int8_t NbSteps;
  int8_t CurStep;
  int8_t FirstShown, LastShown;  // the editor's time line
  uint32_t Flags;
  double Rate;  // ms per delay unit of 1/65536
  TTXTANIMSTEP* Steps;
  BMAP* Bmap;  // owned, or null
};

struct TTXTANIMSET {
  int32_t NbAnims;
  int32_t CurAnim;
  TTXTANIM* Anims;  // null when there are none
};

// The animations whose first step writes into one texture.
struct TPAGEANIMLIST {
  int32_t NbAnims;
  uint32_t FrameWord;  // cleared every race frame
  TTXTANIM** Anims;
};

// The editors' window toolkit. A window: its place and outer size on the
// view, its title (also the owner tag of the record and its bitmaps), the
// whole window as shown, its client area ((width - 4) x (height - 14) at
// (2, 12) in the frame) and the layer its buttons are drawn into, and its
// links.
struct BMAP;
struct TTOOLBUTTON;
struct TTOOLWINDOW {
  int32_t X, Y;
  int32_t Width, Height;
  const char* Title;
  BMAP* Frame;
  BMAP* Client;
  BMAP* ButtonsLayer;
  TTOOLWINDOW* Next;
  TTOOLWINDOW* Child;
  TTOOLWINDOW* Parent;
  TTOOLBUTTON* FirstButton;
};

// A push button in its window's client area. State bit 0 pressed, bit 1
// under the mouse; the value 0..3 is also its bevel style.
constexpr uint32_t SB_BUTTONPRESSED = 1, SB_BUTTONHOT = 2;
struct TTOOLBUTTON {
  int32_t X, Y;
  uint32_t State;
  int32_t Width, Height;
  const char* Label;
  TTOOLWINDOW* Owner;
  TTOOLBUTTON* Next;
  TTOOLBUTTON* Previous;
};

// The scene editor's tools (the Tools window's buttons, in order) and its
// cursor kinds (0 arrow, 2 select, 3 loupe, 4 hand; 1 unused).
constexpr int32_t SB_NBSCENETOOLS = 8;
constexpr int32_t SB_TOOLSELECT = 0, SB_TOOLMOVE = 1, SB_TOOLROTY = 2, SB_TOOLROTX = 3, SB_TOOLROTZ = 4,
                  SB_TOOLMAIN = 5, SB_TOOLLOUPE = 6, SB_TOOLROUTE = 7;
constexpr int32_t SB_NBEDITORCURSORS = 5;
