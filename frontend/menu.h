// The interface engine: preparing and blending in menu screens, drawing
// their items, the cursor, the hit test and the dispatch of mouse events
// to item callbacks, set-up and release, and the interface loop.
#pragma once
#include <cstdint>

#include "frontend/types.h"

struct BMAP;

// Background rows: every screen but the options screen uses the first.
constexpr int32_t SB_MENUBACKROW = 15;
constexpr int32_t SB_MENUOPTIONSBACKROW = 19;
constexpr int32_t SB_MENUPLACEHOLDER = 32;  // side of a missing picture's stand-in
constexpr double SB_MENUNORMALFACTOR = 0.65;
constexpr int32_t SB_MENUHITDROP = 10;  // the pointer's hot spot, below its position
extern const char* const SB_MENUCURSORFILE;  // "INTER>BMAPS>CURSOR.TGA"

// MenuScreen and DrawnMenuScreen at -1: no interface.
void SB_ResetFrontEnd();

// Screens: prepareecran makes SB_Var.MenuScreen the shown screen (nothing
// when it is already drawn).
void prepareecran(BMAP* screen);
// What a field of the drawn screen (a list line, a name, a number) is
// erased from: the screen as prepareecran composed it (background, frames
// and every item), else the background picture.
BMAP* MenuFieldBackground();
void RunScreenTransition(BMAP* dst, BMAP* oldImage, BMAP* newImage, int32_t kind);
// dst = (1 - a) src1 + a src2 per component; lines 0 even, 1 odd, 2 all.
// Nothing unless all three are 16-bit of one size and one format.
void BmapCrossFade(BMAP* dst, BMAP* src1, BMAP* src2, double a, int32_t lines);
// Observer of the transitions' blended steps (tests); null: none.
using TRANSITIONSTEPPROC = void (*)(double a, int32_t lines);
void SetTransitionObserver(TRANSITIONSTEPPROC observer);

// Picture rows.
BMAP* GetBmap(TMENUITEM* item, int32_t row);
void LoadBmap();
void FreeScreenBmaps(int32_t screen);
// The row of a picture item, or null (text kinds, rows out of the table).
TMENUBMAP* ItemBmapRow(const TMENUITEM* item);

// Drawing and events.
// The Japanese title slot of a text, 0 for none.
int32_t JapanSlotOfText(int32_t text);
void DrawItem(BMAP* dst, TMENUITEM* item);
void FlashItem(TMENUITEM* item, BMAP* dst, int32_t ms);
bool BmapOpaqueAt(BMAP* bmap, int32_t x, int32_t y);
void DispatchItemEvents(TMENUSCREEN* screen, int32_t x, int32_t y, int32_t buttons);
// The current screen, or null without one.
TMENUSCREEN* CurrentMenuScreen();
// Copies the bitmap to the front screen.
void ShowMenuBitmap(BMAP* bmap);

// Cursor.
void SetCursorMode(int32_t mode);  // 1 arrow, 2 busy
void UpdateInterfaceCursor();
// Shows the bitmap with the cursor drawn at the pointer, leaving the
// bitmap without it.
void ShowWithCursor(BMAP* bmap);

// Set-up and release.
void InitInterfaceFast();
// The engine's state as every start sets it: screen 0, no quit, the screen
// not ready, no item under the pointer, hot keys on, input mode 0.
void ResetMenuEngineState();
// The four fonts into the interface heap, and their release.
void LoadMenuFonts();
void FreeMenuFonts();
// The arrow cursor loaded into SB_Var.CursorStatic (made 16-bit with the
// owner tag when missing).
void LoadMenuArrow(const char* owner);
void LoadInterfaceFonts();
void InitInterfaceCursor();
void InitInterface();
void FreeInterface(int32_t saveSettings);
int32_t RestoreInterfaceCursor(BMAP* bmap);
int32_t RestoreInterfaceScreen(BMAP* bmap);
int32_t LoadJapaneseTitles();
int32_t FreeJapaneseTitles();
void RunInterfaceLoop();

// Widget behaviours, each (events, item).
void ItemWhileFree(int32_t events, TMENUITEM* item);
void ItemWhileOtherPressed(int32_t events, TMENUITEM* item);
void ItemWhilePressed(int32_t events, TMENUITEM* item);
void ToggleWhileFree(int32_t events, TMENUITEM* item);
void ToggleWhilePressed(int32_t events, TMENUITEM* item);
void UnhiliteOtherItems(TMENUITEM* item);
void ReleaseAllItems();
void BlockAllItems();
void DeselectItems1to2Except(TMENUITEM* item);
void DeselectItems1to3Except(TMENUITEM* item);
void DeselectItems3to5Except(TMENUITEM* item);
void DeselectItems6to8Except(TMENUITEM* item);

// Button looks.
void prepareicone(TMENUITEM* item, BMAP* picture);
void BmapScaleBrightness(BMAP* dst, BMAP* src, double factor);

// Key and joystick capture into a text of at least 16 bytes.
void CaptureKeyName(TMENUITEM* item, char* text);
void CaptureJoystickKeyName(TMENUITEM* item, char* text);

// Text entry. Flags: 1 centred, 2 upper case, 4 must be full, 8 digits
// only, 16 shown as "*".
constexpr int32_t TEXT_CENTRED = 1;
constexpr int32_t TEXT_UPPER = 2;
constexpr int32_t TEXT_FULL = 4;
constexpr int32_t TEXT_DIGITS = 8;
constexpr int32_t TEXT_HIDDEN = 16;
struct FONT;
// 1 when ended by endKey, 0 by Enter or a click. text holds maxLen + 1.
int32_t LS_GetString(FONT* font, char* text, int32_t x, int32_t y, int32_t maxLen, BMAP* background,
                     int32_t bgX, int32_t bgY, int32_t endKey, int32_t flags);
int32_t DrawStringField(FONT* font, BMAP* field, BMAP* background, int32_t bgX, int32_t bgY, char* text,
                        int32_t flags);
void EditScreenText(char* text, int32_t x, int32_t y, int32_t maxLen, int32_t flags);
void DrawItemText(BMAP* bmap, TMENUITEM* item, const char* text);
