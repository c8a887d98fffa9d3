// The system font: its glyphs as drawn in the text file (OEM code, then 8
// rows of '#' ink and '.' background), laid out into the picture the
// library compiles in, and written as the C++ include that holds it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

constexpr int kSysFontWidth = 325;
constexpr int kSysFontHeight = 24;
constexpr int kSysFontCell = 8;
constexpr int kSysFontFirst = 32;
constexpr int kSysFontCount = 120;
constexpr int kSysFontPerRow = 40;
constexpr uint8_t kSysFontInk = 255;

// The picture's pixels, row by row; empty with a reason in `error` when
// the text is not exactly the 120 glyphs from code 32, each once, 8 x 8,
// with column 7 blank.
std::vector<uint8_t> SysFontPicture(const std::string& text, std::string* error);
// The include: the pixels as an initializer list, with a header comment.
std::string SysFontInclude(const std::vector<uint8_t>& picture);

}  // namespace datagen
