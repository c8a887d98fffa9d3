// Films, CD music and the console's music commands.
#pragma once
#include <cstdint>

// The console's test module.
extern const char* const SB_TESTMODULE;

// PLAYMOD: starts the module system (once), loads the test module (until
// it has loaded) and plays it at full volume; 1 when a module is loaded.
int32_t SB_ConsolePlayMod();
// STOPMOD: "Stopping module." and stops it; 0 (and nothing printed) before
// a module is loaded.
int32_t SB_ConsoleStopMod();
// Run by QUIT: frees the test module ("Freeing module.") and closes the
// module system ("Closing module system."); 0 when it was not started.
int32_t SB_ConsoleCloseMod();

// Plays a film with its sound.
int32_t SB_PlayFli(const char* film, const char* sound, int32_t mode, int32_t flag);
// Loads a film and its optional sound into memory; 1 when one is there.
int32_t SB_PreloadFli(const char* film, const char* sound);
// Frees the film kept in memory.
int32_t SB_DiscardFli();

// CD track 2, repeated, when music is on.
int32_t SB_StartCdMusic();
int32_t SB_StopCdMusic();

// Plays the film preloaded for the network start.
void SB_PlayPreloadedFli();
// The practice laps a network controller asks for.
void SB_EnterPracticeMode();
