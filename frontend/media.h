// Films, CD music and the console's music commands.
#pragma once
#include <cstdint>

struct BMAP;
struct FLI;
struct SOUND;

// The console's test module.
extern const char* const SB_TESTMODULE;

// PLAYMOD: "Missing module %s" and 0 while the test module's file is
// missing; else starts the module system once ("Initializing module
// system."), loads the module until it has loaded ("Loading module %s")
// and plays it at full volume; 1 when a module is loaded.
int32_t SB_ConsolePlayMod();
// STOPMOD: "Stopping module." and stops it; 0 (and nothing printed) before
// a module is loaded.
int32_t SB_ConsoleStopMod();
// Run by QUIT: frees the test module ("Freeing module.") and closes the
// module system ("Closing module system."); 0 when it was not started.
int32_t SB_ConsoleCloseMod();

// Plays a film full screen with its wave (when the file is there), mode
// FLI_MODE_MEMORY or FLI_MODE_FILE, zoomed x2 when zoom is set; 0 when the
// screen is below 640 x 480 or the film file is missing, else 1.
int32_t SB_PlayFli(const char* film, const char* sound, int32_t mode, int32_t zoom);
// Loads a film (and its wave when the file is there) into memory; 1 when
// one is there, 0 when the film is missing or unreadable.
int32_t SB_PreloadFli(const char* film, const char* sound);
// Frees the film kept in memory and its wave; 1.
int32_t SB_DiscardFli();
// Plays the preloaded film through the race overlay and resets the game
// clock; 1 when it played (0 without a film, on a screen below 640 x 480,
// or when the film is larger than the overlay).
int32_t SB_PlayPreloadedFli();

// The player's steps. The screen must be at least 640 x 480.
bool SB_ScreenTakesFilms();
// Every frame of the film, one each 66 ms, centred on the front screen,
// zoomed x2 into a bitmap of the screen's depth when zoom is set; the wave
// starts with frame 0 and is waited for unless Escape ended the film.
int32_t RunFliPlayer(FLI* fli, SOUND* wave, int32_t zoom);
// SB_Var.FliColours from the film's colours for a screen format (2: none;
// 4 and 16: the 16-bit pixel in both halves); "Unsupported Format" raised
// for any other. 1.
int32_t ConvertFliPalette(FLI* fli, int32_t format);
// Each pixel of the 8-bit frame as a 2 x 2 block at the top-left of dst:
// the index itself into an 8-bit dst, its FliColours entry into a 16-bit
// one (clipped to dst); 0 for a frame that is not 8-bit.
int32_t BlitFliFrame(BMAP* frame, BMAP* dst);

// CD track 2, repeated, when music is on.
int32_t SB_StartCdMusic();
int32_t SB_StopCdMusic();
