// The console's settings: numeric switches that clamp, store and confirm a
// value (or report it without an argument), and settings chosen by a word.
#include <algorithm>
#include <climits>
#include <cstring>

#include "console/commands.h"
#include "engine3d/videotable.h"
#include "race/kiosk.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "shell/textnumber.h"
#include "track/decor.h"
#include "vehicles/devenv.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {

// A numeric switch. The field holds the value times Unit and the replies
// show the field divided by it; Store, when given, stores the value in
// place of the plain assignment.
struct TSWITCH {
  int32_t* Field;
  int32_t Min;
  int32_t Max;
  const char* SetReply;           // with an argument, or always when IsReply is null
  const char* IsReply = nullptr;  // without an argument
  void (*Store)(int32_t) = nullptr;
  int32_t Unit = 1;
};

int32_t RunSwitch(const TSWITCH& s, const SB_COMMANDWORDS& words) {
  const char* reply = s.SetReply;
  if (words.Args[0][0]) {
    const int32_t value = std::clamp(SB_TextToLong(words.Args[0]), s.Min, s.Max);
    if (s.Store)
      s.Store(value);
    else
      *s.Field = value * s.Unit;
  } else if (s.IsReply) {
    reply = s.IsReply;
  }
  SB_ConsolePrintf(reply, *s.Field / s.Unit);
  return 1;
}

void StoreCourseReplays(int32_t value) {
  SB_FreeCarsReplays();
  SB_Var.CourseReplays = value;
  SB_AllocCarsReplays();
}

void StoreBuildMap(int32_t value) {
  SB_Var.BuildMap = value;
  if (value == 1) SB_Var.BuildBank = 1;
}

// A new bank is built from a map loaded again.
void StoreBuildBank(int32_t value) {
  SB_Var.BuildBank = value;
  if (value == 1) SB_FreeDecor();
}

void StoreVideoMode(int32_t value) {
  SB_Var.VideoModeIndex = value >= 0 && value < SB_CountVideoModes() ? value : 0;
  SB_FindVideoMode(0);
}

void StoreAutoDetail(int32_t value) {
  SB_Var.AutoDetail = value;
  SB_Var.FarDistance = 38400;
  SB_Var.DrawDistance = 300;
}

void StoreZoriraDemo(int32_t value) {
  SB_Var.ZoriraDemo = value;
  if (value)
    SB_InstallKioskHook();
  else
    SB_RemoveKioskHook();
}

// Seconds up to the largest whose milliseconds still fit.
constexpr int32_t kMaxTimeOut = INT32_MAX / 1000;
constexpr int32_t kMegabyte = 1048576, kMaxMegabytes = 64;

}  // namespace

