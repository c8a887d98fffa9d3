// The library's managers as its start and close call them: keyboard,
// special keys, mouse, graphics, sound, system font, CD audio, joystick.
#pragma once
#include <cstdint>

struct BMAP;

// Keyboard and special keys.
void LSYS_InitKbd();
void LSI_InitSpecial();
void LSI_CloseSpecial();
// Mouse.
void LSYS_InitMouse();
void LSYS_ReleaseMouseClip();
// Joystick.
void LSI_InitJoy();
// Graphics.
void LSI_InitGraphic();
void LSI_CloseGraphic();
// Sound.
int32_t LSI_InitSound();
void LSI_CloseSound();
void LS_Beep();
// System font.
void LS_InitSystemFont();
// CD audio.
int32_t LSI_InitCD();
int32_t LSI_CloseCD();

// Display capabilities.
struct VIDEOCAPS {
  uint32_t VidMemFree;
  uint32_t VidMemTotal;
  uint32_t RedMask;
  uint32_t GreenMask;
  uint32_t BlueMask;
  uint32_t Format;
  uint32_t BankSwitched;
  uint32_t Hardware;
};
int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps);

// Primary sound output format.
struct SOUNDFORMAT {
  uint16_t Rate;
  uint16_t Channels;
  uint32_t Bits;
};
void SetSoundFormat(const SOUNDFORMAT* format);

// Bitmaps.
extern int32_t LS_BmapLockCount;
void LS_ClearBmap(BMAP* bmap);

// Cosine table of the fixed-point 3D library.
void LS_InitSinTable();
void LS_Close3D();
