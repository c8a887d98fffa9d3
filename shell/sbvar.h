// The game's global record. It lives for the whole run; SB_ResetVars puts
// it back to its state before start-up (used by test fixtures).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine3d/types.h"
#include "frontend/types.h"
#include "net/types.h"
#include "platform/accel/types.h"
#include "race/types.h"
#include "scenery/types.h"
#include "shell/settings.h"
#include "system/asm3d/zidade3d.h"
#include "tools/types.h"
#include "track/types.h"
#include "vehicles/types.h"

struct BMAP;
struct BMAPANIM;
struct FLI;
struct FONT;
struct MODULE;
struct PALETTE;
struct TSBFONT;
struct TSBSOUND;
struct SOUND;
struct TSOFTSCENE;
struct TREPLAY;
struct TCAR;

// Console screen and command history sizes.
constexpr int32_t SB_CONSOLELINES = 60;
constexpr int32_t SB_CONSOLECOLUMNS = 80;  // characters of one console line
constexpr int32_t SB_HISTORYLINES = 32;    // the last one is the line being edited

// Circuit file names (a console word of 255 characters with the longest
// directory and extension) and the texture directory.
constexpr size_t SB_FILENAMESIZE = 272;
constexpr size_t SB_TEXTUREPATHSIZE = 32;  // "NAME>" and its terminator
constexpr int32_t SB_NBMIPMAPDIST = 4;

struct SB_VARS {
  // Fields are grouped by the folder that owns them.

  // ========================================================================
  // shell/: the game-layer services
  // ========================================================================

  // Owner-tagged memory and bitmaps (the tables themselves: shell/owner.h).
  int32_t NbMemOwners;        // records in use, the first ones of the table
  int32_t NbBmapOwners;
  int32_t MaxMemOwners;       // high-water marks since the start
  int32_t MaxBmapOwners;
  char LastOwner[256];        // owner tag of the record last removed
  uintptr_t GameHeap;         // the map construction's heap, or 0

  // File, picture and event helpers.
  int32_t ReadChunkSize;      // largest piece read between two event pumps
  int32_t AltEnterLatch;      // set while Alt+Enter is held, so one press toggles once

  // Game clock, in milliseconds of the multimedia timer.
  uint32_t Time;              // at the last update or reset
  int32_t FrameTime;          // between the last two updates
  uint32_t RecordMark;        // set by a reset; moved on by the car recording
  int32_t MaxFrameRate;       // best frame rate seen: the frames the clock last moved over, a second over their time
  int32_t FramesThisTick;     // frames ended since the clock last moved; -1 right after a reset
  int32_t TimedFrames;        // frames the clock moved over, as the best rate counts them

  // Console screen, log and line editor.
  char ConsoleText[SB_CONSOLELINES][SB_CONSOLECOLUMNS + 1];
  int32_t ConsoleLine;        // line written next, 0..59
  char ConsoleHistory[SB_HISTORYLINES][SB_CONSOLECOLUMNS + 1];  // oldest first; 31 is being edited
  int32_t HistoryIndex;       // browse position, 31 when not browsing
  int32_t UpKeyHeld;          // arrow keys' held state at the previous step
  int32_t DownKeyHeld;
  int32_t LeftKeyHeld;        // shared by the line editor and the prompt input
  int32_t DrawConsole;        // 0: printing fills the text but draws nothing
  BMAP* DevEnvScreen;         // the console bitmap "dev env", made at the first drawing
  BMAP* DevEnvBackground;     // the console's background picture, or null
  int32_t FileOutput;         // console lines are appended to the log file

  // Player settings (shell/settings.h) and the menu values stored beside them.
  TREGSETTINGS Settings;
  int32_t MenuDetail;   // 0 high, 1 medium, 2 low
  int32_t MenuShadows;  // 0 high, 1 low, 2 none
  int32_t MenuNbPlayers;
  char MenuPlayerName[SB_MENUNAMESIZE];  // the network player name
  char MenuServerName[SB_MENUNAMESIZE];

  // ========================================================================
  // console/: start-up, the command interpreter, the development environment and the settings its words make
  // ========================================================================

  // Program start-up.
  int32_t HeapSize;         // the library's default heap, in bytes
  char StartupScript[256];  // console script run at start ("-S:")
  int32_t MemoryClass;      // -1 until set; 0 LOW, 68157441 HIGH, else physical memory
  char RuntimePath[512];    // root and current directory of the runtime directory
  int32_t RunDone;          // set when the console run has ended

  // Command interpreter and batches.
  int32_t BatchBreak;         // stops the running batches
  int32_t BatchDepth;         // batches running inside each other
  int32_t QuitConsole;        // ends the console loop

  // Development environment.
  PALETTE* DevEnvPal;           // the console background's palette, or null
  int32_t SplitTextureRepeats;  // the map's faces are cut where their texture repeats

