// What the race rules and the race-phase sequencer use of the vehicles.
#pragma once
#include <cstdint>

// 1 when 0 <= index < SB_Var.NbCars (and the table has that slot).
int32_t SB_IsValidCarIndex(int32_t index);
// The car's textures-ready word; 0 for an invalid index or a missing car.
int32_t SB_CarTexturesReady(int32_t index);
// The vehicle-setup number of the car; 0 for an invalid index.
int32_t SB_GetCarSetupNumber(int32_t index);
// Racing players whose car is in the game.
int32_t SB_CountActiveCars();
// 1 when the car has a replay attached that is playing back.
int32_t SB_IsCarReplayPlaying(int32_t index);

// Every car re-initialised without reloading it.
void SB_RestartRace();
// Race timer, day/night state, decor animation, replay clocks, scores, gap
// tables, camera and race flags back to their start.
void SB_RaceTeardown();
void SB_ResetReplayClocks();
// Wanted volume silent on every car-sound channel.
void SB_SilenceCarSounds();
void SB_PlayTututuSound();
// Reads a replay file into a car's slot (-1: the slot the file names);
// playback begins startTime ms into it.
int32_t SB_LoadCarReplay(const char* name, int32_t slot, int32_t startTime);
void SB_FreeAllCarReplays();
// Re-selects SB_Var.DrivenCar and SB_Var.ReplayCar from the cars' replays.
void SB_FindDrivenCar();
// Runs after every completed lap of the driven car.
void SB_LapCompletedHook();
