// Keyed text files: the ten slots, loading a file whole with a closing zero
// byte, the key search and the typed conversions of a scan.
#include "shell/keyfile.h"

#include <cstdio>
#include <cstring>

#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/textnumber.h"
#include "system/file.h"

TKEYFILE SB_KeyFiles[SB_MAXKEYFILES];

namespace {

// The text after a key ends at the file's closing zero at the latest, so
// the conversions below never read past the buffer. The word after the key
// runs up to the first character of code 32 or below.
void StoreText(const char* at, char* out, size_t capacity) {
  size_t n = 0;
  while (n + 1 < capacity && static_cast<unsigned char>(at[n]) > 32) {
    out[n] = at[n];
    ++n;
  }
  out[n] = '\0';
}

bool Store(const char* at, char conversion, const TKEYVALUE& value) {
  using Kind = TKEYVALUE::Kind;
  if (!value.out) return false;
  switch (conversion) {
    case 'f':
      if (value.kind != Kind::Real) return false;
      *static_cast<double*>(value.out) = SB_TextToReal(at);
      return true;
    case 'l':
    case 'd':
      if (value.kind != Kind::Long) return false;
      *static_cast<int32_t*>(value.out) = SB_TextToLong(at);
      return true;
    case 's':
      if (value.kind != Kind::Text || value.capacity == 0) return false;
      StoreText(at, static_cast<char*>(value.out), value.capacity);
      return true;
    default: return false;
  }
}

bool IsConversion(char c) { return c == 'f' || c == 'l' || c == 'd' || c == 's'; }

}  // namespace

void SB_InitKeyFiles() { std::memset(SB_KeyFiles, 0, sizeof SB_KeyFiles); }

TKEYFILE* SB_OpenKeyFile(const char* name) {
  if (!name) return nullptr;
  TKEYFILE* slot = nullptr;
  for (TKEYFILE& k : SB_KeyFiles) {
    if (!k.InUse) {
      slot = &k;
      break;
    }
  }
  if (!slot) return nullptr;
  // A file that cannot be loaded whole counts as missing.
  const int32_t size = LS_FileExists(name) ? LS_GetFileSize(name) : -1;
  slot->Start = size >= 0 ? SB_LoadFileWithZero(name) : nullptr;
  slot->Position = slot->Start;
  slot->End = slot->Start ? slot->Start + size : nullptr;
  std::snprintf(slot->FileName, sizeof slot->FileName, "%s", name);
  slot->InUse = 1;
  return slot;
}

void SB_CloseKeyFile(TKEYFILE* slot) {
  if (!slot) return;
  if (slot->Start) SB_Release(slot->Start);
  slot->Start = slot->Position = slot->End = nullptr;
  slot->InUse = 0;
}

char* SB_FindInKeyFile(TKEYFILE* slot, const char* text, int32_t fromStart) {
  if (!slot || !slot->Start || !text) return nullptr;
  char* from = fromStart ? slot->Start : slot->Position;
  if (!from || slot->End <= from) return nullptr;
  const size_t length = std::strlen(text);
  const size_t room = static_cast<size_t>(slot->End - from);
  if (length > room) return nullptr;
  for (size_t i = 0; i + length <= room; ++i) {
    if (std::memcmp(from + i, text, length) == 0) {
      slot->Position = from + i + length;
      return slot->Position;
    }
  }
  return nullptr;
}

char* SB_FindKeyLine(TKEYFILE* slot, const char* text) {
  if (!slot || !slot->Start || !text || !text[0]) return nullptr;
  const size_t length = std::strlen(text);
  bool lineStart = true;
  for (char* at = slot->Start; at < slot->End; ++at) {
    if (lineStart && static_cast<size_t>(slot->End - at) >= length && std::memcmp(at, text, length) == 0) {
      slot->Position = at + length;
      return slot->Position;
    }
    if (*at == '\n' || *at == '\r')
      lineStart = true;
    else if (*at != ' ' && *at != '\t')
      lineStart = false;
  }
  return nullptr;
}

int32_t SB_ScanKeyFile(TKEYFILE* slot, int32_t fromStart, const char* format,
                       std::initializer_list<TKEYVALUE> values) {
  if (!slot || !slot->InUse || !slot->Start || !format) return 0;
  char key[256];
  size_t keyLength = 0;
  auto next = values.begin();
  int32_t stored = 0;
  for (const char* f = format; *f; ++f) {
    if (*f != '%') {
      if (keyLength + 1 < sizeof key) key[keyLength++] = *f;
      continue;
    }
    const char conversion = f[1];
    if (conversion == '\0') break;
    ++f;
    key[keyLength] = '\0';
    keyLength = 0;
    if (!IsConversion(conversion)) continue;
    if (next == values.end()) break;
    const TKEYVALUE& value = *next++;
    const char* at = SB_FindInKeyFile(slot, key, fromStart);
    if (at && Store(at, conversion, value)) {
      ++stored;
      fromStart = 0;
    }
  }
  return stored;
}
