// The error-diffusion conversion arrives with the 3D palette; until then
// it converts nothing and notes its calls for tests.
#include "engine3d/palette3d.h"
#include "engine3d/palette3d_stub.h"

SB_FLOYDCALL& SB_FloydStubLog() {
  static SB_FLOYDCALL log;
  return log;
}

void SB_FloydBmap24to8(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t x, int32_t y) {
  SB_FLOYDCALL& log = SB_FloydStubLog();
  ++log.Calls;
  log.Source = source;
  log.Destination = destination;
  const int32_t args[6] = {x1, y1, x2, y2, x, y};
  for (int i = 0; i < 6; ++i) log.Args[i] = args[i];
}
