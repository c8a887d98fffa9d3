// The vehicle-parameter editor of race debug mode 2: one car's parameters
// listed 16 rows at a time with a slider each, changed by dragging (left
// button) or typed into an edit box (right button), four buttons (write
// and read the parameter file, next and previous car) and two help lines
// for the row under the pointer; all drawn into a 640 x 480 picture of
// the screen's depth that is copied to the screen every frame. The frame
// and SB_VParamsMouseMoved are in vehicles/vehicles.h.
#pragma once
#include <cstdint>

struct BMAP;

// Places on the picture.
constexpr int32_t SB_VPEDIT_ROWS = 16;       // rows shown
constexpr int32_t SB_VPEDIT_FIRSTROW = 57;   // y of the first
constexpr int32_t SB_VPEDIT_ROWSTEP = 16;
constexpr int32_t SB_VPEDIT_NAMEX = 16;
constexpr int32_t SB_VPEDIT_SLIDERX = 200;   // the slider's range starts 18 pixels on
constexpr int32_t SB_VPEDIT_SLIDERSTART = 18;
constexpr int32_t SB_VPEDIT_SLIDERWIDTH = 64;
constexpr int32_t SB_VPEDIT_SLIDERRANGE = 60;
constexpr int32_t SB_VPEDIT_VALUEX = 300;
constexpr int32_t SB_VPEDIT_BUTTONY = 30;    // the buttons are 16 pixels high
constexpr int32_t SB_VPEDIT_BUTTONWIDTH = 90;
constexpr int32_t SB_VPEDIT_HELPY = 446;
constexpr int32_t SB_VPEDIT_MAXSCROLL = 26;  // the last 16 rows of 42
enum : int32_t { SB_VPBUTTON_WRITE, SB_VPBUTTON_READ, SB_VPBUTTON_NEXT, SB_VPBUTTON_PREV, SB_VPBUTTONS };

// The button's left edge.
int32_t SB_VParamsButtonX(int32_t button);

// The pieces of a frame, in their order.
void SB_VParamsReadMouse();
void SB_VParamsList();
void SB_VParamsEditBox();
void SB_VParamsHelp();
void SB_VParamsDrawCursor();

// List parts: a text on a filled box; 1 when the pointer is on a button
// (not while editing) or on a row's slider (which becomes the hovered row).
void SB_VParamsDrawText(BMAP* picture, int32_t x, int32_t y, const char* text);
int32_t SB_VParamsButtonHit(int32_t button);
int32_t SB_VParamsRowHit(int32_t row, int32_t y);
void SB_VParamsNextCar();
void SB_VParamsPrevCar();

// The edit box: opened on a table row at the pointer + 2; one typed key
// (backspace, Enter commits, Space cancels, letters, digits and "."); the
// commit stores the text's number clamped to the row's range, and a text
// that is no finite number leaves the value as it was.
void SB_VParamsStartEdit(int32_t row);
void SB_VParamsStopEdit();
void SB_VParamsEditKey(int32_t key);
void SB_VParamsCommit();

// The row's value in the edited car, and a value stored by the row's type
// (an int32 row truncates, or rounds when asked).
double SB_VParamsValue(int32_t row);
void SB_VParamsStore(int32_t row, double value, int32_t round);

// The editor's picture, made at the first call of a race; freed with the
// race's cars.
BMAP* SB_VParamsPicture();
void SB_FreeVParamsEditor();
// A colour given in 0..255 components as a pixel of the picture.
uint32_t SB_VParamsColour(int32_t r, int32_t g, int32_t b);
