// A headless run's keyboard: a script of key presses and releases, each
// after a number of message-pump passes. It is a test facility: the
// end-to-end tests play a race through it without a display.
//
// The script is a text file named by the environment variable
// ZENTROVA_INPUT_SCRIPT. Each line holds three fields:
//
//   <pumps> <virtual key> <down|up>
//   <pumps> char <code>
//   <ms>ms <virtual key> <down|up>, <ms>ms char <code>
//
// pumps: passes of the message pump to wait after the previous line (0
// acts in the same pass); or, ending in "ms", milliseconds of the clock to
// wait, played at the first pass after them; virtual key: a Windows virtual-key code, 1 to
// 255 (27 Esc, 18 Alt, 83 S, 112 F1...). Blank lines and lines starting
// with "#" are skipped. A key event sets the key's held state and queues
// its key message (a system key message while Alt is held), as a keyboard
// would; a char line queues the character message of code 1 to 255 (13
// Enter, 65 A...), as typing does.
#pragma once
#include <string>

namespace plat {

constexpr const char* kInputScriptVariable = "ZENTROVA_INPUT_SCRIPT";

// Reads the script and makes it the message source; false with the reason
// when the file cannot be read or a line is not of the form above.
bool LoadInputScript(const std::string& path, std::string* error);
// The script the environment names, if any; false only when one is named
// and cannot be loaded (the reason then goes to standard error).
bool LoadInputScriptFromEnvironment();

}  // namespace plat
