// The accelerator's scene: the near-plane and screen clip of its polygons,
// their submission in batches of triangles per texture slot and variant,
// the object emitters, the map transform, the car-position inset, the
// face shading and the camera-zone factor. The race's entries (frame,
// clip pass, render slots, object display) are in racescene/race3d.h; what
// the submission reads of a texture-cache slot is in engine3d/texcache.h.
#pragma once
#include <cstdint>

#include "engine3d/texcache.h"
#include "engine3d/types.h"

struct TGRAF;
struct TFFACEPOLY;
struct TMAPFACE;
struct _WINDOW;

// Polygons of more corners are not clipped or submitted.
constexpr int32_t SB_MAXPOLYCORNERS = 8;
constexpr float SB_NEARPLANE = 128.0f;
constexpr int32_t SB_MAXQUADS = 99;
// The inset's square.
constexpr int32_t SB_INSETSIDE = 160;

// Clipping of twelve-word clip vertices (TCLIPVERTEX). `out` needs room
// for 2n + 4 vertices.
int32_t POWER_ClipPolyNear(TCLIPVERTEX* in, TCLIPVERTEX* out, int32_t n, float near);
int32_t POWER_ClipPolygon(const _WINDOW* window, TCLIPVERTEX* in, TCLIPVERTEX* out, int32_t n);
void POWER_ClipEdge(void* vertices, int32_t out, int32_t inside, int32_t outside, int32_t code, int32_t width,
                    int32_t height);

// Submission.
void POWER_SubmitViewPolygons(_WINDOW* window, TSOFTSCENE* scene);
void POWER_FlushTriangleBatch(int32_t slot, int32_t variant);
void POWER_FlushAllTriangleBatches();
// The edge-flag word of a fan's first face (n - 3 when every turn of the
// polygon has the sign of the first, else 0); later faces get 31 when
// this is not 0 or the polygon is a triangle.
int32_t POWER_FanEdgeFlags(const TSGLVERTEX* vertices, int32_t n);

// One point of an object transformed for the camera: camera position in
// object units (1/60800 m), screen position, Gouraud colour and clip code
// (2, 4, 8, 16; 32 nearer than 24320).
struct TOBJVERTEX {
  int32_t X, Y, Z;
  int32_t Words[3];
  int32_t ScreenX, ScreenY;
  uint32_t Colour;
  int32_t Code;
};
constexpr int32_t SB_OBJECTNEAR = 24320;  // 128 x 190
constexpr double SB_OBJECTUNITS = 190.0;  // object units a world unit

// One object face into SB_Var.EmitScene: three vertices of the
// transformed-vertex list, or four (two triangles).
void POWER_EmitObjectTriangle(const TGRAF* face, TOBJVERTEX* const* vertices);
void POWER_EmitObjectQuad(const TGRAF* face, TOBJVERTEX* const* vertices);

// The software emitters: the object's faces at its key in the scene's
// depth-ordered list; the 8-bit car shadow.
void SB_EmitObjectTriangleSoft(TOBJVERTEX* const* vertices, const TGRAF* face);
void SB_EmitObjectQuadSoft(TOBJVERTEX* const* vertices, const TGRAF* face);
struct TCAR;
void SB_EmitCarShadowSoft(_WINDOW* window, TCAMERA* camera, TCAR* car, TSOFTSCENE* scene, int32_t key);
struct OBJECT;
// Transforms, lights and lists the faces of every part; the count.
int32_t SB_DrawAtom(OBJECT* list);

// The map's cubes along the track and in view, into the view.
void POWER_TransformMapSectors(TSOFTSCENE* view, TCAMERA* camera);

// The inset: its textures' uses, and its drawing.
void POWER_CountInsetTextures(TSOFTSCENE* scene);
void POWER_DrawCarsInset();
// Setup number 0..7 to picture 4, 7, 5, 6, 0, 1, 2, 3 in the SCARS grid;
// the cell's top-left u and v.
void POWER_InsetCarCell(int32_t setup, float* u, float* v);

// Face shading.
void SB_ShadeMapVertex(TMAPFACE* face);
void SB_ShadeDecorVertex(TFFACEPOLY* face);
// The zone factor at a position (metres).
double SB_CalcCameraZoneFactor(const double position[3]);

// Empties a view for the accelerator: cursors at the array bases (the clip
// data behind the MaxVertices vertices), counts and use counters 0.
void POWER_ResetScene(TSOFTSCENE* scene);
// The map's face shades for the light.
void SB_RefreshLighting();
