// The console's actions: the history file, typing and copying files, the
// circuit and texture choices, the car carousel, the mip-map distances,
// the input device, the log file and the small informative words.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "console/commands.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/textlines.h"
#include "shell/textnumber.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "track/decor.h"

namespace {

constexpr int32_t kTypePageLines = 45;  // lines printed before TYPE waits for a key
constexpr int32_t kMaxTextureScale = 65536;
constexpr int32_t kMetre = 960;  // mip-map distances are metres x 960
constexpr int32_t kDefaultDelay = 1000;
constexpr char kLineEnd[] = "\r\n";

// Mip-map distances in metres by row of MIPMAP 1 to 5.
constexpr int32_t kMipMapRows[5][SB_NBMIPMAPDIST] = {
    {10, 30, 55, 85}, {15, 35, 60, 90}, {20, 40, 65, 95}, {25, 45, 70, 100}, {30, 45, 75, 105}};
constexpr int32_t kMipMapAll = 200;  // MIPMAP 0

bool HasArg(const SB_COMMANDWORDS& words, int32_t i = 0) { return words.Args[i][0] != 0; }

// The nearest power of two, halves going up: the highest set bit from 2^16
// down to 2^1, plus the next lower one, with every bit below it cleared.
int32_t RoundTextureScale(int32_t n) {
  for (int32_t b = 16; b >= 1; --b) {
    const int32_t bit = 1 << b;
    if (n & bit) return (n + (bit >> 1)) & ~(bit - 1);
  }
  return n;
}

void ReportFile(const char* label, const char* name) {
  SB_ConsolePrintf("%s :  %s %s", label, name, LS_FileExists(name) ? "(exists)" : "(not found)");
}

void SetInputDevice(int32_t mode, const char* name) {
  SB_ConsolePrintf("Input device: %s...", name);
  SB_Var.ControlMode = mode;
}

}  // namespace

// The history file.
int32_t SB_SaveConsoleCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) SB_SaveHistory(w.Args[0]);
  return 1;
}

void SB_SaveHistory(const char* name) {
  const SB_KeepFileErrors keep;
  char path[LS_PATHSIZE];
  const int32_t length = std::snprintf(path, sizeof path, "dat>%s", name ? name : "");
  const int32_t file = length < static_cast<int32_t>(sizeof path) ? SB_OpenFile(path, SB_OPEN_CREATE) : 0;
  if (!file) {
    SB_ConsolePrintf("Internal error... error wile saving...");
    return;
  }
  for (int32_t i = 0; i < SB_EDITLINE; ++i) {
    const char* line = SB_Var.ConsoleHistory[i];
    if (!line[0]) continue;
    SB_WriteFile(file, line, static_cast<int32_t>(std::strlen(line)));
    SB_WriteFile(file, kLineEnd, 2);
  }
  SB_CloseFile(file);
}

// Typing a text file, a page of 45 lines at a time.
int32_t SB_TypeCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) SB_TypeFile(w.Args[0]);
  return 1;
}

void SB_TypeFile(const char* name) {
  char* text = nullptr;
  int32_t size = 0;
  if (!SB_LoadTextFile(name, &text, &size)) return;
  int32_t printed = 0;
  SB_ForEachLine(text, size, [&](const char* line) {
    if (printed > 0 && printed % kTypePageLines == 0) {
      SB_ConsoleStatus("Press any key to continue");
      SB_WaitKey();
    }
    SB_ConsolePrintf("%s", line);
    ++printed;
    return true;
  });
  if (text) SB_Release(text);
}

int32_t SB_HelpCommand(const SB_COMMANDWORDS&) { return SB_ExecCommand("@type help.txt"); }
int32_t SB_InfoCommand(const SB_COMMANDWORDS&) { return SB_ExecCommand("@type info.txt"); }

int32_t SB_CopyCommand(const SB_COMMANDWORDS& w) {
  const char* source = w.Args[0];
  const char* destination = w.Args[1];
  if (!source[0] || !destination[0]) {
    SB_ConsolePrintf("syntax: COPY sourcefilename destfilename !!!");
    return 1;
  }
  const SB_KeepFileErrors keep;
  void* data = nullptr;
  const int32_t size = SB_LoadWholeFile(source, &data);
  if (size < 0) {
    SB_ConsolePrintf("File %s not found !!!", source);
    return 1;
  }
  const int32_t file = SB_OpenFile(destination, SB_OPEN_CREATE);
  const int32_t written = file ? SB_WriteFile(file, data, size) : -1;
  SB_CloseFile(file);
  if (written != size) SB_ConsolePrintf("Error creating file %s !!!", destination);
  if (data) SB_Release(data);
  return 1;
}

