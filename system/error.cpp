// Library errors: the table, the five reporting modes and the fatal path.
#include "system/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/fs.h"
#include "platform/window.h"
#include "system/file.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/sound.h"
#include "system/win/shell.h"

const LS_ERRORENTRY LS_ErrorTable[49] = {
    {0, "User Error"},
    {1, "Can not attrib pal"},
    {2, "BuildMask failed"},
    {3, "Video mode not supported"},
    {4, "File not found"},
    {5, "Can't create file"},
    {6, "Invalid Bmap Depth"},
    {7, "DDRAW Error"},
    {8, "Bmap Error"},
    {9, "Invalid Video Mode"},
    {10, "LS_Close Failed"},
    {11, "Not Enough Memory"},
    {12, "LS_GetMem failed"},
    {13, "LS_Release With no Mem"},
    {14, "LS_Release not found"},
    {15, "LS_LockDM failed"},
    {16, "LS_UnlockDM failed"},
    {17, "DSOUND Error"},
    {18, "No NULL mem size allowed"},
    {19, "Sound Error"},
    {20, "Playing can not begin"},
    {21, "Zidade3D Error"},
    {22, "CD Audio"},
    {23, "Network"},
    {24, "Numéro de scène incorrect"},
    {25, "Scène déjà affectée"},
    {26, "Affectation scène impossible FULL"},
    {27, "Numéro de block incorrect"},
    {28, "Block déjà affecté"},
    {29, "Affectation block impossible FULL"},
    {30, "Numéro de movie incorrect"},
    {31, "Affectation movie impossible FULL"},
    {32, "Numéro de bmap incorrect"},
    {33, "Bmap déjà affecté"},
    {34, "Affectation bmap impossible FULL"},
    {35, "Numéro de sound incorrect"},
    {36, "Sound déjà affecté"},
    {37, "Affectation sound impossible FULL"},
    {38, "People déjà affecté"},
    {39, "Type d'item inconnu"},
    {40, "Remove d'un People NULL"},
    {41, "Change d'un People NULL"},
    {42, "People NULL"},
    {43, "Affectation People impossible FULL"},
    {44, "Numero de zone incorrect"},
    {45, "Affectation Zone impossible FULL"},
    {46, "Opération sur Zone NULL"},
    {47, "Zone déjà affectée"},
    {-1, nullptr},
};

namespace {

// Set while the fatal path runs, so that an error raised on the way out
// (closing the display, say) goes straight to the exit.
bool g_inFatal = false;

const LS_ERRORENTRY* FindError(int32_t code) {
  for (const LS_ERRORENTRY* row = LS_ErrorTable; row->Code != -1; ++row)
    if (row->Code == code) return row;
  return nullptr;
}

// Builds the report line; false when the code is not in the table.
bool FormReport(int32_t code, const char* text, char* report, size_t size) {
  const LS_ERRORENTRY* row = FindError(code);
  if (!row) return false;
  if (row->Text)
    std::snprintf(report, size, "LS_ERROR: %d %20s %s \n", code, row->Text, text);
  else
    std::snprintf(report, size, "LS_ERROR: %d %20s \n", code, "");
  return true;
}

[[noreturn]] void ReportFatally(const char* report) {
  if (!g_inFatal) {
    struct FatalScope {
      FatalScope() { g_inFatal = true; }
      ~FatalScope() { g_inFatal = false; }
    } scope;
    LSI_CloseGraphic();
    const bool shown = LSI_Var.ErrorHook && LSI_Var.ErrorHook(report) != 0;
    if (!shown) LS_Message("%s", report);
  }
  LS_Exit(1);
}

// Appends the report to "LSDEBUG.ERM" in the current directory; a file
// that cannot be opened is skipped silently.
void AppendToErrorFile(const char* report) {
  char path[LS_PATHSIZE] = "LSDEBUG.ERM";
  if (LSI_GetPhysicalPath(path, sizeof path) < 0) return;
  const int handle = plat::OpenFile(path, plat::kOpenText | plat::kOpenCreate | plat::kOpenWriteOnly);
  if (handle < 0) return;
  plat::SeekFile(handle, 0, 2);
  plat::WriteFile(handle, report, static_cast<uint32_t>(std::strlen(report)));
  plat::WriteFile(handle, "\n", 1);
  plat::CloseFile(handle);
}

}  // namespace

int32_t LS_Error(int32_t code, const char* format, ...) {
  const uint32_t mode = LSI_Var.ErrorMode;
  if (mode < LS_ERRMODE_KEEP || mode > LS_ERRMODE_BEEP) return 0;
  LSI_Var.LastError = static_cast<uint32_t>(code);
  if (mode == LS_ERRMODE_KEEP) return 0;
  if (mode == LS_ERRMODE_BEEP) {
    LS_Beep();
    return 0;
  }

  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format ? format : "", args);
  va_end(args);
  char report[1200];
  if (!FormReport(code, text, report, sizeof report)) {
    LS_Message("Error no doesn't exist");
    return 0;
  }
  if (mode == LS_ERRMODE_FATAL) ReportFatally(report);
  AppendToErrorFile(report);
  return 0;
}

int32_t LS_SetErrorMode(uint32_t mode) {
  if (mode >= LS_ERRMODE_IGNORE && mode <= LS_ERRMODE_BEEP) {
    LSI_Var.ErrorMode = mode;
    return 1;
  }
  LSI_Var.ErrorMode = 6;
  return 0;
}

void LS_SetErrorHook(LS_ERRORHOOK hook) { LSI_Var.ErrorHook = hook; }

uint32_t LS_GetLastError() { return LSI_Var.LastError; }

void LS_Message(const char* format, ...) {
  char text[1200];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  LSYS_MessageBox(text);
}

void LS_Exit(int32_t code) {
  LSYS_ReleaseMouseClip();
  plat::ExitProcess(code);
}
