// Hooks: the empty hook points of the loops and set-ups, and the calls the
// game-layer services and the subsystems make into higher floors (the
// network, the 3D engine, the scenery, the front end, the tools, the race,
// the console). Those go through SB_Hooks, which the program fills at
// start-up (SB_InstallHooks); an empty entry does nothing and answers 0.
#pragma once
#include <cstdint>

struct BMAP;
struct CTRL_PLAYER;
struct TCAR;
struct TVEHICLESETUP;

// Empty hooks called from the loops, the chunked read, the race set-up,
// the console start-up and each batch line.
void SB_NullHook();
void SB_ChunkHook();
void SB_RaceSetupHook();
void SB_ConsoleStartHook();
void SB_BatchLineHook();

struct SB_HOOKS {
  // Called by the game-layer services.
  void (*NetUpdateEvent)();       // the network's part of every event pump
  int32_t (*ToggleFullScreen)();  // Alt+Enter
  void (*FloydBmap24to8)(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         int32_t x, int32_t y);  // error-diffusion 24-to-8-bit copy
  void (*ResetHigherFloors)();                   // SB_ResetVars' part of the engine and race tables
  void (*SetSelectedSetup)(int32_t setup);       // the vehicle setup chosen
  int32_t (*ExecCommand)(const char* format, ...) __attribute__((format(printf, 1, 2)));  // a console line
  // A prompt's answer typed on the console (the buffer holds at least
  // SB_INPUTSIZE bytes); the tools' dialogues ask through it.
  void (*ConsoleInput)(const char* prompt, char* buffer);

  // Called by the subsystems: the race rules and the race session.
  void (*InitGameMode)();
  int32_t (*GetNbRacingCars)();
  int32_t (*GetIndPlayerCarIndex)(int32_t i);
  int32_t (*IsCarInGame)(int32_t car);
  int32_t (*IsCarSimulated)(int32_t car);  // in game and not played back from a running replay
  int32_t (*GetGameStep)();  // the race-phase step
  int32_t (*PlayRace)();
  void (*RemapRaceBitmaps)();
  void (*ProfileStart)();  // the stopwatch around the car update
  void (*ProfileStop)();
  void (*ReadRaceParameters)();  // "TXT>NETRACE.TXT" read again
  void (*ResetGaps)();           // the gap tables cleared
  void (*UpdateGaps)();          // the time gaps to the cars around the driven car
  void (*UpdateRanking)();       // the network race's ranking and catch-up factor

  // Called by a subsystem into one on a higher floor.
  void (*ReleaseMapTextures)();  // the track's map freed: the textures made from it go too
  // A sliding wheel's smoke: a puff at the position (m) moving at the
  // velocity (m/s); the count is not used.
  void (*AddSmoke)(const double position[3], const double velocity[3], int32_t count);
  int32_t (*RequestVehicleSetups)();  // every player's setup asked of the controller; 1 when one came
  void (*SendVehicleSetup)(int32_t order, const TVEHICLESETUP* setup);  // the local car's, to the others
  void (*DisplayIntroPicts)();  // the attract cycle's picture over the race overlay, in its step

  // Called by the network's message handlers.
  int32_t (*SetGameMode)(int32_t mode);
  void (*AddToScoreTab)(TCAR* car, int32_t order, int32_t classified);
  void (*HudMessage)(const char* text);  // a finished text, shown for 6000 ms
  void (*NetPlayerMessage)(const CTRL_PLAYER* player, const char* name);
  int32_t (*NextGameStep)();
  int32_t (*SetGameModeSteps)(int32_t mode);
  void (*StopReplayRecord)();
  void (*StartReplayRecord)();  // the driven car's replay recording
  const char* (*FormatTime)(int32_t ms, int32_t style);
  void (*BreakBatch)();  // stops the running script of console commands
  int32_t (*PlayPreloadedFilm)();  // the film preloaded for the race's start; 1 when it played

  // Called by the front end.
  void (*ScreenShot)(BMAP* screen);  // saves a screenshot while its keys are held
  void (*ShowPleaseWait)();          // the please-wait picture on the front screen
  // A text drawn with the HUD's current font on the race overlay, between
  // the overlay's lock and unlock.
  void (*LockTextScreen)();
  void (*DrawText)(BMAP* bmap, int32_t x, int32_t y, const char* text);
  void (*UnlockTextScreen)();
  void (*RunCarEditor)(int32_t mode);  // the car editor's car choice, from MAIN MENU
};

// Lives for the whole run; SB_ResetVars leaves it alone.
extern SB_HOOKS SB_Hooks;
