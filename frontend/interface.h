// The menus: the interface and its trade-show variant, each run from the
// console in a heap of its own, the windscreen pictures, and the options
// screen's items.
#pragma once
#include <cstdint>

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
// Composes the interface windscreen pictures and saves them.
int32_t SB_CalcVitre();
