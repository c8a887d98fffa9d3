// The developer console: the printer every part of the game reports
// through.
#pragma once
#include <string>
#include <vector>

// Formats a line, printf-like, and adds it to the console.
void SB_ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Until the console's text screen exists, the lines printed so far are
// kept here (tests read them).
const std::vector<std::string>& SB_ConsoleStubLines();
void SB_ClearConsoleStubLines();
