// What the race rules, the race-phase sequencer, the race session and the
// race frame use of the vehicles.
#pragma once
#include <cstdint>

struct TCAR;
struct TVEHICLESETUP;

// 1 when 0 <= index < SB_Var.NbCars (and the table has that slot).
int32_t SB_IsValidCarIndex(int32_t index);
// The car's textures-ready word; 0 for an invalid index or a missing car.
int32_t SB_CarTexturesReady(int32_t index);
// The vehicle-setup number of the car; 0 for an invalid index.
int32_t SB_GetCarSetupNumber(int32_t index);
// Racing players whose car is in the game.
int32_t SB_CountActiveCars();
// A car index with the key it is ordered by.
struct SB_CARKEY {
  int32_t Car;
  double Key;
};
// Ascending by key; a swap only when the first key is strictly greater, so
// that equal keys keep their order.
void SB_SortCarKeys(SB_CARKEY* list, int32_t count);
// 1 when the car has a replay attached that is playing back.
int32_t SB_IsCarReplayPlaying(int32_t index);

// Every car re-initialised without reloading it.
void SB_RestartRace();
void SB_ResetReplayClocks();
// Wanted volume silent on every car-sound channel.
void SB_SilenceCarSounds();
void SB_PlayTututuSound();
// The "bluesky" jingle of the race's end phase, played once.
void SB_PlayBlueskySound();
// Reads a replay file into a car's slot (-1: the slot the file names);
// playback begins startTime ms into it.
int32_t SB_LoadCarReplay(const char* name, int32_t slot, int32_t startTime);
void SB_FreeAllCarReplays();
// "Free replays...": frees every car's replay and the recordings, sets
// the number of cars and allocates the recordings again.
void SB_SetNumberOfCars(int32_t n);
// Re-selects SB_Var.DrivenCar and SB_Var.ReplayCar from the cars' replays.
void SB_FindDrivenCar();
// Runs after every completed lap of the driven car.
void SB_LapCompletedHook();

// Race set-up and tear-down.
// The control map from SB_Var.ControlMode (0 joystick, 1 keyboard, 2 user).
void SB_SetControlMap();
// In a network game the local player's order becomes the driven car.
void SB_PrintPlayerOrder();
// The per-car setup copies, marked changed; the local car's setup sent to
// the other players (network game).
void SB_AssignCarSetups(TVEHICLESETUP* setups);
void SB_SendLocalCarSetup(TVEHICLESETUP* setups);
// Silences and frees the car-sound channels.
void SB_StopCarSounds();
void SB_RegenerateChangedCarTextures(TVEHICLESETUP* setups);
// The cars made for a display other than the video mode's (the car
// editors'): a car whose texture bitmaps are of another depth or format
// gets its own library made again at depth and format, and it, one not
// painted yet or one whose 8-bit textures predate SB_Var.Pal3d, is painted
// from its setup. Nothing for the accelerator, whose textures are the card's.
void SB_PaintCarsForDisplay(TVEHICLESETUP* setups, int32_t depth, int32_t format);
// The cars' card textures of the accelerator.
void SB_FreeCarPvrTextures();

// Per race frame.
// This frame's controls, the previous ones kept.
void SB_SnapshotControls();
// Asks for missing setups (network game), regenerates changed cars.
void SB_RefreshCarSetups();
// Controls, fixed-step physics, track progress and display objects.
void SB_UpdateCars();
// The centre-line progress of every car of the table.
void SB_UpdateCarsTrackProgress();
void SB_UpdateCarSounds();
void SB_CommitCarSounds();
// Silence applied to every car-sound channel at once.
void SB_MuteCarSoundsNow();
// The car's state to all players (network game).
void SB_SendCarState(int32_t index);
// The physics bars into SB_Var.MeterBitmap.
void SB_DrawPhysicsMeters();
// The vehicle-parameter editor: one frame, and whether the mouse moved or
// its buttons changed since the last frame.
void SB_VParamsEditorFrame();
int32_t SB_VParamsMouseMoved();