int32_t SB_NumberOfCarsCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.NbCars, 1, 15, "Number of cars is: %d", nullptr, SB_SetNumberOfCars}, w);
}
int32_t SB_CourseReplaysCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.CourseReplays, 0, 1, "Course replays are: %d", nullptr, StoreCourseReplays}, w);
}
int32_t SB_BuildMapCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.BuildMap, 0, 1, "Build Map mode set to %d.", nullptr, StoreBuildMap}, w);
}
int32_t SB_BuildBankCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.BuildBank, 0, 1, "Build Bank mode set to %d.", nullptr, StoreBuildBank}, w);
}
int32_t SB_SimplificationCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.Simplification, 0, 1, "Simplification set to %d."}, w);
}
int32_t SB_VideoModeCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.VideoModeIndex, INT32_MIN, INT32_MAX, "Video Mode set to %d.",
                    "Video Mode is %d.", StoreVideoMode},
                   w);
}
int32_t SB_FlatCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.Flat, 0, 1, "Flat mode is %d"}, w);
}
int32_t SB_JapanCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.Japan, 0, 1, "Japan mode is %d"}, w);
}
int32_t SB_NoCacheCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.NoCache, 0, 1, "No cache mode is %d"}, w);
}
int32_t SB_NoRenderCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.NoRender, 0, 1, "No render mode is %d"}, w);
}
int32_t SB_SlowRenderCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.SlowRender, 0, 1, "Slow render mode is %d"}, w);
}
int32_t SB_AutoDetailCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch(
      {&SB_Var.AutoDetail, 0, 1, "Auto Detail set to %d.", "Auto Detail is %d.", StoreAutoDetail}, w);
}
int32_t SB_EditorModeCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.EditorMode, 0, 1, "Editor Mode set to %d.", "Editor Mode is %d."}, w);
}
int32_t SB_JoystickOnCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.JoystickOn, 0, 1, "Joystick on set to %d.", "Joystick on mode is %d."}, w);
}
int32_t SB_JoystickVolantCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch(
      {&SB_Var.JoystickVolant, 0, 1, "Joystick volant mode set to %d.", "Joystick volant mode is %d."}, w);
}
int32_t SB_DrawDevInfoCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.DrawDevInfo, 0, 1, "SB_DrawDevInfo set to %d.", "SB_DrawDevInfo is %d."}, w);
}
int32_t SB_UsingSmokeCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.UsingSmoke, 0, 2, "Smoke set to %d.", "Smoke is %d."}, w);
}
int32_t SB_UsingCarsCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.UsingCars, 0, 1, "Cars using set to %d.", "Cars using is %d."}, w);
}
int32_t SB_FixedGameSpeedCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch(
      {&SB_Var.FixedGameSpeed, 50, 100, "Fixed game speed set to %d.", "Fixed game speed is %d."}, w);
}
int32_t SB_FloatingGameSpeedCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch(
      {&SB_Var.FloatingGameSpeed, 50, 100, "Floating game speed set to %d.", "Floating game speed is %d."},
      w);
}
int32_t SB_GameSpeedModeCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.GameSpeedMode, 0, 1, "Game speed mode set to %d.", "Game speed mode is %d."}, w);
}
int32_t SB_DrawInfoCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.DrawInfo, 0, 1, "Draw info mode set to %d.", "Draw info mode is %d."}, w);
}
int32_t SB_UsingSoundCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.UsingSound, 0, 1, "Sound using set to %d.", "Sound using is %d."}, w);
}
int32_t SB_AutomaticCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.AutomaticGears, 0, 1, "Automatic gears set to %d.", "Automatic gears is %d."}, w);
}
int32_t SB_UsingPvsCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.UsingPvs, 0, 1, "PVS using set to %d.", "PVS using is %d."}, w);
}
int32_t SB_ZoriraDemoCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.ZoriraDemo, 0, 1, "Zorira Demo : %d", nullptr, StoreZoriraDemo}, w);
}
int32_t SB_ZoriraTimeOutCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.ZoriraTimeOut, 0, kMaxTimeOut, "Zorira TimeOut : %ds", nullptr, nullptr, 1000},
                   w);
}
int32_t SB_ZoriraNightDayCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.ZoriraNightDay, INT32_MIN, INT32_MAX, "Zorira Night/Day Cycle : %ds"}, w);
}
int32_t SB_CdSongCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.CdSong, 0, 1, "Playing a cd song in the game: %d"}, w);
}
int32_t SB_DrawConsoleCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.DrawConsole, 0, 1, "Drawing the console texts: %d"}, w);
}
int32_t SB_MemoryCommand(const SB_COMMANDWORDS& w) {
  return RunSwitch({&SB_Var.MemoryClass, 0, kMaxMegabytes, "Memory : %d mo", nullptr, nullptr, kMegabyte}, w);
}

// A real; a negative one becomes 0.
int32_t SB_FindBossesCommand(const SB_COMMANDWORDS& w) {
  if (!w.Args[0][0]) {
    SB_ConsolePrintf("Find Bosses is %f.", SB_Var.FindBosses);
    return 1;
  }
  SB_Var.FindBosses = std::max(SB_TextToReal(w.Args[0]), 0.0);
  SB_ConsolePrintf("Find Bosses set to %f.", SB_Var.FindBosses);
  return 1;
}

