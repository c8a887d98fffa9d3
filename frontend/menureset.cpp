// The front end's part of the global record's reset: no interface exists,
// and the screens, pictures and texts are the catalogue's again.
#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/sbvar.h"

void SB_ResetFrontEnd() {
  SB_Var.MenuScreen = -1;
  SB_Var.DrawnMenuScreen = -1;
  SB_LoadMenuCatalogue();
  SB_ResetInterfaceSounds();
}
