// The console's commands, one function per keyword, and the command
// functions they share. The table that orders the keywords is in
// console/commandtable.cpp.
#pragma once
#include <cstdint>

#include "console/commandtable.h"

// Numeric switches and settings chosen by a word (console/cmd_switches.cpp).
int32_t SB_NumberOfCarsCommand(const SB_COMMANDWORDS& words);
int32_t SB_CourseReplaysCommand(const SB_COMMANDWORDS& words);
int32_t SB_BuildMapCommand(const SB_COMMANDWORDS& words);
int32_t SB_BuildBankCommand(const SB_COMMANDWORDS& words);
int32_t SB_SimplificationCommand(const SB_COMMANDWORDS& words);
int32_t SB_VideoModeCommand(const SB_COMMANDWORDS& words);
int32_t SB_FlatCommand(const SB_COMMANDWORDS& words);
int32_t SB_JapanCommand(const SB_COMMANDWORDS& words);
int32_t SB_NoCacheCommand(const SB_COMMANDWORDS& words);
int32_t SB_NoRenderCommand(const SB_COMMANDWORDS& words);
int32_t SB_SlowRenderCommand(const SB_COMMANDWORDS& words);
int32_t SB_AutoDetailCommand(const SB_COMMANDWORDS& words);
int32_t SB_EditorModeCommand(const SB_COMMANDWORDS& words);
int32_t SB_JoystickOnCommand(const SB_COMMANDWORDS& words);
int32_t SB_JoystickVolantCommand(const SB_COMMANDWORDS& words);
int32_t SB_DrawDevInfoCommand(const SB_COMMANDWORDS& words);
int32_t SB_UsingSmokeCommand(const SB_COMMANDWORDS& words);
int32_t SB_UsingCarsCommand(const SB_COMMANDWORDS& words);
int32_t SB_FindBossesCommand(const SB_COMMANDWORDS& words);
int32_t SB_FixedGameSpeedCommand(const SB_COMMANDWORDS& words);
int32_t SB_FloatingGameSpeedCommand(const SB_COMMANDWORDS& words);
int32_t SB_GameSpeedModeCommand(const SB_COMMANDWORDS& words);
int32_t SB_DrawInfoCommand(const SB_COMMANDWORDS& words);
int32_t SB_UsingSoundCommand(const SB_COMMANDWORDS& words);
int32_t SB_AutomaticCommand(const SB_COMMANDWORDS& words);
int32_t SB_UsingPvsCommand(const SB_COMMANDWORDS& words);
int32_t SB_ZoriraDemoCommand(const SB_COMMANDWORDS& words);
int32_t SB_ZoriraTimeOutCommand(const SB_COMMANDWORDS& words);
int32_t SB_ZoriraNightDayCommand(const SB_COMMANDWORDS& words);
int32_t SB_CdSongCommand(const SB_COMMANDWORDS& words);
int32_t SB_DrawConsoleCommand(const SB_COMMANDWORDS& words);
int32_t SB_MemoryCommand(const SB_COMMANDWORDS& words);
int32_t SB_ShadowCommand(const SB_COMMANDWORDS& words);
int32_t SB_LightCommand(const SB_COMMANDWORDS& words);
int32_t SB_PvrMipmapCommand(const SB_COMMANDWORDS& words);
int32_t SB_DetailCommand(const SB_COMMANDWORDS& words);
int32_t SB_ZoriraCameraCommand(const SB_COMMANDWORDS& words);
int32_t SB_TimeCommand(const SB_COMMANDWORDS& words);
int32_t SB_ModeCommand(const SB_COMMANDWORDS& words);

