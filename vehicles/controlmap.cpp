// The control map from the control mode: the joystick and keyboard
// presets, or the user's keys from the controls screen.
#include <cstring>

#include "shell/sbvar.h"
#include "shell/settings.h"
#include "vehicles/controls.h"
#include "vehicles/keynames.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kJoystickPreset[SB_NBCONTROLS] = {1027, 1028, 1025, 1026, 17, 1033, 1034, 1036, 1035};
constexpr int32_t kKeyboardPreset[SB_NBCONTROLS] = {16, 40, 37, 39, 17, 65, 90, 13, 32};
constexpr int32_t kUserLight = 27;  // Escape

// The key name an item of the controls screen shows; empty without one.
const char* ItemKeyName(int32_t item) {
  const intptr_t value = SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[item].Value;
  return value >= SB_ITEMTEXTMIN ? reinterpret_cast<const char*>(value) : "";
}

}  // namespace

void SB_SetControlMap() {
  int32_t* map = SB_Var.ControlMap;
  switch (SB_Var.ControlMode) {
    case 0:
      std::memcpy(map, kJoystickPreset, sizeof kJoystickPreset);
      break;
    case 2:
      for (int32_t k = 0; k < SB_CTRL_LIGHT; ++k) map[k] = KeyNameToCode(ItemKeyName(SB_ITEM_FIRSTKEY + k));
      map[SB_CTRL_LIGHT] = kUserLight;
      break;
    default:
      SB_Var.ControlMode = 1;
      [[fallthrough]];
    case 1:
      std::memcpy(map, kKeyboardPreset, sizeof kKeyboardPreset);
      break;
  }
}
