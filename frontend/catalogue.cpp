// The menu catalogue as data: the fifteen screens and their items, the
// picture rows and the interface's texts, copied into the global record by
// the front end's reset.
#include <iterator>

#include "frontend/menu.h"
#include "frontend/menus.h"
#include "shell/sbvar.h"

namespace {

constexpr int32_t kTitle = ITEMKIND_TITLE;
constexpr int32_t kBitmap = ITEMKIND_BITMAP;
constexpr int32_t kButton = ITEMKIND_BUTTON;
constexpr int32_t kText = ITEMKIND_TEXT;
constexpr int32_t kText2 = ITEMKIND_TEXT2;
constexpr int32_t kText3 = ITEMKIND_TEXT3;
constexpr int32_t kRunTimeText = 26;  // the empty text, filled while the screen runs

struct THIT {
  int32_t X1, Y1, X2, Y2;
};
constexpr THIT kPicture{-1, 0, 0, 0};  // taken from the picture's size when it loads
constexpr THIT kNone{0, 0, 0, 0};      // no point lies strictly inside

struct TSCREENROW {
  int32_t Screen, Background, Transition;
  MENUSCREENPROC Callback;
  int32_t Cursor, Wave;
};

// One item, or a run of Count items one under the other: item k shows
// Texts[k] (or Shows when there is no list), stands StepY x k lower, with its hit rectangle
// (when it is one), and holds Value + k x ValueStep.
struct TITEMROW {
  int32_t Screen, First, Count;
  int32_t Kind, Shows;
  const int32_t* Texts;
  int32_t X, Y, StepY;
  THIT Hit;
  int32_t Live, Wave, FadeWave, Rest;
  MENUITEMPROC Callback;
  int32_t Value, ValueStep;
};

constexpr TSCREENROW kScreens[] = {
    {0, 0, 6, SplashScreen, 0, 6},        {1, 0, 2, SplashScreen, 0, 6},      {2, 1, 4, LoopScreenSound, 1, 6},
    {3, 1, 5, nullptr, 1, 0},             {4, 1, 4, CommandScreen, 1, 0},     {5, 1, 4, LoopScreenSound, 1, 6},
    {7, 1, 4, PlayerNameScreen, 1, 0},    {8, 1, 4, ProtocolScreen, 1, 0},    {9, 1, 4, ServersScreen, 1, 0},
    {10, 1, 4, CreateServerScreen, 1, 0}, {12, 1, 4, ComdexScreen, 1, 0},     {13, 1, 4, nullptr, 1, 0},
    {14, 1, 4, nullptr, 1, 0},
};

constexpr int32_t kCommandNames[] = {3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr int32_t kJoystickColumn[] = {30, 31, 28, 29, 58, 33, 32, 59};
constexpr int32_t kKeyboardColumn[] = {42, 43, 40, 41, 44, 45, 46, 47};

// screen, item, count, kind, shows, texts, x, y, step, hit, live, wave, looped wave, rest, callback, value, step
constexpr TITEMROW kItems[] = {
    // Splashes.
    {0, 0, 1, kBitmap, 20, nullptr, 0, 0, 0, kNone, 1, 0, 0, 0, nullptr, 0, 0},
    {1, 0, 1, kBitmap, 21, nullptr, 0, 0, 0, kNone, 1, 0, 0, 0, nullptr, 0, 0},
    // MAIN MENU.
    {2, 0, 1, kTitle, 0, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {2, 1, 1, kButton, 4, nullptr, 91, 90, 0, kPicture, 1, 12, 8, 0, ChooseRaceButton, 0, 0},
    {2, 2, 1, kButton, 5, nullptr, 149, 297, 0, kPicture, 1, 1, 0, 0, ChooseCarButton, 0, 0},
    {2, 3, 1, kButton, 6, nullptr, 393, 121, 0, kPicture, 1, 3, 0, 0, CommandsButton, 0, 0},
    {2, 4, 1, kButton, 67, nullptr, 384, 300, 0, kPicture, 1, 3, 0, 0, DemoButton, 0, 0},
    {2, 5, 1, kButton, 7, nullptr, 0, 391, 0, kPicture, 1, 3, 0, 0, QuitButton, 0, 0},
    // CHOOSE CAR.
    {3, 0, 1, kTitle, 24, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {3, 1, 1, kButton, 8, nullptr, 216, 330, 0, kPicture, 1, 11, 0, 0, PreviousCarButton, 0, 0},
    {3, 2, 1, kButton, 9, nullptr, 396, 330, 0, kPicture, 1, 11, 0, 0, NextCarButton, 0, 0},
    {3, 3, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, ChooseCarBackButton, 0, 0},
    {3, 4, 1, kTitle, kRunTimeText, nullptr, 513, 414, 0, {155, 120, 485, 320}, 1, 0, 0, 0, ChooseCarSelect, 0, 0},
    // SELECT COMMAND.
    {4, 0, 1, kTitle, 25, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {4, 1, 1, kButton, 10, nullptr, 288, 71, 0, kPicture, 1, 3, 0, 0, JoystickChoiceButton, 0, 0},
    {4, 2, 1, kButton, 16, nullptr, 367, 71, 0, kPicture, 1, 3, 0, 0, KeyboardChoiceButton, 0, 0},
    {4, 3, 1, kButton, 17, nullptr, 469, 66, 0, kPicture, 1, 3, 0, 0, CustomKeysChoiceButton, 0, 0},
    {4, 4, 9, kText, 0, kCommandNames, 94, 160, 15, kNone, 1, 0, 0, 0, nullptr, 0, 0},
    {4, 13, 8, kText3, 0, kJoystickColumn, 288, 160, 15, kNone, 1, 0, 0, 0, nullptr, 0, 0},
    {4, 21, 1, kText, kRunTimeText, nullptr, 288, 280, 0, {288, 280, 380, 295}, 1, 0, 0, 0, JoystickLinearToggle, 0, 0},
    {4, 22, 8, kText3, 0, kKeyboardColumn, 380, 160, 15, {380, 160, 470, 175}, 1, 0, 0, 0, nullptr, 0, 0},
    {4, 30, 8, kText, kRunTimeText, nullptr, 470, 160, 15, {470, 160, 560, 175}, 1, 0, 0, 0, CustomKeyEntry, 0, 0},
    {4, 38, 1, kText, kRunTimeText, nullptr, 470, 280, 0, {470, 280, 560, 295}, 1, 0, 0, 0, CommandCheckBox, 0, 0},
    {4, 39, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, MainMenuBackButton, 0, 0},
    {4, 40, 1, kButton, 59, nullptr, 365, 320, 0, kPicture, 1, 3, 0, 0, DetailButton, 0, 0},
    {4, 41, 1, kButton, 66, nullptr, 190, 305, 0, kPicture, 1, 3, 0, 0, CalibrateButton, 0, 0},
    // CHOOSE YOUR RACE.
    {5, 0, 1, kTitle, 1, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {5, 1, 1, kButton, 2, nullptr, 125, 86, 0, kPicture, 1, 2, 0, 0, TimeTrialButton, 0, 0},
    {5, 2, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, MainMenuBackButton, 0, 0},
    {5, 3, 1, kButton, 13, nullptr, 210, 276, 0, kPicture, 1, 7, 0, 0, ChooseRaceNetworkButton, 0, 0},
    {5, 4, 1, kButton, 14, nullptr, 330, 100, 0, kPicture, 1, 5, 0, 0, RaceButton, 0, 0},
    // PLAYER NAME.
    {7, 0, 1, kTitle, 48, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {7, 1, 1, kButton, 34, nullptr, 185, 170, 0, kNone, 0, 0, 0, 3, nullptr, 0, 0},
    {7, 2, 1, kText, 51, nullptr, 207, 191, 0, {207, 221, 439, 236}, 1, 0, 0, 0, PlayerNameEntry, 0, 0},
    {7, 3, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, PlayerNameBackButton, 0, 0},
    {7, 4, 1, kButton, 36, nullptr, 296, 266, 0, kPicture, 1, 3, 0, 0, PlayerNameOkButton, 0, 0},
    // CHOOSE YOUR PROTOCOL.
    {8, 0, 1, kButton, 37, nullptr, 120, 133, 0, kNone, 0, 0, 0, 3, nullptr, 0, 0},
    {8, 1, 8, kText2, kRunTimeText, nullptr, 151, 194, 15, {151, 194, 476, 209}, 1, 0, 0, 0, ProtocolLine, 0, 1},
    {8, 9, 1, kButton, 39, nullptr, 488, 200, 0, kPicture, 1, 3, 0, 0, ProtocolListForwardButton, 0, 0},
    {8, 10, 1, kButton, 38, nullptr, 488, 302, 0, kPicture, 1, 3, 0, 0, ProtocolListBackButton, 0, 0},
    {8, 11, 1, kButton, 40, nullptr, 311, 378, 0, kPicture, 1, 3, 0, 0, ProtocolOkButton, 0, 0},
    {8, 12, 1, kTitle, 49, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {8, 13, 1, kText, 76, nullptr, 151, 164, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {8, 14, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, ProtocolBackButton, 0, 0},
    // Server list.
    {9, 0, 8, kText2, kRunTimeText, nullptr, 168, 118, 15, {168, 118, 390, 133}, 1, 0, 0, 0, ServerLine, 0, 1},
    {9, 8, 1, kButton, 44, nullptr, 407, 133, 0, kPicture, 1, 3, 0, 0, ServerListForwardButton, 0, 0},
    {9, 9, 1, kButton, 43, nullptr, 407, 181, 0, kPicture, 1, 3, 0, 0, ServerListBackButton, 0, 0},
    {9, 10, 8, kText2, kRunTimeText, nullptr, 168, 250, 15, {168, 250, 285, 265}, 1, 0, 0, 0, nullptr, 1, 1},
    {9, 18, 1, kButton, 46, nullptr, 407, 266, 0, kPicture, 1, 3, 0, 0, PlayerListForwardButton, 0, 0},
    {9, 19, 1, kButton, 45, nullptr, 407, 316, 0, kPicture, 1, 3, 0, 0, PlayerListBackButton, 0, 0},
    {9, 20, 1, kButton, 27, nullptr, 470, 326, 0, kPicture, 1, 3, 0, 0, JoinServerButton, 0, 0},
    {9, 21, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, ServersBackButton, 0, 0},
    {9, 22, 1, kTitle, 50, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {9, 23, 1, kButton, 42, nullptr, 142, 72, 0, kPicture, 0, 3, 0, 3, nullptr, 0, 0},
    {9, 24, 1, kText, 62, nullptr, 168, 88, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {9, 25, 1, kText, 63, nullptr, 168, 220, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    // CREATE YOUR SERVER.
    {10, 0, 1, kText, 55, nullptr, 200, 148, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {10, 1, 1, kText, kRunTimeText, nullptr, 200, 178, 0, {200, 178, 460, 193}, 1, 0, 0, 0, ServerNameEntry, 0, 0},
    {10, 2, 1, kText, 56, nullptr, 248, 219, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {10, 3, 1, kText, kRunTimeText, nullptr, 317, 249, 0, {317, 249, 351, 264}, 1, 0, 0, 0, NbPlayersEntry, 0, 0},
    {10, 4, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, CreateServerBackButton, 0, 0},
    {10, 5, 1, kTitle, 52, nullptr, 30, 1, 0, kNone, 0, 3, 0, 0, nullptr, 0, 0},
    {10, 6, 1, kButton, 49, nullptr, 409, 307, 0, kPicture, 1, 3, 0, 0, CreateServerOkButton, 0, 0},
    {10, 7, 1, kButton, 48, nullptr, 175, 131, 0, kPicture, 0, 3, 0, 3, nullptr, 0, 0},
    // COMDEX CONTROL.
    {12, 0, 1, kTitle, 66, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {12, 1, 1, kButton, 54, nullptr, 90, 240, 0, kPicture, 1, 3, 0, 0, ComdexLaunchRaceButton, 0, 0},
    {12, 2, 1, kButton, 55, nullptr, 100, 100, 0, kPicture, 1, 3, 0, 0, ComdexEndOfRaceButton, 0, 0},
    {12, 3, 1, kButton, 56, nullptr, 330, 100, 0, kPicture, 1, 3, 0, 0, ComdexPracticeButton, 0, 0},
    {12, 4, 1, kButton, 7, nullptr, 0, 366, 0, kPicture, 1, 3, 0, 0, ComdexQuitButton, 0, 0},
    {12, 5, 1, kButton, 58, nullptr, 300, 235, 0, kPicture, 0, 0, 0, 0, nullptr, 0, 0},
    {12, 6, 1, kButton, 57, nullptr, 300, 320, 0, kPicture, 0, 0, 0, 0, nullptr, 0, 0},
    {12, 7, 1, kTitle, kRunTimeText, nullptr, 300, 271, 0, {300, 271, 639, 307}, 0, 0, 0, 0, nullptr, 0, 0},
    {12, 8, 1, kTitle, kRunTimeText, nullptr, 300, 356, 0, {300, 356, 639, 392}, 0, 0, 0, 0, nullptr, 0, 0},
    {12, 9, 1, kText, kRunTimeText, nullptr, 300, 415, 0, {300, 415, 639, 430}, 0, 0, 0, 0, nullptr, 0, 0},
    // DETAIL SETTING.
    {13, 0, 1, kTitle, 75, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {13, 1, 1, kButton, 28, nullptr, 438, 369, 0, kPicture, 1, 3, 0, 0, ScreenSize640Button, 0, 0},
    {13, 2, 1, kButton, 29, nullptr, 246, 359, 0, kPicture, 1, 3, 0, 0, ScreenSize800Button, 0, 0},
    {13, 3, 1, kButton, 60, nullptr, 97, 228, 0, kPicture, 1, 3, 0, 0, DetailLevelButton0, 0, 0},
    {13, 4, 1, kButton, 61, nullptr, 260, 228, 0, kPicture, 1, 3, 0, 0, DetailLevelButton1, 0, 0},
    {13, 5, 1, kButton, 62, nullptr, 421, 228, 0, kPicture, 1, 3, 0, 0, DetailLevelButton2, 0, 0},
    {13, 6, 1, kButton, 63, nullptr, 106, 77, 0, kPicture, 1, 3, 0, 0, ShadowLevelButton0, 0, 0},
    {13, 7, 1, kButton, 64, nullptr, 268, 77, 0, kPicture, 1, 3, 0, 0, ShadowLevelButton1, 0, 0},
    {13, 8, 1, kButton, 65, nullptr, 429, 77, 0, kPicture, 1, 3, 0, 0, ShadowLevelButton2, 0, 0},
    {13, 9, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, DetailBackButton, 0, 0},
    // NETWORK MENU.
    {14, 0, 1, kTitle, 50, nullptr, 30, 1, 0, kNone, 0, 0, 0, 0, nullptr, 0, 0},
    {14, 1, 1, kButton, 69, nullptr, 236, 207, 0, kPicture, 1, 3, 0, 0, NetworkCreateButton, 0, 0},
    {14, 2, 1, kButton, 70, nullptr, 220, 294, 0, kPicture, 1, 3, 0, 0, NetworkJoinButton, 0, 0},
    {14, 3, 1, kButton, 68, nullptr, 187, 185, 0, kPicture, 0, 3, 0, 3, nullptr, 0, 0},
    {14, 4, 1, kButton, 12, nullptr, 6, 398, 0, kPicture, 1, 3, 0, 0, NetworkMenuBackButton, 0, 0},
};

// Picture rows, in row order.
constexpr const char* kPictureFiles[] = {
    "INTER>BMAPS>SCREEN1.TGA",  "INTER>BMAPS>FOND32.TGA",   "INTER>BMAPS>DEFIM4.TGA",   "INTER>BMAPS>VITRE3.TGA",
    "INTER>BMAPS>DEFIM1.TGA",   "INTER>BMAPS>CHOIXCAR.TGA", "INTER>BMAPS>DEFIM2.TGA",   "INTER>BMAPS>QUIT.TGA",
    "INTER>BMAPS>BOUTONL.TGA",  "INTER>BMAPS>BOUTONR.TGA",  "INTER>BMAPS>PN-DEF-1.TGA", "INTER>BMAPS>TITRE.TGA",
    "INTER>BMAPS>BACK.TGA",     "INTER>BMAPS>DEFIM5.TGA",   "INTER>BMAPS>DEFIM6.TGA",   "INTER>BMAPS>VITREOK.TGA",
    "INTER>BMAPS>PN-DEF-2.TGA", "INTER>BMAPS>PN-DEF-3.TGA", "INTER>BMAPS>VITREDEF.TGA", "INTER>BMAPS>VITRETEX.TGA",
    "INTER>BMAPS>SCR116.TGA",   "INTER>BMAPS>SCR216.TGA",   "INTER>BMAPS>OK.TGA",       "INTER>BMAPS>UP.TGA",
    "INTER>BMAPS>DOWN.TGA",     "INTER>BMAPS>OK.TGA",       "INTER>BMAPS>DIALOG3B.TGA", "INTER>BMAPS>DIALOG3C.TGA",
    "INTER>BMAPS>CONF640.TGA",  "INTER>BMAPS>CONF800.TGA",  "INTER>BMAPS>UP.TGA",       "INTER>BMAPS>DOWN.TGA",
    "INTER>BMAPS>AUTOBOX.TGA",  "INTER>BMAPS>MANUBOX.TGA",  "INTER>BMAPS>DIALOG1A.TGA", "INTER>BMAPS>DIALOG1B.TGA",
    "INTER>BMAPS>DIALOG1C.TGA", "INTER>BMAPS>DIALOG2A.TGA", "INTER>BMAPS>DIALOG2B.TGA", "INTER>BMAPS>DIALOG2C.TGA",
    "INTER>BMAPS>DIALOG2D.TGA", "INTER>BMAPS>OKREZO.TGA",   "INTER>BMAPS>DIALOG3A.TGA", "INTER>BMAPS>DIALOG2B.TGA",
    "INTER>BMAPS>DIALOG2C.TGA", "INTER>BMAPS>DIALOG2B.TGA", "INTER>BMAPS>DIALOG2C.TGA", "INTER>BMAPS>CREDITS.TGA",
    "INTER>BMAPS>DIALOG4A.TGA", "INTER>BMAPS>DIALOG4B.TGA", "INTER>BMAPS>CIRCUIT1.TGA", "INTER>BMAPS>FAKE.TGA",
    "INTER>BMAPS>CADREOK.TGA",  "INTER>BMAPS>BOUTONOK.TGA", "INTER>BMAPS>COMDEX>ISTARTRA.TGA",
    "INTER>BMAPS>COMDEX>ISTOPRAC.TGA", "INTER>BMAPS>COMDEX>IPRACTIC.TGA", "INTER>BMAPS>COMDEX>IBESTRAC.TGA",
    "INTER>BMAPS>COMDEX>IBESTWEE.TGA", "INTER>BMAPS>DEFIM7.TGA", "INTER>BMAPS>ICDETAI1.TGA", "INTER>BMAPS>ICDETAI2.TGA",
    "INTER>BMAPS>ICDETAI3.TGA", "INTER>BMAPS>ICOMBRE1.TGA", "INTER>BMAPS>ICOMBRE2.TGA", "INTER>BMAPS>ICOMBRE3.TGA",
    "INTER>BMAPS>CALIB.TGA",    "INTER>BMAPS>DEMO.TGA",     "INTER>BMAPS>DIALOG5A.TGA", "INTER>BMAPS>DIALOG5B.TGA",
    "INTER>BMAPS>DIALOG5C.TGA",
};

constexpr const char* kTexts[] = {
    "MAIN MENU", "CHOOSE YOUR RACE", "CONFIRM EXIT Y/N", "ACCELERATE", "BRAKE", "TURN LEFT", "TURN RIGHT",
    "HANDBRAKE", "GEAR UP", "GEAR DOWN", "VIEW", "JOYSTICK LINEAR", "UP", "DOWN", "LEFT", "RIGHT", "B 1", "B 2",
    "B 3", "ENTER", "", "", "", "", "CHOOSE CAR", "SELECT COMMAND", "", "NO JOY", "JOY1 LEFT", "JOY1 RIGHT",
    "JOY1 UP", "JOY1 DOWN", "JOY1 B1", "JOY1 B2", "JOY2 LEFT", "JOY2 RIGHT", "JOY2 UP", "JOY2 DOWN", "JOY2 B1",
    "JOY2 B2", "LEFT", "RIGHT", "SHIFT", "DOWN", "CTRL", "A", "Z", "ENTER", "PLAYER NAME", "CHOOSE YOUR PROTOCOL",
    "NETWORK MENU", "ENTER YOUR NAME", "CREATE YOUR SERVER", "LIGHTS", "L", "NAME OF YOUR SERVER",
    "NUMBER OF PLAYERS", "PLEASE WAIT", "JOY1 B3", "JOY1 B4", "JOY2 B3", "JOY2 B4", "SERVERS AVAILABLE",
    "PLAYERS IN GAME", "MAP", "LOADING GAME", "COMDEX CONTROL", "JPD1 LEFT", "JPD1 RIGHT", "JPD1 UP", "JPD1 DOWN",
    "JPD2 LEFT", "JPD2 RIGHT", "JPD2 UP", "JPD2 DOWN", "DETAIL SETTING", "SELECT ONE NETWORK PROTOCOL",
    "CENTER AND PRESS A KEY", "RACE ALREADY FULL", "NO JOYSTICK DETECTED", "SERVER NOT RESPONDING\nPLEASE RETRY\n",
    "RACE ALREADY STARTED\nJOIN ANOTHER SERVER\n", "LOADING DEMO", "CONNECTION FAILED\nCHOOSE ANOTHER PROTOCOL\n",
    "CREATE FAILED\nTRY AGAIN\n", "NOT ENOUGH VIDEO RAM\nUSE 640 X 480\n",
};

static_assert(std::size(kPictureFiles) == SB_NBMENUBMAPS);
static_assert(std::size(kTexts) == SB_NBMENUTEXTS);

bool IsRectangle(const THIT& hit) { return hit.X1 >= 0 && hit.X2 > 0; }

TMENUITEM MakeItem(const TITEMROW& row, int32_t k) {
  TMENUITEM item{};
  item.Live = row.Live;
  item.RestState = item.State = row.Rest;
  item.Selected = 2;
  item.Value = row.Value + k * row.ValueStep;
  item.Kind = row.Kind;
  item.Index = row.Texts ? row.Texts[k] : row.Shows;
  item.Sound = row.Wave;
  item.FadeSound = row.FadeWave;
  item.X = row.X;
  item.Y = row.Y + k * row.StepY;
  const int32_t dy = IsRectangle(row.Hit) ? k * row.StepY : 0;
  item.HitX1 = row.Hit.X1;
  item.HitY1 = row.Hit.Y1 + dy;
  item.HitX2 = row.Hit.X2;
  item.HitY2 = row.Hit.Y2 + dy;
  item.Callback = row.Callback;
  return item;
}

}  // namespace

void SB_LoadMenuCatalogue() {
  for (TMENUSCREEN& screen : SB_Var.MenuScreens) screen = TMENUSCREEN{};
  for (const TSCREENROW& row : kScreens) {
    TMENUSCREEN& screen = SB_Var.MenuScreens[row.Screen];
    screen.DrawBackground = row.Background;
    screen.Transition = row.Transition;
    screen.Callback = row.Callback;
    screen.CursorShown = row.Cursor;
    screen.Sound = row.Wave;
  }
  for (const TITEMROW& row : kItems) {
    TMENUSCREEN& screen = SB_Var.MenuScreens[row.Screen];
    for (int32_t k = 0; k < row.Count && row.First + k < SB_MENUITEMS; ++k) {
      screen.Items[row.First + k] = MakeItem(row, k);
      if (row.First + k + 1 > screen.NbItems) screen.NbItems = row.First + k + 1;
    }
  }
  for (int32_t row = 0; row < SB_NBMENUBMAPS; ++row) SB_Var.MenuBmaps[row] = TMENUBMAP{kPictureFiles[row], nullptr, nullptr, nullptr, nullptr};
  for (int32_t row = 0; row < SB_NBMENUTEXTS; ++row) SB_Var.MenuTexts[row] = kTexts[row];
}
