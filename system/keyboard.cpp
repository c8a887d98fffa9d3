// The keyboard: the buffer of typed characters, held keys and the special
// keys' manager.
#include <cstring>

#include "platform/window.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

int32_t LSI_InputFilter(int32_t value) { return value; }

void LSYS_InitKbd() { LSI_Var.NbKeys = 0; }

void LSI_PutKey(uint32_t character) {
  if (LSI_Var.NbKeys < 0 || LSI_Var.NbKeys >= LSI_KEYBUFFERSIZE) return;
  LSI_Var.KeyBuffer[LSI_Var.NbKeys++] = static_cast<uint16_t>(character);
}

int32_t LS_GetKey() {
  LS_UpdateEvent();
  if (LSI_Var.NbKeys <= 0) return 0;
  const uint16_t key = LSI_Var.KeyBuffer[0];
  --LSI_Var.NbKeys;
  std::memmove(LSI_Var.KeyBuffer, LSI_Var.KeyBuffer + 1, sizeof LSI_Var.KeyBuffer[0] * LSI_Var.NbKeys);
  return LSI_InputFilter(key);
}

int32_t LSYS_KeyMayCome() { return LSI_Var.NbKeys > 0 || plat::InputMayArrive() ? 1 : 0; }

void LS_ClearKeyboard() {
  while (LS_GetKey()) {
  }
}

void LS_FlushKeyboard() { LS_ClearKeyboard(); }

int32_t LS_KeyDown(int32_t key) {
  // Without pumping, the held state still follows the devices.
  if (LSI_Var.InputMode != 1)
    LSYS_PumpMessages();
  else
    plat::PollMessageSource();
  return LSI_InputFilter(plat::ReadKeyState(key) ? 1 : 0);
}

int32_t LS_KeyHeld(int32_t key) {
  if (LSI_Var.InputMode != 1)
    LSYS_PumpMessages();
  else
    plat::PollMessageSource();
  return LSI_InputFilter(plat::KeyState(key) ? 1 : 0);
}

void LS_ForgetKeyTaps() { plat::ForgetKeyTaps(); }

void LSI_InitSpecial() {
  LSI_Var.SpecialOn = 1;
  std::memset(LSI_Var.SpecialKeys, 0xFF, sizeof LSI_Var.SpecialKeys);
}

void LSI_CloseSpecial() { LSI_Var.SpecialOn = 0; }
