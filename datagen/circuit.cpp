// The default circuit's map, built from its scene by the construction the
// game runs for "BUILDMAP 1" (texture-repeat cuts on, as the console starts,
// and the visibility sets from the texture path's occlusion picture), on a
// drive C: over the data tree.
#include "datagen/circuit.h"

#include <cstdint>
#include <cstring>
#include <fstream>

#include "platform/fs.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/win/shell.h"
#include "track/decor.h"

namespace datagen {

bool BuildNetraceMap(const std::string& root) {
  plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", root}});
  if (!LSI_InitMemory(160u << 20)) return false;  // the construction's own heap is 80 MB
  LSI_InitDirectory();
  SB_ResetVars();
  // The windows exist and are active, so that the scene reader's keyboard
  // flush does not wait for an activation.
  LSYS_CreateWindows(nullptr, 1);
  LSYS_PumpMessages();
  SB_Var.Renderer = 0;
  SB_Var.SplitTextureRepeats = SB_Var.UsingPvs = 1;
  std::strcpy(SB_Var.TexturePath, "TRAVUN>");
  const bool built = SB_LoadAndBuildMap("ASC>NETRACE.ASC") == 1;
  if (built) SB_SaveDecor("DEC>NETRACE.DEC");
  SB_FreeDecor();
  LSI_CloseMemory();
  return built && std::ifstream(root + "/DEC/NETRACE.DEC").good();
}

}  // namespace datagen
