// The console's command-line editor with its history, and the prompt input.
#pragma once

#include "shell/console.h"

// One step of the command-line editor.
void SB_ConsoleStep();
// Between two steps waiting for keys only the cursor's blink changes the
// console: gives the processor away until its next change, or until input
// arrives.
void SB_ConsoleIdle();
void SB_ConsoleShowCommandLine(const char* text);
// Reads an answer after the prompt until Enter, or until no key can come
// (headless, with nothing injected); the buffer must hold SB_INPUTSIZE
// bytes. Prompt and answer are then printed.
void SB_ConsoleInput(const char* prompt, char* buffer);
void SB_ConsoleShowInputLine(const char* text);
