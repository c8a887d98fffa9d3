// A headless run's keyboard, pointer and clock: a script of key presses
// and releases, pointer moves and typed characters, each after a number of
// message-pump passes. It is a test facility: the end-to-end tests play a
// race or the menus through it, without a display or on one.
//
// The script is a text file named by the environment variable
// ZENTROVA_INPUT_SCRIPT. Each line holds one event:
//
//   <wait> <virtual key> <down|up>
//   <wait> mouse <x> <y>
//   <wait> char <code>
//   <wait> dump <file>
//
// wait: passes of the message pump to wait after the previous line (0
// acts in the same pass); or, ending in "ms" ("250ms"), milliseconds of the
// clock to wait, played at the first pass after them.
// virtual key: a Windows virtual-key code, 1 to 255 (27 Esc, 18 Alt, 83 S,
// 112 F1...); keys 1 and 2 are the left and right mouse buttons. Each key
// event sets the key's held state and queues its key message (a system key
// message while Alt is held), as a keyboard would.
// mouse: puts the pointer on the front screen's pixel (x, y), both 0 or
// more (kept inside the cursor's confinement).
// char: queues the character message of a typed character, 1 to 255 in
// Windows-1252, as the keyboard's text would.
// dump: writes what the window shows on the display's primary surface
// (the frame last presented) to the file, a 24-bit TGA: the program's pictures of screens
// that its own screenshot key does not take, such as the editors'.
//
// The first line other than blanks and comments may instead be
//
//   clock <ms>
//
// with ms above 0: the program then runs on the manual clock, each pass of
// the pump advancing it by ms milliseconds and each sleep by its length.
// Blank lines and lines starting with "#" are skipped.
//
// A script loaded while another message source runs (the SDL back end of
// a program on a display) plays after it: at each poll that source's
// events are queued first, then the script's due ones. Once the script has
// played to its end it leaves that source alone in its place; headless,
// no input can arrive any more.
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
