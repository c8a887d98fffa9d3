// The menu screens' callbacks, the message box and line drawers every
// menu uses, the race hand-over and the catalogue that fills the screens.
#pragma once
#include <cstdint>

#include "frontend/types.h"

struct BMAP;
struct FONT;

// Fills SB_Var.MenuScreens, MenuBmaps and MenuTexts from the constant
// tables (every item at rest, no picture loaded).
void SB_LoadMenuCatalogue();

// Drawing shared by the menus.
// Text row of SB_Var.MenuTexts in a half-transparent box centred on the
// front screen; x and y are not used.
void drawscreentext(FONT* font, int32_t text, int32_t x, int32_t y);
// The item's hit rectangle erased from the background and the text drawn
// in it, cut in place to fit.
void DrawClippedText(TMENUITEM* item, BMAP* background, FONT* font, char* text);
// "Erreur Reseau <command>" sent as a console line.
void ShowNetError(const char* command);

// Leaves the interface for "PLAY" and rebuilds it on the given screen.
void SB_PlayFromInterface(int32_t closeNet, int32_t screen, int32_t textIndex);
// A race of the menus: "RUN <script>" with the race clock switched on (the
// console word TIME OFF), then, when the script ran, SB_PlayFromInterface.
// The switch is given back as it was before, so that a race typed at the
// console afterwards runs as it would have. The script's result.
int32_t SB_RaceFromInterface(const char* script, int32_t closeNet, int32_t screen, int32_t textIndex);

// "CONFIRM EXIT Y/N" over the shown menu bitmap, then the keys polled:
// true for Y, false for N. Once no key can arrive any more (a headless run
// at the end of its input) the answer is Y.
bool ConfirmExit();

// The button pattern: the shared behaviour by CallbackState; true when the
// event is the release that runs the button's action.
bool ButtonReleased(int32_t events, TMENUITEM* item);
// The start of every action: items released, the click wave (and the
// looped one that fades in).
void ButtonAction(TMENUITEM* item);

// Screen callbacks.
void SplashScreen();
void LoopScreenSound();
void CommandScreen();
void PlayerNameScreen();
void ProtocolScreen();
void ServersScreen();
void CreateServerScreen();
// The server list's and player list's lines drawn after the server list
// changed, the selected server's line pressed.
void DrawServerLists();
void ComdexScreen();
// The trade-show page: its own loop on screen 12 until Q or a confirmed
// exit; its set-up (engine state, arrow, work bitmap, background, fonts)
// and release; the page composed into a bitmap when it is not the drawn
// screen; a field erased from the background over the item's hit
// rectangle and its text drawn there (none: erased only).
void testinterface();
void InitComdexInterface();
void FreeComdexInterface();
void RedrawPage(BMAP* bitmap);
void DrawPageField(BMAP* bitmap, const TMENUITEM* item, BMAP* background, FONT* font, const char* text);

// Item callbacks: main menu, race choice and car choice.
void ChooseRaceButton(int32_t events, TMENUITEM* item);
void ChooseCarButton(int32_t events, TMENUITEM* item);
void CommandsButton(int32_t events, TMENUITEM* item);
void DemoButton(int32_t events, TMENUITEM* item);
void QuitButton(int32_t events, TMENUITEM* item);
void TimeTrialButton(int32_t events, TMENUITEM* item);
void RaceButton(int32_t events, TMENUITEM* item);
void PreviousCarButton(int32_t events, TMENUITEM* item);
void NextCarButton(int32_t events, TMENUITEM* item);
void ChooseCarBackButton(int32_t events, TMENUITEM* item);
void ChooseCarSelect(int32_t events, TMENUITEM* item);
// Screen-change buttons.
void MainMenuBackButton(int32_t events, TMENUITEM* item);
void DetailButton(int32_t events, TMENUITEM* item);
void DetailBackButton(int32_t events, TMENUITEM* item);
void ChooseRaceNetworkButton(int32_t events, TMENUITEM* item);
void PlayerNameBackButton(int32_t events, TMENUITEM* item);
void PlayerNameOkButton(int32_t events, TMENUITEM* item);
void ProtocolBackButton(int32_t events, TMENUITEM* item);
void NetworkMenuBackButton(int32_t events, TMENUITEM* item);
void ServersBackButton(int32_t events, TMENUITEM* item);
void NetworkCreateButton(int32_t events, TMENUITEM* item);
void NetworkJoinButton(int32_t events, TMENUITEM* item);
void CreateServerBackButton(int32_t events, TMENUITEM* item);

// Controls and detail screens.
void JoystickChoiceButton(int32_t events, TMENUITEM* item);
void KeyboardChoiceButton(int32_t events, TMENUITEM* item);
void CustomKeysChoiceButton(int32_t events, TMENUITEM* item);
void JoystickLinearToggle(int32_t events, TMENUITEM* item);
void CustomKeyEntry(int32_t events, TMENUITEM* item);
void CommandCheckBox(int32_t events, TMENUITEM* item);
void CalibrateButton(int32_t events, TMENUITEM* item);
void ScreenSize640Button(int32_t events, TMENUITEM* item);
void ScreenSize800Button(int32_t events, TMENUITEM* item);
void DetailLevelButton0(int32_t events, TMENUITEM* item);
void DetailLevelButton1(int32_t events, TMENUITEM* item);
void DetailLevelButton2(int32_t events, TMENUITEM* item);
void ShadowLevelButton0(int32_t events, TMENUITEM* item);
void ShadowLevelButton1(int32_t events, TMENUITEM* item);
void ShadowLevelButton2(int32_t events, TMENUITEM* item);
// Network screens.
void PlayerNameEntry(int32_t events, TMENUITEM* item);
void ProtocolLine(int32_t events, TMENUITEM* item);
void ProtocolListForwardButton(int32_t events, TMENUITEM* item);
void ProtocolListBackButton(int32_t events, TMENUITEM* item);
void ProtocolOkButton(int32_t events, TMENUITEM* item);
void ServerLine(int32_t events, TMENUITEM* item);
void ServerListForwardButton(int32_t events, TMENUITEM* item);
void ServerListBackButton(int32_t events, TMENUITEM* item);
void PlayerListForwardButton(int32_t events, TMENUITEM* item);
void PlayerListBackButton(int32_t events, TMENUITEM* item);
void JoinServerButton(int32_t events, TMENUITEM* item);
void ServerNameEntry(int32_t events, TMENUITEM* item);
void NbPlayersEntry(int32_t events, TMENUITEM* item);
void CreateServerOkButton(int32_t events, TMENUITEM* item);
// Trade-show page.
void ComdexLaunchRaceButton(int32_t events, TMENUITEM* item);
void ComdexEndOfRaceButton(int32_t events, TMENUITEM* item);
void ComdexPracticeButton(int32_t events, TMENUITEM* item);
void ComdexQuitButton(int32_t events, TMENUITEM* item);
