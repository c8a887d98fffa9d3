// The developer console: 60 lines of at most 80 characters in the system
// font over a background picture, where every part of the game prints its
// progress and errors; a log file of the printed lines; the command-line
// editor with its 32-line history, and a line input after a prompt.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BMAP;

constexpr int32_t SB_EDITLINE = 31;       // history line being edited
constexpr size_t SB_EDITMAX = 78;         // characters of the edited command line
constexpr size_t SB_INPUTMAX = 79;        // characters of a prompt and its answer
constexpr size_t SB_INPUTSIZE = 80;       // bytes an answer's buffer must hold
constexpr uint32_t SB_CURSORBLINK = 256;  // the cursor shows while this bit of the clock is set
extern const char* const SB_CONSOLEFILE;  // the log, "HDISK:>CONSOLE.TXT"

// printf-like: logs the text, writes it into the current line (cut at 80
// characters), advances (scrolling at the last line), then draws.
void SB_ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-like: writes the current line without advancing or logging.
void SB_ConsoleStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Empties the 60 lines; the current line becomes 0.
void SB_ClearConsole();
// Empties the 32 lines of the command history.
void SB_ClearHistory();

// Draws the console on the screen when SB_Var.DrawConsole is set.
void SB_DrawConsole();
void SB_DrawSysText(const char* text, BMAP* bmap, int32_t x, int32_t y);
void SB_DrawSysTextTransparent(const char* text, BMAP* bmap, int32_t x, int32_t y);

// Frees the console's background picture when it is loaded.
void SB_FreeDevEnvBackground();

// The log file.
void SB_SetFileOutput(int32_t flag);
void SB_StartConsoleFile();
void SB_LogConsoleLine(const char* text);

// The texts printed with SB_ConsolePrintf, whole, the last 1000 of them
// (tests read what scrolled off the screen here).
const std::vector<std::string>& SB_PrintedLines();
void SB_ClearPrintedLines();
// The last text written with SB_ConsoleStatus (the next printed line
// overwrites it on the screen); cleared with the printed lines.
const std::string& SB_LastStatusLine();
