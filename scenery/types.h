// Records and constants of the scenery that other floors hold: the glass
// runs of the window reflections, the smoke puffs, the trackside LED
// panels, the start lights, the road lights, the panorama entries and the
// car shadow volumes a view holds.
#pragma once
#include <cstdint>

#include "platform/accel/types.h"

struct BMAP;

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

// One smoke puff of the race's pool; the vertical axis points down.
constexpr int32_t SB_NBFUMEES = 100;
struct TFUMEE {
  double X, Y, Z;     // metres
  double Vx, Vy, Vz;  // metres per second
  float Size;         // the sprite's side, metres
  float Age;          // seconds
  uint32_t Busy;
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
};

// A panorama entry: the two centre-line ranges (point indexes) where it
// is shown, a word after each that is read and not used, and its picture
// (none on the accelerator).
struct TBACKGROUND {
  double From1, To1;
  int32_t Word1;
  double From2, To2;
  int32_t Word2;
  BMAP* Picture;
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
