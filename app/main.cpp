// Process entry: starts the device back ends unless the program runs
// headless (where the console's lines go to standard output as well);
// loads a test's input script of keys, which plays alone headless and
// after the devices on a display; joins the arguments into one command
// line, as the original received it, and hands it to the library's entry.
#include <string>

#include "platform/inputscript.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"
#include "system/win/shell.h"

int main(int argc, char** argv) {
  const bool devices = plat::sdl::DevicesWanted();
  if (devices) plat::sdl::Start();
  // On a display the script's keys come after the devices' at each poll.
  if (!plat::LoadInputScriptFromEnvironment()) return 1;
  if (!devices) plat::SetLineEcho(true);
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
