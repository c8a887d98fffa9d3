// The joysticks: the probe at start and the scaled reading.
#include "platform/joystick.h"

#include <cstring>

#include "system/bmap.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

// An axis from min .. max to -1 .. 1 (0 when the range is empty).
double Scale(uint32_t raw, uint32_t min, uint32_t max) {
  if (max == min) return 0.0;
  return (static_cast<double>(raw) - min) / (static_cast<double>(max) - min) * 2.0 - 1.0;
}

}  // namespace

void LSI_InitJoy() {
  std::memset(LSI_Var.Joy, 0, sizeof LSI_Var.Joy);
  for (int32_t id = 0; id < LSI_NBJOY; ++id) {
    plat::JoyPosition position;
    plat::JoyCaps caps;
    if (plat::GetJoyPosition(id, &position) != plat::kJoyOk || plat::GetJoyCaps(id, &caps) != plat::kJoyOk)
      continue;
    LSI_JOYENTRY& entry = LSI_Var.Joy[id];
    entry.XMin = caps.xMin;
    entry.XMax = caps.xMax;
    entry.YMin = caps.yMin;
    entry.YMax = caps.yMax;
    entry.NumButtons = caps.buttons;
    entry.Present = 1;
  }
}

int32_t LSYS_GetJoyPos(int32_t n, JOYPOS* position) {
  if (LSI_RefuseWhileLocked("LSYS_GetJoyPos")) return 0;
  if (n < 1 || n > LSI_NBJOY || !position) return 0;
  const LSI_JOYENTRY& entry = LSI_Var.Joy[n - 1];
  if (!entry.Present) return 0;
  plat::JoyPosition read;
  if (plat::GetJoyPosition(n - 1, &read) != plat::kJoyOk) return 0;
  position->RawX = read.x;
  position->RawY = read.y;
  position->X = Scale(read.x, entry.XMin, entry.XMax);
  position->Y = Scale(read.y, entry.YMin, entry.YMax);
  position->Buttons = read.buttons;
  return 1;
}
