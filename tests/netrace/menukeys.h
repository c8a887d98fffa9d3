// Input scripts that take a program through the network menus on the real
// clock, from INTERFACE: one creates a server for two players, the other
// joins it from the server list; then both race, standing on the grid,
// leave the race's end and quit the menus with Q. Pointer positions are 10
// pixels above the items' centres (the cursor's hot spot).
#pragma once
#include <sstream>
#include <string>

namespace ztest::netrace {

// A click held for 100 ms, after a wait.
inline std::string ClickAt(const std::string& wait, int x, int y) {
  return wait + " mouse " + std::to_string(x) + " " + std::to_string(y) + "\n100ms 1 down\n100ms 1 up\n";
}

// Rubs out up to `erase` characters of a text field, types the text and Enter.
inline std::string TypeText(int erase, const std::string& text) {
  std::string keys;
  for (int i = 0; i < erase; ++i) keys += "20ms char 8\n";
  for (char c : text) keys += "20ms char " + std::to_string(static_cast<unsigned char>(c)) + "\n";
  return keys + "20ms char 13\n";
}

// MAIN MENU's RACE, CHOOSE YOUR RACE's NETWORK, the name typed and OK, the
// first protocol's OK: the network opened on NETWORK MENU.
inline std::string ToNetworkMenu(const std::string& player) {
  return ClickAt("8000ms", 191, 115) + ClickAt("3000ms", 330, 301) + ClickAt("3000ms", 323, 218) +
         TypeText(8, player) + ClickAt("1000ms", 331, 276) + ClickAt("3000ms", 351, 388);
}

// The race: the accelerator (Shift) tapped every 500 ms, which confirms
// whenever the race asks; F1, which leaves the end of the race, from
// `leaveAfter` half seconds on; Q, which quits the menus once they are
// back, from `quitAfter` on, until `ticks` (20 ticks more by default);
// then the script ends, and with no input left to come the program leaves
// as Esc would. Q acts only in the menus.
inline std::string RaceThenQuit(int leaveAfter, int quitAfter, int ticks = 0) {
  std::ostringstream k;
  for (int t = 1; t <= (ticks ? ticks : quitAfter + 20); ++t) {
    k << "500ms 16 down\n2 16 up\n";
    if (t >= leaveAfter) k << "0 112 down\n2 112 up\n";
    if (t >= quitAfter) k << "0 81 down\n50ms 81 up\n";  // held over a few passes of the menus
  }
  return k.str();
}

// CREATE, the server's name and a count of 2 players typed, OK.
inline std::string CreateKeys(const std::string& server) {
  return ToNetworkMenu("alba") + ClickAt("3000ms", 361, 222) + ClickAt("3000ms", 330, 175) + TypeText(13, server) +
         ClickAt("1000ms", 334, 246) + TypeText(2, "2") + ClickAt("1000ms", 489, 322) + RaceThenQuit(120, 160);
}

// JOIN leads to the server list, whose first server is highlighted; its
// JOIN button after the list and its players show.
inline std::string JoinKeys() {
  return ToNetworkMenu("bruno") + ClickAt("3000ms", 345, 309) + ClickAt("8000ms", 525, 341) + RaceThenQuit(1, 80);
}

}  // namespace ztest::netrace
