// Recording fakes of what the console words call in the vehicles, the
// scenery, the track, the editors, the front end and the kiosk mode, and a
// fixture for running console words.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fakes/race_fakes.h"
#include "tests/fakes/shell_fakes.h"

namespace ztest {

struct CommandFakes {
  int32_t definitionsFound = 1;  // result of SB_ReadTCARDEFINITION
};
CommandFakes& Commands();

// A started library with every fake fresh; outside calls are recorded in
// order in Fakes().calls.
class CommandTest : public ShellTest {
 protected:
  void SetUp() override;
  // Runs the line without its echo and gives its result.
  static int32_t Run(const std::string& line);
  // The lines printed since the last call.
  static std::vector<std::string> Printed();
  static const std::vector<std::string>& Calls() { return Fakes().calls; }
};

}  // namespace ztest
