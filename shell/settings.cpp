// The player's settings in the registry: the values in their write order,
// defaults on first use or a version change, the full and the pre-race
// reads, their application as console commands, and the options screen's
// item texts.
#include "shell/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/util.h"

namespace {

// The vehicles keep the chosen setup; the console carries out the words.
void SelectSetup(int32_t setup) {
  if (SB_Hooks.SetSelectedSetup) SB_Hooks.SetSelectedSetup(setup);
}

void Command(const char* line) {
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("%s", line);
}

constexpr uint32_t kNumberSize = 4;
constexpr char kTestValue[] = "OK";  // written with its terminator: 3 bytes
constexpr char kSteeringSquared[] = "^";
constexpr int32_t kMenuTextSize = 32;  // an item's text block
constexpr int32_t kDefaultNbPlayers = 2, kFewPlayersRead = 4;

using KeyField = char (TREGSETTINGS::*)[SB_KEYNAMESIZE];

// The eleven key names in their registry order, with their defaults and
// the options screen's item that shows them (-1: none).
struct TKEYVALUE {
  const char* Name;
  KeyField Field;
  const char* Default;  // null: the record's current text
  int32_t Item;
};
constexpr TKEYVALUE kKeys[SB_NBKEYNAMES] = {
    {"Accel", &TREGSETTINGS::Accel, "SHIFT", SB_ITEM_FIRSTKEY},
    {"Brake", &TREGSETTINGS::Brake, "DOWN", SB_ITEM_FIRSTKEY + 1},
    {"Left", &TREGSETTINGS::Left, "LEFT", SB_ITEM_FIRSTKEY + 2},
    {"Right", &TREGSETTINGS::Right, "RIGHT", SB_ITEM_FIRSTKEY + 3},
    {"HandBrake", &TREGSETTINGS::HandBrake, "CTRL", SB_ITEM_FIRSTKEY + 4},
    {"GearUp", &TREGSETTINGS::GearUp, "Q", SB_ITEM_FIRSTKEY + 5},
    {"GearDown", &TREGSETTINGS::GearDown, "W", SB_ITEM_FIRSTKEY + 6},
    {"Camera", &TREGSETTINGS::Camera, "ENTER", SB_ITEM_FIRSTKEY + 7},
    {"Light", &TREGSETTINGS::Light, nullptr, -1},
    {"LinearJoy", &TREGSETTINGS::LinearJoy, "_", SB_ITEM_LINEARJOY},
    {"LinearCust", &TREGSETTINGS::LinearCust, "_", SB_ITEM_LINEARCUST},
};

// What is written besides the record.
struct TOTHERVALUES {
  const char* ServerName;
  int32_t NbPlayers;
  int32_t Details;
  int32_t Shadows;
  int32_t NumberOfCars;
};

void WriteText(const char* name, const char* text, uint32_t size) {
  LS_RegSetValue(name, text, size, LS_REG_STRING);
}

void WriteNumber(const char* name, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[kNumberSize] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                      static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  LS_RegSetValue(name, bytes, kNumberSize, LS_REG_NUMBER);
}

// Every value in the write order, between one open and one close; the
// close's result.
int32_t WriteAll(const TREGSETTINGS& r, const TOTHERVALUES& other) {
  LS_RegOpen(SB_SETTINGSKEY);
  WriteText("TEST", kTestValue, sizeof kTestValue);
  WriteNumber("Version", r.Version);
  for (const TKEYVALUE& key : kKeys) WriteText(key.Name, r.*key.Field, SB_KEYNAMESIZE);
  WriteNumber("ChoixInput", r.ChoixInput);
  WriteNumber("TailleEcran", r.TailleEcran);
  WriteNumber("BoiteAuto", r.BoiteAuto);
  WriteText("PlayerName", r.PlayerName, SB_MENUNAMESIZE);
  SB_WriteServerValues(other.ServerName, other.NbPlayers);
  WriteNumber("Details", other.Details);
  WriteNumber("Shadows", other.Shadows);
  WriteNumber("NumberOfCars", other.NumberOfCars);
  return LS_RegClose();
}

// A text of at most size bytes; one stored at full size gets its zero.
// Anything else (missing, longer, not a text) leaves the field.
void ReadText(const char* name, char* field, uint32_t size) {
  char text[SB_MENUNAMESIZE];
  uint32_t length = std::min<uint32_t>(size, sizeof text);
  uint32_t type = 0;
  if (!LS_RegGetValue(name, text, &length, &type) || type != LS_REG_STRING) return;
  std::memcpy(field, text, length);
  field[std::min(length, size - 1)] = 0;
}

// A number of exactly 4 bytes; anything else leaves the field.
void ReadNumber(const char* name, int32_t* field) {
  uint8_t bytes[kNumberSize];
  uint32_t length = kNumberSize;
  uint32_t type = 0;
  if (!LS_RegGetValue(name, bytes, &length, &type) || type != LS_REG_NUMBER || length != kNumberSize) return;
  *field = static_cast<int32_t>(LS_ReadLELong(bytes));
}

// The store is usable when its "TEST" value reads "OK"; else the defaults
// are written first.
void EnsureStore() {
  char test[sizeof kTestValue] = {};
  uint32_t length = sizeof test;
  LS_RegOpen(SB_SETTINGSKEY);
  const bool usable = LS_RegGetValue("TEST", test, &length) && length == sizeof test &&
                      std::memcmp(test, kTestValue, sizeof test) == 0;
  LS_RegClose();
  if (!usable) SB_WriteDefaultSettings();
}

// Reads the values of the full read, or of the shorter one before a race;
// the stored car setup number, or the current one.
int32_t ReadValues(bool full) {
  TREGSETTINGS& r = SB_Var.Settings;
  int32_t car = SB_Var.SelectedSetup;
  LS_RegOpen(SB_SETTINGSKEY);
  ReadNumber("Version", &r.Version);
  for (const TKEYVALUE& key : kKeys) ReadText(key.Name, r.*key.Field, SB_KEYNAMESIZE);
  ReadNumber("ChoixInput", &r.ChoixInput);
  if (full) {
    ReadNumber("TailleEcran", &r.TailleEcran);
    ReadNumber("BoiteAuto", &r.BoiteAuto);
    ReadText("PlayerName", r.PlayerName, SB_MENUNAMESIZE);
    ReadText("ServerName", SB_Var.MenuServerName, SB_MENUNAMESIZE);
    ReadNumber("NbPlayers", &SB_Var.MenuNbPlayers);
  }
  ReadNumber("Details", &SB_Var.MenuDetail);
  ReadNumber("Shadows", &SB_Var.MenuShadows);
  ReadNumber("NumberOfCars", &car);
  LS_RegClose();
  if (r.Version != SB_SETTINGSVERSION) SB_WriteDefaultSettings();
  return car;
}

TMENUITEM& Item(int32_t index) { return SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[index]; }
char* ItemText(int32_t index) { return reinterpret_cast<char*>(Item(index).Value); }
bool HasText(int32_t index) { return Item(index).Value >= SB_ITEMTEXTMIN; }

// Each key name into its item's text block, made when the item has none.
void FillItemTexts() {
  for (const TKEYVALUE& key : kKeys) {
    if (key.Item < 0) continue;
    if (!HasText(key.Item)) {
      void* block = LS_GetMem(kMenuTextSize);
      if (!block) continue;
      Item(key.Item).Value = reinterpret_cast<intptr_t>(block);
    }
    std::snprintf(ItemText(key.Item), kMenuTextSize, "%s", SB_Var.Settings.*key.Field);
  }
}

// A linear-steering mark's item: Selected (which its toggle reads) and
// State 2 for the squared mark, 1 for the linear one.
void MarkItem(int32_t index, const char* mark) {
  const int32_t state = std::strcmp(mark, kSteeringSquared) == 0 ? 2 : 1;
  Item(index).State = state;
  Item(index).Selected = state;
}

// The linear-steering marks: the items and the joystick response.
void ApplyLinearMarks() {
  const TREGSETTINGS& r = SB_Var.Settings;
  MarkItem(SB_ITEM_LINEARCUST, r.LinearCust);
  MarkItem(SB_ITEM_LINEARJOY, r.LinearJoy);
  SB_Var.LinearInput = std::strcmp(r.LinearJoy, kSteeringSquared) == 0 ? 0 : 1;
}

TMENUITEM& SizeItem(int32_t index) { return SB_Var.MenuScreens[SB_DETAILSCREEN].Items[index]; }

// A stored choice latched on its screen as its radio button latches it
// (Selected 1, the pressed look), the others of the group not; a value
// outside the group latches nothing.
void LatchChoice(int32_t screen, int32_t firstItem, int32_t count, int32_t chosen) {
  if (chosen < 0 || chosen >= count) return;
  for (int32_t k = 0; k < count; ++k) {
    TMENUITEM& item = SB_Var.MenuScreens[screen].Items[firstItem + k];
    item.Selected = k == chosen ? 1 : 2;
    item.State = k == chosen ? 2 : item.RestState;
  }
}

// The stored choices shown as chosen when the menus open: the screen size
// (0 the 640 x 480 choice, 1 the 800 x 600 one), the input device, which
// the control mode follows, the detail and the shadows.
void LatchStoredChoices() {
  const TREGSETTINGS& r = SB_Var.Settings;
  LatchChoice(SB_DETAILSCREEN, SB_ITEM_SIZE640, 2, r.TailleEcran);
  LatchChoice(SB_OPTIONSSCREEN, SB_ITEM_FIRSTDEVICE, 3, r.ChoixInput);
  if (r.ChoixInput >= 0 && r.ChoixInput <= 2) SB_Var.ControlMode = r.ChoixInput;
  LatchChoice(SB_DETAILSCREEN, SB_ITEM_FIRSTDETAIL, 3, SB_Var.MenuDetail);
  LatchChoice(SB_DETAILSCREEN, SB_ITEM_FIRSTSHADOW, 3, SB_Var.MenuShadows);
}

// The latched choice back into the record; neither latched keeps it.
void TakeScreenSize(int32_t* size) {
  if (SizeItem(SB_ITEM_SIZE640).Selected == 1)
    *size = 0;
  else if (SizeItem(SB_ITEM_SIZE800).Selected == 1)
    *size = 1;
}

}  // namespace

