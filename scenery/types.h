// Records and constants of the scenery that other floors hold: the glass
// runs of the window reflections, the smoke puffs, the panorama entries,
// the background objects, the trackside LED panels, the start lights and
// the road lights, the decor objects with their script blocks and
// commands, and the car shadow volumes a view holds.
#pragma once
#include <cstdint>

#include "platform/accel/types.h"

struct BMAP;
struct OBJECT;

// One horizontal run of glass texels of the glass mask.
struct TGLASSLINE {
  int32_t Start;      // software: byte offset of the first texel; accelerator: column << 16 | row
  int32_t Length;     // texels
  int32_t EndColumn;  // the first non-glass texel after the run
  int32_t Row;
};

constexpr int32_t SB_LEDPANELCOUNT = 5;
constexpr int32_t SB_LEDTEXTSIZE = 256;  // a panel's text buffer
constexpr int32_t SB_LEDDOTSIDE = 4;     // the dot pictures' side
constexpr int32_t SB_LEDDOTTEXELS = SB_LEDDOTSIDE * SB_LEDDOTSIDE;

// One trackside LED panel.
struct TLEDPANEL {
  const char* Pattern;      // the texture name it takes
  uintptr_t panelTextureID; // software: the texture's first texel; accelerator: x << 16 | y; 0 none
  uint32_t PageNumber;      // the software page or the accelerator's cache slot
  int32_t Texture;          // index of its map texture
  int32_t Found;            // the texture was found (a card id of 0 is a texture at its square's origin)
  char Text[SB_LEDTEXTSIZE];
  int32_t Current;    // the scroll window's first character, an index into Text
  int32_t SubColumn;  // the scroll position inside it
  uint32_t Mode;      // 0 scrolling text
  int32_t Speed;      // sub-columns per second
  int32_t Step;       // ms between redraws, 0 every frame
  uint32_t Active;    // scrolling
  uint32_t RedrawClock;
  uint32_t ScrollClock;
  int32_t Length;
  uint32_t Changed;   // the accelerator's page must be uploaded again
  uint32_t Width;     // the texture's width: 256, or on the accelerator any
};

// A lamp or road-light texture found on the map.
struct TPANELPAGE {
  int32_t Present;
  int32_t Texture;  // index of its map texture
  uintptr_t Id;     // as TLEDPANEL::panelTextureID
  uint32_t PageNumber;
  int32_t Width;
  int32_t Visible;  // road lights: used by the view of the frame
};

// The texels of a lamp or road-light texture's written area as the map
// drew them, put back at the race's end: the map's textures outlive the
// race, and the next race must start with its lamps out.
struct TPANELDRAWN {
  uint16_t* Texels;   // W x H texels, row after row; null when none were taken
  const void* Block;  // the block they came from: the card slot's texels or the software texture's
  int32_t Bytes;      // bytes per texel of that block (0 on the card)
  int32_t X, Y, W, H; // the area inside the texture
};

// One smoke puff of the race's pool; the vertical axis points down.
constexpr int32_t SB_NBFUMEES = 100;
struct TFUMEE {
  double X, Y, Z;     // metres
  double Vx, Vy, Vz;  // metres per second
  float Size;         // the sprite's side, metres
  float Age;          // seconds
  uint32_t Busy;
};

// One panorama of the circuit: the two stretches of the centre line
// (point indexes, from inclusive, to exclusive) where it shows, and its
// picture (none on the accelerator, which shows its ground plane in the
// first entry's stretches instead). The longs are read and not used.
constexpr int32_t SB_MAXBACKGROUNDS = 64;
constexpr int32_t SB_BACKNAMESIZE = 256;  // a panorama's name with its terminator
struct TBACKGROUND {
  double From1, To1;
  int32_t Long1;
  double From2, To2;
  int32_t Long2;
  BMAP* Picture;
};

// A background object of "backobc.txt": the object as loaded (textures in
// HSV), the race's instance for the screen's format (null outside races),
// its place in metres as written, and its file name.
constexpr int32_t SB_MAXBACKOBCS = 10;
constexpr int32_t SB_BACKOBCNAMESIZE = 256;
struct TBACKOBC {
  OBJECT* Object;
  OBJECT* Instance;
  float X, Y, Z;
  char Name[SB_BACKOBCNAMESIZE];
};

// The panels, start lights and road lights of the race.
struct TPANELSTATE {
  TLEDPANEL Panels[SB_LEDPANELCOUNT];
  int32_t On;  // every panel page found and the font built
  uint8_t Font[38][6];  // glyph columns, bit 7 the top row
  // The dot table in the texels of the mode: 8-bit unlit rows then lit,
  // 16-bit the same, accelerator lit then unlit in twiddled order.
  uint8_t Dots[2 * SB_LEDDOTTEXELS * 2];
  BMAP* DotOn;
  BMAP* DotOff;
  TPANELPAGE LampsOff;  // "DEPART", the lamps shown on the track
  TPANELPAGE LampsOn;   // "DEPART3", the same drawn lit
  int32_t LampsChanged;
  uint8_t* trafficLightsSaver;
  int32_t SaverSize;
  int32_t SaverFilled;  // holds the unlit lamps
  TPANELPAGE RoadLights[2];  // "TRGROZEB", "?PAVIR"
  int32_t RoadPhase;          // 0..3
  int32_t RoadClock;          // ms owed to the animation
  TPANELDRAWN Drawn[3];       // "DEPART" and the two road lights as the map drew them
};

