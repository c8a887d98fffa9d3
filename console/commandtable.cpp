// The command table and the commands of the console
// itself: its screen and history, batches, the test module and the film
// kept in memory, and the end of the console.
#include "console/commandtable.h"

#include <cstring>

#include "console/commands.h"
#include "frontend/media.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"

namespace {

constexpr int32_t kShiftKey = 16, kEscapeKey = 27;

int32_t ClearConsoleCommand(const SB_COMMANDWORDS&) {
  SB_ClearHistory();
  return 1;
}

int32_t RunCommand(const SB_COMMANDWORDS& words) {
  if (words.Args[0][0]) SB_RunBatch(words.Args[0], words.Args[1], words.Args[2]);
  return 1;
}

int32_t PreloadFliCommand(const SB_COMMANDWORDS&) {
  SB_PreloadFli("INTRO>ZENTRACE.FLC", "INTRO>RACE22.WAV");
  return 1;
}

int32_t DiscardFliCommand(const SB_COMMANDWORDS&) {
  SB_DiscardFli();
  return 1;
}

int32_t PlayModCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePlayMod();
  return 1;
}

int32_t StopModCommand(const SB_COMMANDWORDS&) {
  SB_ConsoleStopMod();
  return 1;
}

int32_t QuitCommand(const SB_COMMANDWORDS&) {
  SB_ConsoleCloseMod();
  SB_ExecCommand("@DISCARDFLI");
  SB_ExecCommand("@CLOSENET");
  SB_Var.QuitConsole = 1;
  return 1;
}

int32_t ClsCommand(const SB_COMMANDWORDS&) {
  SB_ClearConsole();
  return 1;
}

int32_t EchoCommand(const SB_COMMANDWORDS& words) {
  SB_ConsolePrintf("%s", words.Rest);
  return 1;
}

// A batch that wants to be breakable runs this between its lines.
int32_t KeyQuitBatchCommand(const SB_COMMANDWORDS&) {
  SB_UpdateEvent();
  if (SB_KeyDown(kEscapeKey) && SB_KeyHeld(kShiftKey)) {
    SB_ConsolePrintf("Batch execution user break !!!");
    SB_BreakBatch();
  }
  return 1;
}

