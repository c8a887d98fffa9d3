// Text files loaded whole for batches and TYPE.
#include "shell/textlines.h"

#include "shell/console.h"
#include "shell/gamefile.h"

bool SB_LoadTextFile(const char* path, char** text, int32_t* size) {
  const SB_KeepFileErrors keep;
  void* data = nullptr;
  const int32_t length = SB_LoadWholeFile(path, &data);
  *text = static_cast<char*>(data);
  *size = length > 0 ? length : 0;
  if (length == SB_FILEMISSING) SB_ConsolePrintf("File error... type DIR for directory...");
  if (length == SB_FILEUNREADABLE) SB_ConsolePrintf("Internal error... error wile loading...");
  return length >= 0;
}
