// The system library's global records. LS_Var holds what the game reads
// (root and current directory, window style, screens); LSI_Var the
// library's own switches, counters and error state. Both live for the whole
// run, from library start to process end; the resets put them back to
// their state before library start (used by test fixtures).
#pragma once
#include <cstddef>
#include <cstdint>

#include "system/palette.h"

struct BMAP;
struct FONT;

// Drive kinds of the logical drive table.
constexpr uint32_t FLOPPY = 1;
constexpr uint32_t HDISK = 10;
constexpr uint32_t CDROM = 20;
constexpr uint32_t REMOTE_SYS = 30;
constexpr uint32_t REMOTE = 30;
constexpr uint32_t REMOTE_DEV2 = 31;
constexpr uint32_t REMOTE_TMP = 32;
constexpr uint32_t REMOTE_TOOLS = 33;
constexpr uint32_t LS_UNKNOWN_DRIVE = 65535;

constexpr size_t LS_DIRSIZE = 256;   // root and current directory texts
constexpr size_t LS_PATHSIZE = 512;  // buffers that hold a whole resolved path

// One slot of the logical drive table.
struct LS_DRIVE {
  char Root[LS_DIRSIZE];  // drive letter and colon, as "C:"
  uint32_t Kind;
  uint32_t Number;   // from 1 within each kind (remote kinds share one count)
  uint32_t Present;  // 1 = usable
};

// Error hook: gets the full report text of a fatal error; non-zero means it
// has shown the error itself.
using LS_ERRORHOOK = int32_t (*)(const char* text);

struct LS_VARS {
  LS_DRIVE RootDir;             // the drive relative paths resolve on
  char CurrentDir[LS_DIRSIZE];  // logical path without drive ("" = root)
  int32_t Style;                // window style: 0 full screen, 256 framed
  BMAP* Screen;                 // front screen
  BMAP* BackScreen;
  int32_t ScreenMode;           // 1 a front screen only, n: n - 1 back buffers
  PALETTE Palette;              // the current palette
  FONT* SysFont;                // the built-in 8 x 8 font, set at library start
};

// One joystick of the joystick table: its calibration as the device gave
// it when the manager started, and whether it answered then.
struct LSI_JOYENTRY {
  uint32_t XMin, XMax, YMin, YMax;
  uint32_t NumButtons;
  uint32_t Present;
};
constexpr int32_t LSI_NBJOY = 5;
constexpr int32_t LSI_KEYBUFFERSIZE = 16;

struct LSI_VARS {
  int16_t NbAlloc;  // outstanding blocks of the default heap
  int16_t NbBmap;
  int16_t NbPal;
  uint32_t ErrorMode;  // 1 ignore, 2 keep, 3 fatal, 4 log, 5 beep, 6 silenced
  uint32_t LastError;
  LS_ERRORHOOK ErrorHook;
  uint32_t Master;  // WIN.INI switches
  uint32_t Debug;
  uint32_t Info;
  uint32_t Language;  // the system's primary-language number
  uint32_t InputMode;
  uint32_t RunNumber;   // this run's number in the run log, 0 when not logged
  uint32_t SoundOn;     // non-zero while the sound device is open
  int32_t NbSound;      // sounds holding a buffer
  int16_t NbFont;       // fonts loaded by LS_LoadFont and not yet freed
  uint32_t CDOn;        // non-zero while the CD audio device is open
  int32_t CDTrack;      // the track played last
  int32_t CDPlaying;    // a track was started and not stopped
  int32_t CDReplays;    // replays left; below 0 replays for ever
  // Keyboard buffer, filled from WM_CHAR: a character in each low byte.
  uint16_t KeyBuffer[LSI_KEYBUFFERSIZE];
  int32_t NbKeys;
  // Library clock: tick count - TimeOffset, standing at PauseTick while
  // TimePaused. ChronoStart is the stopwatch's last restart.
  uint32_t TimeOffset;
  uint32_t PauseTick;
  uint32_t TimePaused;
  uint32_t ChronoStart;
  uint32_t MouseOn;
  int32_t MouseLimits[4];  // the last confinement: x1, y1, x2, y2
  uint32_t SpecialOn;      // special-key manager, with its 256-bit key map
  uint8_t SpecialKeys[32];
  LSI_JOYENTRY Joy[LSI_NBJOY];
};

extern LS_VARS LS_Var;
extern LSI_VARS LSI_Var;
extern LS_DRIVE LS_DriveTable[20];

void LS_ResetVars();
// Also puts the window shell (system/win/shell.h) back to its state before
// the windows were made.
void LSI_ResetVars();
