// The command table: the interpreter's keywords in the order in which
// they are tried, each with the function that runs it.
#pragma once
#include <cstdint>

#include "console/interpreter.h"

// The words of one command line: the keyword and four arguments,
// upper-cased, and the rest of the line after the keyword, as typed.
// Each command line has its own, so a command that runs further lines
// still reads its own words afterwards.
struct SB_COMMANDWORDS {
  char Keyword[SB_WORDSIZE];
  char Args[4][SB_WORDSIZE];
  char Rest[SB_WORDSIZE];
};

// Returns 1 when done, 0 on a usage error.
using SB_COMMANDPROC = int32_t (*)(const SB_COMMANDWORDS& words);

struct SB_COMMAND {
  const char* Keyword;
  SB_COMMANDPROC Run;
};

// The first entry whose keyword equals the word whole; null when none.
const SB_COMMAND* SB_FindCommand(const char* keyword);

// Splits a command line (without its "@") at single blanks and upper-cases
// the keyword and the arguments; every word is cut to fit.
void SB_SplitCommandLine(const char* line, SB_COMMANDWORDS* words);
