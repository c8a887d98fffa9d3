// The player's settings in the registry: control keys, input device,
// screen size, gearbox, names, detail, shadows and chosen car, held in one
// record plus a few game variables, and turned into game state by console
// commands.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t SB_SETTINGSVERSION = 6;
extern const char* const SB_SETTINGSKEY;  // "Zentrova Race"
constexpr size_t SB_KEYNAMESIZE = 14;     // a key name and its terminator
constexpr size_t SB_MENUNAMESIZE = 32;    // player and server names
constexpr int32_t SB_NBKEYNAMES = 11;     // Accel .. LinearCust

// Items of the options screen that show the settings: the input device's
// choices are items 1 to 3 (stored 0 joystick, 1 keyboard, 2 user keys).
constexpr int32_t SB_ITEM_FIRSTDEVICE = 1;
constexpr int32_t SB_ITEM_LINEARJOY = 21;
constexpr int32_t SB_ITEM_FIRSTKEY = 30;  // Accel .. Camera are items 30 .. 37
constexpr int32_t SB_ITEM_LINEARCUST = 38;
// DETAIL SETTING's screen-size choices: item 1 640 x 480 (stored 0), item
// 2 800 x 600 (stored 1).
constexpr int32_t SB_DETAILSCREEN = 13;
constexpr int32_t SB_ITEM_SIZE640 = 1;
constexpr int32_t SB_ITEM_SIZE800 = 2;
// Its detail choices, items 3 to 5 (stored 0 high to 2 low), and its
// shadow choices, items 6 to 8 (0 high, 1 low, 2 none).
constexpr int32_t SB_ITEM_FIRSTDETAIL = 3;
constexpr int32_t SB_ITEM_FIRSTSHADOW = 6;
constexpr intptr_t SB_ITEMTEXTMIN = 256;  // an item word this large holds a text block

struct TREGSETTINGS {
  int32_t Version;
  char Accel[SB_KEYNAMESIZE];
  char Brake[SB_KEYNAMESIZE];
  char Left[SB_KEYNAMESIZE];
  char Right[SB_KEYNAMESIZE];
  char HandBrake[SB_KEYNAMESIZE];
  char GearUp[SB_KEYNAMESIZE];
  char GearDown[SB_KEYNAMESIZE];
  char Camera[SB_KEYNAMESIZE];
  char Light[SB_KEYNAMESIZE];
  char LinearJoy[SB_KEYNAMESIZE];   // "_" or "^": the joystick's steering is linear or squared
  char LinearCust[SB_KEYNAMESIZE];  // the same for the user keys
  int32_t ChoixInput;   // 0 joystick preset, 1 keyboard preset, 2 user keys
  int32_t TailleEcran;  // screen size: 0 or 1
  int32_t BoiteAuto;    // 0 automatic gearbox, else manual
  char PlayerName[SB_MENUNAMESIZE];
};

// Writes every value with its default, in one open and close of the key;
// the close's result.
int32_t SB_WriteDefaultSettings();
// The full read (front end), which gives the interface the stored player
// name, and the shorter one before each race.
void SB_LoadSettings();
void SB_ReadSettings();
// Turns the record into game state, partly by console commands.
void SB_ApplySettings();
// Writes the record, with the interface's player name when it has one,
// and the other values, "TEST" := "OK".
void SB_SaveSettings();
// Writes "ServerName" and "NbPlayers" alone, as SB_SaveSettings does.
void SB_SaveServerSettings();
// Inside an open settings key: the server name as a text of its own
// length (at most 31 characters) and the player count as 4 bytes.
void SB_WriteServerValues(const char* serverName, int32_t nbPlayers);
// Releases the text blocks of the options screen's items.
void SB_FreeMenuItemTexts();
