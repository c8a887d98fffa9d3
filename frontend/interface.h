// The menus: the interface and its trade-show variant, each run from the
// console in a heap of its own, the windscreen pictures, and the options
// screen's items.
#pragma once
#include <cstdint>

#include "frontend/types.h"

int32_t SB_RunInterface();
int32_t SB_RunComdexInterface();
// Composes the interface windscreen pictures and saves them.
int32_t SB_CalcVitre();
