// The texture-animation editor and player: the set's memory and editing
// operations, playback and the per-texture lists, the editor's widgets and
// dialogs, and its screen.
#pragma once
#include <cstddef>
#include <cstdint>

#include "tools/types.h"

struct BMAP;
struct TSOFTSCENE;

// Memory of the set: zero-filled blocks tagged "MK_GetMem"; null for size 0
// or when the heap is full. MK_GrowBlock gives a block of count + extra
// records with the first count copied and frees the old one, or null with
// the old block untouched.
void* MK_GetMem(size_t size);
void MK_FreeMem(void* block);
void* MK_GrowBlock(void* block, int32_t count, size_t recordSize, int32_t extra);

// The set and the clipboard, each made empty (the clipboard with one
// animation without steps), and both freed with their animations.
TTXTANIMSET* SB_TxtAnimNewSet(int32_t nbEmptyAnims);
void SB_TxtAnimFreeSet(TTXTANIMSET* set);

// Editing operations on the current animation of SB_Var.TxtAnimSet.
void SB_TxtAnimNew();
void SB_TxtAnimDelete(int32_t i);
void SB_TxtAnimAddStep();
void SB_TxtAnimInsertStep();
void SB_TxtAnimDeleteStep(int32_t i);
void SB_TxtAnimDeleteSelected();
void SB_TxtAnimCopy();
void SB_TxtAnimCut();
void SB_TxtAnimPaste();
void SB_TxtAnimToggleFlag(uint32_t bits);
void SB_TxtAnimToggleLoop();
void SB_TxtAnimNextKind();
void SB_TxtAnimSetRect(int32_t which, int32_t texture, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
int32_t SB_TxtAnimRectFits(int32_t which, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void SB_TxtAnimAddDelay(int32_t d);
void SB_TxtAnimSetRate(int32_t i, int32_t v);
void SB_TxtAnimAskFrameRate();
double SB_TxtAnimTotalDelay();
void SB_TxtAnimToggleStep(int32_t i);
void SB_TxtAnimSetCurStep(int32_t i);
void SB_TxtAnimClearSelection();
void SB_TxtAnimPrev();
void SB_TxtAnimNext();
int32_t SB_TxtAnimCurStepIndex();
TTXTANIMSTEP* SB_TxtAnimCurStep();
int32_t SB_TxtAnimIsFirstStep(const TTXTANIMSTEP* step);
int32_t SB_IsScrollAnim();
int32_t SB_HasCurrentAnim();
// The current animation, or null.
TTXTANIM* SB_TxtAnimCurrent();
// The kind's 15-character label.
const char* SB_TxtAnimKindLabel(uint32_t flags);

// Playback and the per-texture lists.
void SB_TxtAnimStartAll();
void SB_TxtAnimPlay(int32_t i);
void SB_TxtAnimStop(int32_t i);
void SB_TxtAnimPause(int32_t i);
void SB_TxtAnimResume(int32_t i);
int32_t SB_TxtAnimIsPlaying();
void SB_TxtAnimUpdate();
TPAGEANIMLIST** SB_BuildPageList();
TPAGEANIMLIST* SB_FillPage(int32_t i);
TPAGEANIMLIST* SB_UpdatePage(TPAGEANIMLIST** lists, int32_t i);
void SB_UpdatePageList(TPAGEANIMLIST** lists);
void SB_FreePageList(TPAGEANIMLIST** lists);
void SB_TxtAnimEndPageLists();

// The editor's lifetime in a race: made at its first frame, freed (set,
// clipboard, page lists, bitmaps) at the race's tear-down.
bool SB_TxtAnimSetUp();
void SB_TxtAnimFree();

// The editor's resources, made by its set-up.
struct TTXTANIMUI {
  BMAP* Screen;       // 640 x 480 x 8
  BMAP* CursorSave;   // 13 x 13, under the cursor at CursorX, CursorY
  int32_t CursorX, CursorY, CursorSaved;
  BMAP* PreviewSave;  // 265 x 265
  int32_t PreviewSaved;
  uint8_t Face, Light, Dark, Line, Highlight, Empty, Thumb;
  int32_t DashPhase;
  int32_t KnobX;
  int32_t MouseX, MouseY, Buttons;
  int32_t PrevMouseX, PrevMouseY, PrevButtons;
  char Edit[256];          // the dialogs' edit buffer
  char LastMessage[256];   // the text of the last message box
};
extern TTXTANIMUI SB_TxtAnimUi;

// The editor's resources for a race: screen, cursor and preview saves,
// colours nearest the 3D palette; freed with the set at tear-down.
bool SB_TxtAnimSetUpUi();
void SB_TxtAnimFreeUi();
// Shows the editor screen: onto the race overlay, then the display.
void SB_TxtAnimShowScreen();

// Pointer and hit tests.
void SB_TxtAnimReadMouse();
int32_t SB_TxtAnimPointerIn(int32_t x, int32_t y, int32_t w, int32_t h);
int32_t SB_TxtAnimClickIn(int32_t x, int32_t y, int32_t w, int32_t h);

// Drawing into the editor screen (corners inclusive).
void SB_TxtAnimFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void SB_TxtAnimRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void SB_TxtAnimHighlight(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void SB_TxtAnimDashLine(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t phase);
void SB_TxtAnimDashRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void SB_TxtAnimDrawScaled(BMAP* page, BMAP* screen, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t x1,
                          int32_t y1, int32_t x2, int32_t y2);
void SB_TxtAnimModeLabels(int32_t x, int32_t y, uint32_t flags, int32_t enabled);
void SB_TxtAnimDrawRateBar();
void SB_TxtAnimSavePreview();
// The buttons from the editors' panel picture, pressed in the frame they
// are clicked (while playing only the play controls, play held down).
void SB_TxtAnimDrawButtons(bool playing);
void SB_TxtAnimCheckBox(int32_t x, int32_t y, int32_t checked, const char* label, int32_t enabled);
// The pointer: the area under the last one put back, then the area under
// the new one saved and the cross-hair (over the pages) or arrow drawn.
void SB_TxtAnimRestoreCursor();
void SB_TxtAnimDrawCursor(bool overPages);
void SB_TxtAnimRestorePreview();
// The first texture on the page whose placement holds the point, or -1.
int32_t SB_TxtAnimTextureAt(int32_t x, int32_t y, int32_t page);
// Texture i's name without directories and extension ("" outside the map).
void SB_TxtAnimTextureName(int32_t i, char* name, size_t size);

// The editor screen's state, kept between frames.
struct TTXTANIMSTEPBOX {
  int32_t X1, Y1, X2, Y2, Step;
};
struct TTXTANIMEDIT {
  int32_t Mode;    // 0 waiting .. 5 changing a step's delay
  int32_t Handle;  // corner dragged in modes 1 and 2
  int32_t SourcePage, DestPage;
  int32_t AnchorX;
  int32_t HitTexture;
  int32_t ThumbLeft, ThumbRight;
  TTXTANIMSTEPBOX StepBoxes[256];
  int32_t NbStepBoxes;
  int32_t PrevPageUp, PrevPageDown;
};
extern TTXTANIMEDIT SB_TxtAnimEdit;

// The editor screen's parts.
void SB_TxtAnimDrawSourcePanel();
void SB_TxtAnimDrawDestPanel();
void SB_TxtAnimStatusText(char* text, size_t size);
void SB_TxtAnimDrawStatus();
void SB_TxtAnimDrawScrollBar();
void SB_TxtAnimDrawSteps();
void SB_TxtAnimDrawOptions();
void SB_TxtAnimScrollToThumb();

// Modal dialogs on the editor's screen.
int32_t SB_TxtAnimAskInt(const char* prompt, int32_t initial, int32_t maxLength);
double SB_TxtAnimAskFloat(const char* prompt, double initial, int32_t maxLength);
// The answer is left in SB_TxtAnimUi.Edit; returns it (empty when the
// dialog could not open).
const char* SB_TxtAnimAskText(const char* prompt, const char* initial, int32_t maxLength);
void SB_TxtAnimMessage(const char* text);