  // Settings of the console words, read when a race is set up.
  int32_t TextureScale;               // map textures are divided by it, a power of two
  int32_t TextureScaleX;              // marked textures get half the divisor
  int32_t TextureScaleY;              // marked textures get twice the divisor
  int32_t TextureReduction;           // the cars' card textures are halved
  int32_t CourseReplays;              // every car is recorded too (SB_Var.CarRecordings)
  double ForcedScale;                 // 0: no forced scale
  char CircuitFile[SB_FILENAMESIZE];  // the circuit: name + ".TXT"
  char AsciiMapFile[SB_FILENAMESIZE];
  char DecorMapFile[SB_FILENAMESIZE];
  char BankFile[SB_FILENAMESIZE];
  char ConfigFile[SB_FILENAMESIZE];      // the map information
  char TexturePath[SB_TEXTUREPATHSIZE];  // "NAME>" or empty
  int32_t BuildMap;                      // build the map from the ASCII scene
  int32_t BuildBank;                     // build the texture bank again
  int32_t Simplification;
  int32_t Flat;
  int32_t Japan;
  int32_t NoCache;
  int32_t NoRender;
  int32_t SlowRender;
  int32_t AutoDetail;
  int32_t FarDistance;   // depth key beyond which polygons are filled affine
  int32_t DrawDistance;  // metres of centre line drawn
  int32_t EditorMode;    // editors reachable from the race's function keys
  int32_t JoystickOn;
  int32_t JoystickVolant;
  int32_t DrawDevInfo;
  int32_t UsingSmoke;  // 0..2
  double FindBosses;
  double JoinTolerance;      // point equality of the map's face joining
  double JoinLineTolerance;  // how near a line a joined face's corner must lie
  int32_t MapBuildFailed;    // a construction buffer overflowed: the build stops
  int32_t MapFacesDropped;   // faces the cube limits left out of the build
  int32_t FixedGameSpeed;  // 50..100
  int32_t FloatingGameSpeed;
  int32_t GameSpeedMode;
  int32_t DrawInfo;
  int32_t UsingSound;
  int32_t MipMapDist[SB_NBMIPMAPDIST];  // metres x 960
  int32_t MipMapDistFar[SB_NBMIPMAPDIST];  // the same for textures with letter I
  int32_t DecorObjectsOn;
  // The loaded decor object list (records: scenery/types.h): its objects,
  // and per object its file, script and editor icon; the icon picture.
  int32_t NbDecorObjects;
  TDECOROBJ* DecorObjects;
  char (*DecorObjectNames)[SB_DECORNAMESIZE];
  char (*DecorScriptNames)[SB_DECORNAMESIZE];
  int32_t* DecorIconCodes;
  BMAP* DecorIconBmap;
  int32_t UsingPvs;
  int32_t Shadow;     // 1 NONE, 2 LOW, 3 HIGH
  int32_t Light;      // 1 NONE, 2 NORMAL, 3 GOURAUD
  int32_t PvrMipmap;  // 0 NONE, 1 ALL, 2 NOTTHEROAD
  int32_t CdSong;
  int32_t ControlMode;  // 0 joystick preset, 1 keyboard preset, 2 user keys; -1 until chosen
  int32_t LinearInput;  // 0: the joystick's x axes get a squared response

  // ========================================================================
  // engine3d/: the 3D display, video modes and renderers, the race frame's views and camera
  // ========================================================================

  // 3D display.
  PALETTE* Pal3d;            // the 3D palette, null until loaded
  TTEXTUREPLACE TexturePlaces[SB_MAXTEXTURES];  // one per map texture name
  // In the accelerator's race, the places of the map's textures in the
  // software pages that its editors draw (SB_LoadEditorTexturePages).
  TTEXTUREPLACE EditTexturePlaces[SB_MAXTEXTURES];
  TSOFTSCENE* PreviousView;  // the view filled in the frame before, null at the first frame

  // Video modes and renderers (records: engine3d/types.h).
  TVIDEOMODE VideoModes[SB_NBVIDEOMODES + 1];
  int32_t VideoModeIndex;
  TRENDERER Renderers[SB_NBRENDERERS];
  int32_t RendererCaps;       // capability bits present: 1 software, 4 the accelerator
  int32_t Renderer;           // of the current race; 0 outside races
  int32_t RequestedRenderer;  // chosen with MODE for the next race

  // The race's video mode (records: engine3d/types.h).
  int32_t Format16;       // pixel-format code of the 16-bit modes
  int32_t OutOfVideoRam;  // the race overlay did not fit
  TVIDEOPROBE VideoProbe;
  int32_t DisplayWidth;   // the display's mode, -1 before the first switch
  int32_t DisplayHeight;
  int32_t DisplayDepth;
  int32_t WindowedRequest;  // 0 full screen, 256 a window
  int32_t WindowedApplied;  // the state last applied, -1 before the first switch

  // Projection: the focal length (pixels; kept as an integer twice, as a
  // float, a double and divided by 5), the centre of the 3D view window.
  int32_t Focal;
  int32_t Focal2;
  float FocalF;
  double FocalD;
  int32_t Focal5;
  int32_t CenterX;
  int32_t CenterY;
  float CenterXF;
  float CenterYF;
  TVECTOR ViewPyramid[4];  // unit normals: left, right, top, bottom

  // The renderer's filler slots; 1 while the assembly families are in.
  SB_TRIFILLERPROC AffineTriFiller;
  SB_POLYFILLERPROC PerspOpaqueFiller;
  SB_POLYFILLERPROC PerspTranspFiller;
  SB_TRIFILLERPROC PerspTriFiller;
  int32_t SoftFillers;

  // The view being prepared: polygon and vertex limits of the user views,
  // the triangle work buffers, the data view, the rotation lookup tables,
  // the projection slopes, the window's size and the far distance.
  int32_t MaxFaces;
  int32_t MaxVertices;
  void* TriBuffers[3];
  OBJECT3D DataView;
  TROTATIONTABLE RotationTables[9];
  float SlopeCosX, SlopeSinX, SlopeCosY, SlopeSinY;
  int32_t ViewWidth, ViewHeight;
  double ViewWidthF, ViewHeightF;
  int32_t ViewFar;

