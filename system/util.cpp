// Registry layer and small utilities.
#include "system/util.h"

#include <cstdio>
#include <cstring>

#include "platform/registry.h"
#include "system/file.h"
#include "system/input.h"

namespace {
plat::RegKey g_key = 0;
uint32_t g_randState = 1;
}  // namespace

int32_t LS_RegOpen(const char* name) {
  if (g_key) LS_RegClose();
  char path[512];
  std::snprintf(path, sizeof path, "SOFTWARE\\Tamrisk Entertainment\\%s", name ? name : "");
  g_key = plat::RegCreateKey(path);
  return g_key ? 1 : 0;
}

int32_t LS_RegClose() {
  if (!g_key) return 0;
  plat::RegFlushKey(g_key);
  const bool closed = plat::RegCloseKey(g_key);
  g_key = 0;
  return closed ? 1 : 0;
}

int32_t LS_RegSetValue(const char* name, const void* data, uint32_t size, uint32_t type) {
  uint32_t platformType = 0;
  if (type == LS_REG_STRING)
    platformType = plat::kRegString;
  else if (type == LS_REG_MULTISTRING)
    platformType = plat::kRegMultiString;
  else if (type == LS_REG_NUMBER && size == 4)
    platformType = plat::kRegNumber;
  else
    return 0;
  if (!name) return 0;
  return plat::RegSetValue(g_key, name, platformType, data, size) ? 1 : 0;
}

int32_t LS_RegGetValue(const char* name, void* buffer, uint32_t* size, uint32_t* type) {
  if (!name || !size) return 0;
  uint32_t stored = 0;
  if (!plat::RegQueryValue(g_key, name, &stored, buffer, size)) return 0;
  if (type) *type = stored == plat::kRegMultiString ? LS_REG_MULTISTRING : stored;
  return 1;
}

uint16_t LS_ReadBEWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] * 256 + p[1]); }
uint32_t LS_ReadBELong(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t LS_ReadLEWord(const uint8_t* p) { return static_cast<uint16_t>(p[1] * 256 + p[0]); }
uint32_t LS_ReadLELong(const uint8_t* p) {
  return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

int32_t LSI_Rand() {
  g_randState = g_randState * 214013u + 2531011u;
  return static_cast<int32_t>((g_randState >> 16) & 0x7FFF);
}

void LSI_ResetRand() { g_randState = 1; }

int32_t LS_Random(uint16_t n) { return LSI_InputFilter(LSI_Rand() * static_cast<int32_t>(n) / 32767); }

void LS_MemCopy(void* destination, const void* source, uint32_t count) {
  if (destination && source && count) std::memmove(destination, source, count);
}

void LS_StrUpr(char* text) { LS_StrUpper(text); }

void LS_SetRect(LS_RECT* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (rect) *rect = {x1, y1, x2, y2};
}
