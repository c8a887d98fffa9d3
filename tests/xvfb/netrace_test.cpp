// Two programs race each other on one X display, each in its window, over
// 127.0.0.1: their logs show the game made, joined, raced and left, and
// their screenshots each other's car. The window that loses the focus to
// the other runs on, as a program with a network session open does.
#include <cstdlib>

#include "tests/netrace/checks.h"

namespace {

using namespace ztest::netrace;

class NetRaceOnADisplay : public ztest::Environment {};

TEST_F(NetRaceOnADisplay, TwoWindowsRaceEachOther) {
  ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
  PairOptions options;
  options.headless = false;
  Pair pair(temp_, options);
  pair.Prepare();
  ASSERT_TRUE(pair.Run());
  ExpectRaced(pair);
  ExpectEachSeesTheOther(pair.a(), pair.b());
}

}  // namespace