int32_t SB_WriteDefaultSettings() {
  TREGSETTINGS& r = SB_Var.Settings;
  r.Version = SB_SETTINGSVERSION;
  r.ChoixInput = 1;
  r.TailleEcran = 0;
  r.BoiteAuto = 0;
  SB_Var.MenuNbPlayers = kDefaultNbPlayers;
  SB_Var.LinearInput = 1;
  if (SB_Var.ControlMode == -1) SB_Var.ControlMode = 1;
  SelectSetup(SB_Var.SelectedSetup);

  TREGSETTINGS defaults = r;
  for (const TKEYVALUE& key : kKeys)
    if (key.Default) std::snprintf(defaults.*key.Field, SB_KEYNAMESIZE, "%s", key.Default);
  std::memset(defaults.PlayerName, 0, sizeof defaults.PlayerName);
  std::snprintf(defaults.PlayerName, sizeof defaults.PlayerName, "UNKNOWN");
  return WriteAll(defaults, {"SERVER", kDefaultNbPlayers, SB_Var.MenuDetail, SB_Var.MenuShadows,
                             SB_Var.SelectedSetup});
}

void SB_LoadSettings() {
  EnsureStore();
  const int32_t car = ReadValues(true);
  SelectSetup(car >= 0 && car < SB_Var.NbSelectableSetups ? car : 0);
  if (SB_Var.MenuNbPlayers < kDefaultNbPlayers) SB_Var.MenuNbPlayers = kFewPlayersRead;
  FillItemTexts();
  ApplyLinearMarks();
  LatchStoredChoices();
  std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "%s", SB_Var.Settings.PlayerName);
}

