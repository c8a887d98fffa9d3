// The library's start and close, and its WIN.INI switches.
#include <cstring>

#include "platform/config.h"
#include "platform/profile.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/bmap.h"
#include "system/cdaudio.h"
#include "system/font.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/sound.h"
#include "system/win/shell.h"

namespace {

// A switch is on exactly when its value is "TRUE".
uint32_t Switch(const char* key, const char* fallback) {
  return plat::GetProfileString("ZIDADE", key, fallback) == "TRUE" ? 1 : 0;
}

void Announce(const char* text) {
  if (LSI_Var.Info) LS_Message("%s", text);
}

}  // namespace

void LSI_ReadSwitches() {
  LSI_Var.Master = Switch("Master", "TRUE");
  LSI_Var.Debug = Switch("Debug", "FALSE");
  LSI_Var.Info = Switch("Info", "FALSE");
  if (LSI_Var.Master) LSI_Var.Debug = LSI_Var.Info = 0;
  LSI_Var.Language = plat::SystemLanguageId() & 0x3FF;
}

int32_t LS_InitZidAde(uint32_t heapSize) {
  LS_Var.CurrentDir[0] = 0;
  LS_SetErrorHook(nullptr);
  LS_SetInputMode(0);
  LS_BmapLockCount = 0;

  LSI_ReadSwitches();
  if (!LSI_Var.Master) LSI_StartRunLog();
  LS_SetErrorMode(LS_ERRMODE_FATAL);

  Announce("Init Memory Manager");
  if (!LSI_InitMemory(heapSize)) {
    LSI_CloseMemory();
    LS_Exit(1);
  }
  Announce("Init Directory Manager");
  LSI_InitDirectory();
  Announce("Init Kbd Manager");
  LSYS_InitKbd();
  Announce("Init Special Manager");
  LSI_InitSpecial();
  Announce("Init Mouse Manager");
  LSYS_InitMouse();
  Announce("Init Graphic Manager");
  LSI_InitGraphic();
  LSI_InitSound();
  Announce("Init System font Manager");
  LS_InitSystemFont();
  Announce("Init CD Manager");
  LSI_InitCD();
  Announce("Init Joy Manager");
  LSI_InitJoy();
  return 1;
}

int32_t LS_CloseZidAde() {
  LSI_CloseCD();
  LSI_CloseSound();
  LSYS_ReleaseMouseClip();
  LSI_CloseGraphic();
  LSYS_InitKbd();  // empties the keyboard buffer
  LSI_CloseSpecial();
  LSI_CloseMemory();
  if (!LSI_Var.Master) {
    LSI_EndRunLog();
    if (LSI_Var.NbBmap) LS_Message("LSI_Var.NbBmap: %d", LSI_Var.NbBmap);
    if (LSI_Var.NbAlloc) LS_Message("LSI_Var.NbAlloc: %d", LSI_Var.NbAlloc);
    if (LSI_Var.NbPal) LS_Message("LSI_Var.NbPal: %d", LSI_Var.NbPal);
  }
  return 1;
}
