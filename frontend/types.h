// Records and constants of the front end that other floors hold: the menu
// screens and their items, the picture rows, the list rows of the network
// screens and the key-name rows.
#pragma once
#include <cstdint>

struct TMENUITEM;

// Events sent to an item's callback: a bit set.
constexpr int32_t MENU_ENTER = 1;
constexpr int32_t MENU_LEAVE = 2;
constexpr int32_t MENU_DOWN = 4;
constexpr int32_t MENU_UP = 8;

// Item kinds.
constexpr int32_t ITEMKIND_TITLE = 2;   // big-font text
constexpr int32_t ITEMKIND_BITMAP = 3;  // opaque picture
constexpr int32_t ITEMKIND_BUTTON = 4;  // picture with its state looks
constexpr int32_t ITEMKIND_TEXT = 6;    // first small font
constexpr int32_t ITEMKIND_TEXT2 = 8;   // second small font
constexpr int32_t ITEMKIND_TEXT3 = 9;   // third small font

// Item looks (State).
constexpr int32_t ITEMSTATE_NORMAL = 0;
constexpr int32_t ITEMSTATE_HILITE = 1;
constexpr int32_t ITEMSTATE_PRESSED = 2;
constexpr int32_t ITEMSTATE_DISABLED = 3;

// Table sizes.
constexpr int32_t SB_NBMENUSCREENS = 15;
constexpr int32_t SB_OPTIONSSCREEN = 4;  // the controls and options screen
constexpr int32_t SB_MAINMENUSCREEN = 2;
constexpr int32_t SB_MENUITEMS = 49;      // items of one screen
constexpr int32_t SB_NBMENUBMAPS = 71;    // picture rows
constexpr int32_t SB_NBMENUTEXTS = 86;    // the interface's vocabulary
constexpr int32_t SB_NBJAPANTITLES = 20;  // slot 0 is empty
constexpr int32_t SB_MENULISTROWS = 16;   // rows of each list
constexpr int32_t SB_MENUTEXTBLOCK = 32;  // the name blocks
constexpr int32_t SB_NBKEYNAMEROWS = 47;

using MENUITEMPROC = void (*)(int32_t events, TMENUITEM* item);
using MENUSCREENPROC = void (*)();

// One item (widget) of a screen.
struct TMENUITEM {
  int32_t Live;           // 1: hit-tested and pressed; 0: drawn only
  int32_t RestState;      // the look it returns to
  int32_t State;          // look: 0 normal, 1 highlighted, 2 pressed, 3 disabled
  int32_t Selected;       // 1 latched, 2 not
  int32_t CallbackState;  // 0 free, 1 another item holds the press, 2 this one does
  intptr_t Value;         // a list row, or a block of 256 or more
  int32_t Kind;
  int32_t Index;  // picture row, or text index for the text kinds
  int32_t Sound;
  int32_t FadeSound;
  int32_t X, Y;
  int32_t HitX1, HitY1, HitX2, HitY2;  // HitX1 -1: from the picture at load
  MENUITEMPROC Callback;
};

// One menu screen.
struct TMENUSCREEN {
  int32_t NbItems;
  int32_t DrawBackground;  // 1: composed on the background picture
  int32_t Transition;      // 2..6
  MENUSCREENPROC Callback;  // once per loop pass while current
  int32_t CursorShown;
  int32_t Sound;
  TMENUITEM Items[SB_MENUITEMS];
};

// One picture row: its file and the bitmaps made from it.
struct BMAP;
struct TMENUBMAP {
  const char* FileName;
  BMAP* Picture;      // as loaded; the disabled look and the hit mask
  BMAP* Highlighted;  // highlighted look, or a bitmap item's screen copy
  BMAP* Normal;
  BMAP* Pressed;
};

// One row of the protocol, server and player lists.
struct TMENULISTENTRY {
  uint32_t Id;
  int32_t Selected;  // 1: the selected row
  int32_t Line;      // the visible line showing it, -1 none
  char Name[256];
};

// Interface waves: the rows of the sound table (1..15 full quality, 17..31
// the low-memory files of the same sounds; only rows 0..15 hold a wave).
struct SOUND;
constexpr int32_t SB_NBMENUSOUNDS = 32;
constexpr int32_t SB_MENUSOUNDLOWMEMORY = 16;  // offset of the low-memory rows
constexpr int32_t SB_NBSCREENCHANGESOUNDS = 12;
constexpr int32_t MAXPLAYEDWAVES = 16;
struct TMENUSOUND {
  const char* FileName;  // logical path; empty for rows 0 and 16
  SOUND* Wave;           // null until loaded
};
// The wave stopped when the interface goes from one screen to another.
struct TSCREENCHANGESOUND {
  int32_t FromScreen;
  int32_t ToScreen;
  int32_t Sound;  // a row of the sound table
  int32_t Unused[2];
};

// A bitmap animation: numbered TGA frames played in a loop, advanced by
// elapsed time.
constexpr int32_t SB_MAXANIMFRAMES = 256;  // the loaders stop there
struct BMAPANIM {
  int32_t NbFrames;  // at least 1
  int32_t CurFrame;
  double Time;    // seconds accumulated towards the next frame
  double Period;  // seconds per frame
  BMAP** Frames;
};

// One key name: a virtual-key code (below 256) or a joystick code.
struct TKEYNAME {
  int32_t Code;
  const char* Name;
};