// In the order in which the keywords are tried.
const SB_COMMAND kCommands[] = {
    {"SAVECONSOLE", SB_SaveConsoleCommand},
    {"TEXTURESCALE", SB_TextureScaleCommand},
    {"NUMBEROFCARS", SB_NumberOfCarsCommand},
    {"SAVETEXTCARS", SB_SaveTextCarsCommand},
    {"LOADTEXTCARS", SB_LoadTextCarsCommand},
    {"COURSEREPLAYS", SB_CourseReplaysCommand},
    {"ASKSAVEREPLAY", SB_AskSaveReplayCommand},
    {"SAVEREPLAY", SB_SaveReplayCommand},
    {"SCALE", SB_ScaleCommand},
    {"LOADREPLAY", SB_LoadReplayCommand},
    {"INITREPLAY", SB_InitReplayCommand},
    {"CALIBRATE", SB_CalibrateCommand},
    {"CLEARCONSOLE", ClearConsoleCommand},
    {"TYPE", SB_TypeCommand},
    {"RUN", RunCommand},
    {"HELP", SB_HelpCommand},
    {"INFO", SB_InfoCommand},
    {"PRELOADFLI", PreloadFliCommand},
    {"DISCARDFLI", DiscardFliCommand},
    {"PLAYMOD", PlayModCommand},
    {"STOPMOD", StopModCommand},
    {"QUIT", QuitCommand},
    {"CLS", ClsCommand},
    {"MEMINFO", SB_MemInfoCommand},
    {"MODE", SB_ModeCommand},
    {"MAP", SB_MapCommand},
    {"CARNUM", SB_CarNumCommand},
    {"CARNUMEXIST", SB_CarNumExistCommand},
    {"BUILDMAP", SB_BuildMapCommand},
    {"BUILDBANK", SB_BuildBankCommand},
    {"SIMPLIFICATION", SB_SimplificationCommand},
    {"VIDEOMODE", SB_VideoModeCommand},
    {"FLAT", SB_FlatCommand},
    {"JAPAN", SB_JapanCommand},
    {"NOCACHE", SB_NoCacheCommand},
    {"NORENDER", SB_NoRenderCommand},
    {"SLOWRENDER", SB_SlowRenderCommand},
    {"VIDEOLIST", SB_VideoListCommand},
    {"AUTODETAIL", SB_AutoDetailCommand},
    {"EDITORMODE", SB_EditorModeCommand},
    {"JOYSTICKON", SB_JoystickOnCommand},
    {"JOYSTICKVOLANT", SB_JoystickVolantCommand},
    {"DRAWDEVINFO", SB_DrawDevInfoCommand},
    {"USINGSMOKE", SB_UsingSmokeCommand},
    {"USINGCARS", SB_UsingCarsCommand},
    {"FINDBOSSES", SB_FindBossesCommand},
    {"FIXEDGAMESPEED", SB_FixedGameSpeedCommand},
    {"FLOATINGGAMESPEED", SB_FloatingGameSpeedCommand},
    {"GAMESPEEDMODE", SB_GameSpeedModeCommand},
    {"DRAWINFO", SB_DrawInfoCommand},
    {"USINGSOUND", SB_UsingSoundCommand},
    {"AUTOMATIC", SB_AutomaticCommand},
    {"MIPMAP", SB_MipMapCommand},
    {"USINGOBJECTS", SB_UsingObjectsCommand},
    {"USINGPVS", SB_UsingPvsCommand},
    {"VERSION", SB_VersionCommand},
    {"PVRVERSION", SB_PvrVersionCommand},
    {"VIEWIMAGE", SB_ViewImageCommand},
    {"TEXTUREREDUCTION", SB_TextureReductionCommand},
    {"CAREDITOR", SB_CarEditorCommand},
    {"ECHO", EchoCommand},
    {"DEFAULTDIRECTORY", SB_DefaultDirectoryCommand},
    {"TIME", SB_TimeCommand},
    {"SHADOW", SB_ShadowCommand},
    {"LIGHT", SB_LightCommand},
    {"DETAIL", SB_DetailCommand},
    {"RUFISPLAYING", SB_NothingCommand},
    {"PVRMIPMAP", SB_PvrMipmapCommand},
    {"MEMORY", SB_MemoryCommand},
    {"ZORIRADEMO", SB_ZoriraDemoCommand},
    {"ZORIRATIMEOUT", SB_ZoriraTimeOutCommand},
    {"ZORIRANIGHTDAY", SB_ZoriraNightDayCommand},
    {"ZORIRACAMERA", SB_ZoriraCameraCommand},
    {"CDSONG", SB_CdSongCommand},
    {"DRAWCONSOLE", SB_DrawConsoleCommand},
    {"DELAY", SB_DelayCommand},
    {"LOADBSPLINE", SB_LoadBsplineCommand},
    {"SAVEBSPLINE", SB_SaveBsplineCommand},
    {"SAVEBSPLINEMETER", SB_SaveBsplineMeterCommand},
    {"MAKEROAD", SB_MakeRoadCommand},
    {"COPY", SB_CopyCommand},
    {"CPU", SB_NothingCommand},
    {"CALC_VITRE", SB_CalcVitreCommand},
    {"INTERFACE", SB_InterfaceCommand},
    {"INTRO", SB_IntroCommand},
    {"INTERKEYB", SB_InterKeybCommand},
    {"INTERJOY", SB_InterJoyCommand},
    {"INTERCUST", SB_InterCustCommand},
    {"OUTPUT", SB_OutputCommand},
    {"COMDEX", SB_ComdexCommand},
    {"MAKEICONE", SB_MakeIconeCommand},
    {"UNALPHA", SB_UnAlphaCommand},
    {"BMAPTO16", SB_BmapTo16Command},
    {"KEYQUITBATCH", KeyQuitBatchCommand},
};

}  // namespace

const SB_COMMAND* SB_FindCommand(const char* keyword) {
  if (!keyword) return nullptr;
  for (const SB_COMMAND& command : kCommands)
    if (std::strcmp(command.Keyword, keyword) == 0) return &command;
  return nullptr;
}