// A device that nothing chose in this run (neither the menus nor a console
// word) is the stored one: a race started from the console drives with the
// keys the controls screen kept.
void SB_ReadSettings() {
  EnsureStore();
  ReadValues(false);
  const int32_t stored = SB_Var.Settings.ChoixInput;
  if (SB_Var.ControlMode == -1 && stored >= 0 && stored <= 2) SB_Var.ControlMode = stored;
  FillItemTexts();
  ApplyLinearMarks();
}

void SB_ApplySettings() {
  const TREGSETTINGS& r = SB_Var.Settings;
  if (r.ChoixInput >= 0 && r.ChoixInput <= 2) SB_Var.ControlMode = r.ChoixInput;
  if (r.TailleEcran == 0) Command("VIDEOMODE 18");
  if (r.TailleEcran == 1) Command("VIDEOMODE 19");
  Command(r.BoiteAuto ? "AUTOMATIC 0" : "AUTOMATIC 1");
  std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "%s", r.PlayerName);
  static const char* const kDetails[] = {"DETAIL HIGH", "DETAIL MED", "DETAIL LOW"};
  static const char* const kShadows[] = {"SHADOW HIGH", "SHADOW LOW", "SHADOW NONE"};
  if (SB_Var.MenuDetail >= 0 && SB_Var.MenuDetail <= 2) Command(kDetails[SB_Var.MenuDetail]);
  if (SB_Var.MenuShadows >= 0 && SB_Var.MenuShadows <= 2) Command(kShadows[SB_Var.MenuShadows]);
  ApplyLinearMarks();
}

// The options screen's texts and the input device are taken back first.
void SB_SaveSettings() {
  TREGSETTINGS& r = SB_Var.Settings;
  for (const TKEYVALUE& key : kKeys)
    if (key.Item >= 0 && HasText(key.Item)) std::snprintf(r.*key.Field, SB_KEYNAMESIZE, "%s", ItemText(key.Item));
  if (SB_Var.ControlMode >= 0 && SB_Var.ControlMode <= 2) r.ChoixInput = SB_Var.ControlMode;
  TakeScreenSize(&r.TailleEcran);
  // The name typed on the network screens is the one kept.
  // It is stored at full size: nothing of a longer name before it stays.
  if (SB_Var.MenuPlayerName[0]) {
    std::memset(r.PlayerName, 0, sizeof r.PlayerName);
    std::snprintf(r.PlayerName, sizeof r.PlayerName, "%s", SB_Var.MenuPlayerName);
  }
  WriteAll(r, {SB_Var.MenuServerName, SB_Var.MenuNbPlayers, SB_Var.MenuDetail, SB_Var.MenuShadows,
               SB_Var.SelectedSetup});
}

void SB_FreeMenuItemTexts() {
  for (TMENUITEM& item : SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items) {
    if (item.Value < SB_ITEMTEXTMIN) continue;
    LS_Release(reinterpret_cast<void*>(item.Value));
    item.Value = 0;
  }
}
