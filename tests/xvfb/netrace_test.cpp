// Two programs race each other on X displays, each in its window, over
// 127.0.0.1: their logs show the game made, joined, raced and left, and
// their screenshots each other's car. Each program has a display of its
// own, as on two machines: on one display the window that loses the focus
// pauses, as the game does in the background, and holds the other at the
// start.
#include <cstdlib>

#include "tests/netrace/checks.h"

namespace {

using namespace ztest::netrace;

class NetRaceOnADisplay : public ztest::Environment {};

TEST_F(NetRaceOnADisplay, TwoWindowsRaceEachOther) {
  ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
  PairOptions options;
  options.headless = false;
  options.prefixA = options.prefixB = "xvfb-run -a -s '-screen 0 1024x768x24' ";
  Pair pair(temp_, options);
  pair.Prepare();
  ASSERT_TRUE(pair.Run());
  ExpectRaced(pair);
  ExpectEachSeesTheOther(pair.a(), pair.b());
}

}  // namespace
