// The wrapped calls of the car editors' tests: the end of each editor
// pass runs the test's input hook, and car repaints are counted.
#include <functional>
#include <vector>

#include "shell/sbvar.h"
#include "tests/tools/careditor/careditor_fixture.h"

namespace ztest {
std::function<void(int n)> g_afterPass;
int g_passes = 0;
std::vector<int32_t> g_repaints;
}  // namespace ztest

extern "C" {
void __real__Z22SB_DrawCarPaintPointerv();
void __wrap__Z22SB_DrawCarPaintPointerv() {
  __real__Z22SB_DrawCarPaintPointerv();
  const int n = ztest::g_passes++;
  if (ztest::g_afterPass) ztest::g_afterPass(n);
}
void __real__Z22SB_GenerateCarTexturesP13TVEHICLESETUPi(TVEHICLESETUP* setups, int32_t index);
void __wrap__Z22SB_GenerateCarTexturesP13TVEHICLESETUPi(TVEHICLESETUP* setups, int32_t index) {
  ztest::g_repaints.push_back(index);
  __real__Z22SB_GenerateCarTexturesP13TVEHICLESETUPi(setups, index);
}
}
