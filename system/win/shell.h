// The library's side of the window system: program entry, command line,
// the two windows and the style switch, the window procedure, the message
// pump and its hooks, and the message box.
#pragma once
#include <cstdint>

// Hooks the rest of the program sets; null when not set.
using LSYS_ACTIVATEHOOK = int32_t (*)(int32_t active);
using LSYS_REPAINTHOOK = void (*)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
using LSYS_USERMESSAGEHOOK = void (*)(intptr_t lParam);
// The music player's pause and resume, called on focus loss and return.
using LSYS_MUSICHOOK = int32_t (*)();
// Nonzero while the program must keep running when inactive.
using LSYS_RUNINACTIVEHOOK = int32_t (*)();

// Window styles of LS_Var.Style.
constexpr int32_t LSYS_STYLE_FULLSCREEN = 0;
constexpr int32_t LSYS_STYLE_FRAMED = 256;

// The window shell's state. It lives from the windows' creation to the end
// of the process; LSYS_ResetShell (run by LSI_ResetVars) puts it back to
// its state before the windows were made.
struct LSYS_SHELL {
  int32_t Active;   // 1 while the application is the active one
  int32_t Moving;   // 1 while the framed window is dragged
  int32_t Pumping;  // 1 while the pump runs (a nested pump returns at once)
  LSYS_ACTIVATEHOOK ActivateHook;
  LSYS_REPAINTHOOK RepaintHook;
  LSYS_USERMESSAGEHOOK UserMessageHook;
  LSYS_MUSICHOOK PauseHook;
  LSYS_MUSICHOOK ResumeHook;
  LSYS_RUNINACTIVEHOOK RunInactiveHook;
};
extern LSYS_SHELL LSYS_Shell;

extern void* LSYS_Instance;
// The window in use: the full-screen one or the framed one; null before
// the windows exist.
extern const void* LSYS_MainWindow;
// The desktop's size at start, then the size of the current display mode.
extern int16_t LSYS_ScreenWidth;
extern int16_t LSYS_ScreenHeight;
extern int32_t LSYS_DesktopDepth;  // the desktop's bits per pixel
extern uint32_t LSYS_UserMessage;  // the message registered as "ZIDADE"
void LSYS_ResetShell();

// The program's entry: makes the windows, splits the command line, hides
// the cursor and runs the game. 0, or 1 when no window can be made.
int WinMain(void* instance, void* previous, const char* commandLine, int show);
// Splits a command line at single blanks: two blanks in a row give an
// empty argument, quotes mean nothing, an empty line gives no argument.
// Each argument is its own allocation (free with LSYS_FreeArguments).
char** LSYS_SplitCommandLine(const char* commandLine, int32_t* count);
void LSYS_FreeArguments(char** arguments, int32_t count);

// Makes the windows (shown full screen) and queues the first activation;
// 0 when the window cannot be made.
int32_t LSYS_CreateWindows(void* instance, int show);
// Switches between full screen (any style but 256) and a framed window
// whose client area is width x height; 0 when nothing changes.
int32_t LSYS_SetWindowStyle(int32_t width, int32_t height, int32_t style);

intptr_t LSYS_WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);
void LSYS_RepaintWindow();
// Dispatches waiting messages and returns the active flag; while the
// application is inactive it waits (and dispatches) with the library clock
// stopped until it is active, unless the run-inactive hook says to run on:
// then it returns once the messages are dispatched, and the clock runs.
int32_t LSYS_PumpMessages();
// The public pump: while a bitmap is locked it unlocks the screen and
// raises error 8 first.
void LS_UpdateEvent();
void LS_SetInputMode(int32_t mode);

void LSYS_SetActivateHook(LSYS_ACTIVATEHOOK hook);
// Asked on focus loss and at each pass of the pump while inactive (null:
// never run inactive).
void LSYS_SetRunInactiveHook(LSYS_RUNINACTIVEHOOK hook);
void LSYS_SetRepaintHook(LSYS_REPAINTHOOK hook);
void LSYS_SetUserMessageHook(LSYS_USERMESSAGEHOOK hook);
LSYS_ACTIVATEHOOK LSYS_GetActivateHook();
// The music player's hooks (null removes them).
void LSYS_SetMusicHooks(LSYS_MUSICHOOK pause, LSYS_MUSICHOOK resume);

// The library's message box: caption "ZidAde Message", OK only.
void LSYS_MessageBox(const char* text);
void LSYS_FlipToGdi();

// The game's main function, called by WinMain.
int32_t SB_Main(int16_t argc, char** argv);