  // The race camera's mode state.
  int32_t PrevCameraMode;  // the mode of the previous frame
  int32_t CameraSettled;   // 0 in a mode's first frame
  int32_t EndPhaseTime;    // ms spent in the race's end phase
  int32_t WatchedCar;      // followed when watching a network race

  // The race frame: the two user views (the current one is filled while
  // the previous one is drawn), the camera, the renderer's slots, detail.
  TSOFTSCENE* UserView[2];
  TSOFTSCENE* CurrentView;
  TCAMERA Camera;
  SB_RENDERMAPPROC RenderMap;
  SB_RENDERFRAMEPROC RenderFrame;
  int32_t DetailDistance;   // DrawDistance x 320
  int32_t DetailDistance2;  // the views' second detail distance
  uint32_t LightColor;      // 0xRRGGBB of the cars
  TBACKOBC BackObcs[SB_MAXBACKOBCS];  // the background objects, loaded at start-up
  int32_t NbBackObcs;

  // The accelerator's timings of the last frame, in ms, and its polygons.
  int32_t SglWaitTime;
  int32_t SglLockTime;
  int32_t SglRenderTime;
  int32_t NbPolysDrawn;
  int32_t NbVerticesDrawn;  // the corners of those polygons

  // The accelerator's device and render context (records:
  // platform/accel/types.h), and the render region the inset narrowed.
  int32_t SglDevice;        // screen device handle, -1 none
  _WINDOW* SglWindow;       // the window frames are rendered into, null until set
  uint32_t* SglStatus;      // the library's status word: bit 0 once a frame is rendered
  SGLCONTEXT SglContext;
  int32_t ViewportSaved;    // SavedViewport holds the regions of before the inset
  int32_t SavedViewport[4]; // first X, last X, first Y, last Y region
  // Entry i has bit k of i at bit 2k: the texels of a card texture's
  // twiddled block lie at (TwiddleTable[x] << 1) | TwiddleTable[y].
  uint16_t TwiddleTable[256];

  // The accelerator's scene submission: the projection and depth factors,
  // the camera-zone factor and the two multipliers the effects keep, the
  // screen clip's state, the triangle batches per texture slot and
  // variant, the frame's render flag, and the car-position inset.
  float ProjFactor;        // 1/w = ProjFactor / camera z; 0.5 outside the camera zone
  float DepthScale;        // depth term = camera z x DepthScale
  double ZoneFactor;
  double GlareDepthFactor;  // 1.0 until the sun glare sets it
  double NightDepthFactor;  // 1.0 until the day/night cycle sets it
  float FarDistanceSq;      // the view's far distance squared, for the map transform
  int32_t ScreenClipNeeded;  // the near clip made a vertex beyond 15000 pixels
  SB_CLIPEDGEPROC ClipEdgeProc;
  SB_CLIPNEARPROC ClipNearProc;
  int32_t FrameTextureMemory;  // bytes of the textures the software draw list used this frame
  TSGLVERTEX* SglVertices;   // the vertex array of the scene being submitted
  TTRIBATCH TriBatches[SB_NBTEXTURESLOTS][SB_NBBATCHVARIANTS];
  int32_t TriBatchArrays;    // face arrays of the pool in use
  int32_t SglRendered;       // 1 once the begun frame was rendered
  int32_t InsetOn;           // the car-position inset is drawn
  int32_t ScarsTexture;      // cache slot of the inset's car pictures, 0 none
  int32_t InsetBackTexture;  // cache slot of the inset's background, 0 none

  // The object display's per-call state (the emitters read it).
  TSOFTSCENE* EmitScene;
  _WINDOW* ObjectWindow;
  TCAMERA* ObjectCamera;
  TCAR* ObjectCar;
  uint32_t ObjectColour;
  int32_t ObjectGlass;
  int32_t ObjectKey;
  int32_t ObjectKeyBias;  // 0 culled, 30,400,000 direct
  TSOFTPOLY* ObjectInsertAfter;   // null: the object's faces go to the list head
  TSOFTPOLY* ObjectInsertBefore;
  TVECTOR LightCam;       // the light direction in camera space
  int32_t NbObjectFaces;  // faces listed for the last object

  // The map's textures on the software path (records: engine3d/types.h):
  // one record per distinct picture and their packing order, the 256 x 256
  // pages in one block of the heap TextureHeap whose first page starts on a
  // 64 KB boundary, the mip levels' heaps and the place of every source
  // page in them, and the bytes all of it takes.
  TEXTTRI TextTri[SB_MAXTEXTTRI];
  TEXTTRI* TextTriOrder[SB_MAXTEXTTRI];
  int32_t NbTextTri;
  BMAP* TexturePages[SB_MAXTEXTTRI];
  int32_t NbTexturePages;
  uintptr_t TextureHeap;       // 0 while there are no pages
  uint8_t* TexturePageCursor;  // the next page's pixels
  uintptr_t MipHeaps[SB_NBMIPLEVELS];
  TMIPPAGE MipPages[SB_NBMIPLEVELS][SB_MAXTEXTTRI];
  int32_t TextureMemory;

