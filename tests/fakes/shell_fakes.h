// Recording fakes of what the game helpers, the console and the
// interpreter call in the network, the display switch, the 256-colour
// conversion and the films, and a fixture with a started library.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "system/bmap.h"
#include "tests/support/testenv.h"

namespace ztest {

struct ShellFakes {
  int32_t netUpdates = 0;                             // NET_UpdateEvent calls
  void (*onNetUpdate)() = nullptr;                    // run by each of them
  std::vector<std::vector<std::string>> netCommands;  // words of SB_NetConsoleCommand, keyword last
  int32_t toggles = 0;                                // Alt+Enter hook calls
  std::vector<std::vector<int64_t>> floyd;  // SB_FloydBmap24to8: source, destination, x1, y1, x2, y2, x, y
};

ShellFakes& Shell();

// Writes the data tree's console background, "PCX/DEVENV.PCX", below root.
void WriteDevEnvPicture(const std::string& root);

// A started library with a 4 MiB heap, fresh fakes and an empty record
// of printed lines; errors are kept rather than fatal.
class ShellTest : public LibraryTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The console's line i as text.
  static std::string Line(int32_t i);
  // A front screen of 640 x 480 at the depth, freed at the end.
  void MakeScreen(int32_t depth);
  int16_t nbAlloc_ = 0, nbBmap_ = 0, nbPal_ = 0;
};

}  // namespace ztest
