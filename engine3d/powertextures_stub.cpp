// The accelerator's branch of the map's texture loading, until its texture
// manager exists: no picture is read, so no TEXTTRI record is made and
// every placement record says its texture is not loaded.
#include "engine3d/texpages.h"
#include "shell/sbvar.h"

__attribute__((weak)) int32_t POWER_LoadTextures() {
  SB_Var.NbTextTri = 0;
  return 1;
}
