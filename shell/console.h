// The developer console's text output, used by every part of the game to
// print its progress and errors.
#pragma once

void SB_ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
