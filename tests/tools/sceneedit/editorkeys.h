// The program's trial of the decor-object and scene editors as a new user
// makes it, shared by the headless and the X display tests: a start-up
// script (editors on, a race) and the input script that plays F4, the
// panel's next-object and plus-x buttons, F4, F5, Select and a box over
// the grid, Move and a drag, Route and four right clicks, F5 and Esc; each
// editor is held 3 s of the clock for pictures of it.
#pragma once
#include <string>

namespace ztest {

// At VIDEOMODE 17 on the accelerator or 7 in the software renderer; after
// the race the new line's metre table is saved as NEW.BSP.
inline std::string EditorTrialStartup(int videoMode) {
  return std::string("OUTPUT 1\r\nRUN STARTUP.TXT\r\n") +
         (videoMode == 7 ? "VIDEOMODE 7\r\nMODE PERSPECTIVE\r\n" : "") +
         "EDITORMODE 1\r\nPLAY\r\nSAVEBSPLINEMETER NEW.BSP\r\nQUIT\r\n";
}

inline std::string EditorTrialKeys() {
  auto click = [](int x, int y, int button) {
    const std::string b = std::to_string(button);
    return "5 mouse " + std::to_string(x) + " " + std::to_string(y) + "\n3 " + b + " down\n3 " + b + " up\n";
  };
  auto drag = [](int x1, int y1, int x2, int y2) {
    return "5 mouse " + std::to_string(x1) + " " + std::to_string(y1) + "\n3 1 down\n3 mouse " +
           std::to_string((x1 + x2) / 2) + " " + std::to_string((y1 + y2) / 2) + "\n3 mouse " + std::to_string(x2) +
           " " + std::to_string(y2) + "\n3 1 up\n";
  };
  std::string keys = "# pumps key state\n300 115 down\n5 115 up\n";  // F4 in the race
  keys += click(100 + 220, 100 + 5, 1);                          // the next decor object
  keys += "5 mouse 318 148\n3 1 down\n30 1 up\n";                // plus x, held
  keys += "3000ms mouse 420 300\n5 115 down\n5 115 up\n";           // F4 again: back to the race
  keys += "10 116 down\n5 116 up\n";                             // F5
  keys += click(40, 28, 1);                                      // Select
  keys += drag(290, 230, 370, 300);                              // a box over the grid
  keys += click(40, 42, 1);                                      // Move
  keys += drag(330, 262, 360, 262);                              // the cars 120 m along x
  keys += click(40, 119, 1);                                     // Route
  for (const auto& p : {std::pair(200, 150), std::pair(450, 150), std::pair(450, 350), std::pair(200, 350)})
    keys += click(p.first, p.second, 2);
  keys += "3000ms mouse 250 300\n5 27 down\n3 27 up\n";             // Esc leaves the race
  return keys;
}

}  // namespace ztest
