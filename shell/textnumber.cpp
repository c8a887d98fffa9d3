// Decimal integers and reals read from text.
#include "shell/textnumber.h"

#include <locale.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

int32_t SB_TextToLong(const char* text) {
  if (!text) return 0;
  const long long value = std::strtoll(text, nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

double SB_TextToReal(const char* text) {
  if (!text) return 0.0;
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c ? strtod_l(text, nullptr, c) : std::strtod(text, nullptr);
}
