// Records and constants of the front end that other floors hold.
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
