// The wrapped calls of the inspector's tests: each pass's wait for the
// vertical blank runs the test's input for the pass, and the texts drawn
// are recorded.
#include "tests/tools/polypick/polypick_fixture.h"

namespace ztest {
std::function<void(int n)> g_onPass;
int g_inspectorPasses = 0;
std::vector<DrawnText> g_drawn;
}  // namespace ztest

extern "C" {
void __real__Z10LS_WaitVblv();
void __wrap__Z10LS_WaitVblv() {
  const int n = ztest::g_inspectorPasses++;
  if (ztest::g_onPass) ztest::g_onPass(n);
  __real__Z10LS_WaitVblv();
}
int32_t __real__Z13LS_DrawStringPK4FONTP4BMAPPKciii(const FONT* font, BMAP* bmap, const char* text, int32_t x,
                                                   int32_t y, int32_t mode);
int32_t __wrap__Z13LS_DrawStringPK4FONTP4BMAPPKciii(const FONT* font, BMAP* bmap, const char* text, int32_t x,
                                                   int32_t y, int32_t mode) {
  ztest::g_drawn.push_back({text, x, y});
  return __real__Z13LS_DrawStringPK4FONTP4BMAPPKciii(font, bmap, text, x, y, mode);
}
}
