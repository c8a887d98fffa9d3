// Registry access for the program's settings, and small utilities: byte
// order readers, random numbers, memory copy, upper-casing, rectangles.
#pragma once
#include <cstdint>

// Value types of LS_RegSetValue.
constexpr uint32_t LS_REG_STRING = 1;
constexpr uint32_t LS_REG_MULTISTRING = 2;
constexpr uint32_t LS_REG_NUMBER = 4;  // 32 bits, little-endian

int32_t LS_RegOpen(const char* name);
int32_t LS_RegClose();
int32_t LS_RegSetValue(const char* name, const void* data, uint32_t size, uint32_t type);
// Reads at most *size bytes and sets *size to the value's length; the
// value's type code when type is given.
int32_t LS_RegGetValue(const char* name, void* buffer, uint32_t* size, uint32_t* type = nullptr);

uint16_t LS_ReadBEWord(const uint8_t* bytes);
uint32_t LS_ReadBELong(const uint8_t* bytes);
uint16_t LS_ReadLEWord(const uint8_t* bytes);
uint32_t LS_ReadLELong(const uint8_t* bytes);

// The C runtime's generator as the game expects it: 15 bits, never seeded,
// the same sequence on every machine.
int32_t LSI_Rand();
void LSI_ResetRand();
// From 0 to n inclusive (n only when the generator gives 32767).
int32_t LS_Random(uint16_t n);

void LS_MemCopy(void* destination, const void* source, uint32_t count);
void LS_StrUpr(char* text);

struct LS_RECT {
  int32_t x1, y1, x2, y2;
};
void LS_SetRect(LS_RECT* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