// ---------------------------------------------------------------------------
// Decor objects and their scripts.
// ---------------------------------------------------------------------------

struct OBJECT;

constexpr int32_t SB_MAXDECOROBJECTS = 256;  // objects of one list
constexpr int32_t SB_DECORNAMESIZE = 64;     // a list's file name with its terminator
constexpr int32_t SB_DECORPARTSIZE = 16;     // a block's name with its terminator
constexpr double SB_DECORUNITS = 60800.0;    // display units of an object to the metre
constexpr int32_t SB_DECORTABLERECORD = 24;  // a TABLE record: three little-endian doubles

// The flag bits of a decor command: one per keyword, the fresh bit, and
// the running bit of a block's flag word.
constexpr uint32_t DECOR_XYZ = 0x1;
constexpr uint32_t DECOR_ANGLE = 0x2;
constexpr uint32_t DECOR_SPEED = 0x4;
constexpr uint32_t DECOR_ASPEED = 0x8;
constexpr uint32_t DECOR_GOTO = 0x10;
constexpr uint32_t DECOR_FRESH = 0x20;  // entered, its first frame not run yet
constexpr uint32_t DECOR_AUTOANGLE = 0x40;
constexpr uint32_t DECOR_AUTOALT = 0x80;
constexpr uint32_t DECOR_AUTOPENCHE = 0x100;
constexpr uint32_t DECOR_RIGHTNOW = 0x200;
constexpr uint32_t DECOR_TIME = 0x400;
constexpr uint32_t DECOR_ACC = 0x800;
constexpr uint32_t DECOR_AACC = 0x1000;
constexpr uint32_t DECOR_VMINMAX = 0x2000;
constexpr uint32_t DECOR_AVMINMAX = 0x4000;
constexpr uint32_t DECOR_TABLE = 0x8000;
constexpr uint32_t DECOR_RANDTIME = 0x10000;
constexpr uint32_t DECOR_AUTOSPEED = 0x20000;
constexpr uint32_t DECOR_SINEXYZ = 0x40000;
constexpr uint32_t DECOR_RUNNING = 0x100;  // of a block's flag word

// One timed command of a block. Positions in metres, angles in degrees,
// times in seconds except the two clock values (ms of SB_Var.Time).
struct TDECORCMD {
  double Duration;
  double LastFrameTime;
  int32_t StartTime;
  uint32_t Flags;
  float Altitude;  // AUTOALT: above the ground
  double Position[3];
  double Angles[3];
  double Speed[3];
  double AngularSpeed[3];
  double Acceleration[3];
  double AngularAcceleration[3];
  float SpeedMax;
  float SpeedMin;
  float AngularSpeedMin;
  float AngularSpeedMax;
  uint8_t Target;  // GOTO's command index, or RANDTIME's whole seconds
  uint8_t* Table;  // the TABLE file whole, null when none
  int32_t TableCount;
  double TableCursor;  // records travelled along the table
};

// One block: commands that drive one object, the decor object itself or a
// named part of it.
struct TDECORBLOCK {
  TDECORCMD* Commands;
  int32_t NbCommands;
  int32_t CurrentCommand;
  OBJECT* Object;  // the object it moves, null when none
  double Position[3];
  double PrevPosition[3];  // at the end of the previous frame
  double Angles[3];        // turned by ASPEED
  char Name[SB_DECORPARTSIZE];  // the decor object's first object's name
  uint32_t Flags;               // DECOR_RUNNING
};

// One decor object of the loaded list.
struct TDECOROBJ {
  OBJECT* Object;  // null when its file did not load
  int32_t NbBlocks;
  int32_t CurrentBlock;  // the block last started, -1 none
  TDECORBLOCK* Blocks;
};

// A car part's shadow volume as a view holds it: the facing of each mesh
// polygon to the light, the projected points of its plane triangles (from
// the mesh's vertex count on), the mesh's vertices and the light in view
// space (1/320 m), and its screen box (min x, min y, max x, max y).
constexpr int32_t SB_SHADOWMAXVERTICES = 400;
constexpr int32_t SB_SHADOWMAXPOLYGONS = 200;
constexpr int32_t SB_SHADOWMAXEDGES = 200;
constexpr int32_t SB_SHADOWCARS = 3;
constexpr int32_t SB_SHADOWPARTS = 6;
constexpr int32_t SB_NBSHADOWVOLUMES = SB_SHADOWCARS * SB_SHADOWPARTS;  // index part x 3 + car
struct TSHADOWVOLUME {
  uint8_t Facing[SB_SHADOWMAXPOLYGONS];
  TSGLVERTEX Projected[SB_SHADOWMAXVERTICES + 1];
  double View[SB_SHADOWMAXVERTICES][3];
  double Light[3];
  int32_t Box[4];
};
