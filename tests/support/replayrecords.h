// The records of a car replay file as the program writes it, read without
// the game's code: a 264-byte head (the count at 260), then 84 bytes a
// record: its time in ms, its position in mm, then its orientation as
// three 10-bit angles (x, y, z, 1024 to a turn).
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ztest {

struct TRECORD {
  uint32_t time;
  double x, y, z;
  uint32_t angles[3];
};

inline std::vector<TRECORD> ReadReplay(const std::string& bytes) {
  std::vector<TRECORD> out;
  if (bytes.size() < 264) return out;
  uint32_t n = 0;
  std::memcpy(&n, bytes.data() + 260, 4);
  for (uint32_t k = 0; k < n && 264 + (k + 1) * 84 <= bytes.size(); ++k) {
    const char* at = bytes.data() + 264 + k * 84;
    uint32_t time = 0, packed = 0;
    int32_t mm[3];
    std::memcpy(&time, at, 4);
    std::memcpy(mm, at + 4, 12);
    std::memcpy(&packed, at + 16, 4);
    out.push_back({time, mm[0] / 1000.0, mm[1] / 1000.0, mm[2] / 1000.0,
                   {packed & 1023u, (packed >> 10) & 1023u, (packed >> 20) & 1023u}});
  }
  return out;
}

}  // namespace ztest
