// Windows-1252 to and from UTF-8: codes 0x80 to 0x9F are the chart's
// punctuation and letters; every other code is the Unicode character of
// the same number.
#include "platform/ansi.h"

namespace plat {
namespace {

// Unicode of codes 0x80 to 0x9F; 0 where the chart assigns nothing.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Decodes one character at text[at]; the length of a valid sequence, or 0.
size_t DecodeOne(const std::string& text, size_t at, uint32_t* codePoint) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  size_t length;
  uint32_t value, minimum;
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(at + i) & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are invalid.
  if (value < minimum || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
  *codePoint = value;
  return length;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

bool UnicodeToAnsi(uint32_t codePoint, uint8_t* code) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    *code = static_cast<uint8_t>(codePoint);
    return true;
  }
  for (uint32_t i = 0; i < 32; ++i)
    if (kHigh[i] && kHigh[i] == codePoint) {
      *code = static_cast<uint8_t>(0x80 + i);
      return true;
    }
  return false;
}

std::string Utf8ToAnsi(const std::string& text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    uint32_t c = 0;
    const size_t length = DecodeOne(text, at, &c);
    at += length ? length : 1;
    uint8_t code;
    if (length && UnicodeToAnsi(c, &code)) out += static_cast<char>(code);
  }
  return out;
}

std::string AnsiToUtf8(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    const auto code = static_cast<uint8_t>(ch);
    const bool high = code >= 0x80 && code < 0xA0;
    const uint32_t c = high ? kHigh[code - 0x80] : code;
    AppendUtf8(out, high && !c ? '?' : c);
  }
  return out;
}

}  // namespace plat