// A new log file, or none.
int32_t SB_OutputCommand(const SB_COMMANDWORDS& w) {
  if (!HasArg(w)) {
    SB_ConsolePrintf("Syntax error, or batch error !!!");
    return 0;
  }
  SB_Var.FileOutput = SB_TextToLong(w.Args[0]);
  if (SB_Var.FileOutput) {
    SB_StartConsoleFile();
    SB_ConsolePrintf("File Output enabled...");
  } else {
    SB_ConsolePrintf("File Output disabled...");
  }
  return 1;
}

// The map's textures are divided by the scale when they are loaded, so the
// map is loaded again after a change.
int32_t SB_TextureScaleCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) {
    SB_FreeDecor();
    const int32_t n = std::clamp(SB_TextToLong(w.Args[0]), 1, kMaxTextureScale);
    SB_Var.TextureScale = RoundTextureScale(n);
    SB_Var.TextureScaleX = SB_Var.TextureScaleY = 0;
    for (int32_t i = 1; i <= 2; ++i) {
      if (w.Args[i][0] == 'X') SB_Var.TextureScaleX = 1;
      if (w.Args[i][0] == 'Y') SB_Var.TextureScaleY = 1;
    }
  }
  if (SB_Var.TextureScaleX)
    SB_ConsolePrintf("Texture scale: 1/%d (X flag active (*2) )", SB_Var.TextureScale);
  else if (SB_Var.TextureScaleY)
    SB_ConsolePrintf("Texture scale: 1/%d (Y flag active (/2) )", SB_Var.TextureScale);
  else
    SB_ConsolePrintf("Texture scale: 1/%d", SB_Var.TextureScale);
  return 1;
}

int32_t SB_ScaleCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) {
    const double scale = SB_TextToReal(w.Args[0]);
    SB_Var.ForcedScale = scale > 0.5 ? scale : 0.0;
  }
  if (SB_Var.ForcedScale > 0.5)
    SB_ConsolePrintf("Forced scale is: %f", SB_Var.ForcedScale);
  else
    SB_ConsolePrintf("There is no forced scale is");
  return 1;
}

// The circuit of the next race: its five file names and the texture
// directory, then what of them exists.
int32_t SB_MapCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) {
    const char* circuit = w.Args[0];
    SB_FreeDecor();
    std::snprintf(SB_Var.CircuitFile, sizeof SB_Var.CircuitFile, "%s.TXT", circuit);
    std::snprintf(SB_Var.AsciiMapFile, sizeof SB_Var.AsciiMapFile, "..>ASC>%s.ASC", circuit);
    std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>%s.DEC", circuit);
    std::snprintf(SB_Var.BankFile, sizeof SB_Var.BankFile, "BNK>%s.BNK", circuit);
    std::snprintf(SB_Var.ConfigFile, sizeof SB_Var.ConfigFile, "TXT>%s.TXT", circuit);
    // The directory and its ">" must fit the path.
    const size_t length = std::strlen(w.Args[1]);
    SB_Var.TexturePath[0] = 0;
    if (length > SB_TEXTUREPATHSIZE - 2) {
      SB_ConsolePrintf("Texture path too long !!!");
    } else if (length) {
      std::memcpy(SB_Var.TexturePath, w.Args[1], length);
      SB_Var.TexturePath[length] = '>';
      SB_Var.TexturePath[length + 1] = 0;
    }
  }
  ReportFile("Ascii map file (buildmap 1)", SB_Var.AsciiMapFile);
  ReportFile("Decor map file (buildmap 0)", SB_Var.DecorMapFile);
  ReportFile("Config file (buildmap 0)   ", SB_Var.ConfigFile);
  char palette[LS_PATHSIZE];
  std::snprintf(palette, sizeof palette, "txt>%spalette.pcx", SB_Var.TexturePath);
  SB_ConsolePrintf("Texture path forced         :  %s %s", SB_Var.TexturePath,
                   LS_FileExists(palette) ? "(exists)" : "(not found or no palette)");
  return 1;
}

