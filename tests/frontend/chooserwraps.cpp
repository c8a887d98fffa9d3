// The wrapped calls of the car chooser's tests (tests/CMakeLists.txt): the
// network pumps counted, the count noted at each drawing of the carousel
// (once a pass), and the interface waves played with the test's pass
// number.
#include <vector>

#include "tests/frontend/tree_fixture.h"

namespace ztest {
ChooserCalls& Chooser() {
  static ChooserCalls calls;
  return calls;
}
}  // namespace ztest

extern "C" {
void __real__Z15NET_UpdateEventv();
void __wrap__Z15NET_UpdateEventv() {
  ++ztest::Chooser().netUpdates;
  __real__Z15NET_UpdateEventv();
}
void __real__Z18SB_DrawCarCarouselv();
void __wrap__Z18SB_DrawCarCarouselv() {
  ztest::Chooser().netUpdatesAtDraw.push_back(ztest::Chooser().netUpdates);
  __real__Z18SB_DrawCarCarouselv();
}
void __real__Z17PlayInterfaceWaveP5SOUND(SOUND* wave);
void __wrap__Z17PlayInterfaceWaveP5SOUND(SOUND* wave) {
  ztest::Chooser().waves.push_back({ztest::Chooser().pass, wave});
  __real__Z17PlayInterfaceWaveP5SOUND(wave);
}
}
