// Console words the console's own run needs (TYPE, HELP, INFO, TIME,
// DRAWCONSOLE, OUTPUT), until the whole command set exists.
#pragma once
#include <cstdint>

#include "shell/commandtable.h"

// Prints a text file on the console, 45 lines at a time.
void SB_TypeFile(const char* name);

int32_t SB_TypeCommand(const SB_COMMANDWORDS& words);
int32_t SB_HelpCommand(const SB_COMMANDWORDS& words);
int32_t SB_InfoCommand(const SB_COMMANDWORDS& words);
int32_t SB_TimeCommand(const SB_COMMANDWORDS& words);
int32_t SB_DrawConsoleCommand(const SB_COMMANDWORDS& words);
int32_t SB_OutputCommand(const SB_COMMANDWORDS& words);
