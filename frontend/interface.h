// The menus and what the race takes from the front end: the interface
// runs, the windscreen pictures, the option pictures of the pre-start
// steps, the attract cycle and the HUD textures of the PowerVR path.
#pragma once
#include <cstdint>

struct BMAP;

// One item of a menu screen: its look and a word for its callback, which
// holds either a heap block (an address of 256 or more) or a small value.
struct TMENUITEM {
  int32_t State;
  intptr_t Value;
};
// Items of the options screen.
constexpr int32_t SB_OPTIONITEMS = 42;

int32_t SB_RunInterface();
int32_t SB_RunComdexInterface();
int32_t SB_CalcVitre();

int32_t SB_LoadOptionPicts();
int32_t SB_FreeOptionPicts();
int32_t SB_DisplayGameOptions(BMAP* bitmap, int32_t height, int32_t top);
int32_t SB_UpdateOptionsFade();

int32_t SB_StartIntroCycle();

int32_t POWER_LoadHudTextures();
int32_t POWER_FreeHudTextures();
