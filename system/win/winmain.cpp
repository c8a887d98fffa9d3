// Program entry, command-line split, the two windows and the switch
// between them.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/window.h"
#include "system/file.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/win/dsound.h"
#include "system/win/shell.h"

LSYS_SHELL LSYS_Shell;
void* LSYS_Instance = nullptr;
const void* LSYS_MainWindow = nullptr;
int16_t LSYS_ScreenWidth = 0;
int16_t LSYS_ScreenHeight = 0;
int32_t LSYS_DesktopDepth = 0;
uint32_t LSYS_UserMessage = 0;

namespace {
// The two windows: one SDL window (or none) plays both, so they are only
// identities for LSYS_MainWindow.
const char g_fullScreenWindow = 0;
const char g_framedWindow = 0;
}  // namespace

void LSYS_ResetShell() {
  std::memset(&LSYS_Shell, 0, sizeof LSYS_Shell);
  LSYS_Instance = nullptr;
  LSYS_MainWindow = nullptr;
  LSYS_ScreenWidth = LSYS_ScreenHeight = 0;
  LSYS_DesktopDepth = 0;
  LSYS_UserMessage = 0;
}

char** LSYS_SplitCommandLine(const char* commandLine, int32_t* count) {
  std::vector<char*> arguments;
  if (commandLine && *commandLine) {
    const char* start = commandLine;
    for (;;) {
      const char* end = std::strchr(start, ' ');
      const size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
      char* argument = static_cast<char*>(std::malloc(length + 1));
      std::memcpy(argument, start, length);
      argument[length] = 0;
      arguments.push_back(argument);
      if (!end) break;
      start = end + 1;
    }
  }
  *count = static_cast<int32_t>(arguments.size());
  char** array = static_cast<char**>(std::calloc(arguments.size() + 1, sizeof(char*)));
  for (size_t i = 0; i < arguments.size(); ++i) array[i] = arguments[i];
  return array;
}

void LSYS_FreeArguments(char** arguments, int32_t count) {
  if (!arguments) return;
  for (int32_t i = 0; i < count; ++i) std::free(arguments[i]);
  std::free(arguments);
}

int32_t LSYS_CreateWindows(void* instance, int) {
  LSYS_Instance = instance;
  char title[LS_PATHSIZE];
  if (!LSYS_GetProgramName(title, sizeof title) || !*title) std::strcpy(title, "zentrova");
  if (!plat::OpenWindows(title)) return 0;
  LSYS_MainWindow = &g_fullScreenWindow;
  const plat::DisplayMode desktop = plat::GetDesktopMode();
  LSYS_ScreenWidth = static_cast<int16_t>(desktop.width);
  LSYS_ScreenHeight = static_cast<int16_t>(desktop.height);
  LSYS_DesktopDepth = static_cast<int32_t>(desktop.format.bitsPerPixel);
  LS_Var.Style = LSYS_STYLE_FULLSCREEN;
  LSYS_Shell.ActivateHook = nullptr;
  LSYS_UserMessage = plat::RegisterWindowMessage("ZIDADE");
  // Showing a window activates the application; without a window manager
  // (or a display) no focus event would ever say so.
  plat::PostWindowMessage({plat::kMsgActivateApp, 1, 0});
  return 1;
}

int32_t LSYS_SetWindowStyle(int32_t width, int32_t height, int32_t style) {
  style = style == LSYS_STYLE_FRAMED ? LSYS_STYLE_FRAMED : LSYS_STYLE_FULLSCREEN;
  if (style == LS_Var.Style && width == LSYS_ScreenWidth && height == LSYS_ScreenHeight) return 0;
  const bool framed = style == LSYS_STYLE_FRAMED;
  LSYS_MainWindow = framed ? &g_framedWindow : &g_fullScreenWindow;
  if (framed) plat::SetWindowClient({0, 0, width, height});
  plat::SetWindowStyle(framed, width, height);
  if (framed)
    while (plat::ShowCursor(true) < 0) {
    }
  else
    while (plat::ShowCursor(false) >= 0) {
    }
  LS_UpdateEvent();
  LSYS_ScreenWidth = static_cast<int16_t>(width);
  LSYS_ScreenHeight = static_cast<int16_t>(height);
  LS_Var.Style = style;
  LSYS_SetSoundCooperative();
  LSYS_SetCooperative();
  return 1;
}

int WinMain(void* instance, void*, const char* commandLine, int show) {
  // A window that cannot be made ends the run as a failure.
  if (!LSYS_CreateWindows(instance, show)) return 1;
  int32_t count = 0;
  char** arguments = LSYS_SplitCommandLine(commandLine, &count);
  plat::ShowCursor(false);
  SB_Main(static_cast<int16_t>(count > INT16_MAX ? INT16_MAX : count), arguments);
  LSYS_FreeArguments(arguments, count);
  return 0;
}
