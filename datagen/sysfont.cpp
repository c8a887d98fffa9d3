// Reads the system font's glyph text and lays the glyphs out in the font's
// picture: cell i at column i % 40 and row i / 40 of 8 x 8 cells.
#include "datagen/sysfont.h"

#include <sstream>

namespace datagen {
namespace {

bool Fail(std::string* error, int line, const std::string& why) {
  if (error) *error = "line " + std::to_string(line) + ": " + why;
  return false;
}

// Lines without comments (starting with '#' and followed by a blank or the
// end) and without trailing blanks; blank lines stay, as separators.
struct Line {
  int number;
  std::string text;
};

std::vector<Line> Lines(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string s;
  for (int n = 1; std::getline(in, s); ++n) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    const bool comment = s.size() >= 1 && s[0] == '#' && (s.size() == 1 || s[1] == ' ');
    if (!comment) lines.push_back({n, s});
  }
  return lines;
}

bool IsCode(const std::string& s, int* code) {
  if (s.empty() || s.size() > 3) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  *code = std::stoi(s);
  return true;
}

// One glyph's 8 rows into its cell.
bool PutGlyph(const std::vector<Line>& lines, size_t at, int index, std::vector<uint8_t>& picture,
              std::string* error) {
  const int left = index % kSysFontPerRow * kSysFontCell, top = index / kSysFontPerRow * kSysFontCell;
  for (int row = 0; row < kSysFontCell; ++row) {
    const Line& line = lines[at + static_cast<size_t>(row)];
    if (line.text.size() != static_cast<size_t>(kSysFontCell))
      return Fail(error, line.number, "a glyph row is 8 characters");
    for (int x = 0; x < kSysFontCell; ++x) {
      const char c = line.text[static_cast<size_t>(x)];
      if (c != '#' && c != '.') return Fail(error, line.number, "a glyph row holds only '#' and '.'");
      if (c == '#' && x == kSysFontCell - 1) return Fail(error, line.number, "column 7 stays blank");
      if (c == '#') picture[static_cast<size_t>((top + row) * kSysFontWidth + left + x)] = kSysFontInk;
    }
  }
  return true;
}

bool ParseGlyphs(const std::vector<Line>& lines, std::vector<uint8_t>& picture, std::string* error) {
  std::vector<bool> seen(kSysFontCount, false);
  int glyphs = 0;
  for (size_t i = 0; i < lines.size();) {
    if (lines[i].text.empty()) {
      ++i;
      continue;
    }
    int code = 0;
    if (!IsCode(lines[i].text, &code)) return Fail(error, lines[i].number, "a glyph starts with its code");
    const int index = code - kSysFontFirst;
    if (index < 0 || index >= kSysFontCount) return Fail(error, lines[i].number, "code outside 32 to 151");
    if (seen[static_cast<size_t>(index)]) return Fail(error, lines[i].number, "code given twice");
    if (i + 1 + kSysFontCell > lines.size()) return Fail(error, lines[i].number, "glyph cut short");
    if (!PutGlyph(lines, i + 1, index, picture, error)) return false;
    seen[static_cast<size_t>(index)] = true;
    ++glyphs;
    i += 1 + kSysFontCell;
  }
  if (glyphs != kSysFontCount) {
    if (error) *error = "the font has " + std::to_string(glyphs) + " glyphs, not 120";
    return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> SysFontPicture(const std::string& text, std::string* error) {
  std::vector<uint8_t> picture(static_cast<size_t>(kSysFontWidth * kSysFontHeight), 0);
  if (!ParseGlyphs(Lines(text), picture, error)) return {};
  return picture;
}

std::string SysFontInclude(const std::vector<uint8_t>& picture) {
  std::string out =
      "// The system font's 325 x 24 pixels, row by row: 8 x 8 glyphs in 40\n"
      "// columns, ink 255 on 0. Made by \"datagen --sysfont\" from\n"
      "// datagen/sysfont.txt; edit the glyphs there, not here.\n";
  constexpr int kPerLine = 25;  // 13 lines a picture row
  for (int y = 0; y < kSysFontHeight; ++y) {
    for (int x = 0; x < kSysFontWidth; x += kPerLine) {
      for (int k = x; k < x + kPerLine && k < kSysFontWidth; ++k) {
        out += std::to_string(picture[static_cast<size_t>(y * kSysFontWidth + k)]);
        out += ',';
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace datagen
