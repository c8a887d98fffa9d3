// Conversion from the Windows-1252 character set to the OEM code page 437,
// in which the glyph pictures of fonts are laid out.
#pragma once
#include <cstdint>

namespace plat {

// The OEM code of a Windows-1252 character; "?" when it has no OEM form.
uint8_t AnsiToOem(uint8_t c);
// Converts a zero-terminated text; source and destination may be the same.
void CharToOem(const char* source, char* destination);

}  // namespace plat
