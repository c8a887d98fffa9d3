// Windows-1252 ("ANSI") characters to and from UTF-8: typed text arrives
// from the platform in UTF-8, and the program's texts are Windows-1252.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// The Windows-1252 code of a Unicode character; false when it has none.
bool UnicodeToAnsi(uint32_t codePoint, uint8_t* code);
// The characters of a UTF-8 text that Windows-1252 has, as its codes;
// invalid sequences and characters it lacks are dropped.
std::string Utf8ToAnsi(const std::string& text);
// A Windows-1252 text in UTF-8 (its five unassigned codes become "?").
std::string AnsiToUtf8(const std::string& text);

}  // namespace plat
