// What the 256-colour conversion stand-in was asked, for tests.
#pragma once
#include <cstdint>

struct BMAP;

struct SB_FLOYDCALL {
  int32_t Calls = 0;
  BMAP* Source = nullptr;
  BMAP* Destination = nullptr;
  int32_t Args[6] = {};  // x1, y1, x2, y2, x, y of the last call
};
SB_FLOYDCALL& SB_FloydStubLog();
