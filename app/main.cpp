// Process entry: starts the device back ends unless the program runs
// headless (where an input script may play the keys and the console's
// lines go to standard output as well), joins the arguments
// into one command line, as the original received it, and hands it to the
// library's entry.
#include <string>

#include "platform/inputscript.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"
#include "system/win/shell.h"

int main(int argc, char** argv) {
  if (plat::sdl::DevicesWanted())
    plat::sdl::Start();
  else if (!plat::LoadInputScriptFromEnvironment())
    return 1;
  else
    plat::SetLineEcho(true);
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