  // The accelerator's texture cache (records: engine3d/types.h): its slots
  // and what the last frame's update counted for the debug overlay.
  TEXTURECACHE TextureCache[SB_MAXCACHETEXTURE];
  int32_t CacheStatus;         // SB_CACHESTATUS_*
  int32_t CacheLostCount;      // needed this frame but left out
  int32_t CacheLostMemory;     // their bytes
  int32_t CacheCreatedMemory;  // bytes put on the card this frame
  int32_t CacheUsedCount;      // needed and on the card
  int32_t CacheUsedMemory;
  int32_t CacheIdleMemory;     // on the card but not needed

  // The map's textures on the accelerator: repeats by texture name, the
  // shared squares being filled, and the texture bank read or moved to
  // the card.
  uint32_t TextureWrap[SB_MAXTEXTURES];  // bit 0 u repeats, bit 1 v repeats
  TSHAREDTEXTURE SharedTextures[SB_NBSHAREDTEXTURES];
  int32_t PvrTexturesLoaded;
  int32_t PvrTextureMemory;     // card bytes the map's textures need
  uintptr_t BankHeap;           // heap of the bank's texels, 0 none
  uint8_t* BankTexels;
  int32_t BankTexelBytes;
  int32_t BankInVideo;          // the bank was moved to the card
  int32_t KeptTextures[SB_NBKEPTTEXTURES];  // TEXTTRI indices, -1 absent
  uint8_t* KeptTexels[SB_NBKEPTTEXTURES];   // their own blocks ("texture ram")

  // ========================================================================
  // track/: the circuit
  // ========================================================================

  // Track.
  TVECTOR* BsplinePoints;   // the centre line, one point per metre (metres)
  int32_t NbBsplinePoints;  // centre-line points, one per metre: the track length
  int32_t BsplineValid;     // a line with at least one point is loaded
  TDECOR Decor;             // the loaded map
  TFCUBE10POLY* Cube10Polys;  // published copy of the map's polygon cells
  int32_t NbCube10Polys;
  char TextureNames[SB_MAXTEXTURES][SB_TEXTURENAMESIZE];  // of the map's faces
  int32_t NbTextures;
  int32_t GapCheckpoints;   // checkpoints per lap of the allocated gap tables
  int32_t GapLaps;          // laps of the allocated gap tables
  char BsplineName[SB_FILENAMESIZE];  // the centre line's file, from the map information
  // The polygon conversion.
  int32_t TFMapReady;         // the polygon cells of the map were built
  int32_t NbSimplifiedFaces;  // faces merged into a neighbour
  int32_t NbDebuggedFaces;    // triangles added by splitting badly shaped faces

  // Ground queries: the lookup lists over the big entitys and the polygon
  // cells, and the results of the last query.
  TXZYLIST<TBIGENTITY> XZYList;
  TXZYLIST<TFCUBE10POLY> PolyXZYList;
  int32_t GroundNormal[3];
  int32_t GroundFlags[SB_NBGROUNDFLAGS];  // H, B, L, F, E, ORed by the road and wheel queries

  // ========================================================================
  // vehicles/: the cars, their controls and setups
  // ========================================================================

  // Cars of the race (records: vehicles/types.h).
  TCAR* Cars[SB_MAXCARS];
  int32_t NbCars;
  int32_t DrivenCar;  // the car driven here, -1 none
  int32_t ReplayCar;  // the car shown from a replay when none is driven, -1 none
  int32_t UsingCars;
  TCONTROLS Controls;      // this frame's controls
  TCONTROLS PrevControls;  // the previous frame's, for press edges
  // The control map: Accel, Brake, Left, Right, HandBrake, GearUp,
  // GearDown, Camera, Light; a virtual-key code below 1025, 1025..1036
  // joystick 1, 1037..1048 joystick 2.
  int32_t ControlMap[SB_NBCONTROLS];
  double JoystickCenter[2];  // joystick 1's centre, x and y
  int32_t GridCount;         // cars placed on the start grid so far
  // The vehicle-parameter editor: the car shown, the list's scroll offset
  // and whether a value is being typed.
  int32_t VParamsCar;
  int32_t VParamsScroll;
  int32_t VParamsEditing;
  TVPARAMSEDITOR VParamsEditor;
  int32_t AutomaticGears;  // chosen before the start: 1 automatic, 0 manual
  int32_t CameraMode;      // race camera: 1 behind, 2 inside the car
  TSBSOUND* CountdownSounds[5];  // "3", "2", "1", "GO" and one more; null until loaded
  TCARSOUNDS CarSounds;          // the race's car-sound channels and listener tables
  TREPLAY* CarReplays[SB_MAXCARS];  // the replay each car is played back from, null when driven live
  // The recordings: the driven car's, and every car's while CourseReplays
  // is set; the game times of the last record step and of the start.
  TREPLAY* LocalReplay;
  TREPLAY* CarRecordings[SB_MAXCARS];
  uint32_t RecordClock;
  uint32_t RecordStart;
  int32_t OrderMismatchShown;  // the player-order mismatch was reported in this race

  // The vehicle prototype set every car is copied from, its file names, the
  // brake-lamp and window layout of its textures, and the axes that turn
  // its models into the cars' axes (with their transpose).
  OBJECT* VehiclePrototype;  // null when none is loaded
  char PrototypeNames[SB_NBPROTOTYPEFILES][SB_PROTONAMESIZE];
  char SelectedPrototype[SB_PROTONAMESIZE];  // the name a setup last selected
  int32_t GlassLayout[SB_GLASSLAYOUTWORDS];
  int32_t KnownPrototype;  // the set is one whose layout is known
  TMATRIX CarAxisMatrix;
  TMATRIX CarAxisMatrixT;