// The shell's actions (console/cmd_actions.cpp).
int32_t SB_SaveConsoleCommand(const SB_COMMANDWORDS& words);
int32_t SB_TextureScaleCommand(const SB_COMMANDWORDS& words);
int32_t SB_ScaleCommand(const SB_COMMANDWORDS& words);
int32_t SB_TypeCommand(const SB_COMMANDWORDS& words);
int32_t SB_HelpCommand(const SB_COMMANDWORDS& words);
int32_t SB_InfoCommand(const SB_COMMANDWORDS& words);
int32_t SB_MemInfoCommand(const SB_COMMANDWORDS& words);
int32_t SB_MapCommand(const SB_COMMANDWORDS& words);
int32_t SB_CarNumCommand(const SB_COMMANDWORDS& words);
int32_t SB_CarNumExistCommand(const SB_COMMANDWORDS& words);
int32_t SB_MipMapCommand(const SB_COMMANDWORDS& words);
int32_t SB_VersionCommand(const SB_COMMANDWORDS& words);
int32_t SB_TextureReductionCommand(const SB_COMMANDWORDS& words);
int32_t SB_DefaultDirectoryCommand(const SB_COMMANDWORDS& words);
int32_t SB_NothingCommand(const SB_COMMANDWORDS& words);  // accepted words without effect
int32_t SB_DelayCommand(const SB_COMMANDWORDS& words);
int32_t SB_CopyCommand(const SB_COMMANDWORDS& words);
int32_t SB_InterKeybCommand(const SB_COMMANDWORDS& words);
int32_t SB_InterJoyCommand(const SB_COMMANDWORDS& words);
int32_t SB_InterCustCommand(const SB_COMMANDWORDS& words);
int32_t SB_OutputCommand(const SB_COMMANDWORDS& words);

// Words that start the vehicles, the front end, the scenery, the editors
// and the 3D engine (console/cmd_subsystems.cpp).
int32_t SB_SaveTextCarsCommand(const SB_COMMANDWORDS& words);
int32_t SB_LoadTextCarsCommand(const SB_COMMANDWORDS& words);
int32_t SB_AskSaveReplayCommand(const SB_COMMANDWORDS& words);
int32_t SB_SaveReplayCommand(const SB_COMMANDWORDS& words);
int32_t SB_LoadReplayCommand(const SB_COMMANDWORDS& words);
int32_t SB_InitReplayCommand(const SB_COMMANDWORDS& words);
int32_t SB_CalibrateCommand(const SB_COMMANDWORDS& words);
int32_t SB_CarEditorCommand(const SB_COMMANDWORDS& words);
int32_t SB_CalcVitreCommand(const SB_COMMANDWORDS& words);
int32_t SB_InterfaceCommand(const SB_COMMANDWORDS& words);
int32_t SB_ComdexCommand(const SB_COMMANDWORDS& words);
int32_t SB_IntroCommand(const SB_COMMANDWORDS& words);
int32_t SB_UsingObjectsCommand(const SB_COMMANDWORDS& words);
int32_t SB_LoadBsplineCommand(const SB_COMMANDWORDS& words);
int32_t SB_SaveBsplineCommand(const SB_COMMANDWORDS& words);
int32_t SB_SaveBsplineMeterCommand(const SB_COMMANDWORDS& words);
int32_t SB_MakeRoadCommand(const SB_COMMANDWORDS& words);
int32_t SB_VideoListCommand(const SB_COMMANDWORDS& words);
int32_t SB_PvrVersionCommand(const SB_COMMANDWORDS& words);

// Picture tools (console/cmd_pictures.cpp).
int32_t SB_ViewImageCommand(const SB_COMMANDWORDS& words);
int32_t SB_MakeIconeCommand(const SB_COMMANDWORDS& words);
int32_t SB_UnAlphaCommand(const SB_COMMANDWORDS& words);
int32_t SB_BmapTo16Command(const SB_COMMANDWORDS& words);

// The command functions.
// The car paint editor run from the console, at the depth 8 or 16, with
// one car per local setup; the setups are saved afterwards.
void SB_EditUserCar(int32_t depth);
// Writes the command history to "dat>" + name, one line after the other.
void SB_SaveHistory(const char* name);
// Prints a text file on the console, 45 lines to a page.
void SB_TypeFile(const char* name);
