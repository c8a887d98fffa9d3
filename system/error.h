// Numbered library errors, message boxes, the library's start and close,
// and the end of the process.
#pragma once
#include <cstdint>

#include "system/lsvar.h"

// Error modes.
constexpr uint32_t LS_ERRMODE_IGNORE = 1;
constexpr uint32_t LS_ERRMODE_KEEP = 2;
constexpr uint32_t LS_ERRMODE_FATAL = 3;
constexpr uint32_t LS_ERRMODE_LOG = 4;
constexpr uint32_t LS_ERRMODE_BEEP = 5;

struct LS_ERRORENTRY {
  int32_t Code;
  const char* Text;
};
// 48 rows, then a row with code -1.
extern const LS_ERRORENTRY LS_ErrorTable[49];

// Raises error code with a printf-style text; acts by the error mode.
int32_t LS_Error(int32_t code, const char* format, ...) __attribute__((format(printf, 2, 3)));
int32_t LS_SetErrorMode(uint32_t mode);
void LS_SetErrorHook(LS_ERRORHOOK hook);
// The code of the last error raised in modes 2 to 5.
uint32_t LS_GetLastError();

// Shows a formatted text in the library's message box and waits for OK.
void LS_Message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The name of a DirectDraw-style result code.
const char* LSYS_GetDDrawErrorText(int32_t code);

int32_t LS_InitZidAde(uint32_t heapSize);
int32_t LS_CloseZidAde();
// Releases the mouse confinement and ends the process.
[[noreturn]] void LS_Exit(int32_t code);

// WIN.INI switches (read at library start).
void LSI_ReadSwitches();
// Run log "LS1.CFG" in the user's configuration directory.
void LSI_StartRunLog();
void LSI_EndRunLog();
