// Storage and resets of the library's global records.
#include "system/lsvar.h"

#include <cstring>

#include "system/win/shell.h"

LS_VARS LS_Var;
LSI_VARS LSI_Var;
LS_DRIVE LS_DriveTable[20];

void LS_ResetVars() {
  std::memset(&LS_Var, 0, sizeof LS_Var);
  std::memset(LS_DriveTable, 0, sizeof LS_DriveTable);
}

void LSI_ResetVars() {
  std::memset(&LSI_Var, 0, sizeof LSI_Var);
  LSI_Var.ErrorMode = 3;
  LSI_Var.Master = 1;
  LSYS_ResetShell();
}
