// The front end's part of the global record's reset: no interface exists.
// A file of its own, so that the reset links without the interface.
#include "frontend/menu.h"
#include "shell/sbvar.h"

void SB_ResetFrontEnd() {
  SB_Var.MenuScreen = -1;
  SB_Var.DrawnMenuScreen = -1;
}
