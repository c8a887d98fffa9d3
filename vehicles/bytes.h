// Little-endian fields of the vehicles' files and network records, read
// and written at a byte position.
#pragma once
#include <cstdint>
#include <cstring>

inline void SB_PutLong(uint8_t* at, uint32_t v) {
  for (int32_t i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t SB_GetLong(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}
inline void SB_PutWord(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}
inline uint16_t SB_GetWord(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] | at[1] << 8);
}
inline void SB_PutFloat(uint8_t* at, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  SB_PutLong(at, bits);
}
inline float SB_GetFloat(const uint8_t* at) {
  const uint32_t bits = SB_GetLong(at);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

// n floats from v, one after the other.
inline void SB_PutFloats(uint8_t* at, const float* v, int32_t n) {
  for (int32_t i = 0; i < n; ++i) SB_PutFloat(at + 4 * i, v[i]);
}
inline void SB_GetFloats(const uint8_t* at, float* v, int32_t n) {
  for (int32_t i = 0; i < n; ++i) v[i] = SB_GetFloat(at + 4 * i);
}

// A 32-bit word into a signed or an unsigned 16-bit field, saturating.
inline int16_t SB_SaturateShort(int32_t v) { return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }
inline uint16_t SB_SaturateWord(int32_t v) { return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v); }