namespace {

// A setting chosen by a word: the words and their values, and the reply
// that names the current value ("%s" takes its word).
struct TWORDSETTING {
  int32_t* Field;
  struct {
    const char* Word;
    int32_t Value;
  } Choices[3];
  const char* Reply;
};

int32_t RunWordSetting(const TWORDSETTING& s, const SB_COMMANDWORDS& words) {
  for (const auto& choice : s.Choices)
    if (std::strcmp(words.Args[0], choice.Word) == 0) *s.Field = choice.Value;
  for (const auto& choice : s.Choices)
    if (*s.Field == choice.Value) SB_ConsolePrintf(s.Reply, choice.Word);
  return 1;
}

// Far and draw distances by detail level.
struct TDETAIL {
  const char* Word;
  int32_t FarDistance;
  int32_t DrawDistance;
};
constexpr TDETAIL kDetails[] = {{"HIGH", 38400, 300}, {"MED", 28800, 225}, {"LOW", 28800, 150}};

}  // namespace

int32_t SB_ShadowCommand(const SB_COMMANDWORDS& w) {
  return RunWordSetting({&SB_Var.Shadow, {{"NONE", 1}, {"LOW", 2}, {"HIGH", 3}}, "SHADOW : %s"}, w);
}
int32_t SB_LightCommand(const SB_COMMANDWORDS& w) {
  return RunWordSetting({&SB_Var.Light, {{"NONE", 1}, {"NORMAL", 2}, {"GOURAUD", 3}}, "LIGHT : %s"}, w);
}
int32_t SB_PvrMipmapCommand(const SB_COMMANDWORDS& w) {
  return RunWordSetting({&SB_Var.PvrMipmap, {{"NONE", 0}, {"ALL", 1}, {"NOTTHEROAD", 2}}, "PVR MIPMAP : %s"},
                        w);
}

int32_t SB_DetailCommand(const SB_COMMANDWORDS& w) {
  for (const TDETAIL& detail : kDetails) {
    if (std::strcmp(w.Args[0], detail.Word) == 0) {
      SB_Var.FarDistance = detail.FarDistance;
      SB_Var.DrawDistance = detail.DrawDistance;
      return 1;
    }
  }
  SB_ConsolePrintf("Enter Detail [HIGH] [MED] or [LOW]");
  return 1;
}

int32_t SB_ZoriraCameraCommand(const SB_COMMANDWORDS& w) {
  if (std::strcmp(w.Args[0], "INSIDE") == 0) SB_Var.ZoriraCamera = 2;
  if (std::strcmp(w.Args[0], "BEHIND") == 0) SB_Var.ZoriraCamera = 1;
  SB_ConsolePrintf("Zorira Camera : %s CAR", SB_Var.ZoriraCamera == 2 ? "INSIDE" : "BEHIND");
  return 1;
}

// TIME ON: no race against the clock.
int32_t SB_TimeCommand(const SB_COMMANDWORDS& w) {
  const char* word = w.Args[0];
  if (std::strcmp(word, "ON") == 0 || std::strcmp(word, "1") == 0) {
    SB_Var.NoTimeLimit = 1;
    return 1;
  }
  if (std::strcmp(word, "OFF") == 0 || std::strcmp(word, "0") == 0) {
    SB_Var.NoTimeLimit = 0;
    return 1;
  }
  SB_ConsolePrintf("Usage: TIME [ON] or TIME [OFF]");
  return 0;
}

// The renderer of the next race, among those this machine has.
int32_t SB_ModeCommand(const SB_COMMANDWORDS& w) {
  char supported[64] = "";
  for (int32_t i = 0; i < SB_NBRENDERERS; ++i) {
    const TRENDERER& r = SB_Var.Renderers[i];
    if (!(r.Caps & SB_Var.RendererCaps)) continue;
    std::strncat(supported, r.Name, sizeof supported - std::strlen(supported) - 1);
    std::strncat(supported, " ", sizeof supported - std::strlen(supported) - 1);
    if (std::strcmp(w.Args[0], r.Name) == 0) {
      SB_FreeDecor();
      SB_Var.RequestedRenderer = i;
    }
  }
  SB_ConsolePrintf("Supported mode : %s", supported);
  const int32_t current = std::clamp(SB_Var.RequestedRenderer, 0, SB_NBRENDERERS - 1);
  SB_ConsolePrintf("Current mode\t: %s", SB_Var.Renderers[current].Name);
  return 1;
}
