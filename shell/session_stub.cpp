// The console run: until the console exists it ends at once.
#include "shell/sbvar.h"
#include "shell/session.h"

void SB_ShowPleaseWait() {}

int32_t SB_RunConsole() {
  SB_Var.RunDone = 1;
  return 0;
}