  // The physics clock: the length of the step being run (s) and its
  // inverse, and the simulated ms not yet stepped.
  double PhysicsDt;
  double PhysicsInvDt;
  double PhysicsAccumulator;

  // Vehicle setups: the local ones and the one chosen, with the paint
  // editor's carousel over them.
  TVEHICLESETUP* VehicleSetups;  // null until the vehicles load them
  int32_t NbVehicleSetups;
  int32_t NbSelectableSetups;
  int32_t SelectedSetup;
  int32_t SetupScroll;
  int32_t SetupScrollTarget;
  double SetupScrollPos;
  TVEHICLESETUP CarSetups[SB_MAXCARS];  // each car's own copy
  uint32_t SetupsAskedAt;  // library clock of the last request for missing setups
  int32_t SetupsAsked;     // 1 once a request went out in the current wait

  // ========================================================================
  // scenery/: sky, sun and the day/night cycle
  // ========================================================================

  // Read from the map information.
  double SunPos[3];
  // The light: its direction (unit), the two colour tables of the map and
  // object faces (0xRRGGBB), the light level the map was shaded for.
  TVECTOR LightDir;
  uint32_t LightTables[2][256];
  int32_t HeadlightsOn;  // 1 while the light level is at least 5.0
  double SunDrop;        // the light level
  int32_t StartNight1;  // seconds into the day/night cycle
  int32_t EndNight1;
  int32_t StartNight2;
  int32_t EndNight2;
  int32_t DayNightPeriod;  // seconds
  // The day/night cycle: the light level (0 day, 5 twilight, 12 night)
  // moving toward its target at LightRate per ms; the cycle's start and
  // its position at the previous frame; the tint of the frame and the sun
  // glare added to the light; what the level gives the scene; the light
  // direction scaled by 1/8192; and the colour and tint the two light
  // tables were last built from.
  double LightLevel;
  double LightTarget;
  double LightRate;
  uint32_t DayNightStart;  // ms
  int64_t DayNightPos;     // ms into the cycle
  float LightTint[3];
  float SunGlare[3];
  uint32_t SunLightColor;  // 0xRRGGBB
  uint32_t DayColor;
  uint32_t NightColor;
  uint32_t SkyColor;
  int32_t DayTime;  // level below 10
  int32_t StarsOn;  // level 10 or more
  double AmbientLevel;
  double DayFactor;
  double SkyScale;
  TVECTOR LightDirScaled;
  int32_t LightTableBuilt;
  uint32_t LightTableColor;
  float LightTableTint[3];

  // The cars' brake lights and window clouds (records: scenery/types.h):
  // the BrakeOn value last drawn per car (-1 redraws), the two cloud
  // pictures in the renderer's texels, the scroll offset (x, y) and the
  // offset last drawn, and the glass runs of the prototype's glass mask.
  int32_t BrakeLightsSeen[SB_MAXCARS];
  BMAP* CloudBmaps[2];
  int32_t CloudsReady;
  float CloudOffset[2];
  float CloudOffsetDrawn[2];
  TGLASSLINE* GlassLines;
  int32_t NbGlassLines;

  // The trackside LED panels, start lights and road lights.
  TPANELSTATE Panels;

  // The smoke puffs and, on the accelerator, their texture's cache slot
  // (0 none).
  TFUMEE Fumees[SB_NBFUMEES];
  int32_t FumeeTexture;

  // The panoramas of software modes: the background layer (a bitmap the
  // size of the overlay holding the current picture, null on the
  // accelerator), its fill colour (the picture's first pixel) and the last
  // row of the band above the panorama; the circuit's table (owner
  // "Background struct"), the current picture and the one in the layer.
  BMAP* BackgroundLayer;
  uint32_t BackgroundFill;
  int32_t BackgroundFillLimit;
  TBACKGROUND* Backgrounds;
  int32_t NbBackgrounds;
  BMAP* CurrentBackground;
  BMAP* DrawnBackground;

  // ========================================================================
  // frontend/: the menus and the console music
  // ========================================================================

