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