// The paint editor's carousel: the selected setup is centred.
int32_t SB_CarNumCommand(const SB_COMMANDWORDS& w) {
  if (HasArg(w)) {
    const int32_t n = std::clamp(SB_TextToLong(w.Args[0]), 0, SB_Var.NbVehicleSetups - 1);
    SB_Var.SelectedSetup = n;
    SB_Var.SetupScroll = SB_Var.SetupScrollTarget = -n;
    SB_Var.SetupScrollPos = -n * 10.0;
  }
  SB_ConsolePrintf("Actual car: %d.", SB_Var.SelectedSetup);
  return 1;
}

// Fewer setups may leave the selection and the carousel past the last one.
int32_t SB_CarNumExistCommand(const SB_COMMANDWORDS& w) {
  const int32_t n = std::clamp(SB_TextToLong(w.Args[0]), 9, 16);
  SB_Var.NbVehicleSetups = n;
  SB_Var.NbSelectableSetups = n - 1;
  SB_Var.SelectedSetup = std::clamp(SB_Var.SelectedSetup, 0, n - 1);
  SB_Var.SetupScroll = std::clamp(SB_Var.SetupScroll, 1 - n, 0);
  SB_Var.SetupScrollTarget = std::clamp(SB_Var.SetupScrollTarget, 1 - n, 0);
  SB_Var.SetupScrollPos = std::clamp(SB_Var.SetupScrollPos, (1 - n) * 10.0, 0.0);
  return 1;
}

int32_t SB_MipMapCommand(const SB_COMMANDWORDS& w) {
  const int32_t n = HasArg(w) ? SB_TextToLong(w.Args[0]) : -1;
  for (int32_t i = 0; i < SB_NBMIPMAPDIST; ++i) {
    if (n == 0) SB_Var.MipMapDist[i] = kMipMapAll * kMetre;
    if (n >= 1 && n <= 5) SB_Var.MipMapDist[i] = kMipMapRows[n - 1][i] * kMetre;
  }
  for (int32_t i = 0; i < SB_NBMIPMAPDIST; ++i)
    SB_ConsolePrintf("MipMap dist %d :  %dm", i + 1, SB_Var.MipMapDist[i] / kMetre);
  return 1;
}

int32_t SB_TextureReductionCommand(const SB_COMMANDWORDS& w) {
  SB_Var.TextureReduction = HasArg(w) ? SB_TextToLong(w.Args[0]) : 1;
  if (SB_Var.TextureReduction)
    SB_ConsolePrintf("POWERVR Textures of cars will be reduced by half...");
  else
    SB_ConsolePrintf("POWERVR Textures of cars won't be reduced by half...");
  return 1;
}

int32_t SB_InterKeybCommand(const SB_COMMANDWORDS&) {
  SetInputDevice(1, "keyboard");
  return 1;
}
int32_t SB_InterJoyCommand(const SB_COMMANDWORDS&) {
  SetInputDevice(0, "joystick");
  return 1;
}
int32_t SB_InterCustCommand(const SB_COMMANDWORDS&) {
  SetInputDevice(2, "custom");
  return 1;
}

// Small informative words.
int32_t SB_MemInfoCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Max number of MEMs allocated: %d", SB_Var.MaxMemOwners);
  SB_ConsolePrintf("Max number of BMAPs allocated: %d", SB_Var.MaxBmapOwners);
  return 1;
}

int32_t SB_VersionCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Compiled on:  %s %s", "Jan 27 1997", "10:04:22");
  return 1;
}

int32_t SB_DefaultDirectoryCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Runtime Directory %s%s", LS_Var.RootDir.Root, LS_Var.CurrentDir);
  return 1;
}

int32_t SB_NothingCommand(const SB_COMMANDWORDS&) { return 1; }

int32_t SB_DelayCommand(const SB_COMMANDWORDS& w) {
  const int32_t ms = HasArg(w) ? SB_TextToLong(w.Args[0]) : kDefaultDelay;
  LS_Wait(static_cast<uint32_t>(std::max(ms, 0)));
  return 1;
}