  // Front end: the menu screens, their picture rows and vocabulary (the
  // screens' contents come from the menu catalogue).
  TMENUSCREEN MenuScreens[SB_NBMENUSCREENS];
  TMENUBMAP MenuBmaps[SB_NBMENUBMAPS];
  const char* MenuTexts[SB_NBMENUTEXTS];
  BMAP* JapanTitles[SB_NBJAPANTITLES];
  // The interface engine, while the interface exists (MenuScreen and
  // DrawnMenuScreen are -1 otherwise).
  uintptr_t MenuHeap;  // the interface's own heap
  int32_t MenuScreen;        // the screen asked for
  int32_t DrawnMenuScreen;   // the screen last prepared; -1 forces a rebuild
  int32_t MenuScreenChanged;
  int32_t MenuHotItem;  // item under the pointer at the last dispatch; -1 none, -2 reset
  int32_t MenuButtons;
  int32_t MenuQuit;
  int32_t MenuHotKeys;  // Q and Escape act
  int32_t MenuScreenReady;
  int32_t MenuJoinDisabled;
  int32_t CarChoiceCancel;   // 1: the car choice is left without taking the car
  int32_t CarChoicePrevious;  // 1: the car choice steps back one car
  int32_t CarChoiceNext;      // 1: forward one car
  int32_t CarChoiceEnd;       // 1: the car choice is left
  BMAP* MenuBmap;  // the interface's own screen
  BMAP* MenuBackground;
  BMAP* MenuComposed;  // the drawn screen as composed, before its run-time texts
  FONT* MenuFontBig;
  FONT* MenuFontSmall;
  FONT* MenuFontSmall2;
  FONT* MenuFontSmall3;
  BMAP* CursorStatic;  // the arrow
  BMAPANIM* CursorAnim;  // the busy cursor
  BMAP* CursorAnimFrame;
  uint32_t AnimTimeLast;  // game clock (ms) of the last animation time step
  BMAP* Cursor;  // the one in use
  int32_t CursorAnimated;
  BMAP* CursorSave;  // the screen area under the cursor
  double MenuNormalFactor;  // brightness of a button's normal look
  char* MenuNameEdit;
  TMENULISTENTRY* MenuProtocols;
  TMENULISTENTRY* MenuServers;
  TMENULISTENTRY* MenuPlayers;
  int32_t MenuNbProtocols;
  int32_t MenuNbServers;
  int32_t MenuSelectedServer;   // the server row chosen last, -1 none
  int32_t MenuRefreshTime;      // ms since the server list was fetched
  uint32_t MenuRefreshClock;    // the clock's reading at the last pass
  // Interface waves: the sound table, the waves bound to screen changes
  // and the waves being faded in (packed from the front).
  TMENUSOUND MenuSounds[SB_NBMENUSOUNDS];
  TSCREENCHANGESOUND ScreenChangeSounds[SB_NBSCREENCHANGESOUNDS];
  SOUND* PlayedWaves[MAXPLAYEDWAVES];
  int32_t Joy1Centred;  // a stick seen at rest since its last capture
  int32_t Joy2Centred;

  // Console music: the module system started by PLAYMOD and its module.
  int32_t ModuleSystemOn;
  MODULE* TestModule;

  // Films: the one PRELOADFLI keeps in memory with its wave, and the
  // film's 256 colours as 16-bit pixels, each repeated in both halves of
  // the word (one store writes two equal pixels).
  FLI* PreloadedFli;
  SOUND* PreloadedFliWave;
  uint32_t FliColours[256];

  // Pictures over the race: the attract cycle of a controlled race (16-bit
  // copies of the five word pictures, the current step and when it began,
  // game clock in ms), the option pictures of the start phases with the
  // overlay's two work bitmaps, the frames counted into the darkened
  // start phases (0..3), and the HUD's box and radar texture slots of the
  // accelerator path (0: none).
  BMAP* IntroPicts[5];
  int32_t IntroStep;
  uint32_t IntroStepStart;
  BMAP* OptionPicts[5];
  BMAP* OptionsWork[2];
  int32_t OptionsFade;
  int32_t HudBoxTexture;
  int32_t HudRadarTexture;

  // ========================================================================
  // net/: the network session
  // ========================================================================

  // Network session (player side).
  XSTATE XState;  // the local network state, 1 without a network
  int32_t XSubState;
  int32_t NetConnected;   // the controller accepted this player
  int32_t NetSlots;       // player slots of the session
  int32_t NetMaxPlayers;  // players the session needs
  int32_t NetGameMode;
  CTRL_PLAYER NetPlayers[NET_MAXPLAYERS];
  int32_t NetBestTime;  // race time of the session's record, ms
  int32_t SessionLost;  // the controller's player disappeared
  uint32_t NetPlayerId;     // the local player's session id
  int32_t NetPlayerOrder;   // the local player's slot, also its car index
  int32_t IsController;     // the game controller runs on this machine
  int32_t NetProtocol;      // the chosen provider, -1 none
  int32_t NetJoinRefused;   // the last join was refused by the controller: 1 not logged in, 2 no car place
  int32_t NetControllerMax; // players the controller takes

  // ========================================================================
  // tools/: the editors' race line and the track editor's view
  // ========================================================================

  // The car editors' bitmap depth; 0 until set (their pictures are then
  // made at 16 bits).
  int32_t CarEditorDepth;
  // The car editors: the frame drawn each pass (the paint editor's own, or
  // the interface's back screen for the chooser), the paint editor's
  // background and the caller's picture; the quit request, a press that
  // slid off a control or began on a knob, the arrow keys of the pass
  // before; the paint editor's knobs under the mouse (held while a button
  // is down), its arrow and quit hits and its title's x.
  BMAP* CarEditorFrame;
  BMAP* CarEditorBackground;
  BMAP* CarEditorSource;
  int32_t CarEditorQuit;
  int32_t CarEditorCaptured;
  int32_t ArrowKeysDown[2];  // left, right
  int32_t CarPaintKnobs[3];  // hue, saturation, value
  int32_t CarPaintHits[3];   // left arrow, right arrow, quit
  int32_t CarPaintTitleX;
  // The carousel's turn angle (seconds shown, radians) and its camera.
  double CarEditorSpin;
  TCAMERA CarEditorCamera;

  // The race line's control points (metres) with their selection words,
  // and the table resampled every metre from them (owner tag
  // "SB_GetBsplinesAngles"), which SAVEBSPLINEMETER writes as the file the
  // track reads for its centre line.
  TVECTOR RaceLinePoints[SB_MAXRACELINEPOINTS];
  int32_t NbRaceLinePoints;
  uint32_t BsplineSelected[SB_MAXRACELINEPOINTS];  // 1 selected
  int32_t NearBspline;     // the mouse is near the curve
  TVECTOR* BsplineMeters;  // room for SB_MAXBSPLINEMETERS points, or null
  int32_t NbBsplineMeters;

