// A scan over a decor text read whole (the object list, a script): the
// position and the end, keywords matched at the position, and a run of
// characters of a set passed. Nothing is read at or beyond the end.
#pragma once
#include <cstring>

struct DecorScan {
  const char* p;
  const char* end;
  bool AtEnd() const { return p >= end; }
  bool At(const char* word) const {
    const size_t n = std::strlen(word);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, word, n) == 0;
  }
  void Skip(const char* set) {
    while (!AtEnd() && *p && std::strchr(set, *p)) ++p;
  }
};
