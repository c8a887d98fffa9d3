// The race and network words: the second-level interpreter to which the
// command interpreter hands a word its own table does not know.
#pragma once
#include <cstdint>

// The words arrive upper-cased and empty when absent; rest is the line
// after the keyword, which no word reads. Non-zero when the word was
// handled; 0 for an unknown word and after a word's own failure, which
// the command interpreter follows with its syntax-error line.
int32_t SB_NetConsoleCommand(const char* first, const char* second, const char* third, const char* fourth,
                             const char* rest, const char* keyword);