  // The editors' mouse reading (x and y clamped to the screen, buttons bit
  // 0 left, bit 1 right) and the reading of the frame before.
  int32_t MouseX, MouseY, Buttons;
  int32_t PrevMouseX, PrevMouseY, PrevButtons;

  // The track editor's top view: zoom asked for and tile size in pixels,
  // tiles drawn each side of the centre one, the centre tile's top-left
  // pixel, and the map tile shown at the centre; zero until the editor
  // sets them.
  int32_t EditZoom;
  int32_t EditTileSize;
  int32_t EditTilesX, EditTilesY;
  int32_t EditOriginX, EditOriginY;
  int32_t EditScrollX, EditScrollY;
  // Its 8-bit work bitmaps (owner tags "SB_Edit", "SB_Edit 2", "SB_Edit
  // 3"), the window over the tile bitmap, and the panel picture in the 3D
  // palette; null while the editor is not set up.
  BMAP* EditView;
  BMAP* EditViewSpare;
  BMAP* EditTileBmap;
  _WINDOW EditTileWindow;
  BMAP* EditorPicture;
  // Tool (0..4 of the right-hand column) and switches.
  int32_t EditTool;
  int32_t EditGrid, EditOutlines, Edit3DView, EditObjectMode;
  int32_t EditDrag;  // which tool holds the mouse; 0 none
  int32_t EditZoomInLit, EditZoomOutLit;
  int32_t EditPrevPathLit, EditNextPathLit, EditNextObjectLit;
  int32_t EditZoomKeyHeld;  // keypad + or - was held at the last frame
  int32_t EditClearColor, EditOutlineColor;  // indices of the 3D palette
  // The perspective view: eye in metres, rotation and focal.
  double Edit3DPos[3];
  TMATRIX Edit3DMatrix;
  double Edit3DFocal;
  // Where the tools' drags started: screen pixels, view-relative tiles.
  int32_t EditRectAnchorX, EditRectAnchorY;
  int32_t EditTileAnchorX, EditTileAnchorY;
  // The rubber rectangle's moving corner and its normalised edges.
  int32_t EditRectCornerX, EditRectCornerY;
  int32_t EditRectLeft, EditRectTop, EditRectRight, EditRectBottom;
  // The tile tool's moving corner and normalised rectangle x1, y1, x2, y2
  // (view-relative tiles).
  int32_t EditTileCornerX, EditTileCornerY;
  int32_t EditTileRect[4];
  int32_t EditCameraSelected;
  uint32_t EditCarSelected[SB_MAXCARS];
  // Object paths: the decor object and path shown, the recording and its
  // points (metres, owner tag "StartMoveRecord"), the blink counter and the
  // previous object-mode frame's time.
  int32_t Recording;
  int32_t MoveObject, MovePath;
  TVECTOR* MoveRecord;
  int32_t NbMovePoints;
  int32_t EditBlink;
  uint32_t EditFrameStamp;
  // The texture path as the editor was entered.
  char EditEntryTexturePath[SB_TEXTUREPATHSIZE];

  // The texture-animation editor's set and clipboard (made empty when the
  // editor first opens in a race, freed at its tear-down), the name a set
  // file would have (nothing opens it), the per-texture lists of
  // animations, and 1 while the editor's frame runs.
  TTXTANIMSET* TxtAnimSet;
  TTXTANIMSET* TxtAnimClipboard;
  char TxtAnimFileName[16];
  TPAGEANIMLIST** PageAnimLists;
  int32_t TxtAnimEditing;

  // The decor-object editor: its panel picture in the 3D palette (null
  // when missing), the panel's corner, the right-button drag of its
  // outline, and the decor object and script block selected.
  BMAP* DecorEditPanel;
  int32_t DecorEditX, DecorEditY;
  int32_t DecorEditDragging, DecorEditDragX, DecorEditDragY, DecorEditGrabX, DecorEditGrabY;
  int32_t DecorEditObject, DecorEditBlock;

  // The editors' window toolkit: the root window list, the buttons under
  // the mouse, pressed and active as a tool, the window dragged by its
  // title, and the mouse of this frame and the previous one (view pixels,
  // buttons bit 0 left, bit 1 right).
  TTOOLWINDOW* ToolWindows;
  TTOOLBUTTON* HotButton;
  TTOOLBUTTON* PressedButton;
  TTOOLBUTTON* ActiveTool;
  TTOOLWINDOW* DraggedWindow;
  int32_t EditorMouseX, EditorMouseY, EditorButtons;
  int32_t EditorPrevMouseX, EditorPrevMouseY, EditorPrevButtons;

  // The scene editor: the map's metres per pixel and the world x, z at the
  // view's centre, its bitmap (rebuilt while MapDirty is set), the car and
  // camera markers, the Tools window and its eight buttons, the selection,
  // the drag of Select and Main, and the cursor kind with its pictures.
  double MapScale;
  double MapOriginX, MapOriginZ;
  int32_t MapDirty;
  BMAP* MapBmap;
  BMAP* CarMarker;
  BMAP* CameraMarker;
  TTOOLWINDOW* ToolsWindow;
  TTOOLBUTTON* ToolButtons[SB_NBSCENETOOLS];
  uint32_t CarSelected[SB_MAXCARS];
  int32_t CameraSelected;
  int32_t DragActive, DragStartX, DragStartY;
  int32_t EditorCursor;
  BMAP* CursorBmaps[SB_NBEDITORCURSORS];

