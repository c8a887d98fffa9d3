// Process entry: joins the arguments into one command line, as the
// original received it, and hands it to the library's entry.
#include <string>

#include "system/win/shell.h"

int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
