// The library's side of the window system: program entry, command line,
// message pump and hooks, and the message box.
#pragma once
#include <cstdint>

// Hooks the rest of the program sets; null when not set.
using LSYS_ACTIVATEHOOK = int32_t (*)(int32_t active);
using LSYS_REPAINTHOOK = void (*)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
using LSYS_USERMESSAGEHOOK = void (*)(intptr_t lParam);
// The music player's pause and resume, called when the application
// becomes inactive and active.
using LSYS_MODULEHOOK = int32_t (*)();

int WinMain(void* instance, void* previous, const char* commandLine, int show);
// Splits a command line at single blanks: two blanks in a row give an
// empty argument, quotes mean nothing, an empty line gives no argument.
// Each argument is its own allocation (free with LSYS_FreeArguments).
char** LSYS_SplitCommandLine(const char* commandLine, int32_t* count);
void LSYS_FreeArguments(char** arguments, int32_t count);

int32_t LSYS_PumpMessages();
void LS_UpdateEvent();
void LS_SetInputMode(int32_t mode);

void LSYS_SetActivateHook(LSYS_ACTIVATEHOOK hook);
void LSYS_SetRepaintHook(LSYS_REPAINTHOOK hook);
void LSYS_SetUserMessageHook(LSYS_USERMESSAGEHOOK hook);
LSYS_ACTIVATEHOOK LSYS_GetActivateHook();
void LSYS_SetPauseHook(LSYS_MODULEHOOK hook);
void LSYS_SetResumeHook(LSYS_MODULEHOOK hook);
LSYS_MODULEHOOK LSYS_GetPauseHook();
LSYS_MODULEHOOK LSYS_GetResumeHook();

// The library's message box: caption "ZidAde Message", OK only.
void LSYS_MessageBox(const char* text);
void LSYS_FlipToGdi();

// The game's main function, called by WinMain.
int32_t SB_Main(int16_t argc, char** argv);
