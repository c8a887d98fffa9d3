// The transport's application identifier, replaced by one written as text,
// and the cursor shown while the service waits.
#include <cctype>
#include <cstring>

#include "netlink/lsys_net.h"
#include "platform/window.h"
#include "system/input.h"

namespace {

constexpr int32_t kEscape = 27;

// Reads a run of 1 to maxDigits hex digits; false when there is none, or
// more than fit.
bool ReadHex(const char*& p, int maxDigits, uint32_t* value) {
  *value = 0;
  int digits = 0;
  for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
    if (digits == maxDigits) return false;
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    *value = *value << 4 | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
  }
  return digits > 0;
}

// The value of the hex digits that begin a group of 8 characters.
bool ReadGroup(const char* group, uint32_t* value) {
  char eight[9] = {};
  std::memcpy(eight, group, 8);
  const char* p = eight;
  return ReadHex(p, 8, value);
}

void PutLittle(uint8_t* to, uint32_t v) {
  for (int i = 0; i < 4; ++i) to[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

// The text is three hex fields separated by '-', a '-', then at least 16
// characters: the hex numbers that begin the first 8 and the next 8 fill
// the two halves of the last 8 bytes, little-endian. Anything else keeps
// the identifier as it was.
int32_t LSYS_NetParseGuid(const char* text) {
  if (!text) return 0;
  const char* p = text;
  uint32_t d1 = 0, d2 = 0, d3 = 0, low = 0, high = 0;
  if (!ReadHex(p, 8, &d1) || *p++ != '-' || !ReadHex(p, 4, &d2) || *p++ != '-' || !ReadHex(p, 4, &d3) ||
      *p++ != '-')
    return 0;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  size_t rest = 0;
  while (p[rest] && !std::isspace(static_cast<unsigned char>(p[rest]))) ++rest;
  if (rest < 16 || !ReadGroup(p, &low) || !ReadGroup(p + 8, &high)) return 0;
  TLSYSNET* s = LSYS_NetCurrent();
  s->AppGuid.Data1 = d1;
  s->AppGuid.Data2 = static_cast<uint16_t>(d2);
  s->AppGuid.Data3 = static_cast<uint16_t>(d3);
  PutLittle(s->AppGuid.Data4, low);
  PutLittle(s->AppGuid.Data4 + 4, high);
  return 1;
}

void LSYS_NetShowCursor() {
  TLSYSNET* s = LSYS_NetCurrent();
  if (s->CursorHidden) return;
  while (plat::ShowCursor(true) < 0)
    if (LS_KeyDown(kEscape)) break;
}

void LSYS_NetHideCursor() {
  TLSYSNET* s = LSYS_NetCurrent();
  if (s->CursorHidden) return;
  plat::ShowCursor(false);
  s->CursorHidden = 1;
}

int32_t LSYS_NetIsCursorHidden() {
  TLSYSNET* s = LSYS_NetCurrent();
  return s->CursorHidden;
}
