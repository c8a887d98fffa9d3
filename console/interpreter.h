// The command interpreter, the program's text-command bus: a line of
// words runs the first keyword of the command table that matches it, and
// a word it does not know goes on to the race and network interpreter.
// Batch files are text files of such lines.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/textlines.h"

constexpr size_t SB_COMMANDLINESIZE = 512;  // a formatted command line and its terminator
constexpr int32_t SB_MAXBATCHDEPTH = 16;    // batches running inside each other

// printf-like. 1 when the line was empty or handled, 0 on a syntax error
// and on a keyword's usage error. Text the caller did not write itself
// goes through "%s", so that a "%" in it stays text.
int32_t SB_ExecCommand(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Runs the batch file "dat>" + name with its arguments %1 and %2.
void SB_RunBatch(const char* name, const char* first, const char* second);
// Stops the running batches before their next line.
void SB_BreakBatch();
// Whether the last batch started outside any other could be read.
bool SB_OutermostBatchRead();

// Removes leading characters below 33 and reduces every later run of them
// to its first character.
void SB_SqueezeBlanks(char* line);
// Removes leading blanks and tabs.
void SB_TrimLeft(char* line);
// Replaces every "%" + digit by the argument; each search goes on after
// the inserted text, and the line is cut to fit its capacity.
void SB_ReplaceBatchArg(char* line, char digit, const char* argument, size_t capacity = SB_WORDSIZE);
