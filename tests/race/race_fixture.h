// Recording fakes of everything the race session, loop and frame call in
// the other subsystems, and a fixture with a started library, a display
// and a table of cars. The fakes write one trace: each call by name (with
// the arguments that matter), preceded by the console lines printed since
// the call before, in quotes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "racescene/mapinfo.h"
#include "shell/sbvar.h"
#include "tests/support/cartable.h"
#include "tests/support/testenv.h"
#include "vehicles/types.h"

namespace ztest {

struct SessionFakes {
  std::vector<std::string> trace;
  size_t linesSeen = 0;
  int32_t mapInfo = 1;           // result of SB_LoadMapInfo
  int32_t loadMap = 1;           // result of SB_LoadMap
  int32_t controllerAnswer = 1;  // result of NET_SetControllerStatus
  int32_t mouseMoved = 0;        // result of SB_VParamsMouseMoved
  bool overlayFails = false;     // SB_Create3dScreen finds no room
  uint64_t ticks = 0;            // what E3D_ElapsedTime gives
  int32_t netUpdates = 0;        // NET_UpdateEvent calls (the console pumps too)
  std::function<void()> onFrame;  // run by SB_SnapshotControls, the frame's first step
};
SessionFakes& Session();
// Adds the console lines printed since the last entry, then the call.
void Trace(const std::string& call);
// The trace so far (console lines included), and the entries whose text
// begins with the prefix.
const std::vector<std::string>& Traced();
std::vector<std::string> TracedWith(const std::string& prefix);
// "v0", "v1" for the user views, "null", or "other".
std::string ViewName(const TSOFTSCENE* view);
using Lines = std::vector<std::string>;

class SessionTest : public LibraryTest {
 protected:
  void SetUp() override;
  // The display in 640 x 480 x 16, as after start-up.
  void StartDisplay();
  // n cars with their textures ready, car 0 driven, cars in use.
  void MakeCars(int32_t n) { MakeCarTable(cars_, n); }
  // Both user views and an overlay of the display's mode with its 3D
  // window, as a race has them; freed at the end of the test.
  void MakeRaceScreen();
  // Calls f after `frames` race frames from now (at the start of the next).
  void AtFrame(int32_t frames, std::function<void()> f);
  // Notes the library's counts of blocks, bitmaps and palettes;
  // ExpectNothingLeft then finds them again and no owner record left.
  static std::tuple<int16_t, int16_t, int16_t> Counts();
  void Baseline() { counts_ = Counts(); }
  void ExpectNothingLeft();
  void TearDown() override;

  TCAR cars_[SB_MAXCARS]{};
  int32_t frames_ = 0;
  std::tuple<int16_t, int16_t, int16_t> counts_;
};

}  // namespace ztest
