// The in-race head-up display: the three race fonts, the text drawer with
// its markup, the three timed message slots, the HUD elements of each game
// mode, the end-of-race screens and the end menu. Texts go into the race
// overlay SB_Var.TextScreen, which must be locked while they are drawn.
#pragma once
#include <cstdint>

#include "race/types.h"
#include "system/bmap.h"
#include "vehicles/types.h"

struct CTRL_PLAYER;

// Fonts ---------------------------------------------------------------------

// Columns of one glyph in the strip; an empty glyph has Last = First.
struct TGLYPHSPAN {
  int32_t First;
  int32_t Last;
};
static_assert(sizeof(TGLYPHSPAN) == 8, "two 32-bit columns a glyph");

// A row's run of glyph pixels in the font bitmap.
struct TGLYPHRUN {
  uint8_t* Source;  // its first pixel
  int32_t Length;   // pixels
  int32_t X;        // from the glyph's first column
  int32_t Row;
};

struct TGLYPHRUNS {
  int32_t Count;
  TGLYPHRUN* Runs;  // null for a glyph without pixels
};

constexpr uint8_t SB_NOGLYPH = 255;

struct TSBFONT {
  const char* FileName;
  TGLYPHSPAN* Spans;   // per glyph
  TGLYPHRUNS* Glyphs;  // per glyph
  BMAP* Bmap;          // the strip at the screen's depth
  int32_t Loaded;
  int32_t NbGlyphs;
  int32_t Background;    // palette index of the strip's background
  int32_t Spacing;       // pixels after every character
  uint8_t CharMap[256];  // character code to glyph, SB_NOGLYPH for none
  int32_t Height;
  int32_t Depth;       // of Bmap
  int32_t FixedWidth;  // widest glyph + 1
  BMAP* Source;        // the loaded picture, kept only while building
};
extern TSBFONT SB_Fonts[SB_NBFONTS];

// Selects font 0, loads the three fonts and frees their pictures.
void SB_InitFonts();
// 1 when the font loaded; a missing or unreadable strip leaves it unloaded.
int32_t SB_LoadFont(int32_t slot);
void SB_FreeFont(int32_t slot);
void SB_DisposeFonts();
void SB_FreeFontSources();
// Rebuilds every loaded font whose depth differs from the video mode's.
void SB_RemapFonts();
void SB_SelectFont(int32_t slot);
// 0 for a slot outside 0..2.
int32_t SB_GetFontHeight(int32_t slot);

// Text ----------------------------------------------------------------------

// Formats (a text is cut at 255 characters) and draws it with the current
// font: "*0" to "*2" switch fonts, "$" fixed width. Every glyph sits on the
// baseline of font 0, 31 rows below y. Clipped to the bitmap.
void SB_DrawText(BMAP* bmap, int32_t x, int32_t y, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// The pen's advance over the formatted text.
int32_t SB_GetTextWidth(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SB_DrawGlyph(const TSBFONT* font, BMAP* bmap, int32_t glyph, int32_t x, int32_t y);

// Told of every text SB_DrawText draws, with its position; null for none.
using SB_TEXTOBSERVER = void (*)(const BMAP* bmap, int32_t x, int32_t y, const char* text);
void SB_SetTextObserver(SB_TEXTOBSERVER observer);

// The overlay's lock, taken once however often it is asked for.
void SB_LockTextScreen();
void SB_UnlockTextScreen();
int32_t SB_IsTextScreenLocked();

// Messages ------------------------------------------------------------------

constexpr int32_t SB_NBHUDMESSAGES = 3;
constexpr int32_t SB_HUDMESSAGESIZE = 256;
constexpr int32_t SB_HUDMESSAGETIME = 6000;  // ms

struct THUDMESSAGE {
  char Text[SB_HUDMESSAGESIZE];  // with markup
  int32_t Blink;
  int32_t Expiry;  // game time; 0 for a free slot
  int32_t Spare;
};
extern THUDMESSAGE SB_HudMessages[SB_NBHUDMESSAGES];

void SB_ClearHudMessages();
// The first free slot; when all are busy the oldest is dropped and the
// last slot given.
THUDMESSAGE* SB_GetHudMessageSlot();
void SB_HudMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A player of the session left (state 3), arrived (state 7) or was dropped
// (no longer in use).
void SB_NetPlayerMessage(const CTRL_PLAYER* player, const char* name);

// The HUD ---------------------------------------------------------------------

// Element bits of SB_DrawHud.
constexpr int32_t SB_HUD_TIME = 1;
constexpr int32_t SB_HUD_POSITION = 2;
constexpr int32_t SB_HUD_LAP = 4;
constexpr int32_t SB_HUD_BESTLAP = 8;
constexpr int32_t SB_HUD_GAPAHEAD = 16;
constexpr int32_t SB_HUD_GAPBEHIND = 32;
constexpr int32_t SB_HUD_POINTS = 64;
constexpr int32_t SB_HUD_TIMELIMIT = 128;
constexpr int32_t SB_HUD_LAPLINE = 256;
constexpr int32_t SB_HUD_WRONGWAY = 512;

void SB_DrawHud();
// The elements the game mode and step show for the driven car; *dial says
// whether the dial is shown.
int32_t SB_GetHudMask(const TCAR* car, int32_t* dial);
void SB_DrawRaceResult(TCAR* car, int32_t width, int32_t height, int32_t top);
void SB_DrawFinishingList();
void SB_LoadCarPictures();
void SB_FreeCarPictures();
BMAP* SB_GetCarPicture(int32_t car);
void SB_DrawEndMenu();
void SB_DrawNoMoreServer();
int32_t SB_IsEndDelayOver();
// The lost session forgotten, its flag and the time since the loss, when
// a race is left and when the network is left or closed, so that the next
// race runs.
void SB_ClearLostSession();

// Back to the state before the race set-up (test fixtures).
void SB_ResetHud();
