// The editors' pointer reading, limited to their screen or view.
#include "tools/editmouse.h"

#include "system/input.h"

void SB_ReadLimitedMouse(int32_t maxX, int32_t maxY, int32_t* x, int32_t* y, int32_t* buttons) {
  int32_t readX = 0, readY = 0, b = 0;
  LS_GetMouse(&readX, &readY, &b);
  readX = static_cast<int16_t>(readX), readY = static_cast<int16_t>(readY);
  *buttons = static_cast<uint16_t>(b);
  *x = readX > maxX ? maxX : readX;
  *y = readY > maxY ? maxY : readY;
  if (*x != readX || *y != readY) LS_SetMousePos(*x, *y);
}
