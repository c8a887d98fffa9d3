// Recording fakes of what the race rules and the sequencer call in the
// vehicles, the scenery, the network, the front end, the kiosk mode and the
// video-mode table, and a fixture with a started library and a table of
// fake cars.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine3d/videotable.h"
#include "shell/sbvar.h"
#include "tests/support/testenv.h"
#include "vehicles/types.h"

namespace ztest {

struct RaceFakes {
  std::vector<std::string> calls;           // in order, as "Name arg arg"
  std::map<uint32_t, std::string> names;    // session names by player id
  std::set<int32_t> replaying;              // cars playing back a replay
  int32_t controllerAnswer = 1;             // result of NET_SetControllerStatus
  std::map<int32_t, int32_t> setupNumbers;  // SB_GetCarSetupNumber by car index
  TVIDEOMODE videoMode{640, 480, 16, 224, 1.0f, 640, 400, 0, 40, 1, BMAP_RGB565, BMAP_RGB565, 16, 2};
};

RaceFakes& Fakes();
void ResetFakes();
// Adds a call to the record, printf-like.
void Record(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Calls recorded whose text begins with the prefix.
int Count(const std::string& prefix);
bool Called(const std::string& call);

class RaceTest : public LibraryTest {
 protected:
  void SetUp() override;
  // n cars with their textures ready, car 0 driven, cars in use.
  void MakeCars(int32_t n);
  // A network session of n players in use at the given state, this
  // machine being player 0.
  void MakeSession(int32_t n, XSTATE state);
  TCAR& Car(int32_t i) { return cars_[i]; }
  TCAR cars_[SB_MAXCARS]{};
};

}  // namespace ztest