  // ========================================================================
  // race/: the race session, rules and timing, sequencer, HUD, kiosk and statistics
  // ========================================================================

  // Race-phase sequencer.
  const TGAMESTEP* GameSteps;  // the current list, null before a mode is chosen
  int32_t StepIndex;
  int32_t StepTimer;    // ms left before the step advances by itself; 0 none
  int32_t StepEntered;  // 1 in the frame in which the current step was entered
  int32_t RaceOver;     // the race may end (SB_EndRace, the controller's end of race)
  int32_t StepListEnd;  // the end menu may offer F1/F2
  int32_t Paused;       // the Esc menu
  int32_t AttractReplay;  // an attract replay is attached

  // Game mode and its settings.
  int32_t GameMode;
  TSTARTSLOT StartSlots[SB_NBSTARTSLOTS];  // from the map information
  const TSTARTSLOT* CurStartSlots;         // the slot the grid of this mode starts from
  int32_t GridStart;    // car placement style: 1 for the solo modes
  int32_t MultiView;    // 1 in MULTIRACE
  int32_t TimeLimitOn;  // race against the clock, with time extensions
  int32_t DayNightOn;
  int32_t NoTimeLimit;  // console word TIME

  // Race parameters ("TXT>NETRACE.TXT").
  int32_t RaceLaps;
  int32_t ControlledRaceLaps;
  int32_t OfflineLaps;
  int32_t MultiLaps;
  int32_t NLaps;    // the NLAPS key: the laps of FREERACE and DEMO
  int32_t NbLaps;   // laps of the current race, chosen by the game mode
  int32_t MaxLaps;  // the largest of the four laps per mode
  int32_t StartingTime;  // ms
  double FinalCamera[3];
  TTIMEEXTEND TimeExtends[SB_NBTIMEEXTENDS];
  char PlayerNames[SB_MAXPLAYERNAMES][SB_PLAYERNAMESIZE];

  // Race timing.
  int32_t RaceClock;       // ms, runs while the time limit is on
  int32_t RaceClockStart;  // RaceClock at the first lap, -1 before
  int32_t SessionCounters[2];  // cleared with the game mode of a session (network)
  int32_t FinishCounters[2];   // cleared at race set-up (network)

  // What the HUD and the result screen show of the driven car.
  int32_t NewBestLap;         // 1 after a lap that set a new best
  int32_t LapFromLine;        // the driven car's lap under way began at a crossing of the line
  int32_t LineLapTime;        // ms: the driven car's lap ended at its last lap change, 0 none
  double RaceStartDistance;   // the driven car's distance when the race clock started
  int32_t LocalBestLap;       // ms; SB_NOTIME for none
  int32_t LocalRaceTime;      // ms; SB_NOTIME for none
  int32_t EndTime;            // game time of the finish or the time-out
  int32_t FinalRaceTime;      // ms
  int32_t FinalPlace;
  int32_t RecordFlag;         // the race time beat the session's record
  int32_t CheckpointNumber;   // time-extension entry last passed, -1 none
  int32_t CheckpointClock;    // race clock when it was passed
  int32_t CheckpointLapTime;  // lap time when it was passed
  int32_t AheadIndex;         // car (or place, OFFLINE) ahead of the driven car
  int32_t BehindIndex;        // car (or place, OFFLINE) behind it
  int32_t HudWidthClass;      // 320: 0, 512: 1, 640: 2, 800: 3
  int32_t HudHeightClass;     // 200: 0, 240: 1, 384: 2, 400: 3, 480: 4, 600: 5
  BMAP* TextScreen;           // the race overlay
  _WINDOW ScreenWindow;       // the 3D view's drawing window over the overlay
  TSBFONT* CurrentFont;       // the HUD font texts start with; null before the fonts
  int32_t ShowDashboard;      // the dial is shown (F4)

  // Kiosk demo mode.
  int32_t ZoriraDemo;      // kiosk mode on
  int32_t ZoriraCamera;    // race camera in kiosk mode: 2 inside the car, 1 behind
  int32_t ZoriraTimeOut;   // play-time limit, ms
  int32_t ZoriraNightDay;  // day/night cycle length, seconds
  BMAP* InfoPage;        // the information page, or null

  // The race session: set up by SB_PlayRace, reset at every race start.
  int32_t LeaveRace;
  int32_t DebugMode;     // 0 game, 1..5 the editors of the function keys
  int32_t RaceFrames;    // loop iterations of this race
  int32_t RaceDuration;  // ms
  uint32_t LoadStartTime;
  int32_t GameMemoryUsed;  // bytes
  BMAP* MeterBitmap;       // drawn into by the physics meters, or null
  double LastLightLevel;
  int32_t ShowInset;
  int32_t PrevEscKey;  // the keys' state at the last test, for press edges
  int32_t PrevF3Key;
  int32_t PrevF4Key;
  int32_t PrevVKey;

  // Developer statistics: the scene's maxima of the race and the profile
  // of the car update in time-stamp ticks.
  int32_t MaxPolygons;
  int32_t MaxSceneVertices;
  uint64_t ProfileStart;
  uint64_t ProfileTicks;
  uint64_t ProfileCalls;
  uint64_t ProfileAverage;

  // Kiosk demo mode and the developer statistics' session line.
  int32_t KioskMinimised;  // the kiosk code minimised the window
};

extern SB_VARS SB_Var;

void SB_ResetVars();
