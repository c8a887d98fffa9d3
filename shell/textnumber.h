// Decimal numbers read from text, the same for console arguments and keyed
// text files: leading blanks skipped, reading stops at the first character
// that cannot belong to the number, and text that is not a number reads
// as 0.
#pragma once
#include <cstdint>

// Numbers beyond 32 bits saturate.
int32_t SB_TextToLong(const char* text);
// With a dot whatever the user's locale.
double SB_TextToReal(const char* text);
